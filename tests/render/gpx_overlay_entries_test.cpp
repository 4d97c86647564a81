#include "render/gpx_overlay_entries.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QImage>

#include <chrono>
#include <future>

#include "fixed_window.h"
#include "paint/paint_context.h"
#include "pixels.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"
#include "render/map_window_model.h"
#include "render/poi_icons.h"
#include "synthetic_maps.h"
#include "temp_home.h"

namespace render {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
// Latitudes of two east-west routes, one above the anchor and one below it.
constexpr float kTickedRouteLat = 42.515f;
constexpr float kUntickedRouteLat = 42.499f;
constexpr testmaps::LatLon kHut{42.512f, 1.535f};

QByteArray RouteGpx(float lat, const char* waypoint = nullptr) {
    QByteArray text = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"test\">\n";
    if (waypoint) {
        text += QString("<wpt lat=\"%1\" lon=\"%2\"><name>%3</name></wpt>\n")
                    .arg(kHut.lat)
                    .arg(kHut.lon)
                    .arg(waypoint)
                    .toUtf8();
    }
    text += "<rte>";
    for (float lon : {1.48f, 1.52f, 1.56f}) {
        text += QString("<rtept lat=\"%1\" lon=\"%2\"/>").arg(lat).arg(lon).toUtf8();
    }
    text += "</rte>\n</gpx>\n";
    return text;
}

// The demo region at 0.5 km/cm on a 320 × 240 window, with GPX files in the routes folder.
class GpxOverlayEntriesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testmaps::WriteDemoHome(home.Path()));
        ASSERT_TRUE(WriteRoute("ticked.gpx", RouteGpx(kTickedRouteLat, "Refugi")));
        ASSERT_TRUE(WriteRoute("unticked.gpx", RouteGpx(kUntickedRouteLat)));
        ASSERT_TRUE(WriteRoute("broken.gpx", "<gpx><rte>"));
        settings->Set(platform::settings::kEnabledGpxFiles, 0, QStringLiteral("ticked.gpx"));
        settings->Set(platform::settings::kEnabledGpxFiles, 1, QStringLiteral("broken.gpx"));
        window = std::make_unique<MapWindowModel>(home.Path(), ScreenOf(kWidth, kHeight, 85, 64),
                                                  settings.get());
        window->Resize(kWidth, kHeight);
        window->Renderer().SetAntialiasing(false);
        window->Catalogue().Build();
        ASSERT_TRUE(window->LoadMapAt(testmaps::kDemoRoadPoint.lat, testmaps::kDemoRoadPoint.lon));
        window->ApplyScale(0.5f);
        window->SetPosition(testmaps::kDemoRoadPoint.lat, testmaps::kDemoRoadPoint.lon, 0.0f, 0.0f);
    }

    bool WriteRoute(const QString& name, const QByteArray& bytes) {
        return home.Write(QLatin1String(platform::kRoutesTail).mid(1) + u'/' + name, bytes);
    }

    QImage Render(bool bands = true) {
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        paint::PaintContext context(&image);
        context.SetBandsAllowed(bands);
        window->Render(context, kMapBackgroundDay);
        return image;
    }

    // The window row of a latitude at the window's middle column.
    int RowOf(float lat) const {
        const QPoint canvas = window->Renderer().CanvasPointOf(lat, 1.52f);
        return canvas.y() - window->ScrollOffset().y();
    }

    // Pixels of the route's inner colour within two rows of `row`.
    static int RouteInkNear(const QImage& image, int row) {
        int ink = 0;
        for (int y = std::max(0, row - 2); y <= std::min(kHeight - 1, row + 2); ++y) {
            for (int x = 0; x < kWidth; ++x) {
                ink += (image.pixel(x, y) & 0xFFFFFF) == RgbOf(0xFFFF80) ? 1 : 0;
            }
        }
        return ink;
    }

    TempHome home;
    std::unique_ptr<platform::SettingsStore> settings =
        platform::SettingsStore::OpenForHome(home.Path());
    std::unique_ptr<MapWindowModel> window;
};

TEST_F(GpxOverlayEntriesTest, TickedRoutesAreDrawnOverTheMapAndUntickedOnesAreNot) {
    GpxOverlayEntries overlays;
    ASSERT_EQ(overlays.LoadOverlaySet(window->Renderer(), home.Path(), *settings), 2);
    EXPECT_TRUE(overlays.Entry(0).path.endsWith("broken.gpx")) << "in file name order";
    EXPECT_EQ(overlays.Entry(0).kind, MapEntry::kKindNone);
    EXPECT_EQ(overlays.Entry(1).kind, MapEntry::kKindGpx);
    const MapLayer& layer = *overlays.Entry(1).layer;
    ASSERT_EQ(layer.File()->ObjectCount(), 2);
    EXPECT_EQ(layer.File()->Object(0)->type, 65000) << "the route, drawn before the waypoint";
    EXPECT_EQ(layer.File()->Object(1)->type, 17);

    const QImage plain = Render();
    EXPECT_EQ(RouteInkNear(plain, RowOf(kTickedRouteLat)), 0);
    window->Renderer().SetOverlays(&overlays);
    const QImage over = Render();
    window->Renderer().SetOverlays(nullptr);
    EXPECT_GT(RouteInkNear(over, RowOf(kTickedRouteLat)), kWidth) << "both pens across the window";
    EXPECT_EQ(RouteInkNear(over, RowOf(kUntickedRouteLat)), 0) << "unticked";
    EXPECT_EQ(window->Renderer().EntryCount(), 1) << "overlays are not map entries";
}

// The lines and areas of the maps and overlays are painted in two bands at once, around the
// icons and before the labels: the frame is the one a single thread paints, smooth or not.
TEST_F(GpxOverlayEntriesTest, AFramePaintedInTwoBandsIsTheFrameOfOneThread) {
    GpxOverlayEntries overlays;
    overlays.LoadOverlaySet(window->Renderer(), home.Path(), *settings);
    window->Renderer().SetOverlays(&overlays);
    ASSERT_TRUE(LoadBuiltInPoiIcons());
    for (const bool antialiased : {false, true}) {
        window->Renderer().SetAntialiasing(antialiased);
        for (const float heading : {0.0f, 37.0f}) {
            window->SetHeading(heading);
            const QImage one = Render(false);
            EXPECT_TRUE(Render(true) == one)
                << "antialiased " << antialiased << " heading " << heading;
        }
    }
    window->Renderer().SetOverlays(nullptr);
}

TEST_F(GpxOverlayEntriesTest, WaypointsShowTheirIconWhenTheStripIsLoaded) {
    GpxOverlayEntries overlays;
    overlays.LoadOverlaySet(window->Renderer(), home.Path(), *settings);
    window->Renderer().SetOverlays(&overlays);
    ASSERT_TRUE(LoadBuiltInPoiIcons());
    const QImage withIcons = Render();
    TempHome bare;
    EXPECT_FALSE(LoadPoiIcons(bare.Path())) << "no strip: points are not drawn";
    const QImage without = Render();
    window->Renderer().SetOverlays(nullptr);

    const QPoint canvas = window->Renderer().CanvasPointOf(kHut.lat, kHut.lon);
    const QPoint hut = canvas - window->ScrollOffset();
    // A 24-pixel icon centred on the waypoint (the map's own town has its icon elsewhere).
    QRect changed;
    for (int y = hut.y() - 30; y < hut.y() + 30; ++y) {
        for (int x = hut.x() - 30; x < hut.x() + 30; ++x) {
            if (withIcons.pixel(x, y) != without.pixel(x, y)) {
                changed |= QRect(x, y, 1, 1);
            }
        }
    }
    ASSERT_FALSE(changed.isEmpty());
    EXPECT_GE(changed.left(), hut.x() - 12);
    EXPECT_LT(changed.right(), hut.x() + 12);
    EXPECT_GE(changed.top(), hut.y() - 12);
    EXPECT_LT(changed.bottom(), hut.y() + 12);
}

TEST_F(GpxOverlayEntriesTest, ReloadingFollowsTheTicks) {
    GpxOverlayEntries overlays;
    ASSERT_EQ(overlays.LoadOverlaySet(window->Renderer(), home.Path(), *settings), 2);
    settings->Set(platform::settings::kEnabledGpxFiles, 0, QStringLiteral("unticked.gpx"));
    settings->Set(platform::settings::kEnabledGpxFiles, 1, QStringLiteral(",,,"));
    ASSERT_EQ(overlays.LoadOverlaySet(window->Renderer(), home.Path(), *settings), 1);
    window->Renderer().SetOverlays(&overlays);
    const QImage over = Render();
    window->Renderer().SetOverlays(nullptr);
    EXPECT_EQ(RouteInkNear(over, RowOf(kTickedRouteLat)), 0);
    EXPECT_GT(RouteInkNear(over, RowOf(kUntickedRouteLat)), kWidth);
    overlays.Clear();
    EXPECT_TRUE(overlays.GpxEntries().empty());
}

// A named pipe opened for reading waits for a writer: one called like a map or a GPX file must
// not be opened at all, or the catalogue and the overlay loader hang.
TEST(FolderReadersTest, PipesNamedLikeMapsOrGpxFilesAreNotOpened) {
    TempHome home;
    ASSERT_TRUE(testmaps::WriteDemoHome(home.Path()));
    QDir().mkpath(home.File("Routes_POIs"));
    const QStringList pipes = {home.File("Maps/pipe.vl"), home.File("Routes_POIs/pipe.gpx")};
    for (const QString& pipe : pipes) {
        ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    }
    const std::unique_ptr<platform::SettingsStore> settings =
        platform::SettingsStore::OpenForHome(home.Path());
    settings->Set(platform::settings::kEnabledGpxFiles, 0, QStringLiteral("pipe.gpx"));

    std::future<std::pair<int, int>> work = std::async(std::launch::async, [&] {
        MapWindowModel window(home.Path(), ScreenOf(kWidth, kHeight, 85, 64), settings.get());
        window.Catalogue().Build();
        GpxOverlayEntries overlays;
        const int entries = overlays.LoadOverlaySet(window.Renderer(), home.Path(), *settings);
        return std::make_pair(window.Catalogue().Count(), entries);
    });
    if (work.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // A writer that comes and goes lets a reader stuck in open() go on, pipe after pipe.
        do {
            for (const QString& pipe : pipes) {
                const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    ::close(fd);
                }
            }
        } while (work.wait_for(std::chrono::milliseconds(200)) != std::future_status::ready);
        FAIL() << "a reader opened a named pipe and waited for its writer";
    }
    const auto [records, entries] = work.get();
    EXPECT_GT(records, 0) << "the real maps are still catalogued";
    EXPECT_EQ(entries, 1) << "the ticked pipe stays an entry that draws nothing";
}

}  // namespace
}  // namespace render
