// vlmake on a real extract (Andorra, from the shared data): every file it writes loads, the
// tiles keep to their limit, and the catalogue finds the country map and a tile for places
// inside the extract.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "compiled_maps.h"
#include "temp_home.h"
#include "tool_run.h"

namespace {

const QString kAndorra = QStringLiteral(VELMORA_SHARED_DATA "/osm/andorra.osm.pbf");

bool HasLabel(const formats::ShapeFile& file, int kind, const QString& label) {
    for (const auto& level : file.levels) {
        for (const auto& shape : level->shapes) {
            if (shape->Kind() == kind && shape->Label() == label) {
                return true;
            }
        }
    }
    return false;
}

TEST(AndorraExtract, CompilesIntoTilesThatLoadAndThatTheCatalogueFinds) {
    if (!QFile::exists(kAndorra)) {
        GTEST_SKIP() << "no " << kAndorra.toStdString() << " (the shared data is absent)";
    }
    TempHome home;
    constexpr double kTileMb = 1.0;
    const ToolRun run = RunTool(
        VLMAKE_PATH,
        {kAndorra, home.File("Maps"), "--quiet", "--tile-mb", QString::number(kTileMb)}, 120000);
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();

    int tiles = 0;
    bool capitalNamed = false;
    bool numberedRoads = false;
    QDirIterator files(home.File("Maps"), {"*.vl"}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        const auto map = testmaps::LoadMap(path);
        ASSERT_TRUE(map) << path.toStdString();
        EXPECT_TRUE(map->name.contains("© OpenStreetMap contributors"));
        if (path.endsWith("andorraCountry.vl")) {
            continue;
        }
        ++tiles;
        EXPECT_LE(QFileInfo(path).size(), qint64(kTileMb * 1e6)) << path.toStdString();
        capitalNamed |= HasLabel(*map, formats::kShapeKindPoint, "Andorra la Vella");
        numberedRoads |= HasLabel(*map, formats::kShapeKindPolyline, ".CG-1");
    }
    EXPECT_GT(tiles, 1);
    // From 0.1 to 50 km/cm the country map shows more than a few objects wherever the zoom
    // wants 20 cbits or fewer.
    const auto country = testmaps::LoadMap(home.File("Maps/andorraCountry.vl"));
    ASSERT_TRUE(country);
    for (float metresPerCm = 100.0f; metresPerCm <= 50000.0f; metresPerCm *= 1.1f) {
        if (formats::WantedCbits(metresPerCm) <= 20) {
            EXPECT_GT(testmaps::ShownObjects(*country, metresPerCm), 5u) << metresPerCm;
        }
    }
    EXPECT_TRUE(capitalNamed);
    EXPECT_TRUE(numberedRoads);

    // Andorra la Vella, Ordino, Pas de la Casa.
    for (const char* at : {"42.5063,1.5218", "42.5560,1.5330", "42.5426,1.7330"}) {
        const ToolRun info =
            RunTool(VLINFO_PATH, {"--catalogue", home.Path(), "--at", at, "--json"});
        ASSERT_EQ(info.exitCode, 0) << info.err.constData();
        const QJsonObject catalogue = QJsonDocument::fromJson(info.out).object();
        EXPECT_EQ(catalogue["country"].toString(), home.File("Maps/andorraCountry.vl"));
        EXPECT_EQ(catalogue["records"].toArray().size(), tiles);
        const int found = catalogue["at"].toInt(-1);
        ASSERT_GE(found, 0) << at;
        EXPECT_TRUE(catalogue["records"][found]["path"].toString().contains("andorra/andorra_"));
    }
}

}  // namespace
