// The map compiler on a small hand-written extract: what it keeps, at which levels, labelled
// how, and how it cuts the extract into tiles.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <map>

#include "compiled_maps.h"
#include "mapmake/tile_builder.h"
#include "render/map_catalogue.h"
#include "temp_home.h"

namespace {

using formats::kShapeKindPoint;
using formats::kShapeKindPolygon;
using formats::kShapeKindPolyline;
using testmaps::LevelOf;
using testmaps::OfType;

const QString kSmallExtract = QStringLiteral(MAPMAKE_TEST_DATA "/small_extract.osm");
// Its bounds element.
constexpr float kSouth = 42.495f;
constexpr float kWest = 1.490f;
constexpr float kNorth = 42.505f;
constexpr float kEast = 1.510f;

class SmallExtract : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(out_.IsValid());
        const testmaps::Compiled compiled = testmaps::Compile(kSmallExtract, out_.Path(), "Small");
        ASSERT_TRUE(compiled.ok) << compiled.error.toStdString();
        summary_ = compiled.summary;
        tile_ = testmaps::LoadMap(out_.File("Small/Small_0_0.vl"));
        country_ = testmaps::LoadMap(out_.File("SmallCountry.vl"));
        ASSERT_TRUE(tile_);
        ASSERT_TRUE(country_);
    }

    const formats::ShapeLevel* Tile(uint32_t cbits) const { return LevelOf(*tile_, cbits); }
    const formats::ShapeLevel* Country(uint32_t cbits) const { return LevelOf(*country_, cbits); }

    TempHome out_;
    mapmake::CompileSummary summary_;
    std::unique_ptr<formats::ImgFile> tile_;
    std::unique_ptr<formats::ImgFile> country_;
};

std::vector<uint32_t> CbitsOf(const formats::ShapeFile& file) {
    std::vector<uint32_t> cbits;
    for (const auto& level : file.levels) {
        cbits.push_back(level->cbits);
    }
    return cbits;
}

std::vector<int> TypesOf(const formats::ShapeLevel* level, int kind) {
    std::vector<int> types;
    for (const auto& shape : level->shapes) {
        if (shape->Kind() == kind) {
            types.push_back(shape->type);
        }
    }
    std::sort(types.begin(), types.end());
    return types;
}

const formats::Shape* Point(const formats::ShapeLevel* level, int type, int subtype) {
    for (const formats::Shape* shape : OfType(level, kShapeKindPoint, type)) {
        if (shape->subtype == subtype) {
            return shape;
        }
    }
    return nullptr;
}

QString LabelOf(const formats::Shape* shape) {
    return shape ? shape->Label().toString() : QStringLiteral("<none>");
}

TEST_F(SmallExtract, WritesACountryMapAndATileOverTheExtractsBounds) {
    EXPECT_EQ(summary_.files,
              QStringList({"SmallCountry.vl", "Small/Small_0_0.vl", "Small_attribution.txt"}));
    EXPECT_EQ(summary_.tiles, 1);
    EXPECT_EQ(CbitsOf(*tile_), std::vector<uint32_t>({24, 22, 21, 20, 18}));
    EXPECT_EQ(CbitsOf(*country_), std::vector<uint32_t>({20, 18, 16, 14, 12}));
    const formats::GeoRect bounds{kWest, kNorth, kEast, kSouth};
    for (const formats::ImgFile* file : {tile_.get(), country_.get()}) {
        EXPECT_EQ(file->bounds, bounds);
        EXPECT_TRUE(file->name.contains(QStringLiteral("© OpenStreetMap contributors")))
            << file->name.toStdString();
        ASSERT_EQ(file->coverage.size(), 1u);
        EXPECT_EQ(formats::VertexBounds(*file->coverage[0]), bounds);
        EXPECT_TRUE(file->Contains(42.5f, 1.5f));
        EXPECT_FALSE(file->Contains(42.6f, 1.5f));
        // Every level draws a background over the whole box first.
        for (const auto& level : file->levels) {
            ASSERT_FALSE(level->shapes.empty());
            const formats::Shape& background = *level->shapes.front();
            EXPECT_EQ(background.Kind(), kShapeKindPolygon);
            EXPECT_EQ(background.type, mapmake::kBackgroundType);
            EXPECT_EQ(background.bounds, bounds);
        }
    }
    QFile attribution(out_.File("Small_attribution.txt"));
    ASSERT_TRUE(attribution.open(QIODevice::ReadOnly));
    EXPECT_TRUE(attribution.readAll().contains("© OpenStreetMap contributors"));
}

TEST_F(SmallExtract, KeepsWhatTheTypeTableNamesAndNothingElse) {
    // The river is also the national border; the fence has no type.
    // Close up the town is its name alone (a label of one vertex); farther out also a dot.
    EXPECT_EQ(TypesOf(Tile(24), kShapeKindPolyline), std::vector<int>({1, 6, 30, 31, 99}));
    EXPECT_EQ(TypesOf(Tile(24), kShapeKindPolygon), std::vector<int>({11, 19, 20, 65, 75}));
    EXPECT_EQ(LabelOf(Point(Tile(24), 0x2F, 0x01)), "Fuel");
    EXPECT_EQ(LabelOf(OfType(Tile(24), kShapeKindPolyline, 99).front()), "Vila");
    EXPECT_EQ(OfType(Tile(24), kShapeKindPolyline, 99).front()->VertexCount(), 1u);
    EXPECT_EQ(LabelOf(Point(Tile(20), 0x08, 0)), "Vila");
    EXPECT_EQ(LabelOf(Point(Tile(24), 0x66, 0x16)), "Pic 2000 m");
    EXPECT_EQ(LabelOf(Point(Tile(24), 0x30, 0x02)), "Hospital");  // the hospital's grounds
    EXPECT_EQ(TypesOf(Tile(24), kShapeKindPoint).size(), 3u);     // not the bench
    const auto lakes = OfType(Tile(24), kShapeKindPolygon, 65);
    ASSERT_EQ(lakes.size(), 1u);
    EXPECT_EQ(LabelOf(lakes[0]), "Estany");
    EXPECT_EQ(summary_.read.multipolygons, 1u);
}

TEST_F(SmallExtract, KeepsEachObjectDownToItsCoarsestLevel) {
    for (uint32_t cbits : {24u, 22u, 21u}) {
        EXPECT_EQ(OfType(Tile(cbits), kShapeKindPolyline, 6).size(), 1u) << cbits;
    }
    for (uint32_t cbits : {20u, 18u}) {
        EXPECT_TRUE(OfType(Tile(cbits), kShapeKindPolyline, 6).empty()) << cbits;
        EXPECT_TRUE(OfType(Country(cbits), kShapeKindPolyline, 6).empty()) << cbits;
    }
    EXPECT_EQ(OfType(Tile(22), kShapeKindPolygon, 19).size(), 1u);
    EXPECT_TRUE(OfType(Tile(21), kShapeKindPolygon, 19).empty());
    EXPECT_TRUE(Point(Tile(22), 0x2F, 0x01));
    EXPECT_FALSE(Point(Tile(21), 0x2F, 0x01));
    for (uint32_t cbits : {20u, 18u, 16u}) {
        EXPECT_TRUE(Point(Country(cbits), 0x08, 0)) << cbits;
    }
    EXPECT_FALSE(Point(Country(14), 0x08, 0));
    for (uint32_t cbits : {24u, 22u, 21u, 20u, 18u}) {
        EXPECT_EQ(OfType(Tile(cbits), kShapeKindPolyline, 1).size(), 1u) << cbits;
    }
    for (uint32_t cbits : {20u, 18u, 16u, 14u}) {
        EXPECT_EQ(OfType(Country(cbits), kShapeKindPolyline, 1).size(), 1u) << cbits;
    }
    // Its 1.6 km are less than a pixel from 300 km/cm on.
    EXPECT_TRUE(OfType(Country(12), kShapeKindPolyline, 1).empty());
    // The forest (about 0.12 km²) is too small for the level drawn from 9 km/cm on.
    EXPECT_EQ(OfType(Country(18), kShapeKindPolygon, 20).size(), 1u);
    EXPECT_TRUE(OfType(Country(16), kShapeKindPolygon, 20).empty());
}

TEST_F(SmallExtract, RoadsShowTheirNameCloseAndTheirNumberFarther) {
    EXPECT_EQ(LabelOf(OfType(Tile(24), kShapeKindPolyline, 1).front()), "Autopista del Nord");
    EXPECT_EQ(LabelOf(OfType(Tile(21), kShapeKindPolyline, 1).front()), "Autopista del Nord");
    EXPECT_EQ(LabelOf(OfType(Tile(20), kShapeKindPolyline, 1).front()), ".A-1");
    const formats::Shape* shield = OfType(Country(20), kShapeKindPolyline, 1).front();
    EXPECT_EQ(LabelOf(shield), ".A-1");
    EXPECT_EQ(shield->labelAngleTenthsDeg, 0);
}

TEST_F(SmallExtract, JoinsTheStreetsPiecesAndLabelsItsLongestSegment) {
    const auto streets = OfType(Tile(24), kShapeKindPolyline, 6);
    ASSERT_EQ(streets.size(), 1u);
    const formats::Shape& street = *streets[0];
    EXPECT_EQ(street.VertexCount(), 4u);
    EXPECT_EQ(LabelOf(&street), "Carrer Major");
    // The segment from (42.5005, 1.5020) to (42.5020, 1.5060): atan(15 / 40) = 20.6°.
    EXPECT_NEAR(street.anchorLat, 42.50125f, 1e-5f);
    EXPECT_NEAR(street.anchorLon, 1.5040f, 1e-5f);
    EXPECT_EQ(street.labelAngleTenthsDeg, 206);
}

TEST_F(SmallExtract, AForestWithAClearingIsOneRingFilledAroundIt) {
    const auto forests = OfType(Tile(24), kShapeKindPolygon, 20);
    ASSERT_EQ(forests.size(), 1u);
    const formats::Shape& forest = *forests[0];
    EXPECT_EQ(LabelOf(&forest), "Bosc");
    EXPECT_TRUE(testmaps::FilledAt(forest, 42.4958f, 1.4913f));
    EXPECT_TRUE(testmaps::FilledAt(forest, 42.4980f, 1.4950f));
    EXPECT_FALSE(testmaps::FilledAt(forest, 42.4970f, 1.4935f));  // in the clearing
    EXPECT_FALSE(testmaps::FilledAt(forest, 42.4990f, 1.4935f));  // north of the forest
    EXPECT_TRUE(testmaps::FilledAt(forest, forest.anchorLat, forest.anchorLon));
}

TEST_F(SmallExtract, DrawsLandThenWaterThenBuildingsThenPlacesLinesAndPoints) {
    const formats::ShapeLevel* level = Tile(24);
    // Polygons, then the names of places, then polylines, then the other points.
    const auto rank = [](const formats::Shape& shape) {
        switch (shape.Kind()) {
            case kShapeKindPolygon:
                return 0;
            case kShapeKindPolyline:
                return shape.type == 99 ? 1 : 2;
            default:
                return shape.type <= 0x11 ? 1 : 3;
        }
    };
    std::vector<int> polygonOrder;
    int lastRank = 0;
    for (const auto& shape : level->shapes) {
        EXPECT_GE(rank(*shape), lastRank);
        lastRank = rank(*shape);
        if (shape->Kind() == kShapeKindPolygon) {
            polygonOrder.push_back(shape->type);
        }
    }
    EXPECT_EQ(polygonOrder, std::vector<int>({75, 20, 11, 65, 19}));
    // Motorways on top of the other lines.
    std::vector<int> lineOrder;
    for (const auto& shape : level->shapes) {
        if (shape->Kind() == kShapeKindPolyline && shape->type != 99) {
            lineOrder.push_back(shape->type);
        }
    }
    EXPECT_EQ(lineOrder, std::vector<int>({31, 30, 6, 1}));
}

// The boxes of the tiles in a folder, by file name.
std::map<QString, formats::GeoRect> TileBoxes(const QString& folder) {
    std::map<QString, formats::GeoRect> boxes;
    for (const QString& name : QDir(folder).entryList({"*.vl"}, QDir::Files)) {
        const auto tile = testmaps::LoadMap(folder + "/" + name);
        EXPECT_TRUE(tile) << name.toStdString();
        if (tile) {
            boxes[name] = tile->bounds;
        }
    }
    return boxes;
}

double AreaOf(const formats::GeoRect& box) {
    return double(box.east - box.west) * double(box.north - box.south);
}

TEST(MapCompilerTiles, StayUnderTheLimitCoverTheExtentAndCutObjectsAtTheirEdges) {
    TempHome whole;
    const testmaps::Compiled single = testmaps::Compile(kSmallExtract, whole.Path(), "Small");
    ASSERT_TRUE(single.ok) << single.error.toStdString();
    const double singleBytes = double(QFileInfo(whole.File("Small/Small_0_0.vl")).size());
    const double limitMb = singleBytes / 2.0 / 1e6;

    TempHome home;
    const testmaps::Compiled compiled =
        testmaps::Compile(kSmallExtract, home.File("Maps"), "Small", limitMb);
    ASSERT_TRUE(compiled.ok) << compiled.error.toStdString();
    EXPECT_TRUE(compiled.summary.warnings.isEmpty())
        << compiled.summary.warnings.join(' ').toStdString();
    const std::map<QString, formats::GeoRect> boxes = TileBoxes(home.File("Maps/Small"));
    ASSERT_GT(boxes.size(), 2u);
    EXPECT_EQ(int(boxes.size()), compiled.summary.tiles);
    double covered = 0.0;
    bool cutAtAnEdge = false;
    for (const auto& [name, box] : boxes) {
        EXPECT_LE(double(QFileInfo(home.File("Maps/Small/" + name)).size()), limitMb * 1e6)
            << name.toStdString();
        covered += AreaOf(box);
        for (const auto& [otherName, other] : boxes) {
            const bool apart = other.west >= box.east || other.east <= box.west ||
                               other.south >= box.north || other.north <= box.south;
            EXPECT_TRUE(name == otherName || apart)
                << name.toStdString() << " overlaps " << otherName.toStdString();
        }
        const auto tile = testmaps::LoadMap(home.File("Maps/Small/" + name));
        for (const auto& level : tile->levels) {
            for (const auto& shape : level->shapes) {
                EXPECT_GE(shape->bounds.west, box.west);
                EXPECT_LE(shape->bounds.east, box.east);
                EXPECT_GE(shape->bounds.south, box.south);
                EXPECT_LE(shape->bounds.north, box.north);
                if (shape->Kind() == kShapeKindPolyline && shape->type == 6) {
                    for (size_t i = 0; i < shape->VertexCount(); ++i) {
                        cutAtAnEdge |=
                            shape->Longitude(i) == box.west || shape->Longitude(i) == box.east ||
                            shape->Latitude(i) == box.south || shape->Latitude(i) == box.north;
                    }
                }
            }
        }
    }
    // Tiles with nothing but background are left out, so the tiles cover at most the extent.
    EXPECT_LE(covered, AreaOf({kWest, kNorth, kEast, kSouth}) * 1.000001);
    EXPECT_GT(covered, AreaOf({kWest, kNorth, kEast, kSouth}) * 0.5);
    EXPECT_TRUE(cutAtAnEdge);

    render::MapCatalogue catalogue(home.Path());
    catalogue.Build();
    EXPECT_EQ(catalogue.CountryMapPath(), home.File("Maps/SmallCountry.vl"));
    EXPECT_EQ(catalogue.Count(), int(boxes.size()));
    for (const auto& [lat, lon] : {std::pair{42.5005f, 1.5020f},
                                   {42.4970f, 1.4935f},
                                   {42.5040f, 1.4950f},
                                   {42.5010f, 1.5010f}}) {
        const int found = catalogue.FindMapAt(lat, lon);
        ASSERT_GE(found, 0) << lat << "," << lon;
        const QString name = QFileInfo(catalogue.Record(found).path).fileName();
        EXPECT_TRUE(name.startsWith("Small_")) << name.toStdString();
    }
}

TEST(MapCompilerTiles, ARunReplacesTheTilesOfAnEarlierOne) {
    TempHome home;
    ASSERT_TRUE(testmaps::Compile(kSmallExtract, home.Path(), "Small", 0.001).ok);
    const int manyTiles = int(QDir(home.File("Small")).entryList({"*.vl"}).size());
    ASSERT_GT(manyTiles, 1);
    ASSERT_TRUE(home.Write("Small/Keep.txt", "not a tile"));
    ASSERT_TRUE(testmaps::Compile(kSmallExtract, home.Path(), "Small").ok);
    EXPECT_EQ(QDir(home.File("Small")).entryList({"*.vl"}), QStringList({"Small_0_0.vl"}));
    EXPECT_TRUE(QFile::exists(home.File("Small/Keep.txt")));
}

// What real extracts hold at their edges and in their mistakes: ways whose nodes are missing,
// a multipolygon without its outer way, a closed way of three nodes, a self-crossing area, and
// names beyond ASCII.
TEST(MapCompilerInput, FlawedObjectsAreLeftOutAndTheRestIsKept) {
    TempHome home;
    ASSERT_TRUE(home.Write("flawed.osm", R"(<?xml version="1.0" encoding="UTF-8"?>
<osm version="0.6">
  <node id="1" lat="42.50" lon="1.50"/>
  <node id="2" lat="42.51" lon="1.51"/>
  <node id="3" lat="42.50" lon="1.51"/>
  <node id="4" lat="42.51" lon="1.50"/>
  <node id="5" lat="42.505" lon="1.52"/>
  <way id="10"><nd ref="1"/><nd ref="99"/><nd ref="2"/>
    <tag k="highway" v="residential"/><tag k="name" v="Plaça d’Espanya"/></way>
  <way id="11"><nd ref="98"/><nd ref="97"/><tag k="highway" v="primary"/></way>
  <way id="12"><nd ref="1"/><nd ref="3"/><nd ref="1"/><tag k="landuse" v="forest"/></way>
  <way id="13"><nd ref="1"/><nd ref="2"/><nd ref="3"/><nd ref="4"/><nd ref="1"/>
    <tag k="natural" v="water"/></way>
  <way id="14"><nd ref="3"/><nd ref="5"/><nd ref="2"/>
    <tag k="waterway" v="river"/><tag k="name" v="Ριάκι"/></way>
  <relation id="20"><member type="way" ref="96" role="outer"/>
    <tag k="type" v="multipolygon"/><tag k="landuse" v="forest"/></relation>
</osm>
)"));
    const testmaps::Compiled compiled =
        testmaps::Compile(home.File("flawed.osm"), home.File("out"), "Flawed");
    ASSERT_TRUE(compiled.ok) << compiled.error.toStdString();
    const auto tile = testmaps::LoadMap(home.File("out/Flawed/Flawed_0_0.vl"));
    ASSERT_TRUE(tile);
    const formats::ShapeLevel* level = LevelOf(*tile, 24);
    // The street keeps the nodes it has; the primary road has none.
    EXPECT_EQ(TypesOf(level, kShapeKindPolyline), std::vector<int>({6, 31}));
    EXPECT_EQ(LabelOf(OfType(level, kShapeKindPolyline, 6).front()), "Plaça d’Espanya");
    EXPECT_EQ(LabelOf(OfType(level, kShapeKindPolyline, 31).front()), "Ριάκι");
    // Neither the forest of three nodes nor the one without its way, nor the bow tie.
    EXPECT_EQ(TypesOf(level, kShapeKindPolygon), std::vector<int>({75}));
}

TEST(MapCompilerInput, AnExtractWithNothingToShowIsAnError) {
    TempHome home;
    ASSERT_TRUE(
        home.Write("empty.osm", "<osm version=\"0.6\"><node id=\"1\" lat=\"1\" lon=\"1\"/></osm>"));
    const testmaps::Compiled compiled =
        testmaps::Compile(home.File("empty.osm"), home.File("out"), QString());
    EXPECT_FALSE(compiled.ok);
    EXPECT_TRUE(compiled.error.contains("nothing the maps show")) << compiled.error.toStdString();
}

TEST(MapCompilerErrors, SayWhatIsWrongInOneLine) {
    TempHome home;
    ASSERT_TRUE(home.Write("notes.txt", "no map"));
    ASSERT_TRUE(home.Write("broken.osm", "<osm version=\"0.6\"><node id=\"1\" lat="));
    ASSERT_TRUE(home.Write("file", "a file where a folder should be"));
    const struct {
        QString input;
        QString outDir;
        const char* expected;
    } cases[] = {
        {home.File("missing.osm.pbf"), home.File("out"), "cannot read"},
        {home.File("notes.txt"), home.File("out"), "unknown format"},
        {home.File("broken.osm"), home.File("out"), "cannot read"},
        {kSmallExtract, home.File("file/out"), "cannot write into"},
    };
    for (const auto& c : cases) {
        const testmaps::Compiled compiled = testmaps::Compile(c.input, c.outDir, QString());
        EXPECT_FALSE(compiled.ok) << c.input.toStdString();
        EXPECT_TRUE(compiled.error.contains(c.expected)) << compiled.error.toStdString();
        EXPECT_FALSE(compiled.error.contains('\n')) << compiled.error.toStdString();
    }
}

}  // namespace
