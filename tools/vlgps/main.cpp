// vlgps: opens the GPS link on a source and prints one line per notification, so that users can
// check their receiver and tests can watch the link at work.
//   vlgps URI [--count N] [--seconds S] [--record HOME] [--json]
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

#include "gps/gps_link.h"
#include "platform/c_format.h"
#include "platform/gps_driver.h"

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

class Printer : public QObject {
public:
    Printer(bool json, long long count) : json_(json), remaining_(count) {}

protected:
    void customEvent(QEvent* event) override {
        if (event->type() != gps::GpsNotifyEvent::Type())
            return;
        std::printf("%s\n", Line(*static_cast<gps::GpsNotifyEvent*>(event), json_).c_str());
        std::fflush(stdout);
        if (remaining_ > 0 && --remaining_ == 0) {
            QCoreApplication::exit(0);
        }
    }

private:
    bool json_;
    long long remaining_;  // 0: no limit
};

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
    if (parser.isSet(recordOption)) {
        std::fprintf(stderr, "vlgps: --record is not available yet\n");
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
    if (!platform::MakeGpsBackend(uri)) {
        std::fprintf(stderr, "vlgps: not a source URI: %s\n", uri.c_str());
        return 2;
    }
    platform::SetGpsSource(uri);

    Printer printer(parser.isSet(jsonOption), (long long)count);
    gps::GpsLink link;
    link.SetOwner(&printer);
    if (link.Open() != 1) {
        std::fprintf(stderr, "vlgps: cannot open %s\n", uri.c_str());
        return 1;
    }
    if (seconds > 0.0) {
        QTimer::singleShot(int(seconds * 1000.0), &app, [] { QCoreApplication::exit(0); });
    }
    return app.exec();
}
