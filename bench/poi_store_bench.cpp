// Cost of the POI store on its hot paths, each beside a baseline: drawing 100 000 POIs of which
// 1 000 are in an 800 × 480 view (against clearing the frame and an empty store), checking a
// fix against 100 000 POIs (against an empty store), and reading a 100 000-line POI file
// (against an empty one).
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <memory>

#include "paint/paint_context.h"
#include "platform/settings_store.h"
#include "poi/poi_announcement.h"
#include "poi/poi_store.h"
#include "render/map_projection.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 480;
constexpr int kPois = 100000;
// POIs spread over 10° × 10°; the view is 1° × 1° of it, so about 1 000 are in view.
constexpr float kSpreadDeg = 10.0f;

// A data home whose ticked POI file holds `lines` POIs with a sound, spread evenly.
class PoiBenchHome {
public:
    explicit PoiBenchHome(int lines) {
        settings_ = platform::SettingsStore::OpenForHome(dir_.path());
        settings_->Set(platform::settings::kEnabledPoiFiles, 0, "bench.poi");
        settings_->Set(platform::settings::kEnabledPoiFiles, 1, ",,,");
        QByteArray text;
        uint32_t seed = 7u;
        auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return double(seed >> 8) / double(1u << 24);
        };
        for (int i = 0; i < lines; ++i) {
            text += QByteArray::number(next() * kSpreadDeg, 'f', 6) + '|' +
                    QByteArray::number(next() * kSpreadDeg, 'f', 6) +
                    "|Fuel station|Open 24 h|fuel.bmp|fuel.wav\r\n";
        }
        QDir().mkpath(dir_.path() + "/POI");
        QFile file(dir_.path() + "/POI/bench.poi");
        if (file.open(QIODevice::WriteOnly)) {
            file.write(text);
        }
    }
    std::unique_ptr<poi::PoiStore> Store() const {
        auto store = std::make_unique<poi::PoiStore>(dir_.path(), settings_.get());
        store->SetSoundPlayer(nullptr);
        store->Reload();
        return store;
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<platform::SettingsStore> settings_;
};

render::MapProjection View() {
    render::MapProjection projection;
    projection.SetBounds("", "", 1.0f, 0.0f, 0.0f, 1.0f);
    return projection;
}

void DrawFrame(benchmark::State& state, const poi::PoiStore* store) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    paint::PaintContext context(&image);
    const render::MapProjection projection = View();
    for (auto _ : state) {
        context.FillRect({0, 0, kWidth, kHeight}, 0x00FFFFFF);
        if (store) {
            store->Draw(context, kWidth / 2, kHeight / 2, kWidth, kHeight, projection);
        }
    }
}

void BM_FrameWithoutPois(benchmark::State& state) {
    DrawFrame(state, nullptr);
}
BENCHMARK(BM_FrameWithoutPois)->Unit(benchmark::kMicrosecond);

void BM_FrameWithEmptyStore(benchmark::State& state) {
    const PoiBenchHome home(0);
    const auto store = home.Store();
    DrawFrame(state, store.get());
}
BENCHMARK(BM_FrameWithEmptyStore)->Unit(benchmark::kMicrosecond);

void BM_FrameWith100kPois1kInView(benchmark::State& state) {
    const PoiBenchHome home(kPois);
    const auto store = home.Store();
    DrawFrame(state, store.get());
    state.counters["pois"] = store->Count();
}
BENCHMARK(BM_FrameWith100kPois1kInView)->Unit(benchmark::kMicrosecond);

void CheckFixes(benchmark::State& state, poi::PoiStore& store) {
    poi::PoiAnnouncement announcement;
    float lat = 5.0f;
    for (auto _ : state) {
        // A fix moving north by about 10 m a step.
        lat += 0.0001f;
        store.CheckAnnouncements(lat, 5.0f, announcement);
    }
}

void BM_CheckAnnouncementsEmptyStore(benchmark::State& state) {
    const PoiBenchHome home(0);
    const auto store = home.Store();
    CheckFixes(state, *store);
}
BENCHMARK(BM_CheckAnnouncementsEmptyStore)->Unit(benchmark::kMicrosecond);

void BM_CheckAnnouncements100kPois(benchmark::State& state) {
    const PoiBenchHome home(kPois);
    const auto store = home.Store();
    CheckFixes(state, *store);
}
BENCHMARK(BM_CheckAnnouncements100kPois)->Unit(benchmark::kMicrosecond);

void BM_ReloadEmptyFile(benchmark::State& state) {
    const PoiBenchHome home(0);
    const auto store = home.Store();
    for (auto _ : state) {
        store->Reload();
    }
}
BENCHMARK(BM_ReloadEmptyFile)->Unit(benchmark::kMillisecond);

void BM_Reload100kLines(benchmark::State& state) {
    const PoiBenchHome home(kPois);
    const auto store = home.Store();
    for (auto _ : state) {
        store->Reload();
    }
    state.counters["pois"] = store->Count();
}
BENCHMARK(BM_Reload100kLines)->Unit(benchmark::kMillisecond);

}  // namespace
