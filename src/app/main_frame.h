#pragma once

// The program's top-level window: it owns the map window, the GPS link, the POIs, the GPX
// overlays, the route recorder and the full-screen button panel; it turns GPS notifications
// into map positions, route points and POI checks, carries out the menu commands, switches
// between full-screen and normal view and switches day and night colours every minute.

#include <QMainWindow>
#include <QRect>
#include <QRegion>
#include <QTimer>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "app/image_button.h"
#include "app/sun_calculator.h"
#include "gps/gps_link.h"
#include "platform/gps_driver.h"
#include "platform/system_time.h"
#include "poi/poi_announcement.h"
#include "poi/poi_overlays.h"
#include "poi/poi_store.h"
#include "poi/route_recorder.h"
#include "render/gpx_overlay_entries.h"

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace app {

class CMapWnd;
class VelmoraApp;
class VlmSplashMFC;

// Command ids of menus 128 and 135 and of the panel buttons (the map window's own are in
// map_wnd.h).
inline constexpr int kCommandFullScreen = 32772;
inline constexpr int kCommandProperties = 32778;
inline constexpr int kCommandGpsView = 32779;
inline constexpr int kCommandGps = 32780;
inline constexpr int kCommandNormalView = 32784;
inline constexpr int kCommandStartNewRoute = 32786;
inline constexpr int kCommandStopRecordingRoute = 32787;
inline constexpr int kCommandAddPoiHere = 32788;
inline constexpr int kCommandLoadGpx = 32791;
inline constexpr int kCommandRemoveButtons = 32792;
inline constexpr int kCommandPoiManager = 32807;
inline constexpr int kCommandAbout = 57664;
inline constexpr int kCommandExit = 57665;

// The notification icon's id and tip.
inline constexpr int kTrayIconId = 1235;
inline constexpr char kTrayTip[] = "Velmora";
// Period of timer 3, the night test.
inline constexpr int kNightTimerMs = 60000;

// The fifteen panel buttons in the order of their table; the first fourteen make the panel.
enum PanelButton {
    kButtonZoomIn,
    kButtonZoomOut,
    kButtonFontsLarger,
    kButtonFontsSmaller,
    kButtonNormalView,
    kButtonRemoveButtons,
    kButtonAddPoiHere,
    kButtonStopRecordingRoute,
    kButtonStartNewRoute,
    kButtonGps,
    kButtonAbout,
    kButtonExit,
    kButtonPoiManager,
    kButtonLoadGpx,
    kButtonProperties,
    kPanelButtonCount
};
inline constexpr int kShownPanelButtons = 14;

// One row of the panel table: what the button sends and its pictures (0: none).
struct PanelButtonSpec {
    int command;
    int normalImage;
    int pressedImage;
    int disabledImage;
    int alternateImage;
};
const PanelButtonSpec& PanelButtonOf(int button);

// Where the panel puts each shown button in a client area of width × height, for button
// pictures of s × t pixels on a screen `screenWidth` pixels wide; `sizes` are the buttons' own.
std::array<QPoint, kShownPanelButtons> PanelPlaces(
    int width, int height, int s, int t, int screenWidth,
    const std::array<QSize, kShownPanelButtons>& sizes);

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // The dialogs the frame runs modally, replaceable in tests; each returns true for OK.
    struct Dialogs {
        std::function<bool(CMainFrame&)> gpxManager;
        std::function<bool(CMainFrame&)> poiManager;
        std::function<void(CMainFrame&, float latitude, float longitude, float altitude)> addPoi;
        std::function<void(CMainFrame&)> about;
    };

    explicit CMainFrame(VelmoraApp& app);
    ~CMainFrame() override;

    // The window creation: splash, command bar, GPS link, POIs, buttons, route recording,
    // notification icon, night test, map window, timer 3. 0, or −1 when it failed.
    int Create();

    // Offers the command to the map window first, then carries it out here.
    void OnCommand(int commandId);
    // Check marks and enabled states of the commands, and the Start and Stop buttons.
    void UpdateCommandUi();
    // What the GPS worker posted.
    void OnGpsNotify(const gps::GpsNotifyEvent& notification);
    // Timer 3: the night test at the GPS position.
    void OnNightTimer();

    void FullScreen();
    void NormalView();
    bool IsFullScreen() const { return fullScreen_ != 0; }
    void ShowButtonPanel();
    void HideButtonPanel();
    // Restores, shows and raises the frame (the notification icon's answer to a tap).
    void BringToFront();

    CMapWnd* MapWindow() const { return mapWnd_; }
    QAction* Action(int commandId) const;
    QMenu* CommandBar() const { return menu128_; }
    QMenu* HiddenMenu() const { return menu135_; }
    FVlmButtonPPC* Button(int button) const { return buttons_[size_t(button)]; }
    QSize ButtonImageSize() const { return buttonImageSize_; }
    QSystemTrayIcon* TrayIcon() const { return trayIcon_; }
    gps::GpsLink& Gps() { return gpsLink_; }
    poi::RouteRecorder& Route() { return routeRecorder_; }
    poi::PoiStore& Pois() { return poiStore_; }
    poi::PoiAnnouncement& Announcement() { return announcement_; }
    render::GpxOverlayEntries& GpxOverlays() { return gpxOverlays_; }
    bool Night() const { return night_ != 0; }
    int GpsOffLook() const { return gpsOffLook_; }
    float AnnounceDistance1() const { return announceDistance1_; }
    float AnnounceDistance2() const { return announceDistance2_; }
    VelmoraApp& App() { return app_; }
    Dialogs& DialogRunners() { return dialogs_; }
    // Runs first when the frame closes, while it still shows what it showed.
    void SetBeforeClose(std::function<void()> run) { beforeClose_ = std::move(run); }
    // Where the normal view puts the frame.
    QRect NormalGeometry() const { return normalGeometry_; }

    // Counted for tests: POI checks run by the GPS handler.
    int PoiCheckCount() const { return poiCheckCount_; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool CreateCommandBar();
    void AddShortcuts();
    void OpenGps();
    void CreatePanelButtons();
    void AddTrayIcon();
    void ReadAnnouncementDistances();
    bool CreateMapWindow();
    void LoadOverlaySet();
    // The per-message step: the Start, Stop and Gps buttons follow the route and the link.
    void PreTranslateMessage();
    void SetButtonEnabled(int button, bool enabled);
    void ToggleGps();
    void StartRoute();
    void StopRoute();
    void LoadGpx();
    void PoiManager();
    void AddPoiHere();
    void OnPosition(const gps::GpsNotifyEvent& notification);
    // The newest position waiting for the handler, so that a burst of positions is handled
    // once, with the newest.
    void FlushPendingPosition();

    VelmoraApp& app_;
    // Members in the order of the design.
    poi::PoiStore poiStore_;
    render::GpxOverlayEntries gpxOverlays_;
    poi::PoiOverlays overlays_;
    poi::PoiAnnouncement announcement_;
    CMapWnd* mapWnd_ = nullptr;  // child widget
    QMenu* menu128_ = nullptr;
    QMenu* menu135_ = nullptr;
    gps::GpsLink gpsLink_;
    platform::GpsPosition gpsPosition_;  // the last record the worker handed over
    float announceDistance1_ = 0.0f;
    float announceDistance2_ = 0.0f;
    int fullScreen_ = 0;
    poi::RouteRecorder routeRecorder_;
    platform::FileTime routeStartTime_;  // local time when recording started
    std::array<FVlmButtonPPC*, kPanelButtonCount> buttons_{};
    QSize buttonImageSize_;
    std::optional<QRegion> buttonRegion_;
    int gpsOffLook_ = 0;
    int night_ = 0;
    SunCalculator sun_;

    QSystemTrayIcon* trayIcon_ = nullptr;
    QTimer nightTimer_;  // timer 3
    VlmSplashMFC* splash_ = nullptr;
    std::map<int, QAction*> actions_;
    Dialogs dialogs_;
    std::function<void()> beforeClose_;
    QRect normalGeometry_;
    bool applyingView_ = false;
    bool gpsFailureTold_ = false;
    std::unique_ptr<gps::GpsNotifyEvent> pendingPosition_;
    bool flushPosted_ = false;
    int poiCheckCount_ = 0;
};

}  // namespace app
