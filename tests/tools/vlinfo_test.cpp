// The vlinfo tool, run as users run it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "formats/vl_writer.h"
#include "temp_home.h"
#include "tool_run.h"

namespace {

ToolRun Vlinfo(const QStringList& arguments) {
    return RunTool(VLINFO_PATH, arguments, 30000);
}

template <typename T>
void AddShapes(formats::ShapeLevel& level, int count) {
    for (int i = 0; i < count; ++i) {
        level.shapes.push_back(formats::MakeShape<T>());
    }
}

bool WriteMap(const QString& path, float north, float west, float south, float east) {
    formats::ShapeFile file;
    file.name = QStringLiteral("Vall d’Ordino");
    file.bounds = formats::GeoRect{west, north, east, south};
    file.coverage.push_back(formats::MakeShape<formats::ShapePolygon>());
    auto fine = std::make_unique<formats::ShapeLevel>();
    fine->cbits = 24;
    AddShapes<formats::ShapePoint>(*fine, 3);
    AddShapes<formats::ShapePolyline>(*fine, 2);
    AddShapes<formats::ShapePolygon>(*fine, 1);
    auto coarse = std::make_unique<formats::ShapeLevel>();
    coarse->cbits = 18;
    AddShapes<formats::ShapePolygon>(*coarse, 1);
    file.levels.push_back(std::move(fine));
    file.levels.push_back(std::move(coarse));
    QDir().mkpath(QFileInfo(path).path());
    return formats::WriteVlFile(file, path);
}

TEST(Vlinfo, DescribesAMapInJsonAndText) {
    TempHome home;
    ASSERT_TRUE(WriteMap(home.File("a.vl"), 42.65f, 1.4f, 42.5f, 1.6f));
    const ToolRun json = Vlinfo({home.File("a.vl"), "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err.constData();
    const QJsonObject info = QJsonDocument::fromJson(json.out).object();
    EXPECT_EQ(info["name"].toString(), QStringLiteral("Vall d’Ordino"));
    EXPECT_EQ(float(info["north"].toDouble()), 42.65f);
    EXPECT_EQ(float(info["west"].toDouble()), 1.4f);
    EXPECT_EQ(float(info["south"].toDouble()), 42.5f);
    EXPECT_EQ(float(info["east"].toDouble()), 1.6f);
    EXPECT_EQ(info["coverage"].toInt(), 1);
    const QJsonArray levels = info["levels"].toArray();
    ASSERT_EQ(levels.size(), 2);
    EXPECT_EQ(levels[0].toObject(),
              QJsonObject({{"cbits", 24}, {"points", 3}, {"polylines", 2}, {"polygons", 1}}));
    EXPECT_EQ(levels[1].toObject()["polygons"].toInt(), 1);

    const ToolRun text = Vlinfo({home.File("a.vl")});
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_TRUE(text.out.contains("north 42.65")) << text.out.constData();
    EXPECT_TRUE(text.out.contains("level 0: cbits 24, 3 points, 2 polylines, 1 polygons"));
}

TEST(Vlinfo, AFileThatDoesNotLoadExitsWithOneLine) {
    TempHome home;
    ASSERT_TRUE(home.Write("bad.vl", QByteArray("\x02\x00", 2)));
    for (const QString& path : {home.File("bad.vl"), home.File("missing.vl")}) {
        const ToolRun run = Vlinfo({path, "--json"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
    }
    EXPECT_EQ(Vlinfo({"--catalogue", home.Path(), "--at", "north"}).exitCode, 2);
}

TEST(Vlinfo, DescribesAGpxFile) {
    TempHome home;
    ASSERT_TRUE(home.Write("walk.GPX",
                           "<?xml version=\"1.0\"?>\n<gpx version=\"1.0\">\n"
                           "<wpt lat=\"46.25\" lon=\"13.5\"><name>Hut</name></wpt>\n"
                           "<rte><rtept lat=\"46.5\" lon=\"13.75\"/><rtept lat=\"46\" lon=\"13\"/>"
                           "</rte>\n<rte/>\n</gpx>\n"));
    const ToolRun json = Vlinfo({home.File("walk.GPX"), "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err.constData();
    EXPECT_EQ(QJsonDocument::fromJson(json.out).object(), QJsonObject({{"waypoints", 1},
                                                                       {"routes", 2},
                                                                       {"routePoints", 2},
                                                                       {"west", 13.0},
                                                                       {"north", 46.5},
                                                                       {"east", 13.75},
                                                                       {"south", 46.0}}));
    const ToolRun text = Vlinfo({home.File("walk.GPX")});
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_EQ(text.out,
              "waypoints: 1\nroutes: 2\nroute points: 2\n"
              "bounds: west 13 north 46.5 east 13.75 south 46\n");

    ASSERT_TRUE(home.Write("broken.gpx", "<gpx><wpt lat=\"1\" lon=\"1\"></gpx>"));
    for (const QString& path : {home.File("broken.gpx"), home.File("missing.gpx")}) {
        const ToolRun run = Vlinfo({path, "--json"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
        EXPECT_TRUE(run.err.contains("not a readable GPX file")) << run.err.constData();
    }
}

TEST(Vlinfo, BuildsTheCatalogueAndFindsTheMapAtAPoint) {
    TempHome home;
    ASSERT_TRUE(WriteMap(home.File("Maps/big.vl"), 43.0f, 1.0f, 42.0f, 2.0f));
    ASSERT_TRUE(WriteMap(home.File("Maps/sub/small.vl"), 42.6f, 1.4f, 42.4f, 1.6f));
    ASSERT_TRUE(WriteMap(home.File("Maps/Country.vl"), 50.0f, 0.0f, 40.0f, 5.0f));
    const ToolRun run = Vlinfo({"--catalogue", home.Path(), "--at", "42.5,1.5", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonObject info = QJsonDocument::fromJson(run.out).object();
    const QJsonArray records = info["records"].toArray();
    ASSERT_EQ(records.size(), 2);
    const int at = info["at"].toInt();
    ASSERT_TRUE(at == 0 || at == 1);
    const QJsonObject found = records[at].toObject();
    EXPECT_EQ(found["path"].toString(), home.File("Maps/sub/small.vl"));
    EXPECT_EQ(float(found["north"].toDouble()), 42.6f);
    EXPECT_GT(found["diagonalKm"].toDouble(), 20.0);
    EXPECT_LT(found["diagonalKm"].toDouble(), 30.0);
    EXPECT_EQ(info["country"].toString(), home.File("Maps/Country.vl"));
    EXPECT_TRUE(QFile::exists(home.File("Maps/maps.dat")));

    const ToolRun outside = Vlinfo({"--catalogue", home.Path(), "--at", "10,10"});
    ASSERT_EQ(outside.exitCode, 0);
    EXPECT_TRUE(outside.out.contains("\nat: -1\n")) << outside.out.constData();
    EXPECT_TRUE(outside.out.contains("country: " + home.File("Maps/Country.vl").toUtf8()));
}

TEST(Vlinfo, AHomeNamedRelativelyIsCataloguedWithAbsolutePaths) {
    TempHome home;
    ASSERT_TRUE(WriteMap(home.File("Maps/big.vl"), 43.0f, 1.0f, 42.0f, 2.0f));
    // The same home, first as a path relative to the folder the tool runs in, then absolute.
    const QString relative = QDir::current().relativeFilePath(home.Path());
    ASSERT_FALSE(QDir::isAbsolutePath(relative));
    ASSERT_EQ(Vlinfo({"--catalogue", relative}).exitCode, 0);
    const ToolRun run = Vlinfo({"--catalogue", home.Path() + "/./", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonArray records = QJsonDocument::fromJson(run.out).object()["records"].toArray();
    ASSERT_EQ(records.size(), 1) << run.out.constData();
    EXPECT_EQ(records[0].toObject()["path"].toString(), home.File("Maps/big.vl"));
}

}  // namespace
