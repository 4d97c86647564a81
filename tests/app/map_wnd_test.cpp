#include "app/map_wnd.h"

#include <gtest/gtest.h>

#include <QTest>

#include "map_wnd_access.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"

namespace app {
namespace {

using mapwnd_test::Handheld;
using mapwnd_test::WaitFor;
using testmaps::kDemoRoadPoint;
namespace keys = platform::settings;
using Access = CMapWndTestAccess;

// The demo region in a data home with its own settings, the last view on the main road.
class MapWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testmaps::WriteDemoHome(home.Path()));
        settings = platform::SettingsStore::OpenForHome(home.Path());
        settings->SetFloat(keys::kLastLat, kDemoRoadPoint.lat);
        settings->SetFloat(keys::kLastLon, kDemoRoadPoint.lon);
        settings->SetFloat(keys::kLastZoom, 0.5);
    }

    std::unique_ptr<CMapWnd> Open(bool large = false) {
        auto window = std::make_unique<CMapWnd>(home.Path(), Handheld(large), settings.get());
        window->resize(large ? QSize(480, 640) : QSize(240, 320));
        window->show();
        return window;
    }

    // The scale a bare model reaches from the same view by the same zoom.
    float ReferenceScale(float stored, int zoomStep, bool large = false) {
        render::MapWindowModel model(home.Path(), Handheld(large), nullptr);
        model.Catalogue().Build();
        model.Resize(large ? 480 : 240, large ? 640 : 320);
        EXPECT_TRUE(model.LoadMapAt(kDemoRoadPoint.lat, kDemoRoadPoint.lon));
        model.ApplyScale(stored);
        model.SetPosition(kDemoRoadPoint.lat, kDemoRoadPoint.lon, 0.0f, 0.0f);
        if (zoomStep > 0) {
            model.ZoomIn(zoomStep);
        } else if (zoomStep < 0) {
            model.ZoomOut(-zoomStep);
        }
        return model.Renderer().view.scale;
    }

    int EntryCount(CMapWnd& window) {
        int count = 0;
        window.WithView(
            [&](render::MapWindowModel& model) { count = model.Renderer().EntryCount(); });
        return count;
    }

    TempHome home;
    std::unique_ptr<platform::SettingsStore> settings;
};

TEST_F(MapWndTest, OpensOnTheStoredViewAndATooSmallStoredScaleGivesPointSeven) {
    {
        auto window = Open();
        EXPECT_EQ(EntryCount(*window), 1);
        EXPECT_FLOAT_EQ(window->ScaleKmPerCm(), ReferenceScale(0.5f, 0));
        EXPECT_EQ(window->Anchor(), QPoint(120, 212));
        EXPECT_FLOAT_EQ(window->Position().latitude, kDemoRoadPoint.lat);
        // The position sits at the anchor.
        render::MapWindowModel* seen = nullptr;
        QPoint pixel;
        window->WithView([&](render::MapWindowModel& model) {
            seen = &model;
            pixel = model.Renderer().CanvasPointOf(kDemoRoadPoint.lat, kDemoRoadPoint.lon);
        });
        ASSERT_NE(seen, nullptr);
        EXPECT_EQ(pixel - window->ScrollOffset(), window->Anchor());
    }
    settings->WriteString("STATUS", "LASTZOOM", "0.01");
    auto window = Open();
    EXPECT_FLOAT_EQ(window->ScaleKmPerCm(), ReferenceScale(0.7f, 0));
}

// A first start far from every map (the default last view) shows the maps as soon as a
// position reaches them, at the stored scale.
TEST_F(MapWndTest, AFirstPositionOnTheMapsLoadsThemWhenTheStoredViewHadNone) {
    settings->SetFloat(keys::kLastLat, -33.9f);
    settings->SetFloat(keys::kLastLon, 151.2f);
    auto window = Open();
    ASSERT_EQ(EntryCount(*window), 0);
    window->SetPosition(kDemoRoadPoint.lat, kDemoRoadPoint.lon, 0.0f, 0.0f, 0.0f, 0, 0, 0);
    EXPECT_EQ(EntryCount(*window), 1);
    EXPECT_FLOAT_EQ(window->ScaleKmPerCm(), ReferenceScale(0.5f, 0));
}

TEST_F(MapWndTest, ClosingAndDestructionSaveTheLastView) {
    {
        auto window = Open();
        window->SetPosition(42.51f, 1.53f, 0.0f, 0.0f, 0.0f, 0, 5, 7);
        window->close();
        EXPECT_TRUE(window->IsClosing());
        EXPECT_FLOAT_EQ(settings->GetFloat(keys::kLastLat), 42.51f);
        EXPECT_FLOAT_EQ(settings->GetFloat(keys::kLastLon), 1.53f);
        // Kept as text with six decimals.
        EXPECT_NEAR(settings->GetFloat(keys::kLastZoom), window->ScaleKmPerCm(), 1e-6);
    }
    // A latitude of exactly 0 was never a position: destruction keeps the stored one and
    // saves the scale alone.
    settings->SetFloat(keys::kLastZoom, 3.0);
    const float kept = settings->GetFloat(keys::kLastLat);
    float scale = 0.0f;
    {
        auto window = std::make_unique<CMapWnd>(home.Path(), Handheld(), settings.get());
        window->SetPosition(0.0f, 1.5f, 0.0f, 0.0f, 0.0f, 0, -1, -1);
        scale = window->ScaleKmPerCm();
    }
    EXPECT_FLOAT_EQ(settings->GetFloat(keys::kLastLat), kept);
    EXPECT_NEAR(settings->GetFloat(keys::kLastZoom), scale, 1e-6);
}

TEST_F(MapWndTest, TheMapTurnsHeadingUpOnlyAboveTwoKmPerHour) {
    auto window = Open();
    auto angle = [&] {
        float radians = 0.0f;
        window->WithView(
            [&](render::MapWindowModel& model) { radians = model.Renderer().projection.angle; });
        return radians;
    };
    window->SetPosition(kDemoRoadPoint.lat, kDemoRoadPoint.lon, 2.0f, 90.0f, 0.0f, 0, 3, 4);
    EXPECT_EQ(window->Position().headingDeg, 0);
    EXPECT_FLOAT_EQ(angle(), 0.0f);
    window->SetPosition(kDemoRoadPoint.lat, kDemoRoadPoint.lon, 2.1f, 90.7f, 0.0f, 0, 3, 4);
    EXPECT_EQ(window->Position().headingDeg, 90);
    EXPECT_NE(angle(), 0.0f);
    const float turned = angle();
    window->SetPosition(kDemoRoadPoint.lat, kDemoRoadPoint.lon, 1.0f, 180.0f, 0.0f, 0, 3, 4);
    EXPECT_EQ(window->Position().headingDeg, 90);
    EXPECT_FLOAT_EQ(angle(), turned);
    EXPECT_EQ(window->Position().horizontalAccuracy, 3);
    EXPECT_EQ(window->Position().verticalAccuracy, 4);
}

TEST_F(MapWndTest, APositionArrivingWhilePositioningIsDropped) {
    auto window = Open();
    const QPoint scroll = window->ScrollOffset();
    Access::Positioning(*window) = true;
    window->SetPosition(42.45f, 1.45f, 30.0f, 45.0f, 900.0f, 60, 1, 1);
    EXPECT_EQ(window->ScrollOffset(), scroll);
    EXPECT_FLOAT_EQ(window->Position().latitude, kDemoRoadPoint.lat);
    EXPECT_EQ(window->Position().headingDeg, 0);
    Access::Positioning(*window) = false;
    window->SetPosition(42.45f, 1.45f, 30.0f, 45.0f, 900.0f, 60, 1, 1);
    EXPECT_NE(window->ScrollOffset(), scroll);
}

TEST_F(MapWndTest, ArrowKeyPressesWithinATenthOfASecondBecomeOneZoom) {
    auto window = Open();
    const int before = Access::RedrawRequests(*window);
    for (int press = 0; press < 3; ++press) {
        QTest::keyClick(window.get(), Qt::Key_Up);
        QTest::qWait(20);
    }
    EXPECT_EQ(Access::PendingZoom(*window), 30);
    EXPECT_EQ(Access::RedrawRequests(*window), before) << "nothing zooms before the timer";
    ASSERT_TRUE(WaitFor([&] { return Access::PendingZoom(*window) == 0; }, 1000));
    EXPECT_FLOAT_EQ(window->ScaleKmPerCm(), ReferenceScale(0.5f, 30));

    auto out = Open();
    QTest::keyClick(out.get(), Qt::Key_Down);
    QTest::keyClick(out.get(), Qt::Key_Down);
    ASSERT_TRUE(WaitFor([&] { return Access::PendingZoom(*out) == 0; }, 1000));
    EXPECT_FLOAT_EQ(out->ScaleKmPerCm(), ReferenceScale(0.5f, -20));
}

TEST_F(MapWndTest, MenuPlusMinusAndTheWheelZoomByTenAboutTheAnchor) {
    auto window = Open();
    EXPECT_TRUE(window->OnCommand(kCommandZoomIn));
    EXPECT_FLOAT_EQ(window->ScaleKmPerCm(), ReferenceScale(0.5f, 10));
    EXPECT_TRUE(window->OnCommand(kCommandZoomOut));
    QTest::keyClick(window.get(), Qt::Key_Plus);
    const float afterPlus = window->ScaleKmPerCm();
    EXPECT_LT(afterPlus, ReferenceScale(0.5f, 0) * 1.0001f);
    QTest::keyClick(window.get(), Qt::Key_Minus);
    EXPECT_GT(window->ScaleKmPerCm(), afterPlus);
    EXPECT_FALSE(window->OnCommand(32791)) << "Load GPX is the frame's";

    auto wheeled = Open();
    QWheelEvent notch(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(wheeled.get(), &notch);
    EXPECT_FLOAT_EQ(wheeled->ScaleKmPerCm(), ReferenceScale(0.5f, 10));
}

TEST_F(MapWndTest, AZoomThatPutsTheAnchorLeftOfTheCanvasKeepsTheOffsetAtZero) {
    auto window = Open();
    // The west edge of the demo map at the anchor: its canvas begins right of the anchor.
    window->SetPosition(42.5f, testmaps::kDemoWest + 0.001f, 0.0f, 0.0f, 0.0f, 0, 0, 0);
    window->ZoomOutBy(10);
    EXPECT_GE(window->ScrollOffset().x(), 0);
    EXPECT_GE(window->ScrollOffset().y(), 0);
}

TEST_F(MapWndTest, TheCornerButtonOpensThePanelAndTheTapStillStartsADrag) {
    for (const bool large : {false, true}) {
        auto window = Open(large);
        int panels = 0;
        window->SetButtonPanelHook([&] { ++panels; });
        const int side = large ? 64 : 32;
        const QSize size = window->size();
        QTest::mousePress(window.get(), Qt::LeftButton, {},
                          QPoint(size.width() - side, size.height() - side));
        EXPECT_EQ(panels, 1) << "large " << large;
        EXPECT_TRUE(Access::Drag(*window).dragging);
        QTest::mouseRelease(window.get(), Qt::LeftButton, {},
                            QPoint(size.width() - side, size.height() - side));
        QTest::mousePress(window.get(), Qt::LeftButton, {},
                          QPoint(size.width() - side - 1, size.height() - 1));
        QTest::mouseRelease(window.get(), Qt::LeftButton, {},
                            QPoint(size.width() - side - 1, size.height() - 1));
        EXPECT_EQ(panels, 1) << "left of the button";
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(10, 10),
                               window->mapToGlobal(QPoint(10, 10)));
        QCoreApplication::sendEvent(window.get(), &menu);
        EXPECT_EQ(panels, 2);
        EXPECT_EQ(Access::CornerButtonSize(*window), QSize(side, side));
    }
}

TEST_F(MapWndTest, WithoutAMapADragDoesNotStart) {
    TempHome bare;
    auto window = std::make_unique<CMapWnd>(bare.Path(), Handheld(), nullptr);
    window->resize(240, 320);
    window->show();
    EXPECT_EQ(EntryCount(*window), 0);
    const QPoint scroll = window->ScrollOffset();
    QTest::mousePress(window.get(), Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_FALSE(Access::Drag(*window).dragging);
    QTest::mouseMove(window.get(), QPoint(150, 150));
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, QPoint(150, 150));
    EXPECT_EQ(window->ScrollOffset(), scroll);
    // Zoom, fonts and positions on an empty renderer change nothing and break nothing.
    EXPECT_TRUE(window->OnCommand(kCommandZoomIn));
    EXPECT_TRUE(window->OnCommand(kCommandZoomOut));
    EXPECT_TRUE(window->OnCommand(kCommandFontsLarger));
    EXPECT_TRUE(window->OnCommand(kCommandOrganizeMapsNow));
    window->SetPosition(42.5f, 1.5f, 10.0f, 10.0f, 0.0f, 0, 0, 0);
    EXPECT_FALSE(window->ScrollToPosition());
    Access::RenderNow(*window);
    EXPECT_FALSE(window->grab().toImage().isNull());
}

TEST_F(MapWndTest, ADragShiftsTheLastImageAndRendersNothingUntilLifted) {
    auto window = Open();
    window->StartThreads();
    ASSERT_TRUE(WaitFor([&] { return window->RenderCount() >= 1; }));
    QTest::qWait(50);
    const int renders = window->RenderCount();
    const QPoint scroll = window->ScrollOffset();
    const QImage still = window->grab().toImage();

    QTest::mousePress(window.get(), Qt::LeftButton, {}, QPoint(100, 100));
    for (int step = 1; step <= 10; ++step) {
        QTest::mouseMove(window.get(), QPoint(100 + 4 * step, 100 + 3 * step));
        QTest::qWait(15);
    }
    EXPECT_EQ(window->RenderCount(), renders);
    EXPECT_EQ(Access::RedrawRequests(*window), 0);
    // The preview: the image moved by (40, 30), the strips left and top in the drag colour.
    const QImage shifted = window->grab().toImage();
    const QColor fill = platform::ToQColor(render::kMapBackgroundDay);
    EXPECT_EQ(shifted.pixelColor(10, 200), fill);
    EXPECT_EQ(shifted.pixelColor(200, 10), fill);
    // A map pixel clear of every overlay, and where it went.
    EXPECT_EQ(shifted.pixelColor(170 + 40, 150 + 30), still.pixelColor(170, 150));
    EXPECT_EQ(window->RenderCount(), renders) << "grabbing paints without rendering";

    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, QPoint(140, 130));
    EXPECT_EQ(window->ScrollOffset(), scroll - QPoint(40, 30));
    ASSERT_TRUE(WaitFor([&] { return window->RenderCount() > renders; }));
    window->StopThreads();
}

TEST_F(MapWndTest, ADragPastTheCanvasOriginLoadsTheMapsUnderTheNewCorners) {
    // A second catalogued map west of the demo region.
    auto west = testmaps::EmptyMap("West", 42.40f, 1.10f, 42.60f, 1.40f);
    testmaps::AddLevel(*west, 24).shapes.push_back(
        testmaps::Area(60, testmaps::Box(42.40f, 1.10f, 42.60f, 1.40f)));
    ASSERT_TRUE(formats::WriteVlFile(*west, home.File("Maps/West.vl")));
    auto window = Open();
    // About 2.6 km across at 0.5 km/cm: the west map stays out of view.
    window->SetPosition(42.5f, testmaps::kDemoWest + 0.03f, 0.0f, 0.0f, 0.0f, 0, 0, 0);
    ASSERT_EQ(EntryCount(*window), 1);
    const QPoint before = window->ScrollOffset();
    // The canvas spans every catalogued map: a drag 20 pixels longer than the offset takes it
    // to -20, past the canvas's west edge.
    const QPoint end(before.x() + 20, 100);
    QTest::mousePress(window.get(), Qt::LeftButton, {}, QPoint(0, 100));
    QTest::mouseMove(window.get(), end);
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, end);
    EXPECT_EQ(EntryCount(*window), 2);
    bool westLoaded = false;
    window->WithView([&](render::MapWindowModel& model) {
        for (int i = 0; i < model.Renderer().EntryCount(); ++i) {
            westLoaded = westLoaded || model.Renderer().Entry(i).path.endsWith("West.vl");
        }
    });
    EXPECT_TRUE(westLoaded);
}

TEST_F(MapWndTest, TheLabelThreadNamesTheRoadUnderThePosition) {
    auto window = Open();
    window->StartThreads();
    window->SetPosition(kDemoRoadPoint.lat, kDemoRoadPoint.lon, 0.0f, 0.0f, 0.0f, 0, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !window->PositionLabel().isEmpty(); }));
    EXPECT_EQ(window->PositionLabel(), "Avinguda Meritxell");
    window->ClearPositionLabel();
    EXPECT_TRUE(window->PositionLabel().isEmpty());
    window->StopThreads();
    EXPECT_TRUE(window->IsClosing());
}

TEST_F(MapWndTest, NightModeSwitchesOverlayBackgroundAndMapColours) {
    TempHome bare;
    auto window = std::make_unique<CMapWnd>(bare.Path(), Handheld(), nullptr);
    window->resize(240, 320);
    window->show();
    window->ApplyNightMode(true);
    EXPECT_EQ(Access::Background(*window), render::kMapBackgroundNight);
    EXPECT_EQ(Access::Drag(*window).fillColor, render::kMapBackgroundNight);
    EXPECT_EQ(Access::OverlayText(*window), kOverlayTextNight);
    int night = 0;
    window->WithView([&](render::MapWindowModel& model) { night = model.Renderer().NightMode(); });
    EXPECT_EQ(night, 1);
    Access::RenderNow(*window);
    const QImage picture = window->grab().toImage();
    EXPECT_EQ(picture.pixelColor(120, 150), platform::ToQColor(render::kMapBackgroundNight));
    window->ApplyNightMode(false);
    EXPECT_EQ(Access::OverlayText(*window), kOverlayTextDay);
    Access::RenderNow(*window);
    EXPECT_EQ(window->grab().toImage().pixelColor(120, 150),
              platform::ToQColor(render::kMapBackgroundDay));
}

TEST_F(MapWndTest, ArrowsAreInstalledOnceAndDrawnTwiceTheirSizeOnALargeScreen) {
    const QString images = home.Path() + platform::kImagesTail;
    ASSERT_TRUE(home.Write("images/ArrowGpsFix.png", "mine"));
    auto small = Open(false);
    for (const char* name : {"ArrowNoGpsOpen.png", "ArrowGpsNoFix.png"}) {
        EXPECT_FALSE(QImage(images + "/" + name).isNull()) << name;
    }
    QFile mine(images + "/ArrowGpsFix.png");
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_EQ(mine.readAll(), "mine") << "a user's picture stays";
    mine.close();
    QFile::remove(images + "/ArrowGpsFix.png");
    ASSERT_TRUE(InstallArrowImages(images));

    const QSize picture = Access::ArrowImageSize(*small);
    ASSERT_FALSE(picture.isEmpty());
    EXPECT_EQ(Access::ArrowDrawnSize(*small), picture);
    auto large = Open(true);
    EXPECT_EQ(Access::ArrowDrawnSize(*large), picture * 2);

    // An unknown state shows the arrow of state 0; a missing file leaves no arrow.
    large->SetArrowState(7);
    EXPECT_EQ(large->ArrowState(), kArrowNoGpsOpen);
    QFile::remove(images + "/ArrowGpsNoFix.png");
    large->SetArrowState(kArrowGpsNoFix);
    EXPECT_EQ(Access::ArrowDrawnSize(*large), QSize(0, 0));
}

}  // namespace
}  // namespace app
