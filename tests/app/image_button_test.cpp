#include "app/image_button.h"

#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include "app/resources.h"

namespace app {
namespace {

QImage Solid(QRgb colour, int size = 4) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST(ImageButton, StateChoosesThePicture) {
    FVlmButtonPPC button;
    button.normalImage = Solid(0xFF0000FF);
    EXPECT_EQ(button.ImageFor(true, true, true), &button.normalImage) << "only normal is set";

    button.disabledImage = Solid(0xFF808080);
    button.focusImage = Solid(0xFF00FF00);
    EXPECT_EQ(button.ImageFor(true, false, true), &button.disabledImage)
        << "pressed without a pressed picture falls to disabled";
    EXPECT_EQ(button.ImageFor(true, true, true), &button.focusImage) << "focus before disabled";
    button.pressedImage = Solid(0xFFFF0000);
    EXPECT_EQ(button.ImageFor(true, true, true), &button.pressedImage);
    EXPECT_EQ(button.ImageFor(false, false, false), &button.normalImage);

    button.alternate = 1;
    EXPECT_EQ(button.ImageFor(true, false, false), nullptr) << "alternate without a picture";
    button.alternateImage = Solid(0xFF123456);
    EXPECT_EQ(button.ImageFor(true, true, true), &button.alternateImage);
}

TEST(ImageButton, DrawsStretchedWithMagentaLeftOut) {
    QWidget parent;
    parent.resize(40, 40);
    parent.setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, Qt::white);
    parent.setPalette(palette);
    FVlmButtonPPC* button = new FVlmButtonPPC(&parent);
    // A 4 × 4 picture, its left half magenta, its right half blue, drawn into 20 × 20.
    QImage picture = Solid(0xFF0000FF);
    for (int y = 0; y < 4; ++y) {
        picture.setPixel(0, y, kButtonTransparentColor);
        picture.setPixel(1, y, kButtonTransparentColor);
    }
    button->normalImage = picture;
    button->imageWidth = 4;
    button->imageHeight = 4;
    button->setGeometry(10, 10, 20, 20);
    const QImage shot = parent.grab().toImage();
    EXPECT_EQ(shot.pixel(12, 15) & 0xFFFFFF, 0xFFFFFFu) << "magenta shows the parent";
    EXPECT_EQ(shot.pixel(19, 15) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(shot.pixel(20, 15) & 0xFFFFFF, 0x0000FFu) << "stretched five times, no smoothing";
    EXPECT_EQ(shot.pixel(29, 29) & 0xFFFFFF, 0x0000FFu);
}

TEST(ImageButton, ScalingASquareKeepsItsPixels) {
    FVlmButtonPPC button;
    QImage image = LoadBitmapResource(143);
    ASSERT_EQ(image.size(), QSize(50, 50));
    const QRgb corner = image.pixel(0, 0);
    const QRgb middle = image.pixel(25, 25);
    ScaleSquareImage(button, image, 100, 50);
    EXPECT_EQ(image.size(), QSize(100, 100));
    EXPECT_EQ(button.imageWidth, 100);
    EXPECT_EQ(button.imageHeight, 100);
    EXPECT_EQ(image.pixel(1, 1), corner);
    EXPECT_EQ(image.pixel(50, 50), middle);
}

TEST(ImageButton, RegionHoldsExactlyTheNonMagentaPixels) {
    QImage image = Solid(kButtonTransparentColor, 8);
    EXPECT_FALSE(RegionFromBitmap(image)) << "all magenta gives no region";
    image.setPixel(3, 0, qRgb(0, 0, 0));
    const std::optional<QRegion> one = RegionFromBitmap(image);
    ASSERT_TRUE(one);
    EXPECT_EQ(*one, QRegion(3, 0, 1, 1));

    // A picture of the panel: the region and the magenta pixels split it exactly.
    const QImage zoomIn = LoadBitmapResource(143);
    const std::optional<QRegion> shape = RegionFromBitmap(zoomIn);
    ASSERT_TRUE(shape);
    for (int y = 0; y < zoomIn.height(); ++y) {
        for (int x = 0; x < zoomIn.width(); ++x) {
            const bool magenta = (zoomIn.pixel(x, y) & 0xFFFFFF) == 0xFF00FF;
            ASSERT_EQ(shape->contains(QPoint(x, y)), !magenta) << x << "," << y;
        }
    }
}

TEST(ImageButton, PanelPicturesShareTheZoomInShape) {
    // One region serves every button only if no picture reaches outside the Zoom In disc.
    const QRegion shape = *RegionFromBitmap(LoadBitmapResource(143));
    for (int id : {136, 137, 138, 139, 140, 141, 142, 144, 146, 147, 148, 149, 150, 151, 154, 155,
                   162, 164}) {
        const QImage picture = LoadBitmapResource(id);
        ASSERT_EQ(picture.size(), QSize(50, 50)) << id;
        EXPECT_EQ(*RegionFromBitmap(picture), shape) << id;
    }
}

TEST(ImageButton, ClickSendsAndDisabledDoesNot) {
    FVlmButtonPPC button;
    button.normalImage = Solid(0xFF0000FF, 10);
    button.imageWidth = button.imageHeight = 10;
    button.resize(10, 10);
    int clicks = 0;
    QObject::connect(&button, &QAbstractButton::clicked, [&] { ++clicks; });
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    button.Disable();
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    button.Enable();
    EXPECT_TRUE(button.isEnabled());
}

}  // namespace
}  // namespace app
