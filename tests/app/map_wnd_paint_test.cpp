#include "app/map_wnd_paint.h"

#include <gtest/gtest.h>

#include <QImage>

#include "app/map_wnd.h"
#include "fixed_window.h"
#include "paint/paint_context.h"
#include "platform/log_font.h"

namespace app {
namespace {

constexpr QRgb kMapGrey = 0xFF406080;  // a map colour no overlay uses

platform::ScreenMetrics Handheld() {
    return ScreenOf(240, 320, 53, 71);
}

bool IsMap(const QImage& image, int x, int y) {
    return image.pixel(x, y) == kMapGrey;
}

// Red pixels of the compass needle's north half, as drawn: strong red, weak green and blue.
int RedPixels(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 180 && c.green() < 80 && c.blue() < 80 ? 1 : 0;
        }
    }
    return count;
}

TEST(MapWndScaleBar, OneCentimetreOfScreenAndItsGroundLength) {
    EXPECT_EQ(ScaleBarPixelsPerCm(Handheld()), 45);
    platform::ScreenMetrics unknown = Handheld();
    unknown.widthMm = 0;
    EXPECT_EQ(ScaleBarPixelsPerCm(unknown), 0);
    EXPECT_EQ(ScaleBarLabel(0.485807f), "485m");
    EXPECT_EQ(ScaleBarLabel(1.2f), "1.2Km");
    EXPECT_EQ(ScaleBarLabel(0.999f), "999m");
    EXPECT_EQ(ScaleBarLabel(50.0f), "50.0Km");
}

TEST(MapWndScaleBar, ABlackRowOnAWhiteLineAliasedAndNoBarWithoutScreenSize) {
    QImage image(240, 320, QImage::Format_RGB32);
    image.fill(kMapGrey);
    render::LabelStyle small;
    small.font = platform::ToQFont(platform::BuiltInFont(8, 400, Handheld()));
    {
        paint::PaintContext context(&image);
        context.SetAntialiasing(true);  // the bar is aliased whatever the context does
        DrawScaleBar(context, small, Handheld(), 0.485807f, 240, 320);
    }
    for (const int x : {8, 20, 45}) {
        EXPECT_EQ(image.pixel(x, 105), 0xFF000000) << x;
        EXPECT_EQ(image.pixel(x, 104), 0xFFFFFFFF) << x;
        EXPECT_EQ(image.pixel(x, 106), 0xFFFFFFFF) << x;
        EXPECT_TRUE(IsMap(image, x, 108)) << x;
    }
    // The ends rise to y 100 at x 5 and 50.
    EXPECT_EQ(image.pixel(5, 101), 0xFF000000);
    EXPECT_EQ(image.pixel(50, 101), 0xFF000000);
    EXPECT_TRUE(IsMap(image, 60, 105));
    // The label sits above the bar, right of x 10.
    bool labelInk = false;
    for (int y = 80; y < 100; ++y) {
        for (int x = 10; x < 60; ++x) {
            labelInk = labelInk || !IsMap(image, x, y);
        }
    }
    EXPECT_TRUE(labelInk);

    QImage none(240, 320, QImage::Format_RGB32);
    none.fill(kMapGrey);
    platform::ScreenMetrics unknown = Handheld();
    unknown.widthMm = 0;
    {
        paint::PaintContext context(&none);
        DrawScaleBar(context, small, unknown, 0.5f, 240, 320);
    }
    EXPECT_EQ(none, [] {
        QImage grey(240, 320, QImage::Format_RGB32);
        grey.fill(kMapGrey);
        return grey;
    }());
}

TEST(MapWndSpeedPanel, OnePaintInFourShowsTheElapsedTime) {
    int counter = 0;
    std::vector<bool> shown;
    for (int paint = 0; paint < 8; ++paint) {
        shown.push_back(StepClockCounter(counter));
    }
    EXPECT_EQ(shown, (std::vector<bool>{false, false, false, true, false, false, false, true}));
    EXPECT_EQ(ElapsedText(59), "00:00");
    EXPECT_EQ(ElapsedText(3725), "01:02");
    EXPECT_EQ(ElapsedText(36000 + 59 * 60), "10:59");
    EXPECT_EQ(AccuracyText(-1, -1), "-1/-1m");
    EXPECT_EQ(AccuracyText(5, 12), "5/12m");
}

TEST(MapWndSpeedPanel, BottomLeftAndTheLabelLimitAboveIt) {
    QImage image(240, 320, QImage::Format_RGB32);
    image.fill(kMapGrey);
    render::LabelStyle large;
    render::LabelStyle small;
    large.font = platform::ToQFont(platform::BuiltInFont(24, 800, Handheld()));
    small.font = platform::ToQFont(platform::BuiltInFont(8, 400, Handheld()));
    LastPosition position;
    position.speedKmh = 42.5f;
    position.altitudeM = 1023.0f;
    int counter = 0;
    int limit = 0;
    {
        paint::PaintContext context(&image);
        limit = DrawSpeedPanel(context, large, small, position, 320, counter);
    }
    EXPECT_GT(limit, 240);
    EXPECT_LT(limit, 320 - 20);
    bool inkAbove = false;
    bool inkBelow = false;
    for (int y = 0; y < 320; ++y) {
        for (int x = 0; x < 240; ++x) {
            if (!IsMap(image, x, y)) {
                (y < limit ? inkAbove : inkBelow) = true;
            }
        }
    }
    EXPECT_FALSE(inkAbove);
    EXPECT_TRUE(inkBelow);
}

// Every overlay on a plain map at 240 × 320, with the window's own pictures.
class ComposeTest : public ::testing::Test {
protected:
    void SetUp() override {
        arrow = PrepareArrow(QImage(":/mapwnd/ArrowGpsFix.png"), 1);
        compass = QImage(":/mapwnd/130.png");
        corner = QImage(":/mapwnd/167.png").convertToFormat(QImage::Format_ARGB32_Premultiplied);
        ASSERT_FALSE(arrow.isNull());
        ASSERT_FALSE(compass.isNull());
        ASSERT_EQ(corner.size(), QSize(32, 32));
        large.font = platform::ToQFont(platform::BuiltInFont(24, 800, Handheld()));
        small.font = platform::ToQFont(platform::BuiltInFont(8, 400, Handheld()));
        label.font = platform::ToQFont(platform::BuiltInFont(12, 1200, Handheld()));
        frame.width = 240;
        frame.height = 320;
        frame.anchor = QPoint(120, 212);
        frame.arrow = &arrow;
        frame.arrowDrawnHeight = arrow.height();
        frame.compass = &compass;
        frame.position = &position;
        frame.scaleKmPerCm = 0.5f;
        frame.screen = Handheld();
        frame.large = &large;
        frame.small = &small;
        frame.positionStyle = &label;
        frame.overlayOutline = kOverlayOutlineDay;
        frame.overlayText = kOverlayTextDay;
        frame.cornerButton = &corner;
        frame.positionLabel = "Avinguda";
    }

    QImage Compose() {
        QImage map(240, 320, QImage::Format_RGB32);
        map.fill(kMapGrey);
        render::ImageBuffer buffer;
        buffer.Load(map);
        ComposeOverlays(buffer, frame, counter);
        return buffer.Image().copy();
    }

    QImage arrow, compass, corner;
    render::LabelStyle large, small, label;
    LastPosition position;
    OverlayFrame frame;
    int counter = 0;
};

TEST_F(ComposeTest, ArrowHangsBelowTheAnchorAndTheCornerButtonIsHalfSeeThrough) {
    const QImage image = Compose();
    EXPECT_TRUE(IsMap(image, 120, 210)) << "nothing above the anchor";
    EXPECT_FALSE(IsMap(image, 120, 212 + arrow.height() / 2));
    // White is the arrow's transparent colour: its top corners show the map.
    EXPECT_TRUE(IsMap(image, 120 - arrow.width() / 2, 212));
    // The button's middle bar, white in the picture, comes out half way to the map's grey.
    const QColor bar = image.pixelColor(240 - 16, 320 - 16);
    EXPECT_GT(bar.red(), 0x80);
    EXPECT_LT(bar.red(), 0xF0);
}

TEST_F(ComposeTest, TheCompassTurnsWithTheHeadingToKeepItsNorthOnTheMapsNorth) {
    const QRect top(18, 0, 12, 16);
    const QRect left(0, 18, 16, 12);
    position.headingDeg = 0;
    QImage image = Compose();
    EXPECT_GT(RedPixels(image, top), 10);
    EXPECT_EQ(RedPixels(image, left), 0);
    position.headingDeg = 90;  // travelling east: north lies to the left
    image = Compose();
    EXPECT_EQ(RedPixels(image, top), 0);
    EXPECT_GT(RedPixels(image, left), 10);
}

TEST_F(ComposeTest, ThePositionLabelIsRedBetweenTheArrowAndTheSpeedPanel) {
    const QImage image = Compose();
    const QRgb red = platform::ToQColor(kPositionLabelText).rgb();
    int first = -1;
    int last = -1;
    for (int y = 0; y < 320; ++y) {
        for (int x = 0; x < 240; ++x) {
            if (image.pixel(x, y) == red) {
                first = first < 0 ? y : first;
                last = y;
            }
        }
    }
    ASSERT_GE(first, 0);
    EXPECT_GE(first, 212 + arrow.height());
    EXPECT_LT(last, 300);

    frame.positionLabel.clear();
    int redLeft = 0;
    const QImage without = Compose();
    for (int y = 0; y < 320; ++y) {
        for (int x = 0; x < 240; ++x) {
            redLeft += without.pixel(x, y) == red ? 1 : 0;
        }
    }
    EXPECT_EQ(redLeft, 0);
}

TEST_F(ComposeTest, TheAnnouncementDrawsWithTheWindowSizeAfterTheAccuracyFigures) {
    int calls = 0;
    frame.announcement = [&](paint::PaintContext& context, int width, int height) {
        ++calls;
        EXPECT_EQ(width, 240);
        EXPECT_EQ(height, 320);
        context.FillRect(platform::Rect{0, 0, 240, 60}, 0x0000FF00);
    };
    position.horizontalAccuracy = 12;
    position.verticalAccuracy = 34;
    const QImage image = Compose();
    EXPECT_EQ(calls, 1);
    // Drawn after the accuracy figures (top right): they are covered.
    EXPECT_EQ(image.pixel(230, 10), 0xFF00FF00);
}

}  // namespace
}  // namespace app
