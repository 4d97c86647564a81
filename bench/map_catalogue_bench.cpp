// Building the map catalogue over 1 000 map files: once with every file already in maps.dat
// (each start-up), and from scratch (the first start), which reads each file's header only.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include "formats/vl_writer.h"
#include "render/map_catalogue.h"

namespace {

constexpr int kFolders = 10;
constexpr int kMapsPerFolder = 100;
constexpr int kVerticesPerMap = 4096;  // 32 KB of body behind each header

struct Home {
    QTemporaryDir dir;
    QString path;
};

// Maps/region-F/map-N.vl, each with its own box in a grid.
const Home& HomeWithMaps() {
    static Home* home = [] {
        auto* made = new Home;
        made->path = made->dir.path();
        for (int f = 0; f < kFolders; ++f) {
            const QString folder = QString("%1/Maps/region-%2").arg(made->path).arg(f);
            QDir().mkpath(folder);
            for (int n = 0; n < kMapsPerFolder; ++n) {
                formats::ShapeFile file;
                file.name = QString("Region %1 map %2").arg(f).arg(n);
                const float south = 40.0f + 0.1f * float(f);
                const float west = 0.1f * float(n);
                file.bounds = formats::GeoRect{west, south + 0.1f, west + 0.1f, south};
                auto level = std::make_unique<formats::ShapeLevel>();
                level->cbits = 24;
                auto area = formats::MakeShape<formats::ShapePolygon>();
                for (int v = 0; v < kVerticesPerMap; ++v) {
                    area->AddVertex(south, west);
                }
                level->shapes.push_back(std::move(area));
                file.levels.push_back(std::move(level));
                if (!formats::WriteVlFile(file, QString("%1/map-%2.vl").arg(folder).arg(n))) {
                    std::fprintf(stderr, "cannot write the maps\n");
                    std::abort();
                }
            }
        }
        return made;
    }();
    return *home;
}

int64_t BytesReadByProcess() {
    QFile io("/proc/self/io");
    if (!io.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray text = io.readAll();
    const qsizetype at = text.indexOf("rchar: ") + 7;
    return text.mid(at, text.indexOf('\n', at) - at).toLongLong();
}

// What the map window's creation does once maps.dat lists every file.
void BM_BuildCatalogued(benchmark::State& state) {
    const Home& home = HomeWithMaps();
    render::MapCatalogue(home.path).Build();
    for (auto _ : state) {
        render::MapCatalogue catalogue(home.path);
        catalogue.Build();
        if (catalogue.Count() != kFolders * kMapsPerFolder) {
            state.SkipWithError("maps missing from the catalogue");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kFolders * kMapsPerFolder);
}
BENCHMARK(BM_BuildCatalogued)->Unit(benchmark::kMillisecond);

// No maps.dat: every file is new and only its header is read.
void BM_BuildFirst(benchmark::State& state) {
    const Home& home = HomeWithMaps();
    int64_t bytesRead = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(home.path + "/Maps/maps.dat");
        const int64_t before = BytesReadByProcess();
        state.ResumeTiming();
        render::MapCatalogue catalogue(home.path);
        catalogue.Build();
        state.PauseTiming();
        bytesRead = BytesReadByProcess() - before;
        state.ResumeTiming();
    }
    state.counters["bytes_read_per_map"] = double(bytesRead) / (kFolders * kMapsPerFolder);
    state.counters["map_file_bytes"] = double(QFile(home.path + "/Maps/region-0/map-0.vl").size());
    state.SetItemsProcessed(state.iterations() * kFolders * kMapsPerFolder);
}
BENCHMARK(BM_BuildFirst)->Unit(benchmark::kMillisecond);

}  // namespace
