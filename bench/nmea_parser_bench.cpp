// Decoding rate of the NMEA decoder in sentences per second, on the shared receiver logs (or on
// the file named by NMEA_BENCH_INPUT, which bench/nmea_vs_gpsdecode.sh sets so that gpsdecode
// and this decoder read the same bytes).
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>

#include <cstdlib>
#include <string>

#include "gps/nmea_parser.h"

namespace {

std::string Input() {
    QByteArray bytes;
    if (const char* path = std::getenv("NMEA_BENCH_INPUT")) {
        QFile file(QString::fromLocal8Bit(path));
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
    } else {
        const QDir logs(QStringLiteral(VELMORA_SHARED_DATA "/nmea"));
        for (const QString& name : logs.entryList({"*.log"}, QDir::Files, QDir::Name)) {
            QFile file(logs.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                bytes += file.readAll();
        }
    }
    return bytes.toStdString();
}

int64_t CountSentences(const std::string& bytes) {
    int64_t count = 0;
    bool lineStart = true;
    for (char c : bytes) {
        if (lineStart && (c == '$' || c == '!'))
            ++count;
        lineStart = c == '\n';
    }
    return count;
}

void BM_DecodeNmea(benchmark::State& state) {
    const std::string bytes = Input();
    if (bytes.empty()) {
        state.SkipWithError("no NMEA input (shared logs absent?)");
        return;
    }
    const int64_t sentences = CountSentences(bytes);
    int64_t fixes = 0;
    for (auto _ : state) {
        gps::NmeaParser parser(
            [&fixes](const gps::NmeaFix& fix) { fixes += fix.position.validFields != 0; });
        parser.Feed(bytes.data(), bytes.size());
        parser.Flush();
        benchmark::DoNotOptimize(fixes);
    }
    state.SetItemsProcessed(state.iterations() * sentences);
    state.SetBytesProcessed(state.iterations() * int64_t(bytes.size()));
    state.counters["sentences"] = double(sentences);
}
BENCHMARK(BM_DecodeNmea)->Unit(benchmark::kMillisecond);

}  // namespace
