// Throughput of the per-vertex projection calls that every frame makes, and of the zoom steps
// that SetScale runs after each scale change.
#include <benchmark/benchmark.h>

#include <QSize>

#include <vector>

#include "fixed_window.h"
#include "render/map_projection.h"
#include "render/map_window_view.h"
#include "render/zoom_view.h"

namespace {

constexpr int kCanvasWidth = 4800;
constexpr int kCanvasHeight = 3200;

render::MapProjection Box() {
    render::MapProjection projection;
    projection.SetBounds("bench.vl", "TEST", 48.0f, 5.0f, 54.0f, 14.0f);
    return projection;
}

// Points spread over the box and a little beyond it, as the vertices of clipped shapes are.
std::vector<render::GeoPoint> Points(int count) {
    std::vector<render::GeoPoint> points;
    points.reserve(count);
    unsigned seed = 12345u;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return float(seed >> 8) / float(1u << 24);
    };
    for (int i = 0; i < count; ++i) {
        points.push_back({47.5f + 7.0f * next(), 4.5f + 10.0f * next()});
    }
    return points;
}

void BM_GeoToScreen(benchmark::State& state) {
    const render::MapProjection projection = Box();
    const render::MapProjection& shape = projection;  // called through the table, as layers do
    const std::vector<render::GeoPoint> points = Points(int(state.range(0)));
    for (auto _ : state) {
        for (const render::GeoPoint& p : points) {
            benchmark::DoNotOptimize(shape.GeoToScreen(p.lat, p.lon, kCanvasWidth, kCanvasHeight));
        }
    }
    state.SetItemsProcessed(state.iterations() * int64_t(points.size()));
}
BENCHMARK(BM_GeoToScreen)->Arg(4096)->Arg(65536);

void BM_GeoToScreenRotated(benchmark::State& state) {
    render::MapProjection projection = Box();
    projection.SetRotation(37.5f);
    const render::MapProjection& shape = projection;
    const std::vector<render::GeoPoint> points = Points(int(state.range(0)));
    for (auto _ : state) {
        for (const render::GeoPoint& p : points) {
            benchmark::DoNotOptimize(shape.GeoToScreenRotated(
                p.lat, p.lon, kCanvasWidth / 2, kCanvasHeight / 2, kCanvasWidth, kCanvasHeight));
        }
    }
    state.SetItemsProcessed(state.iterations() * int64_t(points.size()));
}
BENCHMARK(BM_GeoToScreenRotated)->Arg(4096)->Arg(65536);

// From a freshly reset view to each target scale in turn, closest to widest.
void BM_ZoomToScaleSweep(benchmark::State& state) {
    render::MapProjection projection = Box();
    const FixedWindow window(QSize(240, 320));
    platform::ScreenMetrics metrics;
    metrics.widthPx = 240;
    metrics.heightPx = 320;
    metrics.widthMm = 53;
    metrics.heightMm = 71;
    const float targets[] = {0.1f, 0.3f, 0.7f, 1.5f, 3.0f, 7.0f, 15.0f, 30.0f, 50.0f};
    render::ZoomView view;
    view.window = &window;
    view.projection = &projection;
    for (auto _ : state) {
        for (const float target : targets) {
            view.Reset(kCanvasWidth, kCanvasHeight, metrics);
            benchmark::DoNotOptimize(view.ZoomToScale(target));
            benchmark::DoNotOptimize(view.scale);
        }
    }
    state.SetItemsProcessed(state.iterations() * int64_t(std::size(targets)));
}
BENCHMARK(BM_ZoomToScaleSweep);

}  // namespace
