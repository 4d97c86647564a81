// Frames of the map renderer on a dense map of the Andorra extract's size: full DrawAll frames
// at the views of the performance targets, frames while scrolling, and the Prepare that follows
// a zoom step. Maps built by vlmake can stand in for the synthetic one: set VELMORA_BENCH_HOME
// to a data home whose Maps folder holds them.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

#include "bench_maps.h"
#include "paint/paint_context.h"
#include "platform/screen_metrics.h"
#include "render/map_window_model.h"

namespace {

constexpr float kCentreLat = 42.5063f;
constexpr float kCentreLon = 1.5218f;

QString BenchHome() {
    return Maps().home;
}

// A map window of the given size on a 96-dpi screen of that size, showing Andorra la Vella.
struct View {
    View(int width, int height, float scale, float heading, bool night)
        : window(BenchHome(),
                 *platform::ScreenMetrics::Parse(QString("%1x%2").arg(width).arg(height)), nullptr),
          image(width, height, QImage::Format_RGB32),
          context(&image),
          background(night ? render::kMapBackgroundNight : render::kMapBackgroundDay) {
        window.Renderer().SetNightMode(night);
        window.Catalogue().Build();
        window.Resize(width, height);
        window.LoadMapAt(kCentreLat, kCentreLon);
        window.ApplyScale(scale);
        window.SetHeading(heading);
        window.SetPosition(kCentreLat, kCentreLon, 0.0f, heading);
        window.Render(context, background);
    }

    double PrepareMs() {
        double total = 0.0;
        for (int i = 0; i < window.Renderer().EntryCount(); ++i) {
            if (const render::MapLayer* layer = window.Renderer().Entry(i).layer.get()) {
                total += layer->LastPrepareMs();
            }
        }
        return total;
    }

    render::MapWindowModel window;
    QImage image;
    paint::PaintContext context;
    platform::ColorRef background;
};

// Arguments: width, height, scale in metres per cm, heading in degrees, night. Timed by the
// clock: the lower band of the lines and areas is painted by a second thread.
void BM_DrawAllFrame(benchmark::State& state) {
    View view(int(state.range(0)), int(state.range(1)), float(state.range(2)) / 1000.0f,
              float(state.range(3)), state.range(4) != 0);
    for (auto _ : state) {
        view.window.Render(view.context, view.background);
    }
    state.counters["scaleKmPerCm"] = view.window.Renderer().view.scale;
    state.SetLabel(Maps().name);
}

void FrameViews(benchmark::internal::Benchmark* bench) {
    for (const auto& size : {std::pair{800, 480}, std::pair{1920, 1080}}) {
        for (int metresPerCm : {100, 500, 2000, 10000}) {
            for (int heading : {0, 37}) {
                for (int night : {0, 1}) {
                    bench->Args({size.first, size.second, metresPerCm, heading, night});
                }
            }
        }
    }
    bench->ArgNames({"w", "h", "mPerCm", "heading", "night"})->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_DrawAllFrame)->Apply(FrameViews)->UseRealTime();

// The same frames painted by one thread alone, beside the two bands (the slowest views).
void BM_DrawAllFrameOneThread(benchmark::State& state) {
    View view(int(state.range(0)), int(state.range(1)), float(state.range(2)) / 1000.0f,
              float(state.range(3)), false);
    view.context.SetBandsAllowed(false);
    for (auto _ : state) {
        view.window.Render(view.context, view.background);
    }
    state.SetLabel(Maps().name);
}
BENCHMARK(BM_DrawAllFrameOneThread)
    ->Args({800, 480, 500, 37})
    ->Args({1920, 1080, 100, 37})
    ->ArgNames({"w", "h", "mPerCm", "heading"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A frame after the view moved by a few pixels, as under a moving position: no Prepare.
void BM_ScrollFrame(benchmark::State& state) {
    View view(800, 480, float(state.range(0)) / 1000.0f, 37.0f, false);
    int step = 0;
    for (auto _ : state) {
        const int dx = (step++ % 16) - 8;
        view.window.SetScrollOffset(view.window.ScrollOffset() + QPoint(dx, dx / 2));
        view.window.Render(view.context, view.background);
    }
}
BENCHMARK(BM_ScrollFrame)
    ->Arg(500)
    ->Arg(2000)
    ->ArgName("mPerCm")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The Prepare of the layers after one zoom step (in and out in turn), timed alone.
void BM_PrepareAfterZoom(benchmark::State& state) {
    View view(int(state.range(0)), int(state.range(1)), 0.5f, 0.0f, false);
    bool in = true;
    for (auto _ : state) {
        in ? view.window.ZoomIn(10) : view.window.ZoomOut(10);
        in = !in;
        view.window.Render(view.context, view.background);
        state.SetIterationTime(view.PrepareMs() / 1000.0);
    }
}
BENCHMARK(BM_PrepareAfterZoom)
    ->Args({800, 480})
    ->Args({1920, 1080})
    ->ArgNames({"w", "h"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
