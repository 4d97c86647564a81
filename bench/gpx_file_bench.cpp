// Reading a large GPX file: 200 000 waypoints and 20 routes of 10 000 points, about 45 MB laid
// out as common GPS programs write it. Our reader is measured beside a bare walk of the same
// file with the XML parser alone, in the same run. The memory case reports the peak resident
// memory a load adds and what the loaded shapes keep.
//
// The file is written to $VELMORA_GPX_BENCH_FILE when that is set (and kept, so that
// bench/gpx_vs_peers.sh can time other readers on it), else to a temporary file.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <pugixml.hpp>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "formats/gpx_file.h"
#include "platform/c_format.h"

namespace {

constexpr int kWaypoints = 200000;
constexpr int kRoutes = 20;
constexpr int kPointsPerRoute = 10000;
constexpr double kMiB = 1024.0 * 1024.0;

class Lcg {
public:
    // Uniform in [low, high).
    double Next(double low, double high) {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return low + (high - low) * double(state_ >> 11) / double(1ull << 53);
    }

private:
    uint64_t state_ = 7;
};

bool WriteBenchFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    Lcg random;
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"velmora bench\" "
        "xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
    auto flush = [&] {
        const bool ok = file.write(text.data(), qint64(text.size())) == qint64(text.size());
        text.clear();
        return ok;
    };
    for (int i = 0; i < kWaypoints; ++i) {
        const double lat = random.Next(40.0, 48.0);
        const double lon = random.Next(5.0, 17.0);
        const double ele = random.Next(0.0, 3000.0);
        text += platform::FormatC(
            "  <wpt lat=\"%.7f\" lon=\"%.7f\">\n    <ele>%.1f</ele>\n"
            "    <time>2024-05-01T%02d:%02d:%02dZ</time>\n    <name>Waypoint %06d</name>\n"
            "  </wpt>\n",
            lat, lon, ele, i / 3600 % 24, i / 60 % 60, i % 60, i);
        if (text.size() > (1u << 20) && !flush()) {
            return false;
        }
    }
    for (int r = 0; r < kRoutes; ++r) {
        text += platform::FormatC("  <rte>\n    <name>Route %d</name>\n", r);
        for (int j = 0; j < kPointsPerRoute; ++j) {
            const double lat = random.Next(40.0, 48.0);
            const double lon = random.Next(5.0, 17.0);
            const double ele = random.Next(0.0, 3000.0);
            text += platform::FormatC(
                "    <rtept lat=\"%.7f\" lon=\"%.7f\">\n      <ele>%.1f</ele>\n    </rtept>\n", lat,
                lon, ele);
        }
        text += "  </rte>\n";
        if (!flush()) {
            return false;
        }
    }
    text += "</gpx>\n";
    return flush();
}

// The bench file, written on first use.
class BenchFile {
public:
    static const BenchFile& Get() {
        static const BenchFile file;
        return file;
    }
    bool Ok() const { return ok_; }
    const QString& Path() const { return path_; }
    int64_t Size() const { return QFileInfo(path_).size(); }

private:
    BenchFile() {
        const QByteArray wanted = qgetenv("VELMORA_GPX_BENCH_FILE");
        if (!wanted.isEmpty()) {
            path_ = QString::fromLocal8Bit(wanted);
        } else {
            dir_ = std::make_unique<QTemporaryDir>();
            path_ = dir_->filePath(QStringLiteral("bench.gpx"));
        }
        ok_ = WriteBenchFile(path_);
    }

    std::unique_ptr<QTemporaryDir> dir_;
    QString path_;
    bool ok_ = false;
};

// A value of /proc/self/status, in kB.
long StatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t keyLength = std::strlen(key);
    while (std::getline(status, line)) {
        if (line.compare(0, keyLength, key) == 0 && line.size() > keyLength &&
            line[keyLength] == ':') {
            return std::stol(line.substr(keyLength + 1));
        }
    }
    return -1;
}

// Makes the peak resident size start again from the current one.
bool ResetPeakResident() {
    std::FILE* file = std::fopen("/proc/self/clear_refs", "w");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fputs("5", file) >= 0;
    return std::fclose(file) == 0 && written;
}

// Run first, in a heap that no earlier load has grown.
void BM_GpxLoadMemory(benchmark::State& state) {
    const BenchFile& bench = BenchFile::Get();
    if (!bench.Ok()) {
        state.SkipWithError("cannot write the bench file");
        return;
    }
    for (auto _ : state) {
        if (!ResetPeakResident()) {
            state.SkipWithError("cannot reset the peak resident size");
            return;
        }
        const long beforeKb = StatusKb("VmRSS");
        auto file = std::make_unique<formats::GPXFile>();
        if (!file->Load(bench.Path())) {
            state.SkipWithError("load failed");
            return;
        }
        const long peakKb = StatusKb("VmHWM");
        const long heldKb = StatusKb("VmRSS");
        const double fileMiB = double(bench.Size()) / kMiB;
        const double shapesMiB = double(heldKb - beforeKb) / 1024.0;
        const double peakMiB = double(peakKb - beforeKb) / 1024.0;
        state.counters["fileMiB"] = fileMiB;
        state.counters["shapesMiB"] = shapesMiB;
        state.counters["peakMiB"] = peakMiB;
        state.counters["limitMiB"] = 2.0 * fileMiB + shapesMiB;
        state.counters["peakOverLimit"] = peakMiB / (2.0 * fileMiB + shapesMiB);
        state.PauseTiming();
        file.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_GpxLoadMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_GpxLoad(benchmark::State& state) {
    const BenchFile& bench = BenchFile::Get();
    if (!bench.Ok()) {
        state.SkipWithError("cannot write the bench file");
        return;
    }
    int64_t objects = 0;
    for (auto _ : state) {
        formats::GPXFile file;
        if (!file.Load(bench.Path())) {
            state.SkipWithError("load failed");
            return;
        }
        objects = int64_t(file.levels.front()->shapes.size());
        state.PauseTiming();  // freeing the shapes is not reading
        file.Clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bench.Size());
    state.counters["objects"] = double(objects);
}
BENCHMARK(BM_GpxLoad)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The XML parser alone: the file parsed into one tree and every wpt and rte with their children
// visited, nothing built.
void BM_BarePugixmlWalk(benchmark::State& state) {
    const BenchFile& bench = BenchFile::Get();
    if (!bench.Ok()) {
        state.SkipWithError("cannot write the bench file");
        return;
    }
    const std::string path = bench.Path().toStdString();
    for (auto _ : state) {
        pugi::xml_document document;
        if (!document.load_file(path.c_str())) {
            state.SkipWithError("parse failed");
            return;
        }
        size_t visited = 0;
        for (pugi::xml_node item : document.document_element().children()) {
            for (pugi::xml_node child : item.children()) {
                visited += child.attribute("lat") ? 1 : 0;
            }
            ++visited;
        }
        benchmark::DoNotOptimize(visited);
        state.PauseTiming();
        document.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bench.Size());
}
BENCHMARK(BM_BarePugixmlWalk)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
