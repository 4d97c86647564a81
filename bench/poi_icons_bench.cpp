// Cost of the point icons of one frame: the table walk, and drawing icons stretched to 24 and
// 48 pixels on an 800 × 480 map image.
#include <benchmark/benchmark.h>

#include <QImage>

#include <vector>

#include "paint/paint_context.h"
#include "render/poi_icons.h"

namespace {

struct PointCode {
    int type;
    int subtype;
};

// Codes spread over the table, a few of them missing from it.
std::vector<PointCode> Codes(int count) {
    std::vector<PointCode> codes;
    unsigned seed = 2024u;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const auto& row = render::PoiIconTable()[(seed >> 8) % render::kPoiIconRowCount];
        codes.push_back({row.type, row.subtypeHigh == 0 ? row.subtypeLow : int(seed >> 24)});
    }
    return codes;
}

void BM_PoiIconIndex(benchmark::State& state) {
    const std::vector<PointCode> codes = Codes(1000);
    for (auto _ : state) {
        int sum = 0;
        for (const PointCode& code : codes) {
            sum += render::PoiIconIndex(code.type, code.subtype);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(codes.size()));
}
BENCHMARK(BM_PoiIconIndex);

// 200 icons per frame, the most a dense view shows.
void BM_DrawPoiIcons(benchmark::State& state) {
    const bool highResolution = state.range(0) != 0;
    render::PoiIconStrip strip;
    if (!strip.Load(":/images/POI.bmp")) {
        state.SkipWithError("no built-in strip");
        return;
    }
    const std::vector<PointCode> codes = Codes(200);
    QImage image(800, 480, QImage::Format_RGB32);
    image.fill(Qt::white);
    paint::PaintContext context(&image);
    for (auto _ : state) {
        int i = 0;
        for (const PointCode& code : codes) {
            strip.Draw(context, (i * 37) % 760, (i * 53) % 440, code.type, code.subtype,
                       highResolution);
            ++i;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(codes.size()));
}
BENCHMARK(BM_DrawPoiIcons)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
