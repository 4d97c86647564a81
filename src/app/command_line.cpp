#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace app {

CommandLineResult ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Velmora: a moving-map GPS navigator with offline vector maps."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption homeOption(
        QStringLiteral("home"),
        QStringLiteral(
            "Keep maps, POIs, routes and settings in <dir> instead of the usual places."),
        QStringLiteral("dir"));
    const QCommandLineOption gpsOption(
        QStringLiteral("gps"),
        QStringLiteral(
            "Read positions from <uri>: gpsd://host:port, nmea:///dev/ttyUSB0?baud=4800, "
            "tcp://host:port, replay:FILE.nmea?speed=N or replay:FILE.gpx?speed=N."),
        QStringLiteral("uri"));
    const QCommandLineOption screenOption(
        QStringLiteral("screen"),
        QStringLiteral("Behave as on a screen of <size>: WxH or WxH@WMMxHMM, e.g. 240x320@53x71."),
        QStringLiteral("size"));
    const QCommandLineOption demoOption(QStringLiteral("demo"),
                                        QStringLiteral("Run on the built-in demo region."));
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"),
        QStringLiteral("When the program ends, write a PNG picture of its window to <file>."),
        QStringLiteral("file"));
    const QCommandLineOption quitAfterOption(
        QStringLiteral("quit-after"),
        QStringLiteral("End the program, as Exit does, after <seconds> seconds."),
        QStringLiteral("seconds"));
    const QCommandLineOption sunAtOption(
        QStringLiteral("sun-at"),
        QStringLiteral("Judge day and night as at <time> (UTC, e.g. 2024-06-21T12:00) instead of "
                       "now: for pictures and checks of the night colours."),
        QStringLiteral("time"));
    parser.addOptions({homeOption, gpsOption, screenOption, demoOption, screenshotOption,
                       quitAfterOption, sunAtOption});

    CommandLineResult result;
    if (!parser.parse(arguments)) {
        result.exitCode = 2;
        result.message = parser.errorText();
        return result;
    }
    if (parser.isSet(helpOption)) {
        // Before the application object exists the parser does not know the program's name.
        const QString program = arguments.isEmpty() ? QStringLiteral("velmora")
                                                    : QFileInfo(arguments.first()).fileName();
        result.message = parser.helpText().replace(QStringLiteral("<executable_name>"), program);
        return result;
    }
    if (parser.isSet(versionOption)) {
        result.message = QCoreApplication::applicationName() + QLatin1Char(' ') +
                         QCoreApplication::applicationVersion();
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.exitCode = 2;
        result.message =
            QStringLiteral("Unexpected argument: ") + parser.positionalArguments().first();
        return result;
    }

    StartOptions options;
    options.executablePath = arguments.isEmpty() ? QString() : arguments.first();
    options.home = parser.value(homeOption);
    options.gpsUri = parser.value(gpsOption);
    options.demo = parser.isSet(demoOption);
    if (parser.isSet(screenOption)) {
        options.screen = platform::ScreenMetrics::Parse(parser.value(screenOption));
        if (!options.screen) {
            result.exitCode = 2;
            result.message = QStringLiteral(
                                 "Bad screen size \"%1\": expected WxH or WxH@WMMxHMM, "
                                 "for example 240x320@53x71.")
                                 .arg(parser.value(screenOption));
            return result;
        }
    }
    options.screenshotPath = parser.value(screenshotOption);
    if (parser.isSet(quitAfterOption)) {
        bool ok = false;
        const double seconds = parser.value(quitAfterOption).toDouble(&ok);
        if (!ok || !(seconds >= 0.0) || seconds > 1.0e6) {
            result.exitCode = 2;
            result.message =
                QStringLiteral("Bad --quit-after \"%1\": expected a number of seconds.")
                    .arg(parser.value(quitAfterOption));
            return result;
        }
        options.quitAfterSeconds = seconds;
    }
    if (parser.isSet(sunAtOption)) {
        options.sunTimeUtc = QDateTime::fromString(parser.value(sunAtOption), Qt::ISODate);
        options.sunTimeUtc.setTimeSpec(Qt::UTC);
        if (!options.sunTimeUtc.isValid()) {
            result.exitCode = 2;
            result.message = QStringLiteral(
                                 "Bad --sun-at \"%1\": expected a time such as "
                                 "2024-06-21T12:00.")
                                 .arg(parser.value(sunAtOption));
            return result;
        }
    }
    result.options = std::move(options);
    return result;
}

}  // namespace app
