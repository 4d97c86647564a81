#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

#include "platform/screen_metrics.h"

namespace app {

// What the user asked for on the command line.
struct StartOptions {
    QString executablePath;
    QString home;    // --home DIR: data home with its own settings file
    QString gpsUri;  // --gps URI: where positions come from
    std::optional<platform::ScreenMetrics> screen;  // --screen WxH[@WMMxHMM]
    bool demo = false;                              // --demo: run on the built-in demo region
    QString screenshotPath;  // --screenshot FILE: a PNG of the window when the program ends
    std::optional<double> quitAfterSeconds;  // --quit-after SECONDS: Exit after that long
    QDateTime sunTimeUtc;  // --sun-at TIME: day and night judged as at this UTC time
};

struct CommandLineResult {
    std::optional<StartOptions> options;  // empty: exit with `exitCode` after printing `message`
    int exitCode = 0;
    QString message;
};

// Reads `arguments` (with the program name first). --help and --version give their text and
// exit code 0; a malformed option gives a one-line error and exit code 2.
CommandLineResult ParseCommandLine(const QStringList& arguments);

}  // namespace app
