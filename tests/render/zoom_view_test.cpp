#include "render/zoom_view.h"

#include <gtest/gtest.h>

#include "fixed_window.h"
#include "render/map_projection.h"

namespace render {
namespace {

platform::ScreenMetrics Screen(int widthMm) {
    platform::ScreenMetrics metrics;
    metrics.widthMm = widthMm;
    return metrics;
}

// No window, so the scale stays where the test puts it and only the canvas moves.
ZoomView Detached(int percentX, int percentY, float scale) {
    ZoomView view;
    view.base = PixelRect{0, 0, 1000, 1000};
    view.current = PixelRect{0, 0, percentX * 10, percentY * 10};
    view.scale = scale;
    view.Update();
    return view;
}

// 10° of the equator over a 1000-pixel canvas; the 100-pixel window shows 1°, 111.195 km,
// across a 5 cm screen: 22.239 km/cm at 100 %, measured along the north edge.
class EquatorViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        projection.SetBounds("", "TEST", 0.0f, 0.0f, -10.0f, 10.0f);
        view.window = &window;
        view.projection = &projection;
        view.Reset(1000, 1000, Screen(50));
    }

    FixedWindow window;
    MapProjection projection;
    ZoomView view;
};

TEST_F(EquatorViewTest, ScaleIsMeasuredAcrossTheWindow) {
    EXPECT_NEAR(view.scale, 22.239f, 1e-3f);
    view.current.right = 2006;
    view.Update();
    EXPECT_EQ(view.zoomPercentX, 201);  // 200.6 rounds to nearest
    EXPECT_NEAR(view.scale, 11.086f, 1e-3f);
    // A zero-width canvas leaves percentages and scale alone.
    view.current.right = 0;
    view.Update();
    EXPECT_EQ(view.zoomPercentX, 201);
    EXPECT_NEAR(view.scale, 11.086f, 1e-3f);
}

TEST(ZoomPercentTest, ZoomInAddsTenPercentPerStartedTen) {
    ZoomView view = Detached(100, 100, 1.0f);
    EXPECT_TRUE(view.ZoomIn(10));
    EXPECT_EQ(view.zoomPercentY, 110);
    EXPECT_EQ(view.current.right, 1100);
    view = Detached(100, 100, 1.0f);
    EXPECT_TRUE(view.ZoomIn(50));  // 110, 121, 133, 146, 160
    EXPECT_EQ(view.zoomPercentX, 160);
    // 9 × 10 ÷ 100 is 0: below 10 % zooming in cannot grow the canvas.
    view = Detached(9, 9, 1.0f);
    EXPECT_TRUE(view.ZoomIn(50));
    EXPECT_EQ(view.current.right, 90);
}

TEST(ZoomPercentTest, ZoomOutTakesTenPercentAndKeepsAtLeastTen) {
    ZoomView view = Detached(100, 100, 1.0f);
    EXPECT_TRUE(view.ZoomOut(10));
    EXPECT_EQ(view.current.right, 900);
    view = Detached(100, 100, 1.0f);
    EXPECT_TRUE(view.ZoomOut(50));  // 90, 81, 73, 66, 60
    EXPECT_EQ(view.zoomPercentX, 60);
    // Below 20 % the passes end; 10 to 19 is kept, and either axis below 10 undoes both.
    view = Detached(21, 21, 1.0f);
    EXPECT_TRUE(view.ZoomOut(50));
    EXPECT_EQ(view.current.right, 190);
    view = Detached(50, 10, 1.0f);
    EXPECT_TRUE(view.ZoomOut(10));
    EXPECT_EQ(view.zoomPercentX, 50);
    EXPECT_EQ(view.zoomPercentY, 10);
}

TEST(ZoomLimitTest, StepsAreRefusedExactlyAtTheLimits) {
    ZoomView view = Detached(100, 100, 0.1f);
    EXPECT_FALSE(view.ZoomIn(10));
    EXPECT_EQ(view.current.right, 1000);
    view = Detached(100, 100, 0.10000001f);
    EXPECT_TRUE(view.ZoomIn(10));
    view = Detached(100, 100, 50.0f);
    EXPECT_FALSE(view.ZoomOut(10));
    EXPECT_EQ(view.current.right, 1000);
    view = Detached(100, 100, 49.999996f);
    EXPECT_TRUE(view.ZoomOut(10));
}

TEST_F(EquatorViewTest, MultiPassZoomOutStopsPastSixtyKmPerCm) {
    view.Reset(1000, 1000, Screen(23));  // 48.3 km/cm; 90 % and 81 % stay below 60
    EXPECT_TRUE(view.ZoomOut(50));
    EXPECT_EQ(view.zoomPercentX, 73);
    EXPECT_GT(view.scale, 60.0f);
}

TEST_F(EquatorViewTest, ZoomToScaleStopsAtTheFirstStepPastTheTarget) {
    EXPECT_TRUE(view.ZoomToScale(0.7f));
    EXPECT_LE(view.scale, 0.7f);
    EXPECT_GT(view.scale, 0.7f / 1.62f);  // one ZoomIn(50) divides by at most 1.61
    view.Reset(1000, 1000, Screen(50));
    EXPECT_TRUE(view.ZoomToScale(40.0f));
    EXPECT_GE(view.scale, 40.0f);
    EXPECT_LT(view.scale, 40.0f / 0.59f);
}

TEST_F(EquatorViewTest, ZoomToScaleEndsWhenAStepChangesNothing) {
    ZoomView detached = Detached(100, 100, 5.0f);
    EXPECT_FALSE(detached.ZoomToScale(1.0f));
    EXPECT_FALSE(detached.ZoomToScale(20.0f));

    view.current = PixelRect{0, 0, 90, 90};  // 9 % cannot grow
    view.Update();
    EXPECT_FALSE(view.ZoomToScale(1.0f));
    EXPECT_EQ(view.zoomPercentX, 9);

    // 0.1° of longitude is only 2.2 km/cm even at 10 %.
    projection.SetBounds("", "TEST", 0.0f, 0.0f, -0.1f, 0.1f);
    view.Reset(1000, 1000, Screen(50));
    EXPECT_FALSE(view.ZoomToScale(50.0f));
    EXPECT_EQ(view.zoomPercentX, 10);
}

TEST(ZoomResolutionTest, WholeMetresPerCentimetre) {
    EXPECT_EQ(ZoomResolution(1.5f), 1500.0f);
    EXPECT_EQ(ZoomResolution(0.7f), 699.0f);  // 0.7f is 0.69999999; the product is cut
    EXPECT_EQ(ZoomResolution(22.2389f), 22238.0f);
}

}  // namespace
}  // namespace render
