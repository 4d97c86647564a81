// The whole program at work, measured in one run and printed as JSON lines:
//   startup      from this process's start to the first map image painted, on a home of 100
//                catalogued maps (first start: the catalogue is built; second: it is read), and
//                one vlrender process drawing the same view, timed in the same run;
//   memory       resident memory with the Andorra maps loaded (when the extract is there);
//   gps_stress   positions posted at 100 Hz for 5 s through the frame: how far the handled
//                position falls behind the newest one posted.
// Usage: velmora_frame_startup_bench startup|gps|memory   (one measurement per process, so that
// each starts as the program does; bench/frame_startup.sh runs all three)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "app/demo_home.h"
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "app/velmora_app.h"
#include "platform/settings_keys.h"
#include "platform/settings_store.h"

namespace {

namespace keys = platform::settings;

constexpr int kCataloguedMaps = 100;
constexpr char kScreen[] = "800x480@152x91";
constexpr double kDemoLat = 41.164673;
constexpr double kDemoLon = 23.267757;

QElapsedTimer g_sinceStart;
// From main to a running QApplication: the part of a start the program shares with this one.
double g_applicationMs = 0.0;

long ResidentKb() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

// The demo's tiles copied under new names until the home holds `count` maps.
bool FillWithMaps(const QString& home, int count) {
    QString error;
    if (!app::PrepareDemoHome(home, error)) {
        std::fprintf(stderr, "demo: %s\n", qPrintable(error));
        return false;
    }
    const QStringList tiles = QDir(home + "/Maps/Demo").entryList({"*.vl"}, QDir::Files);
    int maps = int(tiles.size()) + 1;  // and the country map
    for (int copy = 0; maps < count; ++copy) {
        const QString folder = QStringLiteral("%1/Maps/Copy%2").arg(home).arg(copy);
        QDir().mkpath(folder);
        for (const QString& tile : tiles) {
            if (maps >= count) {
                break;
            }
            QFile::copy(home + "/Maps/Demo/" + tile,
                        folder + QStringLiteral("/c%1_").arg(copy) + tile);
            ++maps;
        }
    }
    return true;
}

app::StartOptions Options(const QString& home, double lat, double lon, float scale) {
    auto settings = platform::SettingsStore::OpenForHome(home);
    settings->SetFloat(keys::kLastLat, lat);
    settings->SetFloat(keys::kLastLon, lon);
    settings->SetFloat(keys::kLastZoom, scale);
    settings->Set(keys::kFullScreen, 1);
    settings->Sync();
    app::StartOptions options;
    options.executablePath = QApplication::applicationFilePath();
    options.home = home;
    options.gpsUri = QStringLiteral("replay:/nonexistent.nmea");
    options.screen = platform::ScreenMetrics::Parse(QString::fromLatin1(kScreen));
    return options;
}

// Starts the program and waits for its first map image on screen; the time in ms from `from`.
double StartToFirstImage(app::VelmoraApp& velmora, const QElapsedTimer& from) {
    if (!velmora.Start()) {
        return -1.0;
    }
    app::CMapWnd& map = *velmora.frame()->MapWindow();
    while (map.RenderCount() < 1) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    velmora.frame()->repaint();
    return double(from.nsecsElapsed()) / 1e6;
}

double VlrenderMs(const QString& vlrender, const QString& home, double lat, double lon,
                  float scale) {
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.start(vlrender, {"--home", home, "--center", QStringLiteral("%1,%2").arg(lat).arg(lon),
                             "--scale", QString::number(scale), "--size", "800x480", "--screen",
                             kScreen, home + "/vlrender.png"});
    process.waitForFinished(60000);
    return process.exitCode() == 0 ? double(timer.nsecsElapsed()) / 1e6 : -1.0;
}

void Startup(const QString& vlrender) {
    QTemporaryDir dir;
    const QString home = dir.path();
    if (!FillWithMaps(home, kCataloguedMaps)) {
        return;
    }
    double firstMs = 0.0;
    double secondMs = 0.0;
    {
        const app::StartOptions options = Options(home, kDemoLat, kDemoLon, 0.485807f);
        QElapsedTimer first;
        first.start();
        app::VelmoraApp velmora(options);
        firstMs = g_applicationMs + StartToFirstImage(velmora, first);
    }
    {
        const app::StartOptions options = Options(home, kDemoLat, kDemoLon, 0.485807f);
        QElapsedTimer again;
        again.start();
        app::VelmoraApp velmora(options);
        secondMs = g_applicationMs + StartToFirstImage(velmora, again);
    }
    const double vlrenderMs = VlrenderMs(vlrender, home, kDemoLat, kDemoLon, 0.485807f);
    std::printf(
        "{\"bench\":\"startup\",\"maps\":%d,\"first_start_ms\":%.1f,"
        "\"second_start_ms\":%.1f,\"vlrender_process_ms\":%.1f,"
        "\"first_over_vlrender\":%.2f,\"second_over_vlrender\":%.2f}\n",
        kCataloguedMaps, firstMs, secondMs, vlrenderMs, firstMs / vlrenderMs,
        secondMs / vlrenderMs);
}

void AndorraMemory(const QString& vlmake) {
    const QString extract = QStringLiteral(VELMORA_SHARED_DATA "/osm/andorra.osm.pbf");
    if (!QFile::exists(extract)) {
        std::printf("{\"bench\":\"memory\",\"skipped\":\"no andorra extract\"}\n");
        return;
    }
    QTemporaryDir dir;
    const QString home = dir.path();
    QProcess make;
    make.start(vlmake, {"--quiet", extract, home + "/Maps"});
    if (!make.waitForFinished(600000) || make.exitCode() != 0) {
        std::printf("{\"bench\":\"memory\",\"skipped\":\"vlmake failed\"}\n");
        return;
    }
    const long beforeKb = ResidentKb();
    app::VelmoraApp velmora(Options(home, 42.5063, 1.5218, 0.0945f));
    QElapsedTimer timer;
    timer.start();
    StartToFirstImage(velmora, timer);
    // Out and in again: the country map and the tiles both loaded at some point.
    app::CMapWnd& map = *velmora.frame()->MapWindow();
    for (int step = 0; step < 4; ++step) {
        map.ZoomOutBy(30);
        QCoreApplication::processEvents();
        QThread::msleep(50);
    }
    for (int step = 0; step < 4; ++step) {
        map.ZoomInBy(30);
        QCoreApplication::processEvents();
        QThread::msleep(50);
    }
    QCoreApplication::processEvents();
    std::printf("{\"bench\":\"memory\",\"rss_mb\":%.1f,\"rss_before_start_mb\":%.1f}\n",
                ResidentKb() / 1024.0, beforeKb / 1024.0);
}

void GpsStress() {
    QTemporaryDir dir;
    const QString home = dir.path();
    QString error;
    app::PrepareDemoHome(home, error);
    app::VelmoraApp velmora(Options(home, kDemoLat, kDemoLon, 0.485807f));
    QElapsedTimer timer;
    timer.start();
    StartToFirstImage(velmora, timer);
    app::CMainFrame& frame = *velmora.frame();
    constexpr int kPositions = 500;  // 5 s at 100 Hz
    constexpr double kStepDeg = 1e-5;
    std::atomic<int> posted{0};
    std::thread worker([&] {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kPositions; ++i) {
            auto* event = new gps::GpsNotifyEvent(gps::kStatusPosition, 0);
            event->position.latitude = kDemoLat + i * kStepDeg;
            event->position.longitude = kDemoLon;
            event->position.speedKnots = 30.0f;
            event->position.headingDeg = 0.0f;
            QCoreApplication::postEvent(&frame, event);
            posted = i + 1;
            std::this_thread::sleep_until(start + std::chrono::milliseconds(10 * (i + 1)));
        }
    });
    int maxBehind = 0;
    long samples = 0;
    double sumBehind = 0.0;
    while (true) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        const int newest = posted.load();
        const double lat = frame.MapWindow()->Position().latitude;
        const int handled = int((lat - kDemoLat) / kStepDeg + 0.5) + 1;
        if (newest > 0) {
            const int behind = std::max(0, newest - handled);
            maxBehind = std::max(maxBehind, behind);
            sumBehind += behind;
            ++samples;
        }
        if (newest == kPositions && handled >= kPositions - 1) {
            break;
        }
    }
    worker.join();
    std::printf(
        "{\"bench\":\"gps_stress\",\"posted\":%d,\"handler_runs\":%d,"
        "\"max_positions_behind\":%d,\"mean_positions_behind\":%.2f,"
        "\"renders\":%d}\n",
        kPositions, frame.PoiCheckCount(), maxBehind, sumBehind / double(samples),
        frame.MapWindow()->RenderCount());
}

}  // namespace

int main(int argc, char** argv) {
    g_sinceStart.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    g_applicationMs = double(g_sinceStart.nsecsElapsed()) / 1e6;
    const QString what = application.arguments().value(1);
    if (what == QLatin1String("startup")) {
        Startup(QStringLiteral(VLRENDER_PATH));
    } else if (what == QLatin1String("gps")) {
        GpsStress();
    } else if (what == QLatin1String("memory")) {
        AndorraMemory(QStringLiteral(VLMAKE_PATH));
    } else {
        std::fprintf(stderr, "usage: velmora_frame_startup_bench startup|gps|memory\n");
        return 2;
    }
    return 0;
}
