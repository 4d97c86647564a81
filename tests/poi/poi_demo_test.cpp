// The demo region's POI file as the program uses it: announced along the demo drive, and drawn
// by vlrender where its POIs are.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>

#include "gps/nmea_parser.h"
#include "mapmake/demo_region.h"
#include "mapmake/map_compiler.h"
#include "poi/poi_announcement.h"
#include "poi/poi_store.h"
#include "poi_home.h"
#include "qt_print.h"
#include "tool_run.h"

namespace poi {
namespace {

// One home for the suite: the demo region written and compiled into it, its POI folder and its
// drive beside the maps, demo.poi ticked.
class DemoPois : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        home_ = new PoiHome();
        const QString region = home_->Path() + "/region";
        QString error;
        mapmake::CompileSummary summary;
        mapmake::CompileOptions options = mapmake::DemoCompileOptions(region);
        options.outDir = home_->Path() + "/Maps";
        ok_ = mapmake::WriteDemoRegion(region, error) && QDir().mkpath(options.outDir) &&
              mapmake::CompileMaps(options, {}, summary, error) &&
              QDir().rename(region + "/POI", home_->Path() + "/POI");
        home_->Tick({"demo.poi"});
        home_->Settings().Sync();
    }
    static void TearDownTestSuite() { delete home_; }
    void SetUp() override { ASSERT_TRUE(ok_); }

    static PoiHome* home_;
    static bool ok_;
};

PoiHome* DemoPois::home_ = nullptr;
bool DemoPois::ok_ = false;

TEST_F(DemoPois, TheDriveAnnouncesAPoiWithItsSound) {
    QFile log(home_->Path() + "/region/demo.nmea");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    std::vector<platform::GpsPosition> fixes;
    gps::NmeaParser parser([&fixes](const gps::NmeaFix& fix) { fixes.push_back(fix.position); });
    parser.Feed(log.readAll().toStdString());
    parser.Flush();
    ASSERT_FALSE(fixes.empty());

    PoiStore store(home_->Path(), &home_->Settings());
    RecordingSoundPlayer player;
    store.SetSoundPlayer(&player);
    store.ReadAnnounceDistances(home_->Settings());
    store.Reload();
    ASSERT_EQ(store.Count(), 4);
    PoiAnnouncement announcement;
    std::vector<QString> titles;
    for (const platform::GpsPosition& fix : fixes) {
        if (fix.speedKnots * 1.852f < 1.0f) {
            continue;
        }
        const size_t before = player.played.size();
        store.CheckAnnouncements(float(fix.latitude), float(fix.longitude), announcement);
        if (player.played.size() > before) {
            titles.push_back(announcement.Line1());
        }
    }
    ASSERT_FALSE(player.played.empty());
    EXPECT_EQ(player.played.front(), home_->PoiFile("chime.wav"));
    EXPECT_TRUE(QFile::exists(player.played.front()));
    EXPECT_NE(std::find(titles.begin(), titles.end(), "Cafe Central"), titles.end());
    EXPECT_EQ(std::find(titles.begin(), titles.end(), "Town Museum"), titles.end());
}

// True when the icon's opaque pixels (all but its top-left pixel's colour) are in `picture`
// with its top-left corner at `at`.
bool IconAt(const QImage& picture, const QImage& icon, QPoint at) {
    const QRgb transparent = icon.pixel(0, 0);
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            const QPoint p = at + QPoint(x, y);
            if (icon.pixel(x, y) != transparent &&
                (!picture.rect().contains(p) ||
                 (picture.pixel(p) & 0xFFFFFF) != (icon.pixel(x, y) & 0xFFFFFF))) {
                return false;
            }
        }
    }
    return true;
}

TEST_F(DemoPois, VlrenderDrawsEachIconWithItsCornerOnItsPoi) {
    QFile poi(home_->PoiFile("demo.poi"));
    ASSERT_TRUE(poi.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = poi.readAll().trimmed().split('\n');
    ASSERT_GE(lines.size(), 4);
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.trimmed().split('|');
        const QImage icon(home_->PoiFile(QString::fromLatin1(fields[4])));
        ASSERT_FALSE(icon.isNull());
        // The POI at the anchor point of a 400 × 300 window: half the width, two thirds of
        // the height.
        const QString out = home_->Path() + "/" + fields[4] + ".png";
        const ToolRun run = RunTool(
            VLRENDER_PATH, {"--home", home_->Path(), "--center", fields[0] + "," + fields[1],
                            "--scale", "0.1", "--size", "400x300", out});
        ASSERT_EQ(run.exitCode, 0) << run.err.constData();
        const QImage picture(out);
        bool found = false;
        for (int dy = -1; dy <= 1 && !found; ++dy) {
            for (int dx = -1; dx <= 1 && !found; ++dx) {
                found = IconAt(picture, icon, QPoint(200 + dx, 200 + dy));
            }
        }
        EXPECT_TRUE(found) << fields[4].constData();
    }

    // Unticked, the same place shows no icon.
    home_->Tick({});
    home_->Settings().Sync();
    const QList<QByteArray> first = lines[0].trimmed().split('|');
    const QString out = home_->Path() + "/unticked.png";
    ASSERT_EQ(
        RunTool(VLRENDER_PATH, {"--home", home_->Path(), "--center", first[0] + "," + first[1],
                                "--scale", "0.1", "--size", "400x300", out})
            .exitCode,
        0);
    EXPECT_FALSE(IconAt(QImage(out), QImage(home_->PoiFile(QString::fromLatin1(first[4]))),
                        QPoint(200, 200)));
    home_->Tick({"demo.poi"});
    home_->Settings().Sync();
}

}  // namespace
}  // namespace poi
