#include "gpx_peers.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace {

constexpr int kPeerTimeoutMs = 30000;
// The system's interpreter, where Debian's python3-gpxpy installs; another python3 earlier on
// PATH may lack the module.
constexpr char kSystemPython[] = "/usr/bin/python3";
// One line per file: the three counts, or "-" when gpxpy rejects the file.
constexpr char kGpxpyCount[] =
    "import gpxpy, sys\n"
    "for path in sys.argv[1:]:\n"
    "    try:\n"
    "        with open(path, encoding='utf-8-sig') as f:\n"
    "            g = gpxpy.parse(f)\n"
    "        print(len(g.waypoints), len(g.routes), sum(len(r.points) for r in g.routes))\n"
    "    except Exception:\n"
    "        print('-')\n";

struct PeerRun {
    bool finished = false;
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;
};

PeerRun RunPeer(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    PeerRun run;
    run.finished =
        process.waitForFinished(kPeerTimeoutMs) && process.exitStatus() == QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.output = process.readAllStandardOutput();
    run.errors = process.readAllStandardError();
    return run;
}

// The fields of one CSV record: commas separate, double quotes enclose, "" is one quote.
QStringList SplitCsvLine(const QString& line) {
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            fields.append(field);
            field.clear();
        } else {
            field += c;
        }
    }
    fields.append(field);
    return fields;
}

}  // namespace

bool HasPeer(const QString& program) {
    return !QStandardPaths::findExecutable(program).isEmpty();
}

bool IsWellFormed(const QString& path, QString* errors) {
    const PeerRun run = RunPeer(QStringLiteral("xmllint"), {QStringLiteral("--noout"), path});
    if (errors != nullptr) {
        *errors = QString::fromUtf8(run.errors);
    }
    return run.finished && run.exitCode == 0 && run.errors.isEmpty();
}

std::optional<std::vector<PeerPoint>> ReadWithGpsbabel(const QString& path, bool routes) {
    QStringList arguments;
    if (routes) {
        arguments << QStringLiteral("-r");
    }
    arguments << QStringLiteral("-i") << QStringLiteral("gpx") << QStringLiteral("-f") << path
              << QStringLiteral("-o") << QStringLiteral("unicsv") << QStringLiteral("-F")
              << QStringLiteral("-");
    const PeerRun run = RunPeer(QStringLiteral("gpsbabel"), arguments);
    if (!run.finished || run.exitCode != 0) {
        return std::nullopt;
    }
    QStringList lines = QString::fromUtf8(run.output).split(u'\n', Qt::SkipEmptyParts);
    if (lines.isEmpty()) {
        return std::vector<PeerPoint>{};
    }
    const QStringList header = SplitCsvLine(lines.takeFirst().trimmed());
    const qsizetype latColumn = header.indexOf(QStringLiteral("Latitude"));
    const qsizetype lonColumn = header.indexOf(QStringLiteral("Longitude"));
    const qsizetype altColumn = header.indexOf(QStringLiteral("Altitude"));
    const qsizetype nameColumn = header.indexOf(QStringLiteral("Name"));
    std::vector<PeerPoint> points;
    for (const QString& line : lines) {
        const QStringList fields = SplitCsvLine(line.endsWith(u'\r') ? line.chopped(1) : line);
        if (fields.size() != header.size()) {
            return std::nullopt;
        }
        PeerPoint point;
        point.latitude = fields.value(latColumn).toDouble();
        point.longitude = fields.value(lonColumn).toDouble();
        point.altitude = altColumn < 0 ? 0.0 : fields.value(altColumn).toDouble();
        point.name = nameColumn < 0 ? QString() : fields.value(nameColumn);
        points.push_back(point);
    }
    return points;
}

bool HasGpxpy() {
    static const bool has = [] {
        const PeerRun run = RunPeer(QLatin1String(kSystemPython),
                                    {QStringLiteral("-c"), QStringLiteral("import gpxpy")});
        return run.finished && run.exitCode == 0;
    }();
    return has;
}

std::vector<std::optional<GpxpyCounts>> CountWithGpxpy(const QStringList& paths) {
    const PeerRun run =
        RunPeer(QLatin1String(kSystemPython),
                QStringList{QStringLiteral("-c"), QLatin1String(kGpxpyCount)} + paths);
    const QStringList lines = QString::fromUtf8(run.output).split(u'\n', Qt::SkipEmptyParts);
    std::vector<std::optional<GpxpyCounts>> counts(size_t(paths.size()));
    if (!run.finished || run.exitCode != 0 || lines.size() != paths.size()) {
        return counts;
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(u' ', Qt::SkipEmptyParts);
        if (fields.size() == 3) {
            counts[size_t(i)] =
                GpxpyCounts{fields[0].toInt(), fields[1].toInt(), fields[2].toInt()};
        }
    }
    return counts;
}
