// vlmake: OpenStreetMap data compiled into the program's ".vl" maps, ready for Maps/.
//
//   vlmake INPUT.osm.pbf|INPUT.osm OUTDIR [--name NAME] [--tile-mb N] [--quiet]
//   vlmake --demo OUTDIR [--quiet]
//   vlmake --types
//
// It writes OUTDIR/<NAME>Country.vl (the country map) and OUTDIR/<NAME>/<NAME>_<row>_<col>.vl
// (the detailed tiles, none larger than --tile-mb), shows its progress on stderr and a summary
// on stdout. --demo writes an invented town as OpenStreetMap XML into OUTDIR, with a drive
// along its streets and a POI file, and compiles it like any input. A failure is one line on
// stderr and exit code 1.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "mapmake/demo_region.h"
#include "mapmake/map_compiler.h"
#include "mapmake/type_table.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kBarWidth = 30;

int Usage(const char* message) {
    std::fprintf(stderr, "vlmake: %s (see --help)\n", message);
    return kExitUsage;
}

int Fail(const QString& message) {
    std::fprintf(stderr, "vlmake: %s\n", message.toLocal8Bit().constData());
    return kExitFailed;
}

// A bar on stderr, redrawn in place on a terminal; elsewhere (a log) a line for each tenth.
class ProgressBar {
public:
    ProgressBar() : terminal_(isatty(STDERR_FILENO) != 0) {}
    ~ProgressBar() { Finish(); }

    void Show(const char* phase, double fraction) {
        const int percent = int(fraction * 100.0 + 0.5);
        const bool samePhase = phase_ == phase;
        if (samePhase && (terminal_ ? percent == percent_ : percent / 10 == percent_ / 10)) {
            return;
        }
        if (!samePhase) {
            Finish();
            phase_ = phase;
        }
        percent_ = percent;
        const int filled = percent * kBarWidth / 100;
        std::string bar(size_t(filled), '#');
        bar.append(size_t(kBarWidth - filled), '.');
        std::fprintf(stderr, "%s%-15s [%s] %3d%%%s", terminal_ ? "\r" : "", phase, bar.c_str(),
                     percent, terminal_ ? "" : "\n");
        open_ = terminal_;
        std::fflush(stderr);
    }

    void Finish() {
        if (open_) {
            std::fputc('\n', stderr);
            open_ = false;
        }
    }

private:
    const bool terminal_;
    std::string phase_;
    int percent_ = -1;
    bool open_ = false;
};

std::string LevelsLine(const std::vector<mapmake::LevelCount>& levels) {
    std::string line;
    for (const mapmake::LevelCount& level : levels) {
        char text[96];
        std::snprintf(text, sizeof(text), "%s%d: %llu (%llu points, %llu lines, %llu areas)",
                      line.empty() ? "" : "; ", level.cbits,
                      static_cast<unsigned long long>(level.Objects()),
                      static_cast<unsigned long long>(level.points),
                      static_cast<unsigned long long>(level.lines),
                      static_cast<unsigned long long>(level.areas));
        line += text;
    }
    return line;
}

void PrintSummary(const mapmake::CompileOptions& options, const mapmake::CompileSummary& summary) {
    const auto n = [](uint64_t value) { return static_cast<unsigned long long>(value); };
    std::printf("read %s: %llu nodes, %llu ways, %llu relations\n",
                options.input.toLocal8Bit().constData(), n(summary.read.nodes),
                n(summary.read.ways), n(summary.read.relations));
    std::printf(
        "kept %llu points, %llu lines (joined from %llu pieces), %llu areas (%llu from "
        "multipolygon relations)\n",
        n(summary.points), n(summary.lines), n(summary.linesRead), n(summary.areas),
        n(summary.read.multipolygons));
    std::printf("wrote %lld files, %.2f MB, into %s (largest tile %.2f MB):\n",
                static_cast<long long>(summary.files.size()), double(summary.bytes) / 1e6,
                QDir::toNativeSeparators(options.outDir).toLocal8Bit().constData(),
                double(summary.largestTileBytes) / 1e6);
    for (const QString& file : summary.files) {
        std::printf("  %s\n", file.toLocal8Bit().constData());
    }
    std::printf("country map, objects per level: %s\n", LevelsLine(summary.countryLevels).c_str());
    std::printf("%d tiles, objects per level: %s\n", summary.tiles,
                LevelsLine(summary.tileLevels).c_str());
    for (const QString& warning : summary.warnings) {
        std::printf("warning: %s\n", warning.toLocal8Bit().constData());
    }
    std::printf("time %.2f s\n", summary.seconds);
}

int Compile(const mapmake::CompileOptions& options, bool quiet) {
    ProgressBar bar;
    mapmake::Progress progress;
    if (!quiet) {
        progress = [&bar](const char* phase, double fraction) { bar.Show(phase, fraction); };
    }
    mapmake::CompileSummary summary;
    QString error;
    const bool compiled = mapmake::CompileMaps(options, progress, summary, error);
    bar.Finish();
    if (!compiled) {
        return Fail(error);
    }
    PrintSummary(options, summary);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // The reader's decoding threads would each get a malloc arena of their own, whose freed
    // blocks stay with it: two arenas decode as fast, and a country takes some 10 MB less.
    // Decoded blocks are a few hundred kilobytes; with the threshold fixed they are always
    // mapped and given back when freed, instead of, once the first is freed, taken from the
    // arenas and kept there (which cost a country 10 MB more in one run of three).
    mallopt(M_ARENA_MAX, 2);
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("vlmake");
    QCoreApplication::setApplicationVersion(VELMORA_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Compiles an OpenStreetMap extract into Velmora maps: OUTDIR/<NAME>Country.vl and the\n"
        "detailed tiles OUTDIR/<NAME>/<NAME>_<row>_<col>.vl. Copy OUTDIR into the Maps folder.\n"
        "Map data from OpenStreetMap is © OpenStreetMap contributors (ODbL 1.0).");
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption nameOption(
        "name", "The maps' name (default: the input's file name without its endings).", "NAME");
    const QCommandLineOption tileOption(
        "tile-mb", "The largest tile in megabytes of 1 000 000 bytes (default 8).", "N", "8");
    const QCommandLineOption quietOption("quiet", "No progress bar.");
    const QCommandLineOption demoOption(
        "demo",
        "Write the demo region (an invented town, a drive along its streets and a POI "
        "file) into OUTDIR and compile it.");
    const QCommandLineOption typesOption("types", "Print the type table as Markdown.");
    parser.addOptions({nameOption, tileOption, quietOption, demoOption, typesOption});
    parser.addPositionalArgument("INPUT",
                                 "The OpenStreetMap file: .osm.pbf, .osm, .osm.gz or "
                                 ".osm.bz2 (not with --demo).");
    parser.addPositionalArgument("OUTDIR", "The folder the maps go into.");
    parser.process(app);

    if (parser.isSet(typesOption)) {
        std::fputs(mapmake::TypeTableMarkdown().c_str(), stdout);
        return 0;
    }
    const QStringList positional = parser.positionalArguments();
    const bool quiet = parser.isSet(quietOption);
    mapmake::CompileOptions options;
    bool ok = false;
    options.tileMb = parser.value(tileOption).toDouble(&ok);
    if (!ok || !(options.tileMb >= 0.001) || options.tileMb > 1.0e6) {
        return Usage("--tile-mb wants megabytes, for example 4");
    }
    if (parser.isSet(demoOption)) {
        if (positional.size() != 1 || parser.isSet(nameOption)) {
            return Usage("--demo wants OUTDIR alone");
        }
        QString error;
        if (!mapmake::WriteDemoRegion(positional[0], error)) {
            return Fail(error);
        }
        const double tileMb = options.tileMb;
        options = mapmake::DemoCompileOptions(positional[0]);
        options.tileMb = tileMb;
        return Compile(options, quiet);
    }
    if (positional.size() != 2) {
        return Usage("give INPUT and OUTDIR");
    }
    options.input = positional[0];
    options.outDir = positional[1];
    options.name = parser.value(nameOption);
    if (parser.isSet(nameOption) && options.name.isEmpty()) {
        return Usage("--name wants a name");
    }
    return Compile(options, quiet);
}
