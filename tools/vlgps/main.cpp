// vlgps: opens the GPS link on a source and prints one line per notification, so that users can
// check their receiver and tests can watch the link at work.
//   vlgps URI [--count N] [--seconds S] [--record HOME] [--json]
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>

#include "gps/gps_link.h"
#include "gps/gps_sources.h"
#include "platform/c_format.h"
#include "platform/gps_driver.h"
#include "platform/program_folder.h"
#include "poi/route_recorder.h"

namespace {

constexpr double kKnotsToKmh = 1.852;

std::string JsonString(const QString& text) {
    std::string out = "\"";
    for (const char c : text.toStdString()) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (uint8_t(c) < 0x20) {
            out += platform::FormatC("\\u%04x", unsigned(uint8_t(c)));
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Line(const gps::GpsNotifyEvent& e, bool json) {
    const platform::GpsPosition& p = e.position;
    const double speedKmh = p.speedKnots * kKnotsToKmh;
    if (json) {
        std::string line = platform::FormatC("{\"status\":%d,\"detail\":%d", e.status, e.detail);
        if (e.status == gps::kStatusPosition) {
            line += platform::FormatC(
                ",\"lat\":%.7f,\"lon\":%.7f,\"speedKmh\":%.3f,\"heading\":%.2f,\"alt\":%.2f,"
                "\"hacc\":%d,\"vacc\":%d,\"sats\":%d",
                p.latitude, p.longitude, speedKmh, double(p.headingDeg),
                double(p.altitudeWrtSeaLevelM), e.horizontalAccuracy, e.verticalAccuracy,
                e.satellitesUsed);
            line += ",\"latText\":" + JsonString(e.latitudeText) +
                    ",\"lonText\":" + JsonString(e.longitudeText);
        }
        return line + "}";
    }
    std::string line = platform::FormatC("status %d detail %d", e.status, e.detail);
    if (e.status == gps::kStatusPosition) {
        line += platform::FormatC(
            "  lat %.7f lon %.7f  %.1f km/h  heading %.1f  alt %.1f m  hacc %d vacc %d  sats %d  ",
            p.latitude, p.longitude, speedKmh, double(p.headingDeg), double(p.altitudeWrtSeaLevelM),
            e.horizontalAccuracy, e.verticalAccuracy, e.satellitesUsed);
        line += (e.latitudeText + " " + e.longitudeText).toStdString();
    }
    return line;
}

// Prints each notification and, with a recorder, appends the usable positions to the route as
// the program's frame does.
class Printer : public QObject {
public:
    Printer(bool json, long long count, poi::RouteRecorder* recorder)
        : json_(json), remaining_(count), recorder_(recorder) {}

protected:
    void customEvent(QEvent* event) override {
        const gps::GpsNotifyEvent* notification = gps::GpsNotifyEvent::From(event);
        if (notification == nullptr)
            return;
        const gps::GpsNotifyEvent& note = *notification;
        std::printf("%s\n", Line(note, json_).c_str());
        std::fflush(stdout);
        if (recorder_ && note.status == gps::kStatusPosition && recorder_->IsRecording()) {
            recorder_->AddPoint(float(note.position.latitude), float(note.position.longitude),
                                note.position.altitudeWrtSeaLevelM);
        }
        if (remaining_ > 0 && --remaining_ == 0) {
            QCoreApplication::exit(0);
        }
    }

private:
    bool json_;
    long long remaining_;           // 0: no limit
    poi::RouteRecorder* recorder_;  // null without --record
};

// Ctrl-C and kill end the run through the event loop, so that a recorded route gets its closing
// lines.
std::atomic<bool> gInterrupted{false};

void OnSignal(int) {
    gInterrupted.store(true);
}

bool ReadPositive(const QString& text, double& value) {
    const std::string s = text.toStdString();
    if (s.empty() || s.find_first_not_of("0123456789.") != std::string::npos)
        return false;
    value = platform::ParseCDouble(s);
    return value > 0.0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("vlgps");
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Shows what the GPS link reports from a source: one line per notification "
        "(status 0 a usable position, 1 fix gained (detail 1) or lost, 2 not usable).");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        "URI",
        "gpsd://host:port, nmea:///dev/ttyUSB0?baud=4800, tcp://host:port, "
        "replay:FILE.nmea?speed=N or replay:FILE.gpx?speed=N (&loop=1)");
    const QCommandLineOption countOption("count", "Stop after <n> notifications.", "n");
    const QCommandLineOption secondsOption("seconds", "Stop after <s> seconds.", "s");
    const QCommandLineOption recordOption("record", "Record the route into <home>.", "home");
    const QCommandLineOption jsonOption("json", "Print each notification as a JSON object.");
    parser.addOptions({countOption, secondsOption, recordOption, jsonOption});
    parser.process(app);

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        std::fprintf(stderr, "vlgps: give one source URI (see --help)\n");
        return 2;
    }
    double count = 0.0, seconds = 0.0;
    if (parser.isSet(countOption) &&
        (!ReadPositive(parser.value(countOption), count) || count != double((long long)count))) {
        std::fprintf(stderr, "vlgps: --count needs a whole number above 0\n");
        return 2;
    }
    if (parser.isSet(secondsOption) && !ReadPositive(parser.value(secondsOption), seconds)) {
        std::fprintf(stderr, "vlgps: --seconds needs a number above 0\n");
        return 2;
    }
    const std::string uri = positional.front().toStdString();
    if (!gps::SelectGpsSource(uri)) {
        std::fprintf(stderr, "vlgps: not a source URI: %s\n", uri.c_str());
        return 2;
    }

    std::unique_ptr<poi::RouteRecorder> recorder;
    if (parser.isSet(recordOption)) {
        const QString home = platform::DataHomeFromOption(parser.value(recordOption));
        platform::CreateProgramFolders(home);
        const QString routes = home + QLatin1String(platform::kRoutesTail);
        // As at the program's start: routes a crash left open are closed before a new one.
        poi::CompleteUnfinishedRoutes(routes);
        recorder = std::make_unique<poi::RouteRecorder>(routes);
        recorder->Start();
        if (!recorder->IsRecording()) {
            std::fprintf(stderr, "vlgps: cannot create a route file in %s\n",
                         routes.toLocal8Bit().constData());
            return 1;
        }
    }

    Printer printer(parser.isSet(jsonOption), (long long)count, recorder.get());
    gps::GpsLink link;
    link.SetOwner(&printer);
    if (link.Open() != 1) {
        std::fprintf(stderr, "vlgps: cannot open %s\n", uri.c_str());
        return 1;
    }
    if (seconds > 0.0) {
        QTimer::singleShot(int(seconds * 1000.0), &app, [] { QCoreApplication::exit(0); });
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    QTimer signalPoll;
    QObject::connect(&signalPoll, &QTimer::timeout, [] {
        if (gInterrupted.load())
            QCoreApplication::exit(0);
    });
    signalPoll.start(100);
    const int result = app.exec();
    link.Stop();
    if (recorder) {
        recorder->Stop();
    }
    return result;
}
