// The map window's three threads under load: positions at 100 Hz while the user zooms, drags
// and night mode switches, for 10 seconds. Run under ThreadSanitizer by scripts/tsan.sh.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <cmath>

#include "map_wnd_access.h"
#include "platform/settings_store.h"

namespace app {
namespace {

namespace keys = platform::settings;

TEST(MapWndStress, PositionsAt100HzWhileZoomingDraggingAndTogglingNight) {
    TempHome home;
    ASSERT_TRUE(testmaps::WriteDemoHome(home.Path()));
    auto settings = platform::SettingsStore::OpenForHome(home.Path());
    settings->SetFloat(keys::kLastLat, testmaps::kDemoRoadPoint.lat);
    settings->SetFloat(keys::kLastLon, testmaps::kDemoRoadPoint.lon);
    settings->SetFloat(keys::kLastZoom, 0.5);

    auto window = std::make_unique<CMapWnd>(home.Path(), mapwnd_test::Handheld(), settings.get());
    window->resize(240, 320);
    window->show();
    int announcements = 0;
    window->SetAnnouncementDrawer([&](paint::PaintContext&, int, int) { ++announcements; });
    window->RequestRedraw();
    window->StartThreads();

    int tick = 0;
    QTimer positions;
    QObject::connect(&positions, &QTimer::timeout, [&] {
        const double t = tick++ * 0.01;
        const float lat = testmaps::kDemoRoadPoint.lat + 0.02f * float(std::sin(t * 0.7));
        const float lon = testmaps::kDemoRoadPoint.lon + 0.06f * float(std::cos(t * 0.5));
        window->SetPosition(lat, lon, float(tick % 40), float((tick * 3) % 360), 1000.0f,
                            tick / 100, 5, 9);
    });
    positions.start(10);

    int zooms = 0;
    QTimer zooming;
    QObject::connect(&zooming, &QTimer::timeout, [&] {
        window->OnCommand((zooms++ / 3) % 2 == 0 ? kCommandZoomIn : kCommandZoomOut);
        if (zooms % 5 == 0) {
            QTest::keyClick(window.get(), Qt::Key_Up);
        }
    });
    zooming.start(70);

    int drags = 0;
    QTimer dragging;
    QObject::connect(&dragging, &QTimer::timeout, [&] {
        const int dx = (drags++ % 2 == 0) ? 60 : -60;
        QTest::mousePress(window.get(), Qt::LeftButton, {}, QPoint(120, 160));
        QTest::mouseMove(window.get(), QPoint(120 + dx / 2, 160 + dx / 3));
        QTest::mouseMove(window.get(), QPoint(120 + dx, 160 - dx / 2));
        QTest::mouseRelease(window.get(), Qt::LeftButton, {}, QPoint(120 + dx, 160 - dx / 2));
    });
    dragging.start(130);

    bool night = false;
    QTimer nights;
    QObject::connect(&nights, &QTimer::timeout, [&] {
        night = !night;
        window->ApplyNightMode(night);
        window->FontsLarger();
        (void)window->PositionLabel();
    });
    nights.start(190);

    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        QTest::qWait(20);
        window->repaint();
    }
    positions.stop();
    zooming.stop();
    dragging.stop();
    nights.stop();

    // Enough of everything happened, even at the pace of a ThreadSanitizer build.
    EXPECT_GT(tick, 50);
    EXPECT_GT(drags, 5);
    EXPECT_GT(window->RenderCount(), 5);
    EXPECT_GT(announcements, 10);
    window->StopThreads();
    EXPECT_TRUE(window->IsClosing());
    const int renders = window->RenderCount();
    window->RequestRedraw();
    QTest::qWait(30);
    EXPECT_EQ(window->RenderCount(), renders) << "no render once closed";
    window.reset();
}

TEST(MapWndStress, DestroyingARunningWindowStopsItsThreadsFirst) {
    TempHome home;
    ASSERT_TRUE(testmaps::WriteDemoHome(home.Path()));
    for (int round = 0; round < 5; ++round) {
        auto window = std::make_unique<CMapWnd>(home.Path(), mapwnd_test::Handheld(), nullptr);
        window->resize(240, 320);
        window->show();
        window->CentreOn(testmaps::kDemoRoadPoint.lat, testmaps::kDemoRoadPoint.lon);
        window->StartThreads();
        window->SetPosition(testmaps::kDemoRoadPoint.lat, testmaps::kDemoRoadPoint.lon, 10.0f,
                            45.0f, 0.0f, 0, 0, 0);
        QTest::qWait(round * 7);
    }
}

}  // namespace
}  // namespace app
