#include "render/map_projection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <vector>

namespace render {
namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

// 20° × 10° over a 2000 × 1000 canvas, corners given south-east first: 100 pixels per degree.
class MapProjectionTest : public ::testing::Test {
protected:
    void SetUp() override { box.SetBounds("a.vl", "TEST", 40.0f, 30.0f, 50.0f, 10.0f); }

    static constexpr int kW = 2000;
    static constexpr int kH = 1000;
    MapProjection box;
};

TEST_F(MapProjectionTest, CornersMapToCanvasCorners) {
    EXPECT_EQ(box.top, 50.0f);
    EXPECT_EQ(box.left, 10.0f);
    EXPECT_EQ(box.lonSpan, 20.0f);
    EXPECT_EQ(box.state, 2);
    EXPECT_EQ(box.GeoToScreen(50.0f, 10.0f, kW, kH), QPoint(0, 0));
    EXPECT_EQ(box.GeoToScreen(40.0f, 30.0f, kW, kH), QPoint(kW, kH));
    EXPECT_EQ(box.GeoToScreen(51.0f, 9.0f, kW, kH), QPoint(-100, -100));
}

TEST(MapProjectionRoundingTest, HalfPixelsRoundUpward) {
    MapProjection p;  // one pixel per degree; the values below are exact in float
    p.SetBounds("", "", 16.0f, 0.0f, 0.0f, 16.0f);
    EXPECT_EQ(p.GeoToScreen(16.0f, 10.5f, 16, 16).x(), 11);
    EXPECT_EQ(p.GeoToScreen(16.0f, 10.25f, 16, 16).x(), 10);
    EXPECT_EQ(p.GeoToScreen(16.0f, -0.5f, 16, 16).x(), 0);
    EXPECT_EQ(p.GeoToScreen(16.0f, -0.6f, 16, 16).x(), -1);
    EXPECT_EQ(p.GeoToScreen(16.6f, 0.0f, 16, 16).y(), -1);  // north of the box
    EXPECT_EQ(p.GeoToScreen(5.5f, 0.0f, 16, 16).y(), 11);
}

TEST_F(MapProjectionTest, ScreenToGeoUndoesGeoToScreenWithinAPixel) {
    for (int i = 0; i <= 50; ++i) {
        const float lat = 40.0f + 0.1987f * i;
        const float lon = 10.0f + 0.3931f * i;
        const GeoPoint back = box.ScreenToGeo(box.GeoToScreen(lat, lon, kW, kH), kW, kH);
        EXPECT_NEAR(back.lat, lat, 0.01f) << i;
        EXPECT_NEAR(back.lon, lon, 0.01f) << i;
    }
}

TEST_F(MapProjectionTest, RotationZeroMatchesUnrotatedConversions) {
    for (int i = 0; i <= 20; ++i) {
        const float lat = 40.0f + 0.5f * i;
        const float lon = 10.0f + 1.0f * i;
        EXPECT_EQ(box.GeoToScreenRotated(lat, lon, 1000, 500, kW, kH),
                  box.GeoToScreen(lat, lon, kW, kH));
    }
    // sin(360°) in single precision is 1.7e-7, not 0, so above or right of the centre the
    // floor of the undone rotation can drop a pixel; below and left of it the match is exact.
    for (const QPoint p : {QPoint(1000, 500), QPoint(0, 1000), QPoint(400, 700), QPoint(3, 500),
                           QPoint(0, 0), QPoint(2000, 0), QPoint(1500, 100)}) {
        const GeoPoint plain = box.ScreenToGeo(p, kW, kH);
        const GeoPoint turned = box.ScreenToGeoRotated(p, kW, kH);
        const float tolerance = p.x() <= 1000 && p.y() >= 500 ? 0.0f : 0.0101f;
        EXPECT_NEAR(turned.lat, plain.lat, tolerance) << p.x() << "," << p.y();
        EXPECT_NEAR(turned.lon, plain.lon, tolerance) << p.x() << "," << p.y();
    }
}

TEST_F(MapProjectionTest, QuarterTurnAndItsUndoing) {
    box.SetRotation(90.0f);
    // Screen y grows downward: right of the centre turns to above it, below turns to the
    // right. cos(90°) in float is a hair below 0, so a floor may take one pixel more.
    const QPoint right = box.RotatePoint(110, 50, 100, 50);
    EXPECT_NEAR(right.x(), 100, 1);
    EXPECT_EQ(right.y(), 40);
    const QPoint below = box.RotatePoint(100, 60, 100, 50);
    EXPECT_EQ(below.x(), 110);
    EXPECT_NEAR(below.y(), 50, 1);

    // Half a pixel from rounding and up to one from each floor: within three pixels.
    for (const float deg : {90.0f, 33.0f, 211.5f}) {
        box.SetRotation(deg);
        for (int i = 0; i <= 10; ++i) {
            const float lat = 42.0f + 0.6f * i;
            const float lon = 14.0f + 1.2f * i;
            const QPoint screen = box.GeoToScreenRotated(lat, lon, kW / 2, kH / 2, kW, kH);
            const GeoPoint back = box.ScreenToGeoRotated(screen, kW, kH);
            EXPECT_NEAR(back.lat, lat, 0.03f) << deg << " " << i;
            EXPECT_NEAR(back.lon, lon, 0.03f) << deg << " " << i;
        }
    }
}

TEST(PixelConversionTest, OutOfRangeValuesSaturate) {
    EXPECT_EQ(FloorToPixel(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(FloorToPixel(3.0e9f), kIntMax);
    EXPECT_EQ(FloorToPixel(2147483520.0f), 2147483520);  // largest float below 2^31
    EXPECT_EQ(FloorToPixel(-2147483648.0f), kIntMin);

    MapProjection flat;  // zero spans: ±infinity, and 0 ÷ 0 on the box itself
    flat.SetBounds("", "", 45.0f, 20.0f, 45.0f, 20.0f);
    EXPECT_EQ(flat.GeoToScreen(44.0f, 21.0f, 100, 100), QPoint(kIntMax, kIntMax));
    EXPECT_EQ(flat.GeoToScreen(46.0f, 19.0f, 100, 100), QPoint(kIntMin, kIntMin));
    EXPECT_EQ(flat.GeoToScreen(45.0f, 20.0f, 100, 100), QPoint(0, 0));

    const QPoint far = MapProjection().RotatePoint(kIntMax, kIntMin, -1000, 1000);
    EXPECT_GT(far.x(), 0);  // no wrap to the other side
    EXPECT_LT(far.y(), 0);
}

// The many-point turn and the turned bounds of a box are RotatePoint's, point for point and
// corner for corner, at every quarter and in between, near the centre and at the int limits.
TEST(MapProjectionTurnTest, PointsAndBoxBoundsTurnAsOnePointDoes) {
    std::mt19937 random(3);
    const std::vector<int> far{kIntMin, kIntMin + 1, -(1 << 29), (1 << 29) - 1,
                               1 << 29, kIntMax - 1, kIntMax};
    const auto coordinate = [&] {
        const int pick = std::uniform_int_distribution<int>(0, 9)(random);
        if (pick < int(far.size())) {
            return far[size_t(pick)];
        }
        return std::uniform_int_distribution<int>(-3000, 3000)(random);
    };
    for (float degrees : {0.0f, 37.0f, 90.0f, 135.5f, 180.0f, 200.0f, 270.0f, 333.0f, -45.0f}) {
        MapProjection projection;
        projection.SetRotation(degrees);
        for (int round = 0; round < 400; ++round) {
            const int cx = round % 7 == 0 ? coordinate() : 400;
            const int cy = round % 7 == 0 ? coordinate() : 240;
            const std::vector<QPoint> corners{{coordinate(), coordinate()},
                                              {coordinate(), coordinate()}};
            const std::vector<QPoint> box{corners[0],
                                          {corners[1].x(), corners[0].y()},
                                          {corners[0].x(), corners[1].y()},
                                          corners[1]};
            std::vector<QPoint> turned(box.size());
            projection.RotatePoints(box.data(), turned.data(), box.size(), cx, cy);
            platform::Rect expected{kIntMax, kIntMax, kIntMin, kIntMin};
            for (size_t i = 0; i < box.size(); ++i) {
                const QPoint one = projection.RotatePoint(box[i].x(), box[i].y(), cx, cy);
                ASSERT_EQ(turned[i], one) << degrees << " degrees, point " << i;
                expected.left = std::min(expected.left, one.x());
                expected.top = std::min(expected.top, one.y());
                expected.right = std::max(expected.right, one.x());
                expected.bottom = std::max(expected.bottom, one.y());
            }
            const platform::Rect bounds = projection.TurnedBounds(
                corners[0].x(), corners[0].y(), corners[1].x(), corners[1].y(), cx, cy);
            ASSERT_EQ(bounds.left, expected.left) << degrees << " degrees, round " << round;
            ASSERT_EQ(bounds.top, expected.top) << degrees << " degrees, round " << round;
            ASSERT_EQ(bounds.right, expected.right) << degrees << " degrees, round " << round;
            ASSERT_EQ(bounds.bottom, expected.bottom) << degrees << " degrees, round " << round;
        }
    }
}

// Runs of every length up to nine, turned two points at a time while they are near and one at
// a time from a point that is not: each comes out as RotatePoint turns it.
TEST(MapProjectionTurnTest, RunsWithAPointFarOutTurnAsOnePointDoes) {
    std::mt19937 random(7);
    const std::vector<int> far{kIntMin, -(1 << 29), 1 << 29, kIntMax};
    for (float degrees : {37.0f, 180.0f, 291.0f}) {
        MapProjection projection;
        projection.SetRotation(degrees);
        for (int round = 0; round < 300; ++round) {
            std::vector<QPoint> points(size_t(round % 10));
            for (QPoint& point : points) {
                point = {std::uniform_int_distribution<int>(-(1 << 28), 1 << 28)(random),
                         std::uniform_int_distribution<int>(-3000, 3000)(random)};
            }
            if (!points.empty() && round % 3 == 0) {
                QPoint& odd = points[size_t(round) % points.size()];
                (round % 2 == 0 ? odd.rx() : odd.ry()) = far[size_t(round / 3) % far.size()];
            }
            std::vector<QPoint> turned(points.size());
            projection.RotatePoints(points.data(), turned.data(), points.size(), 400, 240);
            for (size_t i = 0; i < points.size(); ++i) {
                ASSERT_EQ(turned[i], projection.RotatePoint(points[i].x(), points[i].y(), 400, 240))
                    << degrees << " degrees, round " << round << ", point " << i;
            }
        }
    }
}

// Every canvas point that turns into a screen box lies in the box turned back, at every
// heading: the layers pass over shapes outside it without turning them.
TEST(MapProjectionTurnTest, TheViewTurnedBackHoldsEveryPointTurnedIntoIt) {
    std::mt19937 random(5);
    const platform::Rect screen{0, 0, 800, 480};
    for (float degrees : {0.0f, 37.0f, 90.0f, 135.5f, 180.0f, 270.0f, 333.0f}) {
        MapProjection projection;
        projection.SetRotation(degrees);
        const platform::Rect back = projection.UnturnedBounds(screen, 400, 240);
        int inside = 0;
        for (int round = 0; round < 4000; ++round) {
            const int x = std::uniform_int_distribution<int>(-600, 1400)(random);
            const int y = std::uniform_int_distribution<int>(-600, 1100)(random);
            if (!screen.Contains(projection.RotatePoint(x, y, 400, 240))) {
                continue;
            }
            ++inside;
            ASSERT_TRUE(x >= back.left && x <= back.right && y >= back.top && y <= back.bottom)
                << degrees << " degrees: " << x << ", " << y;
        }
        EXPECT_GT(inside, 300);
        // No larger than the turned screen needs.
        EXPECT_LE(back.right - back.left, 800 + 480 + 8);
    }
}

}  // namespace
}  // namespace render
