#pragma once

// The maps the rendering benchmarks draw.

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdlib>

#include "synthetic_maps.h"
#include "tool_run.h"

namespace {

// The data home of every benchmark: VELMORA_BENCH_HOME when it holds maps; otherwise the maps
// vlmake builds from the Andorra extract of the shared data, when both are there; otherwise a
// dense synthetic map with a country map. What is built is written once into a temporary
// folder (or into VELMORA_BENCH_HOME when that has no Maps folder yet, to look at the same
// maps with vlrender and a profiler).
struct BenchMaps {
    QString home;
    const char* name;
};

const BenchMaps& Maps() {
    static QTemporaryDir made;
    static const BenchMaps maps = [] {
        QString folder = made.path();
        if (const char* given = std::getenv("VELMORA_BENCH_HOME")) {
            folder = QString::fromLocal8Bit(given);
            if (QDir(folder + "/Maps").exists()) {
                return BenchMaps{folder, "given"};
            }
        }
        const QString extract = QStringLiteral(VELMORA_SHARED_DATA "/osm/andorra.osm.pbf");
        if (QFile::exists(extract) &&
            RunTool(VLMAKE_PATH, {"--quiet", extract, folder + "/Maps"}, 300000).exitCode == 0) {
            return BenchMaps{folder, "andorra"};
        }
        QDir().mkpath(folder + "/Maps/Dense");
        formats::WriteVlFile(*testmaps::DenseMap(), folder + "/Maps/Dense/Dense.vl");
        formats::WriteVlFile(*testmaps::DemoCountryMap(), folder + "/Maps/Country.vl");
        return BenchMaps{folder, "synthetic"};
    }();
    return maps;
}

}  // namespace
