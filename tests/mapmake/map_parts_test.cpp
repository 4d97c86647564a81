// The pieces of the map compiler on their own: the type table, labels, joining road pieces,
// the one-ring form of areas with holes, and the zoom each level is made for.
#include <gtest/gtest.h>

#include <QFile>

#include <cstring>
#include <map>
#include <random>
#include <string>

#include "mapmake/geometry.h"
#include "mapmake/labels.h"
#include "mapmake/line_merger.h"
#include "mapmake/node_locations.h"
#include "mapmake/tile_builder.h"
#include "mapmake/type_table.h"

namespace {

using mapmake::FeatureKind;
using mapmake::GeoPoint;

const mapmake::TypeRule* ClassifyTags(FeatureKind kind,
                                      const std::map<std::string, std::string>& tags) {
    return mapmake::Classify(kind, [&tags](const char* key) -> const char* {
        const auto found = tags.find(key);
        return found == tags.end() ? nullptr : found->second.c_str();
    });
}

TEST(TypeTable, TheFirstMatchingRuleWinsAndNoMeansAbsent) {
    const auto* lake = ClassifyTags(FeatureKind::kArea, {{"natural", "water"}});
    ASSERT_TRUE(lake);
    EXPECT_EQ(lake->type, 60);
    EXPECT_EQ(lake->smallType, 65);
    const auto* dry =
        ClassifyTags(FeatureKind::kArea, {{"natural", "water"}, {"intermittent", "yes"}});
    ASSERT_TRUE(dry);
    EXPECT_EQ(dry->type, 76);
    // A hospital building is the hospital's grounds, not a building.
    const auto* hospital =
        ClassifyTags(FeatureKind::kArea, {{"building", "yes"}, {"amenity", "hospital"}});
    ASSERT_TRUE(hospital);
    EXPECT_EQ(hospital->type, 11);
    EXPECT_FALSE(ClassifyTags(FeatureKind::kArea, {{"building", "no"}}));
    const auto* florist = ClassifyTags(FeatureKind::kPoint, {{"shop", "florist"}});
    ASSERT_TRUE(florist);
    EXPECT_EQ(florist->type, 0x2E);
    EXPECT_EQ(florist->subtype, 0);
    EXPECT_FALSE(ClassifyTags(FeatureKind::kLine, {{"barrier", "fence"}}));
    EXPECT_FALSE(ClassifyTags(FeatureKind::kPoint, {{"highway", "motorway"}}));
}

TEST(TypeTable, EveryRuleKeepsItsObjectInTheMostDetailedLevel) {
    for (const mapmake::TypeRule& rule : mapmake::TypeRules()) {
        EXPECT_LE(rule.coarsestCbits, mapmake::kTileLevels[0]) << rule.what;
        EXPECT_GE(rule.coarsestCbits, 12) << rule.what;
        EXPECT_NE(rule.type, 0) << rule.what;
        EXPECT_TRUE(mapmake::UsesKey(rule.kind, rule.key)) << rule.what;
    }
}

TEST(TypeTable, TheDocumentationShowsTheWholeTable) {
    QFile doc(QStringLiteral(VELMORA_SOURCE_DIR "/docs/map-types.md"));
    ASSERT_TRUE(doc.open(QIODevice::ReadOnly));
    const QByteArray table = QByteArray::fromStdString(mapmake::TypeTableMarkdown());
    EXPECT_TRUE(doc.readAll().contains(table.trimmed()))
        << "docs/map-types.md is out of date: paste in what vlmake --types prints";
}

TEST(Labels, AnglesReadFromLeftToRight) {
    EXPECT_EQ(mapmake::ReadableAngleTenths(1.0, 0.0), 0);
    EXPECT_EQ(mapmake::ReadableAngleTenths(-1.0, 0.0), 0);
    EXPECT_EQ(mapmake::ReadableAngleTenths(0.0, 1.0), 900);
    EXPECT_EQ(mapmake::ReadableAngleTenths(0.0, -1.0), -900);
    EXPECT_EQ(mapmake::ReadableAngleTenths(1.0, 1.0), 450);
    EXPECT_EQ(mapmake::ReadableAngleTenths(-1.0, -1.0), 450);
    EXPECT_EQ(mapmake::ReadableAngleTenths(-1.0, 1.0), -450);
    EXPECT_EQ(mapmake::ReadableAngleTenths(0.0, 0.0), 0);
}

TEST(Labels, SitInTheMiddleOfTheLongestSegment) {
    const mapmake::GeoLine line{GeoPoint(0.0, 0.0), GeoPoint(1.0, 0.0), GeoPoint(1.0, 3.0),
                                GeoPoint(2.0, 3.0)};
    const mapmake::LinePlacement placement = mapmake::PlaceOnLine(line);
    EXPECT_DOUBLE_EQ(placement.anchor.x(), 1.0);
    EXPECT_DOUBLE_EQ(placement.anchor.y(), 1.5);
    EXPECT_EQ(placement.angleTenthsDeg, 900);
}

TEST(Labels, RoadsShowNamesCloseAndNumbersFar) {
    mapmake::FeatureInfo road;
    road.type = 3;
    road.name = "Avinguda Meritxell";
    road.ref = "CG-1";
    EXPECT_EQ(mapmake::LineLabel(road, 24), "Avinguda Meritxell");
    EXPECT_EQ(mapmake::LineLabel(road, 21), "Avinguda Meritxell");
    EXPECT_EQ(mapmake::LineLabel(road, 20), ".CG-1");
    road.name.clear();
    EXPECT_EQ(mapmake::LineLabel(road, 24), ".CG-1");
    road.name = "Carrer";
    road.ref.clear();
    EXPECT_EQ(mapmake::LineLabel(road, 18), "Carrer");
}

TEST(Labels, PeaksCarryTheirHeight) {
    EXPECT_EQ(mapmake::PeakLabel("Comapedrosa", "2942.6"), "Comapedrosa 2943 m");
    EXPECT_EQ(mapmake::PeakLabel(nullptr, "1000"), "1000 m");
    EXPECT_EQ(mapmake::PeakLabel("Pic", "high"), "Pic");
    EXPECT_EQ(mapmake::PeakLabel(nullptr, nullptr), "");
}

mapmake::LineFeature Piece(int64_t first, int64_t last, std::vector<GeoPoint> points,
                           const char* name = "Carrer") {
    mapmake::LineFeature line;
    line.info.type = 6;
    line.info.name = name;
    const mapmake::GeoLine geo(points.begin(), points.end());
    line.line = mapmake::PackedLine(mapmake::ToFixed(geo));
    line.box = mapmake::FixedBox(mapmake::BoxOf(geo));
    line.firstNode = first;
    line.lastNode = last;
    return line;
}

TEST(LineMerger, JoinsPiecesEndToEndWhicheverWayTheyRun) {
    std::vector<mapmake::LineFeature> lines;
    lines.push_back(Piece(2, 3, {GeoPoint(1, 0), GeoPoint(2, 0)}));
    lines.push_back(Piece(1, 2, {GeoPoint(0, 0), GeoPoint(1, 0)}));
    lines.push_back(Piece(4, 3, {GeoPoint(3, 0), GeoPoint(2, 0)}));  // runs backwards
    lines.push_back(Piece(9, 10, {GeoPoint(1, 5), GeoPoint(2, 5)}, "Other"));
    // Continues "Other" only before its first node: joined on the second turn.
    lines.push_back(Piece(8, 9, {GeoPoint(0, 5), GeoPoint(1, 5)}, "Other"));
    lines.push_back(Piece(7, 7, {GeoPoint(5, 5), GeoPoint(6, 5), GeoPoint(5, 6), GeoPoint(5, 5)}));
    mapmake::MergeLines(lines);
    ASSERT_EQ(lines.size(), 3u);
    const mapmake::GeoLine joined = lines[0].line.ToGeo();
    ASSERT_EQ(joined.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(joined[i].x(), double(i));
    }
    EXPECT_EQ(lines[0].firstNode, 1);
    EXPECT_EQ(lines[0].lastNode, 4);
    EXPECT_DOUBLE_EQ(mapmake::GeoBox(lines[0].box).max_corner().x(), 3.0);
    EXPECT_EQ(lines[1].info.name, "Other");
    const mapmake::GeoLine other = lines[1].line.ToGeo();
    ASSERT_EQ(other.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(other[i].x(), double(i));
    }
    EXPECT_EQ(lines[1].firstNode, 8);
    EXPECT_EQ(lines[1].lastNode, 10);
    EXPECT_EQ(lines[2].line.size(), 4u);  // the ring stays whole
}

// Even-odd filling of a ring given without its closing vertex.
bool Filled(const std::vector<GeoPoint>& ring, double x, double y) {
    bool inside = false;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        if ((ring[i].y() > y) != (ring[j].y() > y)) {
            const double crossX = ring[j].x() + (y - ring[j].y()) / (ring[i].y() - ring[j].y()) *
                                                    (ring[i].x() - ring[j].x());
            if (crossX < x) {
                inside = !inside;
            }
        }
    }
    return inside;
}

mapmake::GeoPolygon::ring_type Square(double west, double south, double side) {
    return {GeoPoint(west, south), GeoPoint(west, south + side),
            GeoPoint(west + side, south + side), GeoPoint(west + side, south),
            GeoPoint(west, south)};
}

TEST(Geometry, AreasWithHolesBecomeOneRingThatFillsAroundThem) {
    mapmake::GeoMultiPolygon area;
    area.resize(1);
    area[0].outer() = Square(0, 0, 10);
    area[0].inners().push_back(Square(1, 1, 2));
    area[0].inners().push_back(Square(6, 6, 3));
    mapmake::Correct(area);
    const std::vector<GeoPoint> ring = mapmake::JoinHoles(area[0]);
    EXPECT_EQ(ring.size(), 4u + 2 * (5 + 1));
    EXPECT_TRUE(Filled(ring, 0.5, 0.5));
    EXPECT_TRUE(Filled(ring, 5.0, 5.0));
    EXPECT_TRUE(Filled(ring, 9.5, 0.5));
    EXPECT_FALSE(Filled(ring, 2.0, 2.0));
    EXPECT_FALSE(Filled(ring, 7.5, 7.5));
    EXPECT_FALSE(Filled(ring, 11.0, 5.0));
}

TEST(Geometry, CuttingKeepsWhatLiesInsideTheBox) {
    const mapmake::GeoBox box(GeoPoint(0, 0), GeoPoint(10, 10));
    const mapmake::GeoMultiLine pieces = mapmake::ClipLine(
        {GeoPoint(-5, 5), GeoPoint(5, 5), GeoPoint(5, 15), GeoPoint(8, 15), GeoPoint(8, 5)}, box);
    ASSERT_EQ(pieces.size(), 2u);
    mapmake::GeoMultiPolygon area;
    area.resize(1);
    area[0].outer() = Square(5, 5, 10);
    mapmake::Correct(area);
    mapmake::GeoMultiPolygon cut;
    ASSERT_TRUE(mapmake::ClipArea(area, box, cut));
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_DOUBLE_EQ(mapmake::Area(cut[0]), 25.0);
}

TEST(Geometry, SimplifyingDropsCollapsedHoles) {
    mapmake::GeoPolygon polygon;
    polygon.outer() = Square(0, 0, 10);
    polygon.inners().push_back(Square(2, 2, 0.01));
    polygon.inners().push_back(Square(5, 5, 3));
    mapmake::GeoMultiPolygon area{polygon};
    mapmake::Correct(area);
    const mapmake::GeoPolygon simplified = mapmake::SimplifyPolygon(area[0], 0.5, 0.5);
    EXPECT_EQ(simplified.outer().size(), 5u);
    EXPECT_EQ(simplified.inners().size(), 1u);
    EXPECT_TRUE(mapmake::SimplifyPolygon(area[0], 20.0, 0.5).outer().empty());
}

TEST(LevelPlans, EachLevelIsMadeForTheClosestZoomThatChoosesIt) {
    const std::map<int, double> expected = {{24, 100},  {22, 300},  {21, 500},   {20, 1200},
                                            {18, 3000}, {16, 9000}, {14, 50000}, {12, 300000}};
    for (const auto& [cbits, metresPerCm] : expected) {
        EXPECT_EQ(mapmake::ClosestMetresPerCm(cbits), metresPerCm) << cbits;
    }
    const std::vector<mapmake::LevelPlan> plans = mapmake::PlanLevels(mapmake::kTileLevels, 0.0);
    ASSERT_EQ(plans.size(), 5u);
    // At the equator a pixel of 0.1 km/cm on 40 pixels a centimetre is 2.5 m.
    EXPECT_NEAR(plans[0].pixelDeg, 2.5 / mapmake::kMetresPerDegree, 1e-12);
    for (size_t i = 0; i + 1 < plans.size(); ++i) {
        EXPECT_LT(plans[i].pixelDeg, plans[i + 1].pixelDeg);
        EXPECT_EQ(plans[i].widestPixelDeg, plans[i + 1].pixelDeg);
    }
}

// Ids with gaps of every size, coordinates that jump across the world or are undefined, enough
// nodes for several pages: every node is found again where it was set, nothing between them.
TEST(NodeLocations, GiveBackEveryLocationAsSetAndNothingElse) {
    std::mt19937_64 random(7);
    std::vector<std::pair<uint64_t, osmium::Location>> nodes;
    uint64_t id = 1;
    for (int i = 0; i < 150000; ++i) {
        const int gap = i % 7;
        id += gap == 0 ? 1 : gap == 1 ? 1 + random() % 1000 : gap == 2 ? (1ull << 33) : 2;
        osmium::Location location(int32_t(int64_t(random() % 3600000001) - 1800000000),
                                  int32_t(int64_t(random() % 1800000001) - 900000000));
        if (i % 3 == 0 && !nodes.empty() && nodes.back().second.valid()) {  // metres apart
            location = osmium::Location(nodes.back().second.x() + 9, nodes.back().second.y() - 4);
        }
        if (i % 1001 == 0) {
            location = osmium::Location();
        }
        nodes.emplace_back(id, location);
    }
    mapmake::NodeLocations index;
    for (const auto& [nodeId, location] : nodes) {
        index.set(nodeId, location);
    }
    index.set(nodes.back().first, osmium::Location(1, 1));  // set twice: the first stays
    ASSERT_EQ(index.size(), nodes.size());
    for (size_t i = 0; i < nodes.size(); i += (i % 5) + 1) {
        EXPECT_EQ(index.get_noexcept(nodes[i].first), nodes[i].second) << i;
        if (i > 0 && nodes[i].first - nodes[i - 1].first > 1) {
            EXPECT_FALSE(index.get_noexcept(nodes[i].first - 1).valid());
        }
    }
    EXPECT_EQ(index.get_noexcept(nodes.back().first), nodes.back().second);
    EXPECT_FALSE(index.get_noexcept(0).valid());
    EXPECT_FALSE(index.get_noexcept(nodes.back().first + 1).valid());
    EXPECT_THROW(index.get(nodes.back().first + 1), osmium::not_found);
}

TEST(NodeLocations, NodesOutOfOrderAreSortedAndTheFirstOfTwiceSetStays) {
    mapmake::NodeLocations index;
    const uint64_t ids[] = {50, 10, 70, 10, 30, 90, 20};
    for (size_t i = 0; i < std::size(ids); ++i) {
        index.set(ids[i], osmium::Location(int32_t(i), int32_t(ids[i])));
    }
    EXPECT_EQ(index.get_noexcept(30), osmium::Location(4, 30));  // found before sorting too
    index.sort();
    EXPECT_EQ(index.size(), 6u);
    EXPECT_EQ(index.get_noexcept(10), osmium::Location(1, 10));
    for (const uint64_t id : {20, 30, 50, 70, 90}) {
        EXPECT_EQ(index.get_noexcept(id).y(), int32_t(id));
    }
    EXPECT_FALSE(index.get_noexcept(40).valid());
    index.set(100, osmium::Location(5, 5));
    EXPECT_EQ(index.get_noexcept(100), osmium::Location(5, 5));
}

// From one side of the world to the other and back in one step, holes, an empty area.
TEST(PackedGeometry, GivesBackThePointsRoundedTo10ToTheMinus7Degrees) {
    const mapmake::GeoLine line{
        {-180.0, -90.0}, {180.0, 90.0}, {1.52181234567, 42.50631}, {1.521812301, 42.5063099}};
    const mapmake::GeoLine back = mapmake::PackedLine(mapmake::ToFixed(line)).ToGeo();
    ASSERT_EQ(back.size(), line.size());
    for (size_t i = 0; i < line.size(); ++i) {
        EXPECT_NEAR(back[i].x(), line[i].x(), 0.5e-7);
        EXPECT_NEAR(back[i].y(), line[i].y(), 0.5e-7);
    }
    EXPECT_EQ(back[2].x(), back[3].x());

    mapmake::GeoMultiPolygon area;
    area.resize(2);
    area[0].outer() = {{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}};
    area[0].inners().push_back({{2, 2}, {8, 2}, {8, 8}, {2, 2}});
    area[0].inners().push_back({{-179.9999999, 1}, {3, 3}, {1, 3}, {-179.9999999, 1}});
    area[1].outer() = {{20, 20}, {20, 21}, {21, 21}, {20, 20}};
    const mapmake::PackedArea packed(area);
    EXPECT_EQ(packed.JoinedVertices(), 5u + 5u + 5u + 4u);
    const auto points = [](const mapmake::GeoMultiPolygon& of) {
        std::vector<std::pair<double, double>> all;
        for (const mapmake::GeoPolygon& polygon : of) {
            for (const GeoPoint& point : polygon.outer()) {
                all.emplace_back(point.x(), point.y());
            }
            all.emplace_back(1000.0, double(polygon.inners().size()));
            for (const auto& inner : polygon.inners()) {
                for (const GeoPoint& point : inner) {
                    all.emplace_back(point.x(), point.y());
                }
                all.emplace_back(2000.0, 0.0);
            }
        }
        return all;
    };
    const auto want = points(area);
    const auto got = points(packed.ToGeo());
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_NEAR(got[i].first, want[i].first, 0.5e-7) << i;
        EXPECT_NEAR(got[i].second, want[i].second, 0.5e-7) << i;
    }
    EXPECT_TRUE(mapmake::PackedArea(mapmake::GeoMultiPolygon()).ToGeo().empty());
    EXPECT_TRUE(mapmake::PackedArea().ToGeo().empty());
}

}  // namespace
