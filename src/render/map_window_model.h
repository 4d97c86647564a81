#pragma once

// The map window without its widget: client size and anchor point, scroll offset into the
// renderer's canvas, the positioning of a position at the anchor, zooming about the anchor,
// loading the catalogued maps under the visible corners, and one render of the map image. The
// program's map window keeps one and adds input, painting and threads; the headless tools and
// the tests use it as it is.

#include <QPoint>
#include <QSize>
#include <QString>

#include <atomic>
#include <optional>
#include <vector>

#include "platform/color.h"
#include "platform/screen_metrics.h"
#include "render/map_catalogue.h"
#include "render/map_renderer.h"
#include "render/map_window_view.h"

namespace paint {
class PaintContext;
}

namespace platform {
class SettingsStore;
}  // namespace platform

namespace render {

// Background of the map image, by day and by night.
inline constexpr platform::ColorRef kMapBackgroundDay = 0x9CE4F5;
inline constexpr platform::ColorRef kMapBackgroundNight = 0x595442;

class MapWindowModel : public MapWindowView {
public:
    // Speeds at or below this (km/h) keep the map's rotation.
    static constexpr float kTurnSpeedKmh = 2.0f;

    // The maps of programFolder + "/Maps". The settings are borrowed and may be null.
    MapWindowModel(const QString& programFolder, const platform::ScreenMetrics& screen,
                   const platform::SettingsStore* settings);
    ~MapWindowModel() override;

    // A new client size; the anchor is half the width and two thirds of the height.
    void Resize(int width, int height);
    QPoint Anchor() const { return anchor_; }

    // The catalogued map that contains the position as the base map; false, with nothing
    // loaded, when none does.
    bool LoadMapAt(float latitude, float longitude);
    // The zoom value (km/cm), when a map is loaded (else kept for the first map that loads under
    // a position). The next SetPosition sets it again once the
    // maps around the position are loaded, so that it lands where it would on one map of the
    // whole region.
    void ApplyScale(float kmPerCm);
    // Turns the map to the heading when faster than kTurnSpeedKmh, puts the position at the
    // anchor and loads the maps the visible corners need; with no map loaded, first the map
    // under the position.
    void SetPosition(float latitude, float longitude, float speedKmh, float headingDeg);
    // Turns the renderer's box and every entry's (degrees clockwise from north up).
    void SetHeading(float headingDeg);
    // Zooms about the anchor's position; false at the zoom limits.
    bool ZoomIn(int step);
    bool ZoomOut(int step);
    // Adds the catalogued maps under uncovered corners of the window and keeps the centre in
    // place; false when nothing was added.
    bool ScrollToPosition();

    // One render into `context` (a surface of the client size): filled with the background,
    // drawn at the scroll offset, and filled and drawn again when the base map switched.
    bool Render(paint::PaintContext& context, platform::ColorRef background);

    MapRenderer& Renderer() { return renderer_; }
    MapCatalogue& Catalogue() { return catalogue_; }
    int RedrawRequests() const { return redrawRequests_.load(); }
    // The requests made since the last call, leaving none; any thread.
    int TakeRedrawRequests() { return redrawRequests_.exchange(0); }
    void SetHighResolution(bool high) { highResolution_ = high; }

    // MapWindowView
    QSize ClientSize() const override { return client_; }
    QPoint ScrollOffset() const override { return scroll_; }
    void SetScrollOffset(QPoint offset) override { scroll_ = offset; }
    void CentreOn(float latitude, float longitude) override;
    void LoadMapsForCorners() override { ScrollToPosition(); }
    void RequestRedraw() override { ++redrawRequests_; }
    platform::ScreenMetrics Screen() const override { return screen_; }
    bool HighResolution() const override { return highResolution_; }
    const platform::SettingsStore* Settings() const override { return settings_; }

private:
    // Closest together two points of the ScrollToPosition grid may lie: a map narrower than this
    // on the screen may be missed.
    static constexpr float kMinGridStepPx = 2.0f;
    // Times SetPosition sets a pending scale again while that loads more maps.
    static constexpr int kMaxScaleRepeats = 4;

    bool ZoomAboutAnchor(bool in, int step);
    // The canvas points whose maps the window needs, in the order they are looked up.
    std::vector<QPoint> PointsToCover() const;

    platform::ScreenMetrics screen_;
    const platform::SettingsStore* settings_;
    bool highResolution_;
    MapCatalogue catalogue_;
    MapRenderer renderer_;
    QSize client_;
    QPoint anchor_;
    QPoint scroll_;
    // Counted by any thread: the renderer and the interface ask, the drawing thread takes.
    std::atomic<int> redrawRequests_{0};
    std::optional<float> pendingScaleKmPerCm_;
    // The zoom value last asked for, kept for a map loaded later under a position.
    std::optional<float> askedScaleKmPerCm_;
};

}  // namespace render
