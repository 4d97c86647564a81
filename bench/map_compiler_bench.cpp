// The map compiler in process: the demo region (written once, compiled each iteration) and the
// Andorra extract of the shared data, with the tiles and objects written as counters.
// bench/vlmake_vs_peers.sh measures the whole vlmake process on the Andorra extract instead.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "mapmake/demo_region.h"
#include "mapmake/map_compiler.h"

namespace {

void Compile(benchmark::State& state, mapmake::CompileOptions options) {
    mapmake::CompileSummary summary;
    for (auto _ : state) {
        summary = mapmake::CompileSummary();
        QString error;
        if (!mapmake::CompileMaps(options, {}, summary, error)) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
    }
    uint64_t objects = 0;
    for (const mapmake::LevelCount& level : summary.tileLevels) {
        objects += level.Objects();
    }
    state.counters["tiles"] = double(summary.tiles);
    state.counters["objects"] = double(objects);
    state.counters["MB"] = double(summary.bytes) / 1e6;
}

void BM_CompileDemoRegion(benchmark::State& state) {
    QTemporaryDir out;
    QString error;
    if (!mapmake::WriteDemoRegion(out.path(), error)) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    Compile(state, mapmake::DemoCompileOptions(out.path()));
}
BENCHMARK(BM_CompileDemoRegion)->Unit(benchmark::kMillisecond);

void BM_CompileAndorra(benchmark::State& state) {
    const QString input = QStringLiteral(VELMORA_SHARED_DATA "/osm/andorra.osm.pbf");
    if (!QFile::exists(input)) {
        state.SkipWithError("no andorra.osm.pbf (the shared data is absent)");
        return;
    }
    QTemporaryDir out;
    mapmake::CompileOptions options;
    options.input = input;
    options.outDir = out.path();
    options.tileMb = double(state.range(0));
    Compile(state, options);
}
BENCHMARK(BM_CompileAndorra)->Arg(4)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
