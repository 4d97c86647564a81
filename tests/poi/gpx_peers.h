#pragma once

#include <QString>

#include <optional>
#include <vector>

// The outside programs that check the GPX files we write: xmllint (libxml2-utils) for
// well-formedness and gpsbabel for what another GPX reader makes of them.

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
