#include "formats/shape_model.h"

#include <gtest/gtest.h>

namespace formats {
namespace {

TEST(WantedCbits, EachBoundBelongsToTheNextRow) {
    const struct {
        float resolution;
        int cbits;
    } rows[] = {
        {0.0f, 24},      {299.9f, 24},    {300.0f, 22},    {499.0f, 22},   {500.0f, 21},
        {1199.0f, 21},   {1200.0f, 20},   {2000.0f, 19},   {2500.0f, 19},  {3000.0f, 18},
        {5000.0f, 17},   {9000.0f, 16},   {20000.0f, 15},  {50000.0f, 14}, {120000.0f, 13},
        {300000.0f, 12}, {799999.0f, 12}, {800000.0f, 11}, {1e12f, 11},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(WantedCbits(row.resolution), row.cbits) << row.resolution;
    }
}

class SelectLevelTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (uint32_t cbits : {24u, 22u, 18u}) {
            auto level = std::make_unique<ShapeLevel>();
            level->cbits = cbits;
            file.levels.push_back(std::move(level));
        }
    }
    ShapeFile file;
};

TEST_F(SelectLevelTest, PicksTheCoarsestLevelDetailedEnough) {
    EXPECT_EQ(file.SelectLevel(2500.0f), 19);
    EXPECT_EQ(file.currentLevel, 1u) << "22 cbits";
    EXPECT_EQ(file.SelectLevel(100.0f), 24);
    EXPECT_EQ(file.currentLevel, 0u);
    EXPECT_EQ(file.SelectLevel(1e6f), 11);
    EXPECT_EQ(file.currentLevel, 2u);
    EXPECT_EQ(file.CurrentLevel(), file.levels[2].get());
}

TEST_F(SelectLevelTest, FallsBackToTheFirstLevelWhenNoneIsDetailedEnough) {
    file.levels.erase(file.levels.begin(), file.levels.begin() + 2);  // 18 cbits only
    file.SelectLevel(1e6f);
    ASSERT_EQ(file.currentLevel, 0u);
    file.levels.push_back(std::make_unique<ShapeLevel>());  // 0 cbits
    file.SelectLevel(1e6f);
    EXPECT_EQ(file.currentLevel, 0u);
    EXPECT_EQ(file.SelectLevel(100.0f), 24);
    EXPECT_EQ(file.currentLevel, 0u);

    ShapeFile empty;
    EXPECT_EQ(empty.SelectLevel(100.0f), 24);
    EXPECT_EQ(empty.currentLevel, 0u);
    EXPECT_EQ(empty.CurrentLevel(), nullptr);
}

ShapePtr<ShapePolygon> Ring(std::initializer_list<std::pair<float, float>> vertices) {
    auto ring = MakeShape<ShapePolygon>();
    for (const auto& [lat, lon] : vertices) {
        ring->AddVertex(lat, lon);
    }
    return ring;
}

TEST(Contains, AnswersFromAnyCoverageRing) {
    ShapeFile file;
    EXPECT_FALSE(file.Contains(0.0f, 0.0f)) << "no coverage polygons";
    file.coverage.push_back(Ring({{0, 0}, {4, 0}, {4, 4}, {0, 4}}));
    file.coverage.push_back(Ring({{10, 10}, {12, 11}, {10, 12}}));  // a triangle
    EXPECT_TRUE(file.Contains(2.0f, 2.0f));
    EXPECT_FALSE(file.Contains(2.0f, 5.0f));
    EXPECT_FALSE(file.Contains(-1.0f, 2.0f));
    EXPECT_TRUE(file.Contains(11.0f, 11.0f));
    EXPECT_FALSE(file.Contains(11.5f, 10.1f));
}

TEST(Contains, APointOnAVertexLatitudeCountsOnOneSideOnly) {
    ShapeFile file;
    // A diamond: its east and west vertices lie on latitude 2.
    file.coverage.push_back(Ring({{0, 2}, {2, 4}, {4, 2}, {2, 0}}));
    EXPECT_TRUE(file.Contains(2.0f, 2.0f));
    EXPECT_TRUE(file.Contains(2.0f, 3.9f));
    EXPECT_FALSE(file.Contains(2.0f, 4.5f));
    EXPECT_FALSE(file.Contains(2.0f, -0.5f));
    // The southern and northern tips.
    EXPECT_FALSE(file.Contains(0.0f, 2.0f));
    EXPECT_FALSE(file.Contains(4.0f, 2.0f));
}

TEST(Contains, RingsTooSmallToEncloseAnythingContainNothing) {
    ShapeFile file;
    file.coverage.push_back(Ring({}));
    file.coverage.push_back(Ring({{1, 1}}));
    file.coverage.push_back(Ring({{0, 0}, {2, 2}}));
    EXPECT_FALSE(file.Contains(1.0f, 1.0f));
    EXPECT_FALSE(file.Contains(1.0f, 0.5f));
}

template <typename T>
ShapePtr<> TypedShape(int32_t type, double sortKey = 0.0) {
    ShapePtr<> shape = MakeShape<T>();
    shape->type = type;
    shape->sortKey = sortKey;
    return shape;
}

TEST(OrderForDrawing, PolygonsByKeyThenPolylinesByTypeThenPointsAsRead) {
    ShapeLevel level;
    level.shapes.push_back(TypedShape<ShapePoint>(3));
    level.shapes.push_back(TypedShape<ShapePolyline>(1));
    level.shapes.push_back(TypedShape<ShapePolygon>(10, 0.5));
    level.shapes.push_back(TypedShape<ShapePoint>(1));
    level.shapes.push_back(TypedShape<ShapePolyline>(6));
    level.shapes.push_back(TypedShape<ShapePolygon>(11, 2.0));
    level.shapes.push_back(TypedShape<ShapePoint>(2));
    OrderForDrawing(level);
    std::vector<std::pair<int, int32_t>> order;
    for (const auto& shape : level.shapes) {
        order.emplace_back(shape->Kind(), shape->type);
    }
    EXPECT_EQ(order, (std::vector<std::pair<int, int32_t>>{{kShapeKindPolygon, 11},
                                                           {kShapeKindPolygon, 10},
                                                           {kShapeKindPolyline, 6},
                                                           {kShapeKindPolyline, 1},
                                                           {kShapeKindPoint, 3},
                                                           {kShapeKindPoint, 1},
                                                           {kShapeKindPoint, 2}}));
}

TEST(ComputeBoundsAndCoverage, WidensOverAllObjectsAndCopiesBackgroundAreas) {
    ShapeFile file;
    EXPECT_EQ(VertexBounds(ShapePoint()), kEmptyArea);
    file.ComputeBoundsAndCoverage();
    EXPECT_EQ(file.bounds, kEmptyArea) << "no objects: the empty area";

    auto level = std::make_unique<ShapeLevel>();
    auto area = MakeShape<ShapePolygon>();
    area->type = 0x4B;
    for (auto [lat, lon] : {std::pair{0.0f, 0.0f}, {0.0f, 4.0f}, {2.0f, 4.0f}, {2.0f, 0.0f}}) {
        area->AddVertex(lat, lon);
    }
    area->bounds = VertexBounds(*area);
    EXPECT_EQ(area->bounds, (GeoRect{0.0f, 2.0f, 4.0f, 0.0f}));
    level->shapes.push_back(std::move(area));
    auto lake = MakeShape<ShapePolygon>();  // another type: not coverage
    lake->type = 0x3C;
    lake->AddVertex(-1.0f, 5.0f);
    lake->bounds = VertexBounds(*lake);
    level->shapes.push_back(std::move(lake));
    level->shapes.push_back(MakeShape<ShapePolyline>());  // no vertices: adds nothing
    level->shapes.back()->bounds = kEmptyArea;
    file.levels.push_back(std::move(level));

    file.ComputeBoundsAndCoverage();
    EXPECT_EQ(file.bounds, (GeoRect{0.0f, 2.0f, 5.0f, -1.0f}));
    ASSERT_EQ(file.coverage.size(), 1u);
    EXPECT_TRUE(file.Contains(1.0f, 1.0f));
    EXPECT_FALSE(file.Contains(1.0f, 4.5f));
    file.levels.clear();
    EXPECT_TRUE(file.Contains(1.0f, 1.0f)) << "the coverage ring is the file's own copy";
}

}  // namespace
}  // namespace formats
