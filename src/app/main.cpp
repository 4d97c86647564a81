#include <QApplication>

#include <cstdio>

#include "app/command_line.h"
#include "app/velmora_app.h"

int main(int argc, char** argv) {
    QCoreApplication::setOrganizationName(QStringLiteral("Quillon"));
    QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));

    // Options are read before any window system is opened, so that --help, --version and
    // mistakes are answered on a machine without a display too.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    app::CommandLineResult parsed = app::ParseCommandLine(arguments);
    if (!parsed.options) {
        std::FILE* out = parsed.exitCode == 0 ? stdout : stderr;
        std::fprintf(out, "%s\n", parsed.message.trimmed().toLocal8Bit().constData());
        return parsed.exitCode;
    }

    QApplication application(argc, argv);
    parsed.options->executablePath = QApplication::applicationFilePath();

    app::VelmoraApp velmora(std::move(*parsed.options));
    if (!velmora.Start()) {
        return 1;
    }
    std::printf(
        "Velmora %s is set up: data in %s, settings in %s.\n"
        "The map window is not part of this build yet; it comes in a later release (the demo "
        "region's maps are built by vlmake --demo).\n",
        VELMORA_VERSION, velmora.programFolder().toLocal8Bit().constData(),
        velmora.settings()->FilePath().toLocal8Bit().constData());
    return 0;
}
