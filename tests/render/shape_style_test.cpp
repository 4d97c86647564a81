#include "render/shape_style.h"

#include <gtest/gtest.h>

#include <QPainter>

namespace render {
namespace {

using Dash = PenSpec::Dash;

TEST(ShapeStyle, BasePenWidthByResolution) {
    EXPECT_EQ(BasePenWidth(199.0f), 4);
    EXPECT_EQ(BasePenWidth(200.0f), 2);
    EXPECT_EQ(BasePenWidth(499.0f), 2);
    EXPECT_EQ(BasePenWidth(500.0f), 1);
    EXPECT_EQ(BasePenWidth(50000.0f), 1);
}

TEST(ShapeStyle, RoadPensByScreenClass) {
    const PolylinePens motorway = PolylinePensFor(1, 100.0f, false);
    EXPECT_EQ(motorway.outer, (PenSpec{Dash::kSolid, 10, 0x4CB122}));
    ASSERT_TRUE(motorway.inner);
    EXPECT_EQ(*motorway.inner, (PenSpec{Dash::kSolid, 6, 0xC8C8C8}));
    const PolylinePens motorwayLarge = PolylinePensFor(1, 100.0f, true);
    EXPECT_EQ(motorwayLarge.outer.width, 14);
    EXPECT_EQ(motorwayLarge.inner->width, 8);

    const PolylinePens link = PolylinePensFor(9, 600.0f, false);
    EXPECT_EQ(link.outer, (PenSpec{Dash::kSolid, 4, 0xBEBEBE}));
    EXPECT_EQ(*link.inner, (PenSpec{Dash::kSolid, 3, 0x241CED}));
    EXPECT_EQ(PolylinePensFor(6, 600.0f, false).inner->width, 1) << "+0 on the base width";
    EXPECT_EQ(PolylinePensFor(65000, 300.0f, true).inner->color, 0xFFFF80u);
}

TEST(ShapeStyle, LinesWithoutAnInnerPen) {
    for (int type : {21, 24, 28, 29, 30, 31, 33, 261}) {
        EXPECT_FALSE(PolylinePensFor(type, 300.0f, false).inner) << type;
    }
    const PolylinePens river = PolylinePensFor(31, 300.0f, true);
    EXPECT_EQ(river.outer, (PenSpec{Dash::kSolid, 5, 0xEFB700}));
    const PolylinePens unknown = PolylinePensFor(77, 100.0f, true);
    EXPECT_EQ(unknown.outer, (PenSpec{Dash::kSolid, 4, 0x787878}));
    EXPECT_FALSE(unknown.inner);
    EXPECT_EQ(PolylinePensFor(32, 100.0f, false).outer, (PenSpec{Dash::kDotted, 4, 0x300099}));
}

TEST(ShapeStyle, RailwayIsBlackWithAWhiteDash) {
    const PolylinePens railway = PolylinePensFor(20, 600.0f, false);
    EXPECT_EQ(railway.outer, (PenSpec{Dash::kSolid, 4, 0x000000}));
    ASSERT_TRUE(railway.inner);
    EXPECT_EQ(*railway.inner, (PenSpec{Dash::kDashed, 1, 0xFFFFFF}));

    QImage image(60, 9, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    painter.setPen(railway.outer.ToQPen());
    painter.drawLine(5, 4, 55, 4);
    painter.setPen(railway.inner->ToQPen());
    painter.drawLine(5, 4, 55, 4);
    painter.end();
    int white = 0;
    int black = 0;
    for (int x = 8; x < 52; ++x) {
        const QColor pixel = image.pixelColor(x, 4);
        white += pixel == QColor(Qt::white);
        black += pixel == QColor(Qt::black);
    }
    EXPECT_GT(white, 10);
    EXPECT_GT(black, 10);
    EXPECT_EQ(image.pixelColor(30, 2), QColor(Qt::black)) << "the outer pen shows around it";
}

TEST(ShapeStyle, AreaOutlines) {
    EXPECT_FALSE(PolygonOutlinePen(74));
    const std::pair<int, platform::ColorRef> cases[] = {
        {1, 0x9CE4F5},  {3, 0x9CE4F5},  {12, 0xB4B4B4}, {19, 0x7AAAE5}, {20, 0x4CB122},
        {23, 0x4CB122}, {40, 0xF36D4D}, {50, 0xF36D4D}, {59, 0xF36D4D}, {73, 0xF36D4D},
        {76, 0xF36D4D}, {75, 0xEDF3FC}, {4, 0x007EFF},  {80, 0x007EFF}};
    for (const auto& [type, color] : cases) {
        const std::optional<PenSpec> pen = PolygonOutlinePen(type);
        ASSERT_TRUE(pen) << type;
        EXPECT_EQ(*pen, (PenSpec{Dash::kSolid, 0, color})) << type;
    }
}

TEST(ShapeStyle, AreaFillsByDayAndNight) {
    const std::pair<int, platform::ColorRef> day[] = {
        {1, 0xB1A3FF},  {2, 0xB1A3FF},  {3, 0x9E9ECF},  {12, 0xB4B4B4},
        {19, 0x7AAAE5}, {21, 0x1DE6A8}, {60, 0xF36D4D}, {74, 0x9CE4F5},
        {75, 0x9CE4F5}, {76, 0xEAD999}, {99, 0x007EFF}};
    for (const auto& [type, color] : day) {
        EXPECT_EQ(PolygonFillBrush(type, false).color(), platform::ToQColor(color)) << type;
        EXPECT_EQ(PolygonFillBrush(type, false).style(), Qt::SolidPattern) << type;
    }
    for (int type : {40, 50, 65, 76}) {
        EXPECT_EQ(PolygonFillBrush(type, true).color(), platform::ToQColor(0x8E6D54)) << type;
    }
    for (int type : {1, 11, 75, 80}) {
        EXPECT_EQ(PolygonFillBrush(type, true).color(), platform::ToQColor(0x595442)) << type;
    }
    EXPECT_EQ(PolygonFillBrush(80, false).textureImage(), PatternBitmap(158));
    EXPECT_EQ(PolygonFillBrush(11, false).textureImage(), PatternBitmap(159));
    EXPECT_EQ(PolygonFillBrush(26, false).textureImage(), PatternBitmap(161));
    EXPECT_EQ(PolygonFillBrush(25, false).textureImage(), PatternBitmap(165));
}

TEST(ShapeStyle, PatternsHaveExactlyTheirPixels) {
    EXPECT_EQ(PatternBitmap(159).size(), QSize(8, 8));
    EXPECT_EQ(PatternBitmap(161).size(), QSize(7, 7));
    EXPECT_EQ(PatternBitmap(158).size(), QSize(8, 8));
    EXPECT_EQ(PatternBitmap(165).size(), QSize(14, 15));
    EXPECT_TRUE(PatternBitmap(160).isNull());

    const QImage hospital = PatternBitmap(159);
    EXPECT_EQ(hospital.pixel(0, 0), qRgb(112, 154, 209));
    EXPECT_EQ(hospital.pixel(2, 0), qRgb(153, 217, 234));
    EXPECT_EQ(hospital.pixel(5, 2), qRgb(153, 217, 234));
    EXPECT_EQ(hospital.pixel(6, 2), qRgb(112, 154, 209));
    const QImage forest = PatternBitmap(158);
    EXPECT_EQ(forest.pixel(3, 0), qRgb(0, 0, 0));
    EXPECT_EQ(forest.pixel(3, 3), qRgb(0, 128, 0));
    EXPECT_EQ(forest.pixel(7, 7), qRgb(168, 230, 29));
    const QImage cemetery = PatternBitmap(161);
    EXPECT_EQ(cemetery.pixel(2, 0), qRgb(128, 128, 0));
    EXPECT_EQ(cemetery.pixel(4, 2), qRgb(128, 128, 0));
    EXPECT_EQ(cemetery.pixel(5, 2), qRgb(0, 255, 0));
    const QImage sports = PatternBitmap(165);
    EXPECT_EQ(sports.pixel(2, 1), qRgb(0, 0, 0));
    EXPECT_EQ(sports.pixel(12, 3), qRgb(0, 0, 0));
    EXPECT_EQ(sports.pixel(13, 3), qRgb(0, 255, 0));
    EXPECT_EQ(sports.pixel(10, 13), qRgb(0, 0, 0));
    int black = 0;
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 14; ++x) {
            black += sports.pixel(x, y) == qRgb(0, 0, 0);
        }
    }
    EXPECT_EQ(black, 56);
}

}  // namespace
}  // namespace render
