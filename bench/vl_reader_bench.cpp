// Loading a 50 MB ".vl" map against reading the same bytes into memory, and the resident memory
// the loaded map adds. The map is generated with the writer: a mix of points, roads and areas
// with labels as a compiled street map has them.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "formats/img_file.h"
#include "formats/vl_writer.h"
#include "platform/file_access.h"

namespace {

constexpr qsizetype kTargetBytes = 50 * 1000 * 1000;

class Rng {
public:
    uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    int Between(int low, int high) { return low + int(Next() % uint32_t(high - low + 1)); }
    float Unit() { return float(Next()) / float(1u << 24); }

private:
    uint32_t state_ = 20240611u;
};

QString Label(Rng& rng) {
    static const char* const kWords[] = {"Carrer", "Avinguda", "Plaça", "del", "de la",
                                         "Major",  "Riu",      "Coll",  "Pic", "Sant Joan"};
    QString label;
    for (int i = rng.Between(1, 3); i > 0; --i) {
        label += QString::fromUtf8(kWords[rng.Next() % 10]) + QLatin1Char(' ');
    }
    return label.trimmed();
}

// One object of the mix: 20 % points, 50 % polylines of 2–40 vertices, 30 % polygons of 4–80.
formats::ShapePtr<> RandomShape(Rng& rng) {
    const int pick = rng.Between(0, 9);
    formats::ShapePtr<> shape;
    int vertices = 1;
    if (pick < 2) {
        shape = formats::MakeShape<formats::ShapePoint>();
        shape->type = 0x2F00 + rng.Between(0, 15);
    } else if (pick < 7) {
        shape = formats::MakeShape<formats::ShapePolyline>();
        shape->type = rng.Between(1, 12);
        shape->labelAngleTenthsDeg = rng.Between(-900, 900);
        vertices = rng.Between(2, 40);
    } else {
        shape = formats::MakeShape<formats::ShapePolygon>();
        shape->type = rng.Between(1, 80);
        vertices = rng.Between(4, 80);
    }
    if (rng.Between(0, 9) < 5) {
        shape->SetLabel(Label(rng));
    }
    float lat = 42.3f + 0.5f * rng.Unit();
    float lon = 1.3f + 0.5f * rng.Unit();
    shape->bounds = formats::GeoRect{lon, lat + 0.01f, lon + 0.01f, lat};
    shape->anchorLat = lat;
    shape->anchorLon = lon;
    shape->vertexPairs.reserve(2 * size_t(vertices));
    for (int i = 0; i < vertices; ++i) {
        lat += 0.0001f * (rng.Unit() - 0.5f);
        lon += 0.0001f * (rng.Unit() - 0.5f);
        shape->AddVertex(lat, lon);
    }
    return shape;
}

qsizetype RecordBytes(const formats::Shape& shape) {
    return qsizetype(formats::kVlObjectMinBytes) + 2 * shape.Label().size() +
           qsizetype(formats::kVlVertexBytes * shape.VertexCount());
}

// Levels of 24, 21 and 18 cbits taking 70 %, 20 % and 10 % of the bytes.
void GenerateMap(formats::ShapeFile& file) {
    file.name = QStringLiteral("Generated test map");
    file.bounds = formats::GeoRect{1.3f, 42.8f, 1.8f, 42.3f};
    auto ring = formats::MakeShape<formats::ShapePolygon>();
    ring->AddVertex(42.3f, 1.3f);
    ring->AddVertex(42.8f, 1.3f);
    ring->AddVertex(42.8f, 1.8f);
    ring->AddVertex(42.3f, 1.8f);
    file.coverage.push_back(std::move(ring));
    Rng rng;
    const struct {
        uint32_t cbits;
        double share;
    } levels[] = {{24, 0.7}, {21, 0.2}, {18, 0.1}};
    for (const auto& spec : levels) {
        auto level = std::make_unique<formats::ShapeLevel>();
        level->cbits = spec.cbits;
        qsizetype bytes = 0;
        while (bytes < qsizetype(kTargetBytes * spec.share)) {
            level->shapes.push_back(RandomShape(rng));
            bytes += RecordBytes(*level->shapes.back());
        }
        file.levels.push_back(std::move(level));
    }
}

struct MapOnDisk {
    QTemporaryDir dir;
    QString path;
    int64_t sizeBytes = 0;
};

const MapOnDisk& GeneratedMap() {
    static MapOnDisk* map = [] {
        auto* made = new MapOnDisk;
        made->path = made->dir.filePath("generated.vl");
        formats::ShapeFile file;
        GenerateMap(file);
        if (!formats::WriteVlFile(file, made->path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(made->path));
            std::abort();
        }
        made->sizeBytes = QFile(made->path).size();
        return made;
    }();
    return *map;
}

double Seconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

int64_t ResidentBytes() {
    FILE* statm = std::fopen("/proc/self/statm", "r");
    long pages = 0;
    long resident = 0;
    if (statm) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return int64_t(resident) * sysconf(_SC_PAGESIZE);
}

// The baseline: the file's bytes into a fresh buffer of their size, as ShapeFile::Load reads
// them.
void BM_ReadFileIntoMemory(benchmark::State& state) {
    const MapOnDisk& map = GeneratedMap();
    for (auto _ : state) {
        std::optional<platform::ByteBuffer> bytes = platform::ReadWholeFile(map.path);
        if (!bytes) {
            state.SkipWithError("read failed");
            break;
        }
        benchmark::DoNotOptimize(bytes->Data());
    }
    state.SetBytesProcessed(state.iterations() * map.sizeBytes);
}
BENCHMARK(BM_ReadFileIntoMemory)->Unit(benchmark::kMillisecond);

void BM_LoadVl(benchmark::State& state) {
    const MapOnDisk& map = GeneratedMap();
    for (auto _ : state) {
        auto file = std::make_unique<formats::ImgFile>();
        if (!file->Load(map.path)) {
            state.SkipWithError("load failed");
            break;
        }
        state.PauseTiming();
        file.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * map.sizeBytes);
}
BENCHMARK(BM_LoadVl)->Unit(benchmark::kMillisecond);

// Both, alternating within each iteration so that they see the same machine state; the
// iteration time is the load's. load_over_read is the ratio of the two totals; on a machine
// shared with other work best_load_over_read, the ratio of the fastest runs of each, shows the
// cost without the interruptions.
void BM_LoadVlAgainstRead(benchmark::State& state) {
    const MapOnDisk& map = GeneratedMap();
    double readSeconds = 0.0;
    double loadSeconds = 0.0;
    double bestRead = 1e9;
    double bestLoad = 1e9;
    for (auto _ : state) {
        const auto readStart = std::chrono::steady_clock::now();
        std::optional<platform::ByteBuffer> bytes = platform::ReadWholeFile(map.path);
        benchmark::DoNotOptimize(bytes);
        const auto readEnd = std::chrono::steady_clock::now();
        bytes.reset();

        auto file = std::make_unique<formats::ImgFile>();
        const auto loadStart = std::chrono::steady_clock::now();
        const bool loaded = file->Load(map.path);
        const auto loadEnd = std::chrono::steady_clock::now();
        file.reset();
        if (!loaded) {
            state.SkipWithError("load failed");
            break;
        }
        readSeconds += Seconds(readEnd - readStart);
        loadSeconds += Seconds(loadEnd - loadStart);
        bestRead = std::min(bestRead, Seconds(readEnd - readStart));
        bestLoad = std::min(bestLoad, Seconds(loadEnd - loadStart));
        state.SetIterationTime(Seconds(loadEnd - loadStart));
    }
    const double runs = double(state.iterations());
    state.counters["file_MB"] = double(map.sizeBytes) / 1e6;
    state.counters["read_ms"] = 1e3 * readSeconds / runs;
    state.counters["load_ms"] = 1e3 * loadSeconds / runs;
    state.counters["load_MB_per_s"] = double(map.sizeBytes) / 1e6 / (loadSeconds / runs);
    state.counters["load_over_read"] = loadSeconds / readSeconds;
    state.counters["best_load_over_read"] = bestLoad / bestRead;
}
BENCHMARK(BM_LoadVlAgainstRead)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Resident memory added while the map stays loaded (its file buffer already freed), against the
// file's size. Freed heap from earlier benchmarks is handed back first so that it is not reused
// unseen.
void BM_ResidentMemoryOfALoadedMap(benchmark::State& state) {
    const MapOnDisk& map = GeneratedMap();
    double added = 0.0;
    for (auto _ : state) {
        malloc_trim(0);
        const int64_t before = ResidentBytes();
        auto file = std::make_unique<formats::ImgFile>();
        if (!file->Load(map.path)) {
            state.SkipWithError("load failed");
            break;
        }
        added = double(ResidentBytes() - before);
        state.PauseTiming();
        file.reset();
        state.ResumeTiming();
    }
    state.counters["file_MB"] = double(map.sizeBytes) / 1e6;
    state.counters["rss_added_MB"] = added / 1e6;
    state.counters["rss_over_file"] = added / double(map.sizeBytes);
}
BENCHMARK(BM_ResidentMemoryOfALoadedMap)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
