#include "app/main_frame.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>

#include "app/demo_home.h"
#include "app/map_wnd.h"
#include "app/velmora_app.h"
#include "scripted_gps.h"
#include "temp_home.h"

namespace app {
namespace {

namespace keys = platform::settings;

// A started program on a demo home of its own, with a GPS source that cannot be opened unless
// a test installs a scripted one.
class FrameTest : public ::testing::Test {
protected:
    void Start(const char* screen = "480x640@53x71", bool fullScreen = true) {
        QString error;
        ASSERT_TRUE(PrepareDemoHome(home_.Path(), error)) << error.toStdString();
        StartOptions options;
        options.executablePath = QStringLiteral("/nonexistent/bin/velmora");
        options.home = home_.Path();
        options.gpsUri = QStringLiteral("replay:/nonexistent/none.nmea");
        options.screen = platform::ScreenMetrics::Parse(QString::fromLatin1(screen));
        app_ = std::make_unique<VelmoraApp>(options);
        ASSERT_TRUE(app_->Prepare());
        TickDemoPois(*app_->settings());
        app_->settings()->Set(keys::kFullScreen, fullScreen ? 1 : 0);
        ASSERT_TRUE(app_->StartFrame());
        frame_ = app_->frame();
        ASSERT_NE(frame_, nullptr);
    }

    static gps::GpsNotifyEvent Position(double latitude, double longitude, float knots) {
        gps::GpsNotifyEvent position(gps::kStatusPosition, 0);
        position.position.latitude = latitude;
        position.position.longitude = longitude;
        position.position.speedKnots = knots;
        position.position.headingDeg = 90.0f;
        position.position.altitudeWrtSeaLevelM = 120.0f;
        position.horizontalAccuracy = 4;
        position.verticalAccuracy = 6;
        return position;
    }

    qint64 RouteSize() const { return QFileInfo(frame_->Route().FilePath()).size(); }

    TempHome home_;
    std::unique_ptr<VelmoraApp> app_;
    CMainFrame* frame_ = nullptr;
};

QStringList Texts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

QMenu* SubMenu(const QMenu* menu, const char* title) {
    for (QAction* action : menu->actions()) {
        if (action->menu() && action->text() == QLatin1String(title)) {
            return action->menu();
        }
    }
    return nullptr;
}

TEST_F(FrameTest, MenusHoldTheCommandsInOrderWithTheirIds) {
    Start();
    const QMenu* menu = frame_->CommandBar();
    EXPECT_EQ(menu->title(), "Menu");
    EXPECT_EQ(Texts(menu),
              QStringList({"File", "Edit", "View", "Routes", "-", "About ...", "-", "Exit"}));
    EXPECT_EQ(Texts(SubMenu(menu, "File")),
              QStringList({"Properties...", "-", "Load GPX...", "Organize Maps Now"}));
    EXPECT_EQ(Texts(SubMenu(menu, "Edit")),
              QStringList({"Zoom In", "Zoom Out", "-", "Fonts Larger", "Fonts Smaller", "-", "Gps",
                           "Poi Manager..."}));
    EXPECT_EQ(Texts(SubMenu(menu, "View")),
              QStringList({"Full Screen", "Normal View", "-", "Gps View"}));
    EXPECT_EQ(Texts(SubMenu(menu, "Routes")),
              QStringList({"Start New Route", "Stop Recording Route", "-", "Add POI Here..."}));
    EXPECT_EQ(frame_->HiddenMenu()->title(), "HIDEN");
    EXPECT_EQ(Texts(frame_->HiddenMenu()), QStringList({"RemoveButtons"}));

    const std::pair<int, const char*> ids[] = {
        {32778, "Properties..."},     {32791, "Load GPX..."},
        {32793, "Organize Maps Now"}, {32774, "Zoom In"},
        {32775, "Zoom Out"},          {32782, "Fonts Larger"},
        {32783, "Fonts Smaller"},     {32780, "Gps"},
        {32807, "Poi Manager..."},    {32772, "Full Screen"},
        {32784, "Normal View"},       {32779, "Gps View"},
        {32786, "Start New Route"},   {32787, "Stop Recording Route"},
        {32788, "Add POI Here..."},   {32792, "RemoveButtons"},
        {57664, "About ..."},         {57665, "Exit"}};
    for (const auto& [id, text] : ids) {
        ASSERT_NE(frame_->Action(id), nullptr) << id;
        EXPECT_EQ(frame_->Action(id)->text(), text);
        EXPECT_EQ(frame_->Action(id)->data().toInt(), id);
    }
    EXPECT_EQ(frame_->TrayIcon()->toolTip(), "Velmora");
}

TEST_F(FrameTest, CommandsDoWhatTheMenuSays) {
    Start();
    // Zoom reaches the map window first.
    const float scale = frame_->MapWindow()->ScaleKmPerCm();
    frame_->Action(kCommandZoomIn)->trigger();
    EXPECT_LT(frame_->MapWindow()->ScaleKmPerCm(), scale);
    frame_->Action(kCommandZoomOut)->trigger();
    frame_->Action(kCommandZoomOut)->trigger();
    EXPECT_GT(frame_->MapWindow()->ScaleKmPerCm(), scale);

    frame_->Action(kCommandNormalView)->trigger();
    EXPECT_FALSE(frame_->IsFullScreen());
    EXPECT_EQ(app_->settings()->Get(keys::kFullScreen), 0u);
    EXPECT_TRUE(frame_->menuBar()->isVisible());
    frame_->Action(kCommandFullScreen)->trigger();
    EXPECT_TRUE(frame_->IsFullScreen());
    EXPECT_EQ(app_->settings()->Get(keys::kFullScreen), 1u);
    EXPECT_FALSE(frame_->menuBar()->isVisible());
    EXPECT_EQ(frame_->size(), QSize(480, 640)) << "the screen given is the full screen";

    // Recording started at creation: Stop is the one enabled, and the other way round.
    frame_->UpdateCommandUi();
    EXPECT_TRUE(frame_->Route().IsRecording());
    EXPECT_FALSE(frame_->Action(kCommandStartNewRoute)->isEnabled());
    EXPECT_TRUE(frame_->Action(kCommandStopRecordingRoute)->isEnabled());
    frame_->Action(kCommandStopRecordingRoute)->trigger();
    EXPECT_FALSE(frame_->Route().IsRecording());
    EXPECT_TRUE(frame_->Action(kCommandStartNewRoute)->isEnabled());
    EXPECT_FALSE(frame_->Action(kCommandStopRecordingRoute)->isEnabled());
    EXPECT_TRUE(frame_->Button(kButtonStartNewRoute)->isEnabled());
    EXPECT_FALSE(frame_->Button(kButtonStopRecordingRoute)->isEnabled());
    frame_->Action(kCommandStartNewRoute)->trigger();
    EXPECT_TRUE(frame_->Route().IsRecording());

    // Gps View and Properties have nothing to do.
    frame_->Action(kCommandGpsView)->trigger();
    frame_->Action(kCommandProperties)->trigger();
}

TEST_F(FrameTest, ActivationInFullScreenAppliesFullScreenAgain) {
    Start();
    ASSERT_TRUE(frame_->IsFullScreen());
    // Another window had the desktop put its panel back and shrink the frame.
    frame_->setGeometry(0, 40, 480, 560);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(frame_, &activate);
    EXPECT_EQ(frame_->geometry(), QRect(0, 0, 480, 640));

    frame_->NormalView();
    frame_->setGeometry(30, 40, 300, 200);
    QCoreApplication::sendEvent(frame_, &activate);
    EXPECT_EQ(frame_->geometry().size(), QSize(300, 200)) << "normal view is left alone";
    frame_->FullScreen();
    frame_->NormalView();
    EXPECT_EQ(frame_->geometry(), QRect(30, 40, 300, 200)) << "the place the user gave it";
}

TEST_F(FrameTest, ManagersReloadOnOkOnly) {
    Start();
    const int pois = frame_->Pois().Count();
    ASSERT_GT(pois, 0) << "the demo's POI file is ticked";
    // The user unticks every file, then the dialog ends with Cancel or OK.
    app_->settings()->Set(keys::kEnabledPoiFiles, 0, QString::fromLatin1(keys::kListEnd));
    bool ok = false;
    int runs = 0;
    frame_->DialogRunners().poiManager = [&](CMainFrame&) { return ++runs, ok; };
    frame_->Action(kCommandPoiManager)->trigger();
    EXPECT_EQ(frame_->Pois().Count(), pois);
    ok = true;
    frame_->Action(kCommandPoiManager)->trigger();
    EXPECT_EQ(frame_->Pois().Count(), 0);
    EXPECT_EQ(runs, 2);

    ASSERT_TRUE(home_.Write("Routes_POIs/trip.gpx",
                            "<?xml version=\"1.0\"?><gpx version=\"1.0\"><wpt lat=\"41.16\" "
                            "lon=\"23.26\"><name>A</name></wpt></gpx>"));
    app_->settings()->Set(keys::kEnabledGpxFiles, 0, QStringLiteral("trip.gpx"));
    frame_->DialogRunners().gpxManager = [&](CMainFrame&) { return false; };
    frame_->Action(kCommandLoadGpx)->trigger();
    EXPECT_EQ(frame_->GpxOverlays().Count(), 0);
    frame_->DialogRunners().gpxManager = [&](CMainFrame&) { return true; };
    frame_->Action(kCommandLoadGpx)->trigger();
    EXPECT_EQ(frame_->GpxOverlays().Count(), 1);
}

TEST_F(FrameTest, FixStatusesChangeOnlyWhatTheyShould) {
    Start();
    CMapWnd& map = *frame_->MapWindow();
    EXPECT_EQ(map.ArrowState(), kArrowGpsNoFix) << "the link is open or tried: state 1";
    frame_->OnGpsNotify(Position(41.1647, 23.2678, 20.0f));
    ASSERT_EQ(map.Position().horizontalAccuracy, 4);

    frame_->OnGpsNotify(gps::GpsNotifyEvent(gps::kStatusFix, 1));
    EXPECT_EQ(map.ArrowState(), kArrowGpsFix);
    EXPECT_EQ(map.Position().horizontalAccuracy, 4) << "status (1, 1) changes only the arrow";
    EXPECT_EQ(map.Position().verticalAccuracy, 6);

    frame_->OnGpsNotify(gps::GpsNotifyEvent(gps::kStatusFix, 0));
    EXPECT_EQ(map.ArrowState(), kArrowGpsNoFix);
    EXPECT_EQ(map.Position().horizontalAccuracy, -1) << "a lost fix is also status 2";
    EXPECT_TRUE(map.PositionLabel().isEmpty());

    frame_->OnGpsNotify(Position(41.1647, 23.2678, 20.0f));
    frame_->OnGpsNotify(gps::GpsNotifyEvent(gps::kStatusUnusable, 0));
    EXPECT_EQ(map.ArrowState(), kArrowGpsNoFix);
    EXPECT_EQ(map.Position().verticalAccuracy, -1);
    frame_->OnGpsNotify(gps::GpsNotifyEvent(7, 0));  // unknown: ignored
}

TEST_F(FrameTest, SlowPositionsMoveAndRecordButAnnounceFromOneKmh) {
    Start();
    CMapWnd& map = *frame_->MapWindow();
    const qint64 before = RouteSize();
    // 0.5 knots is 0.926 km/h.
    frame_->OnGpsNotify(Position(41.1650, 23.2680, 0.5f));
    frame_->OnGpsNotify(Position(41.1660, 23.2690, 0.5f));
    EXPECT_FLOAT_EQ(map.Position().latitude, 41.1660f);
    EXPECT_NEAR(map.Position().speedKmh, 0.926f, 1e-3f);
    EXPECT_GT(RouteSize(), before) << "recorded at any speed";
    EXPECT_EQ(frame_->PoiCheckCount(), 0);
    // 0.55 knots is 1.0186 km/h.
    frame_->OnGpsNotify(Position(41.1670, 23.2700, 0.55f));
    EXPECT_EQ(frame_->PoiCheckCount(), 1);
}

TEST_F(FrameTest, APositionBurstIsHandledOnceWithTheNewest) {
    Start();
    for (int i = 0; i < 50; ++i) {
        QCoreApplication::postEvent(
            frame_, new gps::GpsNotifyEvent(Position(41.16 + i * 1e-4, 23.26, 30.0f)));
    }
    QCoreApplication::postEvent(frame_, new gps::GpsNotifyEvent(gps::kStatusFix, 1));
    QCoreApplication::sendPostedEvents(frame_);
    EXPECT_FLOAT_EQ(frame_->MapWindow()->Position().latitude, float(41.16 + 49 * 1e-4));
    EXPECT_EQ(frame_->PoiCheckCount(), 1) << "one handler run for the burst";
    EXPECT_EQ(frame_->MapWindow()->ArrowState(), kArrowGpsFix) << "after the positions";
}

TEST_F(FrameTest, PanelShowsOnlyInFullScreenPortrait) {
    Start("480x640@53x71", false);
    ASSERT_FALSE(frame_->IsFullScreen());
    frame_->ShowButtonPanel();
    for (int b = 0; b < kPanelButtonCount; ++b) {
        EXPECT_FALSE(frame_->Button(b)->isVisible()) << b;
    }
    frame_->FullScreen();
    frame_->ShowButtonPanel();
    const int s = frame_->ButtonImageSize().width();
    EXPECT_EQ(s, 100) << "a 480 × 640 screen is large: pictures doubled";
    const int rows[] = {2, s + 2, 2 * (s + 1), 3 * s + 2, 4 * s + 2, 5 * s + 2};
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(frame_->Button(kButtonZoomIn + row)->pos(), QPoint(2, rows[row]));
        EXPECT_EQ(frame_->Button(kButtonAddPoiHere + row)->pos(), QPoint(480 - s - 2, rows[row]));
    }
    const int g = (480 - 4 * (s + 1)) / 3;
    EXPECT_EQ(frame_->Button(kButtonPoiManager)->pos(), QPoint(s + g + 2, 2));
    EXPECT_EQ(frame_->Button(kButtonLoadGpx)->pos(), QPoint(s + g + 2, s + 2));
    for (int b = 0; b < kShownPanelButtons; ++b) {
        EXPECT_TRUE(frame_->Button(b)->isVisible()) << b;
        EXPECT_EQ(frame_->Button(b)->size(), QSize(s, s));
        EXPECT_FALSE(frame_->Button(b)->mask().isEmpty());
    }
    EXPECT_FALSE(frame_->Button(kButtonProperties)->isVisible());
    EXPECT_EQ(frame_->Button(kButtonGps)->alternate, 1) << "the GPS link is closed";

    // A tap on a shown button sends its command; Remove Buttons hides the panel.
    QTest::mouseClick(frame_->Button(kButtonRemoveButtons), Qt::LeftButton, {},
                      QPoint(s / 2, s / 2));
    for (int b = 0; b < kPanelButtonCount; ++b) {
        EXPECT_FALSE(frame_->Button(b)->isVisible()) << b;
    }
    // Normal View hides it too.
    frame_->ShowButtonPanel();
    frame_->NormalView();
    EXPECT_FALSE(frame_->Button(kButtonZoomIn)->isVisible());
}

TEST_F(FrameTest, PanelInLandscape) {
    Start("320x240@71x53", true);
    frame_->ShowButtonPanel();
    const int s = frame_->ButtonImageSize().width();
    EXPECT_EQ(s, 50) << "320 × 240 is a small screen";
    const int columns[] = {2, s + 2, 2 * (s + 1), 3 * s + 2, 4 * s + 2, 5 * s + 2};
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(frame_->Button(kButtonZoomIn + column)->pos(), QPoint(columns[column], 2));
        EXPECT_EQ(frame_->Button(kButtonAddPoiHere + column)->pos(),
                  QPoint(columns[column], 240 - s - 2));
    }
    const int g = (240 - 4 * (s + 1)) / 3;
    EXPECT_EQ(frame_->Button(kButtonPoiManager)->pos(), QPoint(2, s + g + 2));
    EXPECT_EQ(frame_->Button(kButtonLoadGpx)->pos(), QPoint(s + 2, s + g + 2));
}

TEST_F(FrameTest, GpsCommandTogglesTheLinkAndTheArrow) {
    auto script = std::make_shared<GpsScript>();
    GpsScript::Installed installed(script);
    Start();
    CMapWnd& map = *frame_->MapWindow();
    ASSERT_TRUE(frame_->Gps().IsOpen());
    frame_->UpdateCommandUi();
    EXPECT_TRUE(frame_->Action(kCommandGps)->isChecked());
    frame_->Action(kCommandGps)->trigger();
    EXPECT_EQ(map.ArrowState(), kArrowNoGpsOpen) << "at once, while the worker ends";
    for (int i = 0; i < 200 && frame_->Gps().IsOpen(); ++i) {
        QTest::qWait(10);
    }
    frame_->UpdateCommandUi();
    EXPECT_FALSE(frame_->Action(kCommandGps)->isChecked());
    frame_->Action(kCommandGps)->trigger();
    EXPECT_EQ(map.ArrowState(), kArrowGpsNoFix);
    EXPECT_TRUE(frame_->Gps().IsOpen());
    EXPECT_EQ(frame_->GpsOffLook(), 0);
}

TEST_F(FrameTest, ClosingStopsTheRouteAndSavesTheLastView) {
    Start();
    frame_->OnGpsNotify(Position(41.1701, 23.2702, 20.0f));
    const QString route = frame_->Route().FilePath();
    ASSERT_FALSE(route.isEmpty());
    app_->Exit();
    EXPECT_FALSE(frame_->Route().IsRecording());
    EXPECT_FALSE(frame_->TrayIcon()->isVisible());
    app_->DestroyFrame();
    QFile file(route);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().trimmed().endsWith("</gpx>"));
    EXPECT_FLOAT_EQ(app_->settings()->GetFloat(keys::kLastLat), 41.1701f);
    EXPECT_FLOAT_EQ(app_->settings()->GetFloat(keys::kLastLon), 23.2702f);
}

TEST(PanelPlaces, MiddleButtonsFollowTheirOwnHeight) {
    std::array<QSize, kShownPanelButtons> sizes{};
    sizes.fill(QSize(50, 50));
    sizes[kButtonPoiManager] = QSize(60, 40);
    const auto portrait = PanelPlaces(240, 320, 50, 50, 240, sizes);
    EXPECT_EQ(portrait[kButtonLoadGpx].y(), 42);
    const auto landscape = PanelPlaces(320, 240, 50, 50, 320, sizes);
    EXPECT_EQ(landscape[kButtonLoadGpx].y(), 40 + (240 - 4 * 51) / 3 + 2);
}

}  // namespace
}  // namespace app
