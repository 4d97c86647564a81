// vlrender run as a user runs it, on the demo region.
#include <gtest/gtest.h>

#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>

#include "pixels.h"
#include "platform/settings_store.h"
#include "synthetic_maps.h"
#include "temp_home.h"
#include "tool_run.h"

namespace {

ToolRun RunVlrender(const QStringList& arguments) {
    return RunTool(VLRENDER_PATH, arguments);
}

class VlrenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testmaps::WriteDemoHome(home.Path()));
        auto settings = platform::SettingsStore::OpenForHome(home.Path());
        settings->Set(platform::settings::kAntialiasing, 0);
        ASSERT_TRUE(settings->Sync());
    }

    // The lake at the anchor of a 320 × 240 picture, 1 km/cm.
    QImage RenderLake(const QStringList& more = {}) {
        const QString out = home.File("out.png");
        const QString centre =
            QString("%1,%2").arg(testmaps::kDemoLakeCentre.lat).arg(testmaps::kDemoLakeCentre.lon);
        QStringList arguments{"--home",  home.Path(), "--center", centre,
                              "--scale", "1",         "--size",   "320x240"};
        arguments << more << out;
        const ToolRun run = RunVlrender(arguments);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return QImage(out);
    }

    TempHome home;
};

TEST_F(VlrenderTest, DrawsTheDemoRegionByDayAndByNight) {
    const QImage day = RenderLake();
    ASSERT_EQ(day.size(), QSize(320, 240));
    EXPECT_EQ(day.pixel(160, 160) & 0xFFFFFF, RgbOf(0xF36D4D)) << "the lake at the anchor";
    EXPECT_EQ(day.pixel(8, 8) & 0xFFFFFF, RgbOf(0x9CE4F5)) << "land";
    EXPECT_TRUE(QFile::exists(home.File("Maps/maps.dat")));

    const QImage night = RenderLake({"--night"});
    EXPECT_EQ(night.pixel(160, 160) & 0xFFFFFF, RgbOf(0x8E6D54));
    EXPECT_EQ(night.pixel(8, 8) & 0xFFFFFF, RgbOf(0x595442));

    const QImage turned = RenderLake({"--heading", "37"});
    EXPECT_EQ(turned.pixel(160, 160) & 0xFFFFFF, RgbOf(0xF36D4D)) << "turned about the anchor";
    EXPECT_NE(turned, day);
}

TEST_F(VlrenderTest, ZoomedOutItShowsTheCountryMap) {
    const QString out = home.File("country.png");
    const ToolRun run = RunVlrender({"--home", home.Path(), "--center", "42.5063,1.5218", "--scale",
                                     "10", "--size", "320x240", out});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage picture(out);
    // The country map's main road runs near the anchor (the switch keeps the window centre
    // in place, and the scale to within one step): its grey inner line crosses the picture
    // (looked for left of the town's icon at the anchor), and the lake lies south-east of it.
    int road = -1;
    for (int y = 100; y < 240 && road < 0; ++y) {
        road = (picture.pixel(100, y) & 0xFFFFFF) == RgbOf(0xC8C8C8) ? y : -1;
    }
    ASSERT_GT(road, 120);
    EXPECT_LT(road, 200);
    int lake = 0;
    for (int y = road; y < 240; ++y) {
        for (int x = 160; x < 320; ++x) {
            lake += (picture.pixel(x, y) & 0xFFFFFF) == RgbOf(0xF36D4D) ? 1 : 0;
        }
    }
    EXPECT_GT(lake, 50);
}

TEST_F(VlrenderTest, DrawsTheTickedGpxFilesOfTheHome) {
    // A route running north-south through the lake at the anchor, and another one east of it
    // that is not ticked.
    const auto route = [](float lon) {
        return QString(
                   "<gpx version=\"1.1\"><rte><rtept lat=\"42.40\" lon=\"%1\"/>"
                   "<rtept lat=\"42.48\" lon=\"%1\"/></rte></gpx>")
            .arg(lon)
            .toUtf8();
    };
    ASSERT_TRUE(home.Write("Routes_POIs/ticked.gpx", route(testmaps::kDemoLakeCentre.lon)));
    ASSERT_TRUE(home.Write("Routes_POIs/other.gpx", route(testmaps::kDemoLakeCentre.lon + 0.02f)));
    {
        auto settings = platform::SettingsStore::OpenForHome(home.Path());
        settings->Set(platform::settings::kEnabledGpxFiles, 0, QStringLiteral("ticked.gpx"));
        ASSERT_TRUE(settings->Sync());
    }
    const QImage picture = RenderLake();
    const auto routeInRow = [&picture](int y, int fromX, int toX) {
        for (int x = fromX; x < toX; ++x) {
            if ((picture.pixel(x, y) & 0xFFFFFF) == RgbOf(0xFFFF80)) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(routeInRow(100, 150, 170)) << "the ticked route over the lake";
    EXPECT_TRUE(routeInRow(200, 150, 170));
    EXPECT_FALSE(routeInRow(100, 170, 320)) << "the unticked one is not drawn";
}

TEST_F(VlrenderTest, BenchPrintsOneJsonLineOfFrameTimes) {
    const QString out = home.File("bench.png");
    const ToolRun run = RunVlrender({"--home", home.Path(), "--center", "42.5063,1.5218", "--scale",
                                     "0.5", "--size", "200x100", "--bench", "5", out});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 1);
    const QJsonObject json = QJsonDocument::fromJson(lines[0]).object();
    EXPECT_EQ(json.value("frames").toInt(), 5);
    for (const char* key : {"medianMs", "minMs", "maxMs", "prepareMs"}) {
        EXPECT_TRUE(json.value(key).isDouble()) << key;
    }
    EXPECT_LE(json.value("minMs").toDouble(), json.value("medianMs").toDouble());
    EXPECT_LE(json.value("medianMs").toDouble(), json.value("maxMs").toDouble());
}

TEST_F(VlrenderTest, JsonTellsWhatTheFrameDrew) {
    const QString out = home.File("counted.png");
    const ToolRun run = RunVlrender({"--home", home.Path(), "--center", "42.5063,1.5218", "--scale",
                                     "0.5", "--size", "320x240", "--json", out});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(run.out.trimmed()).object();
    const QJsonObject shapes = json.value("shapes").toObject();
    EXPECT_GT(shapes.value("lines").toInt(), 0);
    EXPECT_GE(shapes.value("areas").toInt(), 1) << "the background at least";
    EXPECT_GT(shapes.value("points").toInt(), 0);
    EXPECT_EQ(json.value("icons").toInt(), shapes.value("points").toInt());
    EXPECT_GT(json.value("labels").toObject().value("placed").toInt(), 0);
    EXPECT_GE(json.value("labels").toObject().value("dropped").toInt(), 0);
    EXPECT_GE(json.value("shields").toInt(), 0);
    const double cover = json.value("iconCoverPercent").toDouble(-1.0);
    EXPECT_GT(cover, 0.0);
    EXPECT_LT(cover, 100.0);
    EXPECT_TRUE(QImage(out).size() == QSize(320, 240)) << "the picture is written as well";
}

TEST_F(VlrenderTest, BadArgumentsAndMissingMapsAreClearFailures) {
    const QString out = home.File("x.png");
    EXPECT_EQ(RunVlrender({"--home", home.Path(), "--center", "42.5", "--scale", "1", "--size",
                           "320x240", out})
                  .exitCode,
              2);
    EXPECT_EQ(RunVlrender({"--home", home.Path(), "--center", "42.5,1.5", "--scale", "0", "--size",
                           "320x240", out})
                  .exitCode,
              2);
    EXPECT_EQ(RunVlrender({"--home", home.Path(), "--center", "42.5,1.5", "--scale", "1", "--size",
                           "0x240", out})
                  .exitCode,
              2);
    const ToolRun nowhere = RunVlrender(
        {"--home", home.Path(), "--center", "10,10", "--scale", "1", "--size", "320x240", out});
    EXPECT_EQ(nowhere.exitCode, 0) << "the country map is shown where no detailed map is";
    ASSERT_TRUE(QFile::remove(home.File("Maps/Country.vl")));
    const ToolRun none = RunVlrender({"--home", home.Path(), "--center", "10,10", "--scale", "1",
                                      "--size", "320x240", home.File("none.png")});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.contains("no map")) << none.err.toStdString();
    EXPECT_FALSE(QFile::exists(home.File("none.png")));
}

}  // namespace
