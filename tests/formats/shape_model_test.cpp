#include "formats/shape_model.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

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

ShapePtr<ShapePolyline> Road(int type, std::initializer_list<std::pair<float, float>> vertices,
                             const char* label = "") {
    auto line = MakeShape<ShapePolyline>();
    line->type = type;
    line->SetLabel(QString::fromUtf8(label));
    line->bounds = GeoRect{180.0f, -90.0f, -180.0f, 90.0f};
    for (const auto& [lat, lon] : vertices) {
        line->AddVertex(lat, lon);
        line->bounds.west = std::min(line->bounds.west, lon);
        line->bounds.east = std::max(line->bounds.east, lon);
        line->bounds.south = std::min(line->bounds.south, lat);
        line->bounds.north = std::max(line->bounds.north, lat);
    }
    return line;
}

TEST(DistanceTo, OnlyRoadsNearAndInsideTheirRectangleAnswer) {
    // A road along the parallel 10.0 from 20.0 to 21.0 E.
    const auto road = Road(6, {{10.0f, 20.0f}, {10.0f, 21.0f}});
    EXPECT_NEAR(road->DistanceTo(10.0f, 20.5f), 0.0, 1e-9);
    // Beside the road, off its flat rectangle, but within the search distance.
    EXPECT_NEAR(road->DistanceTo(10.0004f, 20.5f), 0.0004, 1e-6);
    EXPECT_EQ(road->DistanceTo(10.0f, 21.1f), -1.0) << "beyond its end";
    EXPECT_NEAR(road->DistanceTo(10.0f, 21.0004f), 0.0004, 1e-6) << "from its end point";

    // Inside a wider rectangle, the nearest segment nearer than 0.0005 answers, in degrees.
    const auto bend = Road(3, {{10.0f, 20.0f}, {10.0f, 20.5f}, {11.0f, 20.5f}});
    EXPECT_NEAR(bend->DistanceTo(10.0004f, 20.2f), 0.0004, 1e-6);
    EXPECT_EQ(bend->DistanceTo(10.3f, 20.2f), -1.0) << "nothing within 0.0005";
    EXPECT_NEAR(bend->DistanceTo(10.5f, 20.4996f), 0.0004, 1e-6) << "second segment";

    // A street in short segments: on the second, the end of the first is 0.0004 away, yet the
    // street runs under the point.
    const auto street = Road(6, {{10.0f, 20.0f}, {10.0f, 20.001f}, {10.0f, 20.002f}});
    EXPECT_NEAR(street->DistanceTo(10.0f, 20.0014f), 0.0, 1e-9);

    const auto river = Road(31, {{10.0f, 20.0f}, {10.0f, 21.0f}});
    EXPECT_EQ(river->DistanceTo(10.0f, 20.5f), -1.0);
    EXPECT_EQ(Road(12, {{10.0f, 20.0f}, {10.0f, 21.0f}})->DistanceTo(10.0f, 20.5f), 0.0);
    EXPECT_EQ(Road(6, {{10.0f, 20.0f}})->DistanceTo(10.0f, 20.0f), -1.0) << "one vertex";

    ShapePoint point;
    point.AddVertex(10.0f, 20.0f);
    EXPECT_EQ(point.DistanceTo(10.0f, 20.0f), -1.0);
    EXPECT_EQ(ShapePolygon().DistanceTo(10.0f, 20.0f), -1.0);
}

TEST(DistanceTo, ASegmentWithCoincidentEndsIsItsPoint) {
    auto spot = Road(6, {{10.0f, 20.0f}, {10.0f, 20.0f}});
    spot->bounds = GeoRect{19.0f, 11.0f, 21.0f, 9.0f};
    EXPECT_NEAR(spot->DistanceTo(10.0002f, 20.0003f), 0.00036, 1e-5);
    EXPECT_EQ(spot->DistanceTo(10.0006f, 20.0f), -1.0);
}

class FindRoadAtTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto level = std::make_unique<ShapeLevel>();
        level->shapes.push_back(Road(31, {{10.0f, 20.0f}, {10.0f, 21.0f}}, "River"));
        level->shapes.push_back(Road(6, {{9.9f, 20.5f}, {10.1f, 20.5f}}, "Near"));
        level->shapes.push_back(Road(6, {{9.9f, 20.5003f}, {10.1f, 20.5003f}}, "Far"));
        file.levels.push_back(std::move(level));
    }
    ShapeFile file;
};

TEST_F(FindRoadAtTest, TakesTheNearestRoadAndIgnoresARiverUnderThePoint) {
    QString name = "unchanged";
    // On the river, 0.0001 from "Near" and 0.0002 from "Far".
    const Shape* found = file.FindRoadAt(10.0f, 20.5001f, name);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(name, "Near");
    EXPECT_EQ(found, file.levels[0]->shapes[1].get());
}

TEST_F(FindRoadAtTest, ARoadFoundByDistanceToMayStillBeTooFar) {
    file.levels[0]->shapes.erase(file.levels[0]->shapes.begin() + 2);
    QString name = "unchanged";
    // 0.0004 away: DistanceTo answers, FindRoadAt does not.
    EXPECT_NEAR(file.levels[0]->shapes[1]->DistanceTo(10.0f, 20.5004f), 0.0004, 1e-6);
    EXPECT_EQ(file.FindRoadAt(10.0f, 20.5004f, name), nullptr);
    EXPECT_EQ(name, "unchanged");
    EXPECT_NE(file.FindRoadAt(10.0f, 20.5002f, name), nullptr);
    EXPECT_EQ(name, "Near");
    EXPECT_EQ(ShapeFile().FindRoadAt(10.0f, 20.5f, name), nullptr) << "no levels";
}

// A MapFile over a given ShapeFile, as the readers' wrappers are once loaded.
class HeldMapFile : public MapFile {
public:
    explicit HeldMapFile(std::unique_ptr<ShapeFile> held) { file_ = std::move(held); }
};

TEST(MapFile, LabelFontStepsByTwoAndNeverTurnsPositiveBeyondOne) {
    MapFile empty;
    empty.FontLarger();
    empty.FontSmaller();
    EXPECT_EQ(empty.LabelFont(), nullptr);
    EXPECT_EQ(empty.LabelColour(), 0u);
    QString name;
    EXPECT_EQ(empty.FindRoadAt(0.0f, 0.0f, name), nullptr);

    HeldMapFile file(std::make_unique<ShapeFile>());
    file.LabelFont()->height = -11;
    file.FontLarger();
    EXPECT_EQ(file.LabelFont()->height, -13);
    file.LabelFont()->height = -1;
    file.FontSmaller();
    EXPECT_EQ(file.LabelFont()->height, 1);
    file.FontSmaller();
    EXPECT_EQ(file.LabelFont()->height, 1);
    file.FontLarger();
    EXPECT_EQ(file.LabelFont()->height, -1);
    file.LabelFont()->height = std::numeric_limits<int32_t>::min();
    file.FontLarger();
    EXPECT_EQ(file.LabelFont()->height, std::numeric_limits<int32_t>::min()) << "no wrap";
}

template <typename T>
ShapePtr<> TypedShape(int32_t type, double sortKey = 0.0) {
    ShapePtr<> shape = MakeShape<T>();
    shape->type = type;
    shape->sortKey = sortKey;
    return shape;
}

// Shapes, labels of odd lengths and vertex arrays handed out one after another, first from the
// block and then, once it is used up, from the heap: each keeps its own bytes and alignment.
TEST(ShapeStorage, PiecesNeverOverlapInTheBlockOrBeyondIt) {
    std::unique_ptr<ShapeStorage> storage = ShapeStorage::Create(1000);
    ASSERT_TRUE(storage);
    std::vector<ShapePtr<>> shapes;
    for (int i = 0; i < 40; ++i) {
        ShapePtr<> shape;
        if (i % 2 == 0) {
            shape = storage->NewShape<ShapePolyline>();
        } else {
            shape = storage->NewShape<ShapePoint>();
        }
        shape->SetLabel(QString(1 + i % 3, QChar(u'a' + i)));
        shape->vertexPairs.resize(2 * size_t(1 + i % 5));
        for (float& value : shape->vertexPairs) {
            value = float(i);
        }
        shape->type = i;
        shapes.push_back(std::move(shape));
    }
    for (int i = 0; i < 40; ++i) {
        const Shape& shape = *shapes[size_t(i)];
        EXPECT_EQ(reinterpret_cast<uintptr_t>(&shape) % alignof(ShapePolyline), 0u) << i;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(shape.vertexPairs.data()) % alignof(float), 0u) << i;
        EXPECT_EQ(shape.type, i);
        EXPECT_EQ(shape.Label(), QString(1 + i % 3, QChar(u'a' + i))) << i;
        ASSERT_EQ(shape.VertexCount(), size_t(1 + i % 5)) << i;
        for (float value : shape.vertexPairs) {
            EXPECT_EQ(value, float(i)) << i;
        }
    }
    shapes.clear();  // before the storage they live in
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
