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

    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        // No desktop to show a window on: run all the same, without one.
        std::fprintf(stderr, "velmora: no display found; running without a window.\n");
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    parsed.options->executablePath = QApplication::applicationFilePath();

    app::VelmoraApp velmora(std::move(*parsed.options));
    if (!velmora.Start()) {
        return 1;
    }
    const int exitCode = QApplication::exec();
    // The frame goes before the application object: the map window saves the last view.
    velmora.DestroyFrame();
    return exitCode;
}
