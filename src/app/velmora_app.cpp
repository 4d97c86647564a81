#include "app/velmora_app.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QTimer>

#include <cstdio>

#include "app/build_date.h"
#include "app/demo_home.h"
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "gps/gps_sources.h"
#include "platform/gps_driver.h"
#include "platform/message_box.h"
#include "platform/program_folder.h"
#include "platform/trace.h"
#include "platform/xml_library.h"
#include "poi/route_recorder.h"
#include "render/poi_icons.h"

namespace app {

VelmoraApp::VelmoraApp(StartOptions options)
    : options_(std::move(options)), buildDateText_(CompiledDate()) {}

VelmoraApp::~VelmoraApp() {
    DestroyFrame();
}

bool VelmoraApp::Start() {
    return Prepare() && StartFrame();
}

bool VelmoraApp::Prepare() {
    InitialiseShell();
    if (options_.demo && options_.home.isEmpty()) {
        // The demo keeps to a home of its own: the user's maps and settings stay as they are.
        options_.home = DefaultDemoHome();
    }
    FindProgramFolder();
    CreateFolders();
    CompleteRouteFiles();
    OpenSettings();
    if (!StartXml()) {
        platform::ShowMessageBox(QStringLiteral("MSXML ERROR INI"));
        return false;
    }
    ReadBuildDate();
    ReadScreen();
    if (options_.demo && !PrepareDemo()) {
        return false;
    }
    InstallImages();
    ChooseGpsSource();
    return true;
}

bool VelmoraApp::StartFrame() {
    if (!CreateFrame()) {
        return false;
    }
    ShowFrame();
    ScheduleQuit();
    platform::Trace("End");
    return true;
}

void VelmoraApp::InitialiseShell() {
    // A desktop shell needs no one-time start-up call.
}

void VelmoraApp::FindProgramFolder() {
    programFolder_ = platform::ResolveProgramFolder(options_.home, options_.executablePath);
    platform::SetProgramFolder(programFolder_);
    platform::SetTracePath(programFolder_ + QLatin1String(platform::kTraceTail));
    platform::Trace("debug filename=%s", platform::TracePath().toLocal8Bit().constData());
}

void VelmoraApp::CreateFolders() {
    platform::CreateProgramFolders(programFolder_);
    mapsFolder_ = programFolder_ + QLatin1String(platform::kMapsTail);
    routesFolder_ = programFolder_ + QLatin1String(platform::kRoutesTail);
}

void VelmoraApp::CompleteRouteFiles() {
    // Before any recording starts: a route cut off by a crash or power loss gets its closing
    // lines, so that the overlay loader and the GPX dialog can read it.
    poi::CompleteUnfinishedRoutes(routesFolder_);
}

void VelmoraApp::OpenSettings() {
    // A home of one's own keeps its own settings file; otherwise the user's.
    settings_ = options_.home.isEmpty() ? platform::SettingsStore::OpenUser()
                                        : platform::SettingsStore::OpenForHome(programFolder_);
}

bool VelmoraApp::StartXml() {
    return platform::StartXmlLibrary();
}

void VelmoraApp::ReadBuildDate() {
    const BuildDate date = ParseBuildDate(buildDateText_);
    buildYear_ = date.year;
    buildDayNumber_ = date.dayNumber;
}

void VelmoraApp::ReadScreen() {
    screen_ = options_.screen ? *options_.screen : platform::ScreenMetrics::FromPrimaryScreen();
    largeScreen_ = LargeScreenFlag(screen_.workArea.width(), screen_.workArea.height());
}

bool VelmoraApp::PrepareDemo() {
    QString error;
    if (!PrepareDemoHome(programFolder_, error)) {
        std::fprintf(stderr, "velmora: cannot prepare the demo in %s: %s\n",
                     programFolder_.toLocal8Bit().constData(), error.toLocal8Bit().constData());
        return false;
    }
    TickDemoPois(*settings_);
    if (options_.gpsUri.isEmpty()) {
        options_.gpsUri = DemoGpsUri(programFolder_);
    }
    return true;
}

void VelmoraApp::InstallImages() {
    // A home without its own pictures gets the program's; a user's own stay.
    render::InstallDefaultImages(programFolder_ + QLatin1String(platform::kImagesTail));
}

void VelmoraApp::ChooseGpsSource() {
    // The GPS link opens the source later, with the main frame.
    gps::InstallGpsSources();
    const std::string uri = options_.gpsUri.isEmpty() ? std::string(platform::kDefaultGpsSource)
                                                      : options_.gpsUri.toStdString();
    if (!gps::SelectGpsSource(uri)) {
        std::fprintf(stderr, "velmora: no GPS source takes %s; using %s.\n", uri.c_str(),
                     platform::kDefaultGpsSource);
        options_.gpsUri.clear();
        gps::SelectGpsSource(platform::kDefaultGpsSource);
    }
}

bool VelmoraApp::CreateFrame() {
    frame_ = std::make_unique<CMainFrame>(*this);
    if (frame_->Create() != 0) {
        frame_.reset();
        return false;
    }
    return true;
}

void VelmoraApp::ShowFrame() {
    CMainFrame& frame = *frame_;
    frame.show();
    render::LoadPoiIcons(programFolder_);
    if (settings_->Get(platform::settings::kFullScreen) != 0) {
        frame.FullScreen();
    } else {
        frame.MapWindow()->RestoreLastView();
    }
    frame.MapWindow()->RequestRedraw();
    frame.MapWindow()->StartThreads();
}

void VelmoraApp::ScheduleQuit() {
    std::optional<double> seconds = options_.quitAfterSeconds;
    const bool headless = QGuiApplication::platformName() == QLatin1String("offscreen");
    if (options_.demo && headless) {
        ScheduleDemoScreenshots();
        if (!seconds) {
            // Nobody can close a window that is not shown.
            seconds = kHeadlessDemoSeconds;
        }
    }
    if (seconds) {
        QTimer::singleShot(int(*seconds * 1000.0), frame_.get(), [this] { Exit(); });
    }
    if (!options_.screenshotPath.isEmpty()) {
        frame_->SetBeforeClose([this] { WriteScreenshot(options_.screenshotPath); });
    }
}

void VelmoraApp::ScheduleDemoScreenshots() {
    const QString folder = programFolder_ + QLatin1String("/screenshots");
    QDir().mkpath(folder);
    std::printf(
        "No display: the demo runs without a window and writes a picture every %d s to "
        "%s.\n",
        kDemoScreenshotSeconds, folder.toLocal8Bit().constData());
    std::fflush(stdout);
    auto* timer = new QTimer(frame_.get());
    auto count = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, frame_.get(), [this, folder, count] {
        const QString path =
            QStringLiteral("%1/drive-%2.png").arg(folder).arg(++*count, 2, 10, QLatin1Char('0'));
        WriteScreenshot(path);
    });
    timer->start(kDemoScreenshotSeconds * 1000);
}

void VelmoraApp::WriteScreenshot(const QString& path) {
    if (!frame_) {
        return;
    }
    if (frame_->grab().toImage().save(path, "PNG")) {
        std::printf("velmora: picture of the window in %s\n", path.toLocal8Bit().constData());
    } else {
        std::fprintf(stderr, "velmora: cannot write %s\n", path.toLocal8Bit().constData());
    }
    std::fflush(stdout);
}

void VelmoraApp::Exit() {
    if (frame_) {
        frame_->OnCommand(kCommandExit);
    }
}

void VelmoraApp::DestroyFrame() {
    if (frame_ && frame_->isVisible()) {
        frame_->close();
    }
    frame_.reset();
}

}  // namespace app
