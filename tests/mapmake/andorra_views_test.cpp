// The Andorra maps built by vlmake, looked at as a driver does: at each zoom the picture is not
// dark with patterns, the icons leave the streets and names readable, the main roads are on
// every tile level and the places on the country map's levels.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>

#include "compiled_maps.h"
#include "temp_home.h"
#include "tool_run.h"

namespace {

const QString kAndorra = QStringLiteral(VELMORA_SHARED_DATA "/osm/andorra.osm.pbf");
const QString kAndorraLaVella = QStringLiteral("42.5063,1.5218");

struct View {
    const char* scaleKmPerCm;
    double maxNearBlackPercent;  // by day; 100 where there is no target
    double maxIconCoverPercent;
};

// Per cent of the pixels whose every channel is below 40.
double NearBlackPercent(const QImage& picture) {
    qint64 dark = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            dark += qRed(pixel) < 40 && qGreen(pixel) < 40 && qBlue(pixel) < 40 ? 1 : 0;
        }
    }
    return 100.0 * double(dark) / double(picture.width() * picture.height());
}

std::vector<int> RoadTypesOf(const formats::ShapeLevel& level) {
    std::vector<int> types;
    for (const auto& shape : level.shapes) {
        if (shape->Kind() == formats::kShapeKindPolyline && shape->type >= 1 && shape->type <= 4 &&
            std::find(types.begin(), types.end(), shape->type) == types.end()) {
            types.push_back(shape->type);
        }
    }
    std::sort(types.begin(), types.end());
    return types;
}

TEST(AndorraViews, ReadAtAGlanceAtEveryZoom) {
    if (!QFile::exists(kAndorra)) {
        GTEST_SKIP() << "no " << kAndorra.toStdString() << " (the shared data is absent)";
    }
    TempHome home;
    const ToolRun make =
        RunTool(VLMAKE_PATH, {kAndorra, home.File("Maps"), "--quiet", "--tile-mb", "1"}, 120000);
    ASSERT_EQ(make.exitCode, 0) << make.err.constData();

    // 0.0472 km/cm lands on the closest zoom, about 2 km across; 0.945 is about 20 km across.
    const View views[] = {
        {"0.0472", 3.0, 12.0}, {"0.945", 3.0, 1.0}, {"2", 100.0, 100.0}, {"10", 100.0, 1.0}};
    for (const View& view : views) {
        SCOPED_TRACE(view.scaleKmPerCm);
        const QString out = home.File(QString("view_%1.png").arg(view.scaleKmPerCm));
        const ToolRun render =
            RunTool(VLRENDER_PATH, {"--home", home.Path(), "--center", kAndorraLaVella, "--scale",
                                    view.scaleKmPerCm, "--size", "800x480", "--json", out});
        ASSERT_EQ(render.exitCode, 0) << render.err.constData();
        const QJsonObject frame = QJsonDocument::fromJson(render.out.trimmed()).object();
        ASSERT_TRUE(frame.contains("iconCoverPercent")) << render.out.constData();
        EXPECT_LE(frame["iconCoverPercent"].toDouble(), view.maxIconCoverPercent);
        EXPECT_GT(frame["labels"].toObject()["placed"].toInt(), 0) << "names are shown";
        const QImage picture(out);
        ASSERT_FALSE(picture.isNull());
        EXPECT_LE(NearBlackPercent(picture), view.maxNearBlackPercent);
    }

    // Every main road a tile holds close up is on each of its levels, and the country map
    // shows places on each level that holds roads, and no other points.
    QDirIterator tiles(home.File("Maps/andorra"), {"*.vl"}, QDir::Files);
    int tileCount = 0;
    while (tiles.hasNext()) {
        const auto tile = testmaps::LoadMap(tiles.next());
        ASSERT_TRUE(tile);
        ++tileCount;
        const std::vector<int> closeUp = RoadTypesOf(*tile->levels.front());
        for (const auto& level : tile->levels) {
            EXPECT_EQ(RoadTypesOf(*level), closeUp) << level->cbits;
        }
    }
    EXPECT_GT(tileCount, 0);
    const auto country = testmaps::LoadMap(home.File("Maps/andorraCountry.vl"));
    ASSERT_TRUE(country);
    for (const auto& level : country->levels) {
        if (RoadTypesOf(*level).size() < 2) {
            continue;
        }
        int places = 0;
        for (const auto& shape : level->shapes) {
            if (shape->Kind() == formats::kShapeKindPoint) {
                EXPECT_LE(shape->type, 0x11)
                    << "a point that is not a place, level " << level->cbits;
                ++places;
            }
        }
        EXPECT_GT(places, 0) << level->cbits;
    }
}

}  // namespace
