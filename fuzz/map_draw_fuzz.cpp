// Drawing whatever a ".vl" file holds: the bytes are parsed as a map, which is loaded into a
// layer and drawn on small and huge canvases, upright and turned, with its labels, and asked
// for the road under a few points. Odd coordinates (NaN, infinities, huge spans, flat boxes)
// must draw something or nothing, never crash.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>

#include "fixed_window.h"
#include "formats/img_file.h"
#include "paint/paint_context.h"
#include "render/map_layer.h"
#include "render/map_projection.h"

namespace {

// A MapFile that parses the fuzzer's bytes instead of reading a file.
class BytesMapFile : public formats::MapFile {
public:
    explicit BytesMapFile(QByteArray bytes) : bytes_(std::move(bytes)) {}
    bool Load(const QString& /*path*/) override {
        auto parsed = std::make_unique<formats::ImgFile>();
        const bool loaded = parsed->LoadFromBytes(bytes_);
        file_ = std::move(parsed);
        if (loaded) {
            east = file_->bounds.east;
            south = file_->bounds.south;
            west = file_->bounds.west;
            north = file_->bounds.north;
        }
        return loaded;
    }

private:
    QByteArray bytes_;
};

// The window looks at `origin` of the canvas; by default a third of the way in.
void DrawOn(render::MapLayer& layer, const FixedWindow& window, int canvas, float heading,
            float scale, std::optional<QPoint> origin = std::nullopt) {
    render::MapProjection projection;
    projection.SetBounds("", "TEST", layer.North(), layer.West(), layer.South(), layer.East());
    projection.SetRotation(heading);
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::white);
    paint::PaintContext context(&image);
    context.SetViewportOrigin(origin.value_or(QPoint(-canvas / 3, -canvas / 4)));
    render::LabelList labels;
    layer.Draw(window, context, canvas, canvas, projection, 0, labels, scale);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    FixedWindow window(QSize(64, 48));
    window.screen = ScreenOf(64, 48, 17, 13);
    render::DrawMapGPX layer([&bytes] { return std::make_unique<BytesMapFile>(bytes); });
    if (!layer.Load("fuzz.vl", window)) {
        return 0;
    }
    layer.SetNightMode(size % 2 == 1);
    DrawOn(layer, window, 64, 0.0f, 0.5f);
    DrawOn(layer, window, 100000, 37.0f, 0.1f);
    layer.GrowLabelFont();
    DrawOn(layer, window, 640, 300.0f, 20.0f);
    // Scrolled to the far ends of the canvas, where positions saturate at the int limits.
    constexpr int kMax = std::numeric_limits<int>::max();
    DrawOn(layer, window, kMax, 0.0f, 0.1f, QPoint(-(kMax - 40), -(kMax - 30)));
    DrawOn(layer, window, kMax, 90.0f, 0.1f, QPoint(kMax - 10, kMax - 10));
    QString name;
    layer.FindStreetName(layer.North(), layer.West(), name);
    layer.Contains(layer.South(), layer.East());
    return 0;
}
