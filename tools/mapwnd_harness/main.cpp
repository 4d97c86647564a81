// mapwnd_harness: the map window alone in a top-level window, fed with positions driving round
// a circle, for looking at it on a real display.
//
//   mapwnd_harness --home DIR [--screen WxH[@WMMxHMM]] [--lat L --lon L] [--radius-m M]
//                  [--speed KMH] [--night]
//
// DIR holds Maps/ (for example the output of vlmake --demo) and gets its own settings file.
// Keys, the mouse and the wheel work as in the program; the corner button prints a line.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cmath>
#include <cstdio>

#include "app/map_wnd.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption home("home", "Data home with Maps/.", "DIR");
    const QCommandLineOption screen("screen", "Screen to behave like.", "WxH[@WMMxHMM]");
    // By default round the place a first start opens at, the demo town's centre.
    const QCommandLineOption lat("lat", "Centre of the drive.", "DEG",
                                 platform::settings::kLastLat.defaultValue);
    const QCommandLineOption lon("lon", "Centre of the drive.", "DEG",
                                 platform::settings::kLastLon.defaultValue);
    const QCommandLineOption radius("radius-m", "Radius of the drive.", "M", "400");
    const QCommandLineOption speed("speed", "Speed of the drive.", "KMH", "30");
    const QCommandLineOption night("night", "Start with night colours.");
    parser.addOptions({home, screen, lat, lon, radius, speed, night});
    parser.process(application);
    if (!parser.isSet(home)) {
        std::fprintf(stderr, "mapwnd_harness: give --home DIR\n");
        return 2;
    }
    const QString folder = parser.value(home);
    platform::SetProgramFolder(folder);
    std::optional<platform::ScreenMetrics> metrics =
        parser.isSet(screen) ? platform::ScreenMetrics::Parse(parser.value(screen))
                             : platform::ScreenMetrics::FromPrimaryScreen();
    if (!metrics) {
        std::fprintf(stderr, "mapwnd_harness: --screen wants WxH or WxH@WMMxHMM\n");
        return 2;
    }
    auto settings = platform::SettingsStore::OpenForHome(folder);
    const double centreLat = parser.value(lat).toDouble();
    const double centreLon = parser.value(lon).toDouble();
    settings->SetFloat(platform::settings::kLastLat, centreLat);
    settings->SetFloat(platform::settings::kLastLon, centreLon);

    app::CMapWnd window(folder, *metrics, settings.get());
    window.setWindowTitle(QStringLiteral("Velmora map window"));
    window.SetButtonPanelHook([] {
        std::printf("button panel\n");
        std::fflush(stdout);
    });
    window.resize(metrics->workArea.isEmpty() ? QSize(800, 480) : metrics->workArea);
    window.show();
    window.SetArrowState(app::kArrowGpsFix);
    window.ApplyNightMode(parser.isSet(night));
    window.RequestRedraw();
    window.StartThreads();

    // Round the circle clockwise, one position a second of drive, ten a second of wall time.
    const double radiusM = parser.value(radius).toDouble();
    const double speedKmh = parser.value(speed).toDouble();
    const double metresPerDegreeLat = 111195.0;
    const double metresPerDegreeLon = metresPerDegreeLat * std::cos(centreLat * M_PI / 180.0);
    int tick = 0;
    QTimer positions;
    QObject::connect(&positions, &QTimer::timeout, [&] {
        const double seconds = tick++ * 0.1;
        const double angle = seconds * (speedKmh / 3.6) / radiusM;  // radians round the circle
        const double north = radiusM * std::cos(angle);
        const double east = radiusM * std::sin(angle);
        const double heading = std::fmod(angle * 180.0 / M_PI + 90.0, 360.0);
        window.SetPosition(float(centreLat + north / metresPerDegreeLat),
                           float(centreLon + east / metresPerDegreeLon), float(speedKmh),
                           float(heading), 312.0f, int(seconds), 4, 7);
    });
    positions.start(100);
    const int status = application.exec();
    window.StopThreads();
    return status;
}
