#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The outside programs that check GPX files: xmllint (libxml2-utils) for well-formedness,
// gpsbabel and python3-gpxpy for what other GPX readers make of them.

// Skips the running test when `program` (a string literal) is not on PATH.
#define SKIP_WITHOUT_PEER(program)                                                     \
    if (!HasPeer(QStringLiteral(program))) {                                           \
        GTEST_SKIP() << program << " is not installed (scripts/setup.sh installs it)"; \
    }

bool HasPeer(const QString& program);

// True when `xmllint --noout` accepts the file; its complaints go to `errors`.
bool IsWellFormed(const QString& path, QString* errors = nullptr);

// A point as gpsbabel reads it back.
struct PeerPoint {
    double latitude = 0.0;
    double longitude = 0.0;
    double altitude = 0.0;
    QString name;
};

// The waypoints (or, with `routes`, the route points) of a GPX file as gpsbabel reads them,
// through its unicsv output. Empty when gpsbabel fails on the file.
std::optional<std::vector<PeerPoint>> ReadWithGpsbabel(const QString& path, bool routes);

// True when the system's python3 has the gpxpy module (python3-gpxpy).
bool HasGpxpy();

#define SKIP_WITHOUT_GPXPY()                                                             \
    if (!HasGpxpy()) {                                                                   \
        GTEST_SKIP() << "python3-gpxpy is not installed (scripts/setup.sh installs it)"; \
    }

// What gpxpy reads from a GPX file (UTF-8, a byte-order mark allowed).
struct GpxpyCounts {
    int waypoints = 0;
    int routes = 0;
    int routePoints = 0;
};

// The counts of each file, in one run of gpxpy; empty for a file that gpxpy rejects.
std::vector<std::optional<GpxpyCounts>> CountWithGpxpy(const QStringList& paths);
