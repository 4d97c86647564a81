#include "app/velmora_app.h"

#include "app/build_date.h"
#include "gps/gps_sources.h"
#include "platform/message_box.h"
#include "platform/program_folder.h"
#include "platform/trace.h"
#include "platform/xml_library.h"
#include "poi/route_recorder.h"

namespace app {

VelmoraApp::VelmoraApp(StartOptions options)
    : options_(std::move(options)), buildDateText_(CompiledDate()) {}

VelmoraApp::~VelmoraApp() = default;

bool VelmoraApp::Start() {
    InitialiseShell();
    FindProgramFolder();
    CreateFolders();
    CompleteRouteFiles();
    OpenSettings();
    ChooseGpsSource();
    if (!StartXml()) {
        platform::ShowMessageBox(QStringLiteral("MSXML ERROR INI"));
        return false;
    }
    ReadBuildDate();
    ReadScreen();
    // The main frame, its map window and their threads start from here once they exist.
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

void VelmoraApp::ChooseGpsSource() {
    // The GPS link opens its source later, with the main frame; a --gps URI that no source takes
    // leaves the default.
    gps::InstallGpsSources();
    const std::string uri = options_.gpsUri.toStdString();
    if (!uri.empty() && !gps::SelectGpsSource(uri)) {
        platform::Trace("GPS source %s unknown", uri.c_str());
    }
}

bool VelmoraApp::StartXml() { return platform::StartXmlLibrary(); }

void VelmoraApp::ReadBuildDate() {
    const BuildDate date = ParseBuildDate(buildDateText_);
    buildYear_ = date.year;
    buildDayNumber_ = date.dayNumber;
}

void VelmoraApp::ReadScreen() {
    screen_ = options_.screen ? *options_.screen : platform::ScreenMetrics::FromPrimaryScreen();
    largeScreen_ = LargeScreenFlag(screen_.workArea.width(), screen_.workArea.height());
}

}  // namespace app
