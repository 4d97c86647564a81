// The demo region: written, compiled like any input, and looked at as the program shows it;
// its drive and its POI file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QtEndian>

#include <cmath>
#include <set>

#include "compiled_maps.h"
#include "fixed_window.h"
#include "gps/nmea_parser.h"
#include "mapmake/demo_region.h"
#include "mapmake/tile_builder.h"
#include "paint/paint_context.h"
#include "pixels.h"
#include "platform/settings_store.h"
#include "render/map_window_model.h"
#include "temp_home.h"
#include "tool_run.h"

namespace {

constexpr float kLat = float(mapmake::kDemoCentreLat);
constexpr float kLon = float(mapmake::kDemoCentreLon);

// One demo home for the suite: the demo written into Maps and compiled there.
class DemoRegion : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        home_ = new TempHome();
        QString error;
        ok_ = mapmake::WriteDemoRegion(Maps(), error);
        mapmake::CompileSummary summary;
        ok_ = ok_ && mapmake::CompileMaps(mapmake::DemoCompileOptions(Maps()), {}, summary, error);
        error_ = new QString(error);
    }
    static void TearDownTestSuite() {
        delete home_;
        delete error_;
    }
    void SetUp() override { ASSERT_TRUE(ok_) << error_->toStdString(); }

    static QString Maps() { return home_->File("Maps"); }

    static TempHome* home_;
    static QString* error_;
    static bool ok_;
};

TempHome* DemoRegion::home_ = nullptr;
QString* DemoRegion::error_ = nullptr;
bool DemoRegion::ok_ = false;

TEST_F(DemoRegion, AFirstStartFindsADetailedTileAndTheCountryMap) {
    render::MapCatalogue catalogue(home_->Path());
    catalogue.Build();
    EXPECT_EQ(catalogue.CountryMapPath(), Maps() + "/DemoCountry.vl");
    const int found = catalogue.FindMapAt(kLat, kLon);
    ASSERT_GE(found, 0);
    EXPECT_EQ(catalogue.Record(found).path, Maps() + "/Demo/Demo_0_0.vl");
    const auto tile = testmaps::LoadMap(catalogue.Record(found).path);
    ASSERT_TRUE(tile);
    EXPECT_TRUE(tile->Contains(kLat, kLon));
    // No attribution: the data is ours.
    EXPECT_EQ(tile->name, "Demo");
    EXPECT_FALSE(QFile::exists(Maps() + "/Demo_attribution.txt"));
}

TEST_F(DemoRegion, EveryZoomFromCloseToWideShowsTheRegion) {
    auto tile = testmaps::LoadMap(Maps() + "/Demo/Demo_0_0.vl");
    auto country = testmaps::LoadMap(Maps() + "/DemoCountry.vl");
    ASSERT_TRUE(tile && country);
    // The detailed tiles serve until the zoom wants fewer than 18 cbits (5 km/cm), the country
    // map from the zoom that wants 20 cbits or fewer (1.2 km/cm) on.
    for (float metresPerCm = 100.0f; metresPerCm <= 50000.0f; metresPerCm *= 1.1f) {
        if (formats::WantedCbits(metresPerCm) >= 18) {
            EXPECT_GT(testmaps::ShownObjects(*tile, metresPerCm), 10u) << metresPerCm;
        }
        if (formats::WantedCbits(metresPerCm) <= 20) {
            EXPECT_GT(testmaps::ShownObjects(*country, metresPerCm), 0u) << metresPerCm;
        }
    }
    EXPECT_GT(testmaps::ShownObjects(*country, 2000.0f), 10u);
}

// The colours of residential areas and of the inner lines of secondary and tertiary roads.
const QColor kResidential(255, 163, 177);
const QColor kSecondary(255, 126, 0);
const QColor kTertiary(255, 194, 14);

TEST_F(DemoRegion, LooksLikeATownCloseUpAndFromAfar) {
    constexpr int kWidth = 800;
    constexpr int kHeight = 600;
    for (const float scale : {0.1f, 0.5f, 2.0f}) {
        render::MapWindowModel window(home_->Path(), ScreenOf(kWidth, kHeight, 212, 159), nullptr);
        window.Catalogue().Build();
        window.Resize(kWidth, kHeight);
        ASSERT_TRUE(window.LoadMapAt(kLat, kLon));
        window.ApplyScale(scale);
        window.SetPosition(kLat, kLon, 0.0f, 0.0f);
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        paint::PaintContext context(&image);
        window.Render(context, render::kMapBackgroundDay);
        EXPECT_NEAR(window.Renderer().view.scale, scale, scale * 0.62f);
        const double town = double(CountPixels(image, kResidential)) / (kWidth * kHeight);
        const int roads = CountPixels(image, kSecondary) + CountPixels(image, kTertiary);
        // The built-up area is filled only from afar, where the town's streets are not drawn;
        // close up the streets themselves show the town.
        if (scale < 1.0f) {
            EXPECT_LT(town, 0.001) << scale;
        } else {
            EXPECT_GT(town, 0.001) << scale;
        }
        EXPECT_GT(roads, 200) << scale;
    }
}

// vlrender on the demo home as a user runs it: the town by day, the same streets by night with
// the night fill of every area, and no day colour left.
TEST_F(DemoRegion, VlrenderPicturesByDayAndByNight) {
    {
        auto settings = platform::SettingsStore::OpenForHome(home_->Path());
        settings->Set(platform::settings::kAntialiasing, 0);
        ASSERT_TRUE(settings->Sync());
    }
    const auto render = [](const QStringList& more) {
        const QString out = home_->File("demo.png");
        QFile::remove(out);
        QStringList arguments{
            "--home",  home_->Path(), "--center", QString("%1,%2").arg(kLat).arg(kLon),
            "--scale", "0.1",         "--size",   "400x300"};
        arguments << more << out;
        const ToolRun run = RunTool(VLRENDER_PATH, arguments);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return QImage(out).convertToFormat(QImage::Format_RGB32);
    };
    const QColor nightArea(0x42, 0x54, 0x59);  // 0x595442, every area but water by night
    const QImage day = render({});
    ASSERT_EQ(day.size(), QSize(400, 300));
    const double pixels = 400.0 * 300.0;
    EXPECT_LT(CountPixels(day, kResidential) / pixels, 0.001) << "no fill under the streets";
    EXPECT_GT(CountPixels(day, kSecondary) + CountPixels(day, kTertiary), 200);
    EXPECT_EQ(CountPixels(day, nightArea), 0);

    const QImage night = render({"--night"});
    ASSERT_EQ(night.size(), QSize(400, 300));
    EXPECT_GT(CountPixels(night, nightArea) / pixels, 0.3) << "the town by night";
    EXPECT_EQ(CountPixels(night, kResidential), 0);
    // The roads keep their pens by night.
    EXPECT_GT(CountPixels(night, kSecondary) + CountPixels(night, kTertiary), 200);
}

TEST_F(DemoRegion, TheDriveTakesFewMinutesAlongTheStreetsAndStopsAtAJunction) {
    QFile log(Maps() + "/demo.nmea");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    std::vector<platform::GpsPosition> fixes;
    gps::NmeaParser parser([&fixes](const gps::NmeaFix& fix) { fixes.push_back(fix.position); });
    parser.Feed(log.readAll().toStdString());
    parser.Flush();
    EXPECT_EQ(parser.Counts().badChecksum, 0u);
    EXPECT_EQ(parser.Counts().skipped, 0u);
    ASSERT_GE(fixes.size(), 180u);
    ASSERT_LE(fixes.size(), 300u);

    auto tile = testmaps::LoadMap(Maps() + "/Demo/Demo_0_0.vl");
    ASSERT_TRUE(tile);
    tile->SelectLevel(100.0f);
    std::set<QString> streets;
    float fastestKmh = 0.0f;
    int standing = 0;
    int longestStand = 0;
    std::set<int> directions;
    std::set<int> headings;
    for (size_t i = 0; i < fixes.size(); ++i) {
        const platform::GpsPosition& fix = fixes[i];
        QString street;
        EXPECT_TRUE(tile->FindRoadAt(float(fix.latitude), float(fix.longitude), street))
            << "fix " << i << " is off the streets";
        streets.insert(street);
        const float kmh = fix.speedKnots * 1.852f;
        fastestKmh = std::max(fastestKmh, kmh);
        standing = kmh < 0.1f ? standing + 1 : 0;
        if (i > 0 && i + 1 < fixes.size()) {
            longestStand = std::max(longestStand, standing);
        }
        directions.insert(int(std::lround(fix.headingDeg / 45.0)) % 8);
        headings.insert(int(std::lround(fix.headingDeg)));
    }
    EXPECT_GE(longestStand, 10);  // the stop at the lights, not the start or the end
    EXPECT_GT(fastestKmh, 40.0f);
    EXPECT_LT(fastestKmh, 51.0f);
    EXPECT_GE(directions.size(), 3u);  // east, north and south
    EXPECT_GE(headings.size(), 10u);   // and along the bent streets
    for (const char* street : {"Main Street", "Station Road", "Church Street", "Maple Avenue"}) {
        EXPECT_TRUE(streets.count(street)) << street;
    }
}

TEST_F(DemoRegion, ThePoiFileNamesIconsAndASoundBesideIt) {
    QFile poi(Maps() + "/POI/demo.poi");
    ASSERT_TRUE(poi.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = poi.readAll().trimmed().split('\n');
    ASSERT_GE(lines.size(), 3);
    int withSound = 0;
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.trimmed().split('|');
        ASSERT_GE(fields.size(), 5) << line.constData();
        EXPECT_NEAR(fields[0].toDouble(), kLat, 0.05);
        EXPECT_NEAR(fields[1].toDouble(), kLon, 0.05);
        const QImage icon(Maps() + "/POI/" + QString::fromLatin1(fields[4]));
        ASSERT_FALSE(icon.isNull()) << fields[4].constData();
        EXPECT_EQ(icon.size(), QSize(16, 16));
        EXPECT_EQ(icon.pixelColor(0, 0), QColor(255, 0, 255));  // the transparent colour
        if (fields.size() >= 6) {
            ++withSound;
            QFile sound(Maps() + "/POI/" + QString::fromLatin1(fields[5]));
            ASSERT_TRUE(sound.open(QIODevice::ReadOnly)) << fields[5].constData();
            const QByteArray wav = sound.readAll();
            ASSERT_GT(wav.size(), 44);
            EXPECT_TRUE(wav.startsWith("RIFF"));
            EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
            EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(wav.size() - 8));
            const quint32 dataBytes = qFromLittleEndian<quint32>(wav.constData() + 40);
            EXPECT_EQ(dataBytes, quint32(wav.size() - 44));
            const double seconds = dataBytes / 2.0 / 22050.0;
            EXPECT_GT(seconds, 0.1);
            EXPECT_LT(seconds, 2.0);
        }
    }
    EXPECT_GE(withSound, 2);
    EXPECT_LT(withSound, lines.size());  // one is drawn but never announced
}

}  // namespace
