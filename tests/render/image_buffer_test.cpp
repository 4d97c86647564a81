#include "render/image_buffer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "pixels.h"
#include "render/table_trig.h"

namespace render {
namespace {

constexpr float kPi = 3.14159265f;

TEST(TableTrig, AnswersInWholeDegrees) {
    for (int degrees = -360; degrees <= 360; ++degrees) {
        const float radians = float(degrees) * kPi / 180.0f;
        EXPECT_NEAR(TableSin(radians), std::sin(radians), 1e-6f) << degrees;
        EXPECT_NEAR(TableCos(radians), std::cos(radians), 1e-6f) << degrees;
    }
    // 10.4° reads as 10°, 10.6° as 11°.
    EXPECT_FLOAT_EQ(TableSin(10.4f * kPi / 180.0f), float(std::sin(10.0 * M_PI / 180.0)));
    EXPECT_FLOAT_EQ(TableSin(10.6f * kPi / 180.0f), float(std::sin(11.0 * M_PI / 180.0)));
    EXPECT_FLOAT_EQ(TableCos(0.0f), 1.0f);
    EXPECT_FLOAT_EQ(TableSin(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(TableSin(-kPi / 2), -1.0f);
    EXPECT_FLOAT_EQ(TableCos(kPi), -1.0f);
    // Beyond a full turn the library answers.
    EXPECT_FLOAT_EQ(TableSin(7.0f), float(std::sin(7.0)));
    EXPECT_FLOAT_EQ(TableCos(-7.0f), float(std::cos(-7.0)));
}

// A 21 × 21 picture, white with a black marker above the centre ("north").
ImageBuffer NorthMarker() {
    QImage picture(21, 21, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int y = 2; y <= 6; ++y) {
        picture.setPixelColor(10, y, Qt::black);
    }
    ImageBuffer buffer;
    buffer.Load(picture);
    return buffer;
}

TEST(ImageBuffer, RotateTurnsClockwiseOnScreen) {
    ImageBuffer buffer = NorthMarker();
    buffer.Rotate(90.0f);
    // North turned a quarter clockwise lies east of the centre.
    const QRect ink = InkBounds(buffer.Image(), Qt::white);
    QRect black;
    for (int y = 0; y < 21; ++y) {
        for (int x = 0; x < 21; ++x) {
            if (buffer.Image().pixelColor(x, y) == QColor(Qt::black)) {
                black |= QRect(x, y, 1, 1);
            }
        }
    }
    EXPECT_EQ(black, QRect(14, 10, 5, 1));
    EXPECT_FALSE(ink.isEmpty());

    ImageBuffer compass = NorthMarker();
    compass.Rotate(360.0f - 90.0f);  // heading east: north is to the left
    EXPECT_EQ(compass.Image().pixelColor(4, 10), QColor(Qt::black));
    EXPECT_EQ(compass.Image().pixelColor(16, 10), QColor(Qt::white));
}

TEST(ImageBuffer, RotateLeavesTheBorderGreyForTransparency) {
    ImageBuffer buffer = NorthMarker();
    buffer.Rotate(0.0f);
    // The outermost rows and columns are never covered by the turn.
    EXPECT_EQ(buffer.Image().pixelColor(0, 0), QColor(129, 129, 129));
    EXPECT_EQ(buffer.Image().pixelColor(20, 10), QColor(129, 129, 129));
    EXPECT_EQ(buffer.Image().pixelColor(10, 4), QColor(Qt::black));
    ImageBuffer turned = NorthMarker();
    turned.Rotate(45.0f);
    EXPECT_EQ(turned.Image().pixelColor(1, 1), QColor(129, 129, 129)) << "uncovered corner";
}

TEST(ImageBuffer, DrawTransparentLeavesOutTheGrey) {
    ImageBuffer compass = NorthMarker();
    compass.Rotate(30.0f);
    QImage screen(40, 40, QImage::Format_RGB32);
    screen.fill(QColor(0, 255, 0));
    paint::PaintContext context(&screen);
    compass.DrawTransparent(context, 5, 5);
    EXPECT_EQ(CountPixels(screen, QColor(129, 129, 129)), 0);
    EXPECT_EQ(screen.pixelColor(5, 5), QColor(0, 255, 0));
    EXPECT_EQ(screen.pixelColor(15, 15), QColor(Qt::white));

    compass.Blit(context, 5, 5);
    EXPECT_EQ(screen.pixelColor(5, 5), QColor(129, 129, 129));
}

TEST(ImageBuffer, CreateContextAndBlit) {
    ImageBuffer buffer;
    EXPECT_FALSE(buffer.Create(0, 10));
    EXPECT_TRUE(buffer.IsNull());
    ASSERT_TRUE(buffer.Create(30, 7));
    EXPECT_EQ(buffer.Stride(), 32);
    buffer.Context().FillRect(platform::Rect{0, 0, 30, 7}, 0x00FF8000);
    QImage screen(50, 50, QImage::Format_RGB32);
    screen.fill(Qt::white);
    paint::PaintContext context(&screen);
    context.SetViewportOrigin(QPoint(-10, 0));
    buffer.Blit(context, 10, 20);
    EXPECT_EQ(InkBounds(screen), QRect(0, 20, 30, 7));
    EXPECT_EQ(screen.pixelColor(0, 20), QColor(0, 128, 255));
}

}  // namespace
}  // namespace render
