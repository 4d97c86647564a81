#include "app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSystemTrayIcon>

#include <cstdio>

#include "app/about_dialog.h"
#include "app/map_wnd.h"
#include "app/resources.h"
#include "app/splash.h"
#include "app/velmora_app.h"
#include "platform/settings_keys.h"
#include "platform/settings_store.h"
#include "platform/trace.h"
#include "poi/dlg_add_poi.h"
#include "poi/dlg_poi_manager.h"

namespace app {
namespace {

namespace keys = platform::settings;

constexpr double kKnotsToKmh = 1.852;
// Below this speed (km/h) no POI is announced: a standing receiver wanders.
constexpr double kPoiCheckMinKmh = 1.0;
// Size of the panel pictures as drawn; doubled on large screens.
constexpr int kButtonImageSize = 50;

// Posted to the frame itself: handle the newest waiting position.
const QEvent::Type kFlushPositionEvent = QEvent::Type(QEvent::User + 1204);

constexpr std::array<PanelButtonSpec, kPanelButtonCount> kPanelButtons{{
    {kCommandZoomIn, 143, 0, 0, 0},
    {kCommandZoomOut, 144, 0, 0, 0},
    {kCommandFontsLarger, 138, 0, 0, 0},
    {kCommandFontsSmaller, 139, 0, 0, 0},
    {kCommandNormalView, 141, 0, 0, 0},
    {kCommandRemoveButtons, 146, 0, 0, 0},
    {kCommandAddPoiHere, 147, 137, 0, 0},
    {kCommandStopRecordingRoute, 149, 0, 155, 0},
    {kCommandStartNewRoute, 148, 0, 151, 0},
    {kCommandGps, 140, 0, 0, 154},
    {kCommandAbout, 136, 0, 0, 0},
    {kCommandExit, 150, 0, 0, 0},
    {kCommandPoiManager, 162, 0, 0, 0},
    {kCommandLoadGpx, 164, 0, 0, 0},
    {kCommandProperties, 142, 0, 0, 0},
}};

QImage PanelImage(int id) {
    return id == 0 ? QImage() : LoadBitmapResource(id);
}

int64_t WholeSeconds(platform::FileTime time) {
    return int64_t(time.ticks / platform::kTicksPerSecond);
}

platform::FileTime LocalNow() {
    return platform::ToFileTime(platform::GetLocalTime()).value_or(platform::FileTime{});
}

// The clock of the night test: the program's, or the time given with --sun-at.
SunCalculator::UtcClock SunClock(const StartOptions& options) {
    if (!options.sunTimeUtc.isValid()) {
        return platform::Clock::NowUtc;
    }
    const platform::FileTime fixed =
        platform::FileTimeFromUnix(options.sunTimeUtc.toSecsSinceEpoch());
    return [fixed] { return fixed; };
}

}  // namespace

const PanelButtonSpec& PanelButtonOf(int button) {
    return kPanelButtons[size_t(button)];
}

std::array<QPoint, kShownPanelButtons> PanelPlaces(
    int width, int height, int s, int t, int screenWidth,
    const std::array<QSize, kShownPanelButtons>& sizes) {
    std::array<QPoint, kShownPanelButtons> places{};
    const int steps[6] = {2, s + 2, 2 * (s + 1), 3 * s + 2, 4 * s + 2, 5 * s + 2};
    const int poiManagerHeight = sizes[kButtonPoiManager].height();
    if (width < height) {
        // Portrait: two columns at the screen's edges, the two list buttons between them.
        const int right = screenWidth - s - 2;
        for (int row = 0; row < 6; ++row) {
            places[size_t(kButtonZoomIn + row)] = QPoint(2, steps[row]);
            places[size_t(kButtonAddPoiHere + row)] = QPoint(right, steps[row]);
        }
        const int g = (width - 4 * (s + 1)) / 3;
        places[kButtonPoiManager] = QPoint(s + g + 2, 2);
        places[kButtonLoadGpx] = QPoint(s + g + 2, poiManagerHeight + 2);
    } else {
        // Landscape: two rows at the top and bottom.
        const int bottom = height - s - 2;
        for (int column = 0; column < 6; ++column) {
            places[size_t(kButtonZoomIn + column)] = QPoint(steps[column], 2);
            places[size_t(kButtonAddPoiHere + column)] = QPoint(steps[column], bottom);
        }
        const int g = (height - 4 * (s + 1)) / 3;
        places[kButtonPoiManager] = QPoint(2, t + g + 2);
        places[kButtonLoadGpx] = QPoint(s + 2, poiManagerHeight + g + 2);
    }
    return places;
}

CMainFrame::CMainFrame(VelmoraApp& app)
    : app_(app),
      poiStore_(app.programFolder(), app.settings()),
      overlays_(&gpxOverlays_, &poiStore_),
      routeRecorder_(app.routesFolder()),
      sun_(SunClock(app.options())) {
    announcement_.SetFontSource(app.settings(), app.screen());
    setWindowTitle(QStringLiteral("Velmora"));
    setWindowIcon(ProgramIcon());
    dialogs_.gpxManager = [](CMainFrame& frame) {
        poi::DlgGpxManager dialog(frame.app_.programFolder(), *frame.app_.settings(), &frame);
        return dialog.exec() == QDialog::Accepted;
    };
    dialogs_.poiManager = [](CMainFrame& frame) {
        poi::DlgPoiManager dialog(frame.app_.programFolder(), *frame.app_.settings(), &frame);
        return dialog.exec() == QDialog::Accepted;
    };
    dialogs_.addPoi = [](CMainFrame& frame, float latitude, float longitude, float altitude) {
        poi::dlgAddPOI dialog(latitude, longitude, altitude, frame.app_.routesFolder(), &frame);
        dialog.exec();
    };
    dialogs_.about = [](CMainFrame& frame) {
        const platform::ScreenMetrics& screen = frame.app_.screen();
        AboutDialog about(QSize(screen.widthPx, screen.heightPx), &frame);
        about.exec();
    };
    nightTimer_.setInterval(kNightTimerMs);
    connect(&nightTimer_, &QTimer::timeout, this, &CMainFrame::OnNightTimer);
    // Normal view until the user moves or sizes the window: the whole of a screen given on the
    // command line, else most of the desktop's work area, centred.
    const platform::ScreenMetrics& screen = app.screen();
    if (app.options().screen) {
        normalGeometry_ = QRect(0, 0, screen.workArea.width(), screen.workArea.height());
    } else {
        const QSize work = screen.workArea;
        const QSize size(work.width() * 4 / 5, work.height() * 4 / 5);
        normalGeometry_ = QRect(
            QPoint((work.width() - size.width()) / 2, (work.height() - size.height()) / 2), size);
    }
    setGeometry(normalGeometry_);
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
    // The map window's drawing thread reads the overlays and the POIs, which are members of
    // the frame and go before the frame's children: the map window goes first.
    delete mapWnd_;
    mapWnd_ = nullptr;
}

int CMainFrame::Create() {
    auto splash = std::make_unique<VlmSplashMFC>();
    if (splash->Create(kSplashBitmapId, app_.screen().workArea)) {
        splash->SetVersion(app_.buildYear(), app_.buildDayNumber());
    }
    if (!CreateCommandBar()) {
        splash->Destroy();
        return -1;
    }
    AddShortcuts();
    OpenGps();
    poiStore_.Reload();
    CreatePanelButtons();
    StartRoute();
    AddTrayIcon();

    const platform::SettingsStore& settings = *app_.settings();
    if (sun_.IsNight(settings.GetFloat(keys::kLastLat), settings.GetFloat(keys::kLastLon))) {
        night_ = 1;
    }
    ReadAnnouncementDistances();
    if (!CreateMapWindow()) {
        platform::Trace("Failed to create view window");
        splash->Destroy();
        return -1;
    }
    // The map window exists only now: what the frame gave it before its creation follows.
    LoadOverlaySet();
    mapWnd_->SetArrowState(kArrowGpsNoFix);
    mapWnd_->ApplyNightMode(night_ != 0);
    nightTimer_.start();
    splash->Destroy();
    qApp->installEventFilter(this);
    return 0;
}

bool CMainFrame::CreateCommandBar() {
    // Menu 128: one pop-up "Menu" on the command bar.
    menu128_ = menuBar()->addMenu(QStringLiteral("Menu"));
    auto add = [this](QMenu* menu, const char* text, int id) {
        QAction* action = menu->addAction(QString::fromUtf8(text));
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        actions_[id] = action;
        return action;
    };
    QMenu* file = menu128_->addMenu(QStringLiteral("File"));
    add(file, "Properties...", kCommandProperties);
    file->addSeparator();
    add(file, "Load GPX...", kCommandLoadGpx);
    add(file, "Organize Maps Now", kCommandOrganizeMapsNow);
    QMenu* edit = menu128_->addMenu(QStringLiteral("Edit"));
    add(edit, "Zoom In", kCommandZoomIn);
    add(edit, "Zoom Out", kCommandZoomOut);
    edit->addSeparator();
    add(edit, "Fonts Larger", kCommandFontsLarger);
    add(edit, "Fonts Smaller", kCommandFontsSmaller);
    edit->addSeparator();
    add(edit, "Gps", kCommandGps)->setCheckable(true);
    add(edit, "Poi Manager...", kCommandPoiManager);
    QMenu* view = menu128_->addMenu(QStringLiteral("View"));
    add(view, "Full Screen", kCommandFullScreen);
    add(view, "Normal View", kCommandNormalView);
    view->addSeparator();
    add(view, "Gps View", kCommandGpsView);
    QMenu* routes = menu128_->addMenu(QStringLiteral("Routes"));
    add(routes, "Start New Route", kCommandStartNewRoute);
    add(routes, "Stop Recording Route", kCommandStopRecordingRoute);
    routes->addSeparator();
    add(routes, "Add POI Here...", kCommandAddPoiHere);
    menu128_->addSeparator();
    add(menu128_, "About ...", kCommandAbout);
    menu128_->addSeparator();
    add(menu128_, "Exit", kCommandExit);
    for (QMenu* menu : {menu128_, file, edit, view, routes}) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
    }

    // Menu 135 is never shown; its command is sent by the panel.
    menu135_ = new QMenu(QStringLiteral("HIDEN"), this);
    add(menu135_, "RemoveButtons", kCommandRemoveButtons);
    return true;
}

void CMainFrame::AddShortcuts() {
    // Beyond the handheld's menu, as desktop users expect. On the frame itself, so that they
    // work while the command bar is hidden.
    auto shortcut = [this](const QKeySequence& keys, std::function<void()> run) {
        auto* action = new QAction(this);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, std::move(run));
        addAction(action);
    };
    shortcut(QKeySequence(Qt::Key_F11),
             [this] { OnCommand(fullScreen_ ? kCommandNormalView : kCommandFullScreen); });
    shortcut(QKeySequence(Qt::Key_Escape), [this] {
        if (fullScreen_) {
            OnCommand(kCommandNormalView);
        }
    });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { OnCommand(kCommandExit); });
}

void CMainFrame::OpenGps() {
    gpsLink_.SetOwner(this);
    if (!gpsLink_.Open() && !gpsFailureTold_) {
        // Once per run: the arrow tells the rest.
        gpsFailureTold_ = true;
        std::fprintf(stderr, "velmora: the GPS source %s cannot be opened now.\n",
                     app_.options().gpsUri.isEmpty()
                         ? platform::kDefaultGpsSource
                         : app_.options().gpsUri.toLocal8Bit().constData());
    }
}

void CMainFrame::CreatePanelButtons() {
    const bool large = app_.largeScreen() != 0;
    for (int index = 0; index < kPanelButtonCount; ++index) {
        const PanelButtonSpec& spec = kPanelButtons[size_t(index)];
        auto* button = new FVlmButtonPPC(this);
        button->hide();
        button->normalImage = PanelImage(spec.normalImage);
        button->pressedImage = PanelImage(spec.pressedImage);
        button->disabledImage = PanelImage(spec.disabledImage);
        button->alternateImage = PanelImage(spec.alternateImage);
        button->imageWidth = kButtonImageSize;
        button->imageHeight = kButtonImageSize;
        if (large) {
            for (QImage* image : {&button->normalImage, &button->pressedImage,
                                  &button->disabledImage, &button->alternateImage}) {
                if (!image->isNull()) {
                    ScaleSquareImage(*button, *image, 2 * kButtonImageSize, kButtonImageSize);
                }
            }
        }
        button->resize(button->imageWidth, button->imageHeight);
        const int command = spec.command;
        connect(button, &QAbstractButton::clicked, this, [this, command] { OnCommand(command); });
        buttons_[size_t(index)] = button;
    }
    FVlmButtonPPC& zoomIn = *buttons_[kButtonZoomIn];
    buttonImageSize_ = QSize(zoomIn.imageWidth, zoomIn.imageHeight);
    buttonRegion_ = RegionFromBitmap(zoomIn.normalImage);
    if (buttonRegion_) {
        for (FVlmButtonPPC* button : buttons_) {
            if (!button->normalImage.isNull()) {
                button->setMask(*buttonRegion_);
            }
        }
    }
}

void CMainFrame::AddTrayIcon() {
    trayIcon_ = new QSystemTrayIcon(ProgramIcon(), this);
    trayIcon_->setToolTip(QString::fromLatin1(kTrayTip));
    connect(trayIcon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick ||
                    reason == QSystemTrayIcon::Context) {
                    BringToFront();
                }
            });
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        trayIcon_->show();
    }
}

void CMainFrame::ReadAnnouncementDistances() {
    const platform::SettingsStore& settings = *app_.settings();
    announceDistance1_ = settings.GetFloat(keys::kPoiAnnounceMaxDistance1);
    announceDistance2_ = settings.GetFloat(keys::kPoiAnnounceMaxDistance2);
    poiStore_.announceDistance1 = double(announceDistance1_);
    poiStore_.announceDistance2 = double(announceDistance2_);
}

bool CMainFrame::CreateMapWindow() {
    mapWnd_ = new CMapWnd(app_.programFolder(), app_.screen(), app_.settings(), this);
    setCentralWidget(mapWnd_);
    mapWnd_->SetButtonPanelHook([this] { ShowButtonPanel(); });
    mapWnd_->SetOverlays(&overlays_);
    mapWnd_->SetAnnouncementDrawer([this](paint::PaintContext& context, int width, int height) {
        announcement_.Draw(context, width, height);
    });
    return true;
}

void CMainFrame::LoadOverlaySet() {
    mapWnd_->WithView([this](render::MapWindowModel& model) {
        gpxOverlays_.LoadOverlaySet(model.Renderer(), app_.programFolder(), *app_.settings());
    });
}

QAction* CMainFrame::Action(int commandId) const {
    const auto found = actions_.find(commandId);
    return found == actions_.end() ? nullptr : found->second;
}

void CMainFrame::OnCommand(int commandId) {
    if (mapWnd_ && mapWnd_->OnCommand(commandId)) {
        return;
    }
    switch (commandId) {
        case kCommandProperties:
            break;
        case kCommandLoadGpx:
            LoadGpx();
            break;
        case kCommandGps:
            ToggleGps();
            break;
        case kCommandPoiManager:
            PoiManager();
            break;
        case kCommandFullScreen:
            FullScreen();
            break;
        case kCommandNormalView:
            NormalView();
            break;
        case kCommandStartNewRoute:
            StartRoute();
            break;
        case kCommandStopRecordingRoute:
            StopRoute();
            break;
        case kCommandAddPoiHere:
            AddPoiHere();
            break;
        case kCommandRemoveButtons:
            HideButtonPanel();
            break;
        case kCommandAbout:
            if (dialogs_.about) {
                dialogs_.about(*this);
            }
            break;
        case kCommandExit:
            close();
            break;
        default:
            // "Gps View" and anything unknown: no handler.
            break;
    }
    UpdateCommandUi();
}

void CMainFrame::UpdateCommandUi() {
    const bool recording = routeRecorder_.IsRecording();
    if (QAction* gps = Action(kCommandGps)) {
        gps->setChecked(gpsLink_.IsOpen());
    }
    if (QAction* start = Action(kCommandStartNewRoute)) {
        start->setEnabled(!recording);
    }
    if (QAction* stop = Action(kCommandStopRecordingRoute)) {
        stop->setEnabled(recording);
    }
    SetButtonEnabled(kButtonStartNewRoute, !recording);
    SetButtonEnabled(kButtonStopRecordingRoute, recording);
}

void CMainFrame::SetButtonEnabled(int button, bool enabled) {
    FVlmButtonPPC* target = buttons_[size_t(button)];
    if (target && target->isEnabled() != enabled) {
        enabled ? target->Enable() : target->Disable();
    }
}

void CMainFrame::PreTranslateMessage() {
    if (!fullScreen_) {
        return;
    }
    const bool recording = routeRecorder_.IsRecording();
    SetButtonEnabled(kButtonStartNewRoute, !recording);
    SetButtonEnabled(kButtonStopRecordingRoute, recording);
    const int off = gpsLink_.IsOpen() ? 0 : 1;
    if (gpsOffLook_ != off) {
        gpsOffLook_ = off;
        if (FVlmButtonPPC* gps = buttons_[kButtonGps]) {
            gps->alternate = off;
            gps->update();
        }
    }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    // Only what reaches the frame's own windows counts as its messages.
    if (watched->isWidgetType() &&
        (watched == this || isAncestorOf(static_cast<QWidget*>(watched)))) {
        PreTranslateMessage();
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::ToggleGps() {
    const bool wasOpen = gpsLink_.IsOpen();
    if (wasOpen) {
        gpsLink_.Stop();
    } else {
        OpenGps();
    }
    mapWnd_->SetArrowState(wasOpen ? kArrowNoGpsOpen : kArrowGpsNoFix);
    // A stopping link holds its device until its worker ends; the next message corrects it.
    gpsOffLook_ = gpsLink_.IsOpen() ? 0 : 1;
    buttons_[kButtonGps]->alternate = gpsOffLook_;
    buttons_[kButtonGps]->update();
    HideButtonPanel();
}

void CMainFrame::StartRoute() {
    if (!routeRecorder_.IsRecording()) {
        routeRecorder_.Start();
        routeStartTime_ = LocalNow();
    }
    UpdateCommandUi();
}

void CMainFrame::StopRoute() {
    routeRecorder_.Stop();
    UpdateCommandUi();
}

void CMainFrame::LoadGpx() {
    const bool ok = dialogs_.gpxManager ? dialogs_.gpxManager(*this) : false;
    if (ok) {
        LoadOverlaySet();
        mapWnd_->RequestRedraw();
    }
}

void CMainFrame::PoiManager() {
    const bool ok = dialogs_.poiManager ? dialogs_.poiManager(*this) : false;
    if (ok) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        HideButtonPanel();
        // The drawing thread draws the POIs: reload under its lock.
        mapWnd_->WithView([this](render::MapWindowModel&) { poiStore_.Reload(); });
        mapWnd_->RequestRedraw();
        QApplication::restoreOverrideCursor();
    }
}

void CMainFrame::AddPoiHere() {
    // The input panel calls around the dialog do nothing off the handheld.
    if (dialogs_.addPoi) {
        dialogs_.addPoi(*this, float(gpsPosition_.latitude), float(gpsPosition_.longitude),
                        gpsPosition_.altitudeWrtSeaLevelM);
    }
    HideButtonPanel();
}

void CMainFrame::FullScreen() {
    const platform::ScreenMetrics& screen = app_.screen();
    applyingView_ = true;
    menuBar()->hide();
    if (app_.options().screen) {
        // A screen given on the command line: the frame covers exactly that many pixels.
        if (!(windowFlags() & Qt::FramelessWindowHint)) {
            setWindowFlag(Qt::FramelessWindowHint, true);
        }
        const QRect whole(0, 0, screen.widthPx, screen.heightPx);
        if (geometry() != whole) {
            setGeometry(whole);
        }
        if (!isVisible()) {
            show();
        }
    } else {
        if (!isFullScreen()) {
            showFullScreen();
        }
        // Without a window manager the request alone changes nothing.
        const QRect whole = QWidget::screen()->geometry();
        if (geometry() != whole) {
            setGeometry(whole);
        }
    }
    applyingView_ = false;
    update();
    fullScreen_ = 1;
    app_.settings()->Set(keys::kFullScreen, 1);
}

void CMainFrame::NormalView() {
    HideButtonPanel();
    applyingView_ = true;
    menuBar()->show();
    if (app_.options().screen) {
        if (windowFlags() & Qt::FramelessWindowHint) {
            setWindowFlag(Qt::FramelessWindowHint, false);
        }
        setGeometry(normalGeometry_);
        if (!isVisible()) {
            show();
        }
    } else {
        showNormal();
        if (normalGeometry_.isValid()) {
            setGeometry(normalGeometry_);
        }
    }
    applyingView_ = false;
    update();
    fullScreen_ = 0;
    app_.settings()->Set(keys::kFullScreen, 0);
}

void CMainFrame::ShowButtonPanel() {
    if (!fullScreen_) {
        return;
    }
    const int s = buttonImageSize_.width();
    const int t = buttonImageSize_.height();
    std::array<QSize, kShownPanelButtons> sizes{};
    for (int index = 0; index < kShownPanelButtons; ++index) {
        sizes[size_t(index)] = buttons_[size_t(index)]->size();
    }
    const QSize client = size();
    const auto places =
        PanelPlaces(client.width(), client.height(), s, t, app_.screen().widthPx, sizes);
    for (int index = 0; index < kShownPanelButtons; ++index) {
        FVlmButtonPPC* button = buttons_[size_t(index)];
        button->move(places[size_t(index)]);
        button->raise();
        button->show();
    }
    PreTranslateMessage();
}

void CMainFrame::HideButtonPanel() {
    for (int index = 0; index < kShownPanelButtons; ++index) {
        if (buttons_[size_t(index)]) {
            buttons_[size_t(index)]->hide();
        }
    }
}

void CMainFrame::BringToFront() {
    if (isMinimized()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
    show();
    raise();
    activateWindow();
}

bool CMainFrame::event(QEvent* event) {
    if (const gps::GpsNotifyEvent* notification = gps::GpsNotifyEvent::From(event)) {
        if (notification->status == gps::kStatusPosition) {
            // Keep only the newest; one handler run per burst.
            pendingPosition_ = std::make_unique<gps::GpsNotifyEvent>(*notification);
            if (!flushPosted_) {
                flushPosted_ = true;
                QCoreApplication::postEvent(this, new QEvent(kFlushPositionEvent));
            }
        } else {
            // Whatever came before a change of state is handled before it.
            FlushPendingPosition();
            OnGpsNotify(*notification);
        }
        return true;
    }
    if (event->type() == kFlushPositionEvent) {
        flushPosted_ = false;
        FlushPendingPosition();
        return true;
    }
    if (event->type() == QEvent::WindowActivate && fullScreen_ && !applyingView_) {
        const bool handled = QMainWindow::event(event);
        // Another window may have brought the desktop's panels back.
        FullScreen();
        return handled;
    }
    if (event->type() == QEvent::FocusIn && mapWnd_) {
        mapWnd_->setFocus();
    }
    return QMainWindow::event(event);
}

void CMainFrame::FlushPendingPosition() {
    if (pendingPosition_) {
        const std::unique_ptr<gps::GpsNotifyEvent> position = std::move(pendingPosition_);
        OnGpsNotify(*position);
    }
}

void CMainFrame::OnGpsNotify(const gps::GpsNotifyEvent& notification) {
    switch (notification.status) {
        case gps::kStatusFix:
            if (notification.detail == 1) {
                mapWnd_->SetArrowState(kArrowGpsFix);
                return;
            }
            mapWnd_->SetArrowState(kArrowGpsNoFix);
            [[fallthrough]];
        case gps::kStatusUnusable:
            mapWnd_->SetAccuracy(-1, -1);
            mapWnd_->ClearPositionLabel();
            mapWnd_->update();
            return;
        case gps::kStatusPosition:
            OnPosition(notification);
            return;
        default:
            return;
    }
}

void CMainFrame::OnPosition(const gps::GpsNotifyEvent& notification) {
    gpsPosition_ = notification.position;
    const platform::GpsPosition& position = notification.position;
    const int elapsedSeconds = int(WholeSeconds(LocalNow()) - WholeSeconds(routeStartTime_));
    const double speedKmh = double(position.speedKnots) * kKnotsToKmh;
    mapWnd_->SetPosition(float(position.latitude), float(position.longitude), float(speedKmh),
                         position.headingDeg, position.altitudeWrtSeaLevelM, elapsedSeconds,
                         notification.horizontalAccuracy, notification.verticalAccuracy);
    if (routeRecorder_.IsRecording()) {
        routeRecorder_.AddPoint(float(position.latitude), float(position.longitude),
                                position.altitudeWrtSeaLevelM);
    }
    if (speedKmh >= kPoiCheckMinKmh) {
        ++poiCheckCount_;
        poiStore_.CheckAnnouncements(float(position.latitude), float(position.longitude),
                                     announcement_);
    }
}

void CMainFrame::OnNightTimer() {
    const bool night = sun_.IsNight(float(gpsPosition_.latitude), float(gpsPosition_.longitude));
    if (night && !night_) {
        night_ = 1;
        mapWnd_->ApplyNightMode(true);
    } else if (!night && night_) {
        night_ = 0;
        mapWnd_->ApplyNightMode(false);
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (beforeClose_) {
        beforeClose_();
    }
    if (trayIcon_) {
        trayIcon_->hide();
    }
    routeRecorder_.Stop();
    nightTimer_.stop();
    QMainWindow::closeEvent(event);
}

void CMainFrame::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // In normal view the frame stays where the user put it.
    if (!fullScreen_ && !applyingView_ && isVisible() && !isMinimized() && !isMaximized()) {
        normalGeometry_ = geometry();
    }
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (!fullScreen_ && !applyingView_ && isVisible() && !isMinimized() && !isMaximized()) {
        normalGeometry_ = geometry();
    }
}

}  // namespace app
