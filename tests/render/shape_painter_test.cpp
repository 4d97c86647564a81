#include "render/shape_painter.h"

#include <gtest/gtest.h>

#include <QImage>

#include "counting_projection.h"
#include "formats/shape_model.h"
#include "paint/paint_context.h"
#include "pixels.h"
#include "render/map_projection.h"
#include "render/shape_style.h"
#include "synthetic_maps.h"

namespace render {
namespace {

using testmaps::LatLon;

// One degree square over a 100 × 100 canvas: a pixel is 0.01°, (lat, lon) = (1 − y/100, x/100).
class ShapePainterTest : public ::testing::Test {
protected:
    void SetUp() override {
        projection.SetBounds("", "TEST", 1.0f, 0.0f, 0.0f, 1.0f);
        image.fill(Qt::white);
        context = std::make_unique<paint::PaintContext>(&image);
        context->SetAntialiasing(false);
    }

    void PrepareAndDraw(formats::Shape& shape, float resolution = 1000.0f, bool night = false) {
        shape.night = night ? 1 : 0;
        PrepareShape(shape, projection, 100, 100, resolution, false);
        DrawShape(shape, *context, 50, 50, 100, 100, projection, false);
    }

    QRgb Pixel(int x, int y) const { return image.pixel(x, y) & 0xFFFFFF; }

    MapProjection projection;
    QImage image{100, 100, QImage::Format_RGB32};
    std::unique_ptr<paint::PaintContext> context;
};

TEST_F(ShapePainterTest, ARailwayIsBlackWithAWhiteDashOnTop) {
    auto rail = testmaps::Line(20, {{0.5f, 0.1f}, {0.5f, 0.9f}});
    PrepareAndDraw(*rail);
    // Base width 1 + 3: rows 48 to 51 are the black line; the dash runs along row 50.
    int white = 0;
    int black = 0;
    for (int x = 15; x < 85; ++x) {
        EXPECT_EQ(Pixel(x, 48), 0x000000u) << x;
        EXPECT_EQ(Pixel(x, 51), 0x000000u) << x;
        white += Pixel(x, 50) == 0xFFFFFFu ? 1 : 0;
        black += Pixel(x, 50) == 0x000000u ? 1 : 0;
    }
    EXPECT_GT(white, 20);
    EXPECT_GT(black, 20);
    EXPECT_EQ(Pixel(50, 45), 0xFFFFFFu);
    EXPECT_EQ(Pixel(50, 54), 0xFFFFFFu);
}

TEST_F(ShapePainterTest, AnAreaOfType74IsOutlinedWithThePenAlreadySelected) {
    context->SelectPen(QPen(QColor(255, 0, 0), 0));
    auto area = testmaps::Area(74, testmaps::Box(0.2f, 0.2f, 0.8f, 0.8f));
    PrepareAndDraw(*area);
    EXPECT_EQ(Pixel(20, 50), 0xFF0000u) << "left edge";
    EXPECT_EQ(Pixel(50, 20), 0xFF0000u) << "top edge";
    EXPECT_EQ(Pixel(50, 50), platform::ToQColor(0x9CE4F5).rgb() & 0xFFFFFF) << "filled";
    EXPECT_EQ(context->Painter().pen().color(), QColor(255, 0, 0)) << "pen left as it was";

    auto background = testmaps::Area(75, testmaps::Box(0.2f, 0.2f, 0.8f, 0.8f));
    PrepareAndDraw(*background);
    EXPECT_EQ(Pixel(20, 50), platform::ToQColor(0xEDF3FC).rgb() & 0xFFFFFF) << "its own pen";
}

TEST_F(ShapePainterTest, TheFourPatternsFillAreasWithExactlyTheirPixels) {
    const struct {
        int type;
        int resource;
    } patterns[] = {{11, 159}, {25, 165}, {26, 161}, {80, 158}};
    for (const auto& pattern : patterns) {
        image.fill(Qt::white);
        auto area = testmaps::Area(pattern.type, testmaps::Box(0.05f, 0.05f, 0.95f, 0.95f));
        PrepareAndDraw(*area);
        const QImage tile = PatternBitmap(pattern.resource);
        int mismatches = 0;
        // The tiles are laid from the canvas origin.
        for (int y = 10; y < 90; ++y) {
            for (int x = 10; x < 90; ++x) {
                const QRgb expected = tile.pixel(x % tile.width(), y % tile.height()) & 0xFFFFFF;
                mismatches += Pixel(x, y) == expected ? 0 : 1;
            }
        }
        EXPECT_EQ(mismatches, 0) << "type " << pattern.type;

        PrepareAndDraw(*area, 1000.0f, true);
        EXPECT_EQ(Pixel(50, 50), platform::ToQColor(0x595442).rgb() & 0xFFFFFF)
            << "solid at night, type " << pattern.type;
    }
}

TEST_F(ShapePainterTest, AnAreaFarLargerThanTheScreenFillsExactlyItsOwnPixels) {
    // A concave ring crossing itself, thousands of pixels across, with its middle on screen.
    const std::vector<LatLon> ring{{40.0f, -40.0f}, {40.0f, 41.0f},   {0.55f, 0.45f},
                                   {-40.0f, 41.0f}, {-40.0f, -40.0f}, {0.3f, 0.7f}};
    auto area = testmaps::Area(60, ring);
    PrepareAndDraw(*area);
    QImage expected(100, 100, QImage::Format_RGB32);
    expected.fill(Qt::white);
    {
        QPainter painter(&expected);
        painter.setPen(QPen(platform::ToQColor(0xF36D4D), 0));
        painter.setBrush(platform::ToQColor(0xF36D4D));
        std::vector<QPoint> points;
        for (const LatLon& v : ring) {
            points.push_back(projection.GeoToScreen(v.lat, v.lon, 100, 100));
        }
        painter.drawPolygon(points.data(), int(points.size()));
    }
    int differ = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            differ += image.pixel(x, y) == expected.pixel(x, y) ? 0 : 1;
        }
    }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(CountPixels(image, Qt::white), 100) << "the ring's notches stay empty";
}

TEST_F(ShapePainterTest, DrawingTurnsTheCachedPointsWithoutProjectingAgain) {
    CountingProjection counting;
    counting.SetBounds("", "TEST", 1.0f, 0.0f, 0.0f, 1.0f);
    auto road = testmaps::Line(6, {{0.5f, 0.1f}, {0.5f, 0.9f}});
    PrepareShape(*road, counting, 100, 100, 1000.0f, false);
    ASSERT_EQ(road->pointBuffers->canvasPoints.size(), 2u);
    EXPECT_GE(road->pointBuffers->canvasPoints.capacity(), 12u) << "ten spare points";
    EXPECT_EQ(road->pointBuffers->canvasPoints[0], QPoint(10, 50));
    const int afterPrepare = counting.calls;

    counting.SetRotation(90.0f);
    DrawShape(*road, *context, 50, 50, 100, 100, counting, false);
    EXPECT_EQ(counting.calls, afterPrepare);
    // Turned a quarter about the centre: the east-west road now runs down the picture.
    EXPECT_NE(Pixel(50, 15), 0xFFFFFFu);
    EXPECT_NE(Pixel(50, 85), 0xFFFFFFu);
    EXPECT_EQ(Pixel(15, 50), 0xFFFFFFu);
}

TEST_F(ShapePainterTest, PensFollowTheZoomAndAShapeNeverPreparedDrawsNothing) {
    auto road = testmaps::Line(1, {{0.5f, 0.1f}, {0.5f, 0.9f}});
    DrawShape(*road, *context, 50, 50, 100, 100, projection, false);
    EXPECT_TRUE(InkBounds(image).isEmpty());

    PrepareShape(*road, projection, 100, 100, 150.0f, false);
    auto& line = static_cast<formats::ShapePolyline&>(*road);
    ASSERT_TRUE(line.outerPen && line.innerPen);
    EXPECT_EQ(line.outerPen->width(), 4 + 6);
    EXPECT_EQ(line.innerPen->width(), 4 + 2);
    PrepareShape(*road, projection, 100, 100, 150.0f, true);
    EXPECT_EQ(line.outerPen->width(), 4 + 10) << "high resolution";
    auto river = testmaps::Line(31, {{0.5f, 0.1f}, {0.5f, 0.9f}});
    PrepareShape(*river, projection, 100, 100, 600.0f, false);
    EXPECT_FALSE(static_cast<formats::ShapePolyline&>(*river).innerPen);
}

}  // namespace
}  // namespace render
