#include "render/map_renderer.h"

#include <gtest/gtest.h>

#include <QImage>

#include "fixed_window.h"
#include "formats/vl_writer.h"
#include "paint/paint_context.h"
#include "render/map_window_model.h"
#include "synthetic_maps.h"
#include "temp_home.h"

namespace render {
namespace {

using testmaps::LatLon;

constexpr int kWidth = 320;
constexpr int kHeight = 240;

platform::ScreenMetrics Screen() {
    return ScreenOf(kWidth, kHeight, 85, 64);  // 96 dpi
}

// The demo region (a detailed map and the country map) in a data home, seen through the map
// window's logic at 320 × 240.
class MapRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testmaps::WriteDemoHome(home.Path()));
        window = std::make_unique<MapWindowModel>(home.Path(), Screen(), nullptr);
        window->Resize(kWidth, kHeight);
        image.fill(Qt::white);
        context = std::make_unique<paint::PaintContext>(&image);
    }

    MapRenderer& Renderer() { return window->Renderer(); }

    // The demo map as the base map at 0.5 km/cm, the main road under the anchor.
    void ShowDemo(float scale = 0.5f) {
        window->Catalogue().Build();
        ASSERT_TRUE(window->LoadMapAt(testmaps::kDemoRoadPoint.lat, testmaps::kDemoRoadPoint.lon));
        window->ApplyScale(scale);
        window->SetPosition(testmaps::kDemoRoadPoint.lat, testmaps::kDemoRoadPoint.lon, 0.0f, 0.0f);
    }

    // A map east of the demo region, outside the Maps folder unless the tail says otherwise.
    QString WriteEastMap(const QString& tail = "East.vl", float west = 1.70f) {
        auto file = testmaps::EmptyMap("East", 42.40f, west, 42.60f, 1.95f);
        testmaps::AddLevel(*file, 24).shapes.push_back(
            testmaps::Area(60, testmaps::Box(42.40f, west, 42.60f, 1.95f)));
        const QString path = home.File(tail);
        EXPECT_TRUE(formats::WriteVlFile(*file, path));
        return path;
    }

    bool Render() { return window->Render(*context, kMapBackgroundDay); }

    TempHome home;
    std::unique_ptr<MapWindowModel> window;
    QImage image{kWidth, kHeight, QImage::Format_RGB32};
    std::unique_ptr<paint::PaintContext> context;
};

TEST_F(MapRendererTest, TheBaseMapFillsTheCanvasAndAMapAlreadyLoadedIsNotAddedAgain) {
    ShowDemo();
    ASSERT_EQ(Renderer().EntryCount(), 1);
    const MapEntry& base = Renderer().Entry(0);
    EXPECT_EQ(base.kind, MapEntry::kKindVector);
    EXPECT_EQ(base.box.title, "TEST");
    EXPECT_TRUE(base.box.path.endsWith("Demo/Demo.vl"));
    EXPECT_FLOAT_EQ(Renderer().projection.left, testmaps::kDemoWest);
    EXPECT_NEAR(Renderer().view.scale, 0.5f, 0.5f * 0.62f) << "within one ZoomToScale step";
    EXPECT_EQ(Renderer().AddMap(base.box.path), 0);
    EXPECT_EQ(Renderer().EntryCount(), 1);
    EXPECT_TRUE(Renderer().AnyEntryContains(42.5f, 1.5f));
    EXPECT_FALSE(Renderer().AnyEntryContains(42.5f, 1.8f));
    EXPECT_TRUE(Render());
}

TEST_F(MapRendererTest, AMapAddedEastWidensTheBoxAndKeepsTheScale) {
    ShowDemo();
    const float scale = Renderer().view.scale;
    const int width = Renderer().CanvasWidth();
    EXPECT_EQ(Renderer().AddMap(WriteEastMap()), 1);
    EXPECT_EQ(Renderer().EntryCount(), 2);
    EXPECT_FLOAT_EQ(Renderer().projection.right, 1.95f);
    EXPECT_FLOAT_EQ(Renderer().projection.left, testmaps::kDemoWest);
    EXPECT_GT(Renderer().CanvasWidth(), width * 2);
    EXPECT_GT(Renderer().view.scale, scale / 1.62f);
    EXPECT_LT(Renderer().view.scale, scale * 1.62f);
}

TEST_F(MapRendererTest, AMapThatDrawsNothingForFourFramesIsUnloadedButNeverTheLast) {
    ShowDemo();
    Renderer().AddMap(WriteEastMap());
    const GeoPoint centre = Renderer().GeoUnderWindowCentre();
    ASSERT_EQ(Renderer().EntryCount(), 2);
    Render();
    Render();
    EXPECT_EQ(Renderer().Entry(1).missCount, 2);
    // Frame 3 shows the eastern map: its count starts again.
    window->CentreOn(42.5f, 1.8f);
    Render();
    EXPECT_EQ(Renderer().Entry(1).missCount, 0);
    EXPECT_EQ(Renderer().Entry(0).missCount, 1);
    window->CentreOn(centre.lat, centre.lon);
    for (int frame = 1; frame <= 3; ++frame) {
        Render();
        ASSERT_EQ(Renderer().EntryCount(), 2) << frame;
    }
    Render();
    ASSERT_EQ(Renderer().EntryCount(), 1);
    EXPECT_TRUE(Renderer().Entry(0).box.path.endsWith("Demo.vl"));
    const GeoPoint after = Renderer().GeoUnderWindowCentre();
    EXPECT_NEAR(after.lat, centre.lat, 0.001f) << "the same place under the centre";
    EXPECT_NEAR(after.lon, centre.lon, 0.001f);

    window->SetScrollOffset(QPoint(100000, 100000));
    for (int frame = 0; frame < 6; ++frame) {
        Render();
    }
    EXPECT_EQ(Renderer().EntryCount(), 1) << "the last map stays";
    Renderer().DeleteMap(0);
    EXPECT_EQ(Renderer().EntryCount(), 1);
}

TEST_F(MapRendererTest, AFileThatFailsToLoadIsKeptWithoutABoxAndThenUnloaded) {
    ShowDemo();
    ASSERT_TRUE(home.Write("Broken.vl", QByteArray("not a map")));
    const MapProjection before = Renderer().projection;
    EXPECT_EQ(Renderer().AddMap(home.File("Broken.vl")), 1);
    EXPECT_EQ(Renderer().Entry(1).kind, MapEntry::kKindNone);
    EXPECT_FLOAT_EQ(Renderer().projection.top, before.top) << "no pull towards (0, 0)";
    EXPECT_FLOAT_EQ(Renderer().projection.left, before.left);
    EXPECT_EQ(Renderer().AddMap(home.File("Broken.vl")), 0) << "known while its entry lives";
    for (int frame = 0; frame < 4; ++frame) {
        Render();
    }
    EXPECT_EQ(Renderer().EntryCount(), 1);
}

TEST_F(MapRendererTest, ZoomingOutSwitchesToTheCountryMapAndBackKeepingScaleAndCentre) {
    ShowDemo();
    ASSERT_TRUE(Render());
    ASSERT_EQ(Renderer().CountryMode(), 0);

    window->ApplyScale(8.0f);
    const float wide = Renderer().view.scale;
    const GeoPoint centre = Renderer().GeoUnderWindowCentre();
    EXPECT_TRUE(Render()) << "drawn again after the switch";
    EXPECT_EQ(Renderer().CountryMode(), 1);
    ASSERT_EQ(Renderer().EntryCount(), 1);
    EXPECT_TRUE(Renderer().Entry(0).box.path.endsWith("Maps/Country.vl"));
    EXPECT_GT(Renderer().view.scale, wide / 1.62f);
    EXPECT_LT(Renderer().view.scale, wide * 1.62f);
    GeoPoint after = Renderer().GeoUnderWindowCentre();
    EXPECT_NEAR(after.lat, centre.lat, 0.01f);
    EXPECT_NEAR(after.lon, centre.lon, 0.01f);

    window->ApplyScale(0.5f);
    window->CentreOn(testmaps::kDemoRoadPoint.lat, testmaps::kDemoRoadPoint.lon);
    const float close = Renderer().view.scale;
    const GeoPoint closeCentre = Renderer().GeoUnderWindowCentre();
    EXPECT_TRUE(Render());
    EXPECT_EQ(Renderer().CountryMode(), 0);
    EXPECT_TRUE(Renderer().Entry(0).box.path.endsWith("Demo/Demo.vl"));
    EXPECT_GT(Renderer().view.scale, close / 1.62f);
    EXPECT_LT(Renderer().view.scale, close * 1.62f);
    after = Renderer().GeoUnderWindowCentre();
    EXPECT_NEAR(after.lat, closeCentre.lat, 0.002f);
    EXPECT_NEAR(after.lon, closeCentre.lon, 0.002f);
}

TEST_F(MapRendererTest, WithoutACountryMapTheDetailedMapStaysWhenZoomedOut) {
    ASSERT_TRUE(QFile::remove(home.File("Maps/Country.vl")));
    ShowDemo(8.0f);
    EXPECT_TRUE(Render());
    EXPECT_EQ(Renderer().CountryMode(), 0);
    EXPECT_TRUE(Renderer().Entry(0).box.path.endsWith("Demo.vl"));
    EXPECT_FALSE(Renderer().LoadCountryMap());
}

TEST_F(MapRendererTest, ScrollingToAnUncoveredCornerLoadsTheCataloguedMap) {
    WriteEastMap("Maps/East.vl", testmaps::kDemoEast);
    ShowDemo();
    EXPECT_EQ(Renderer().EntryCount(), 1) << "the demo map covers every corner";
    // At the demo map's east edge the eastern corners need the eastern map.
    window->SetPosition(42.5f, testmaps::kDemoEast - 0.005f, 0.0f, 0.0f);
    ASSERT_EQ(Renderer().EntryCount(), 2);
    EXPECT_TRUE(Renderer().Entry(1).box.path.endsWith("Maps/East.vl"));
    EXPECT_GT(window->RedrawRequests(), 0);
    const GeoPoint centre = Renderer().GeoUnderWindowCentre();
    EXPECT_NEAR(centre.lon, testmaps::kDemoEast - 0.005f, 0.003f) << "the view stays in place";
    EXPECT_FALSE(window->ScrollToPosition()) << "nothing more to add";
}

// A GPX reader stand-in: one route of the demo region, made in memory.
class RouteFile : public formats::MapFile {
public:
    bool Load(const QString& /*path*/) override {
        file_ = testmaps::EmptyMap("", 42.49f, 1.50f, 42.52f, 1.54f);
        file_->bounds = formats::GeoRect{1.50f, 42.52f, 1.54f, 42.49f};
        testmaps::AddLevel(*file_, 24)
            .shapes.push_back(testmaps::Line(65000, {{42.49f, 1.50f}, {42.52f, 1.54f}}));
        east = 1.54f;
        west = 1.50f;
        north = 42.52f;
        south = 42.49f;
        return true;
    }
};

class Overlays : public MapOverlays {
public:
    std::vector<MapEntry*> GpxEntries() override { return {&route}; }
    void DrawPois(paint::PaintContext&, int centreX, int centreY, int width, int height,
                  const MapProjection&) override {
        poiCalls.push_back({centreX, centreY, width, height});
    }
    MapEntry route;
    std::vector<std::array<int, 4>> poiCalls;
};

TEST_F(MapRendererTest, OverlaysDrawAfterTheMapsWithoutMissCounting) {
    ShowDemo();
    Overlays overlays;
    Renderer().SetGpxFileMaker([] { return std::make_unique<RouteFile>(); });
    Renderer().LoadGpxLayer(overlays.route, "route.gpx");
    ASSERT_EQ(overlays.route.kind, MapEntry::kKindGpx);
    Renderer().SetOverlays(&overlays);
    Renderer().SetAntialiasing(false);
    Render();
    ASSERT_EQ(overlays.poiCalls.size(), 1u);
    EXPECT_EQ(overlays.poiCalls[0][0], Renderer().CanvasWidth() / 2);
    EXPECT_EQ(overlays.poiCalls[0][2], Renderer().CanvasWidth());
    EXPECT_EQ(overlays.poiCalls[0][3], Renderer().CanvasHeight());
    int routeInk = 0;
    const QRgb inner = platform::ToQColor(0xFFFF80).rgb() & 0xFFFFFF;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            routeInk += (image.pixel(x, y) & 0xFFFFFF) == inner ? 1 : 0;
        }
    }
    EXPECT_GT(routeInk, 50);
    window->SetScrollOffset(QPoint(100000, 100000));
    for (int frame = 0; frame < 5; ++frame) {
        Render();
    }
    EXPECT_EQ(overlays.route.missCount, 0);
    Renderer().SetOverlays(nullptr);
}

}  // namespace
}  // namespace render
