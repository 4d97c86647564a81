#pragma once

#include <QPoint>
#include <QSize>

#include "platform/screen_metrics.h"

namespace platform {
class SettingsStore;
}

namespace render {

// What the renderer, its layers and its zoom view need of the map window they draw for. The
// real map window implements it; tests and the headless tools implement it without a widget.
class MapWindowView {
public:
    virtual ~MapWindowView() = default;

    // Size of the window's client area in pixels (the client rectangle is (0, 0) to this size).
    virtual QSize ClientSize() const = 0;

    // The canvas pixel shown at the window's top-left corner.
    virtual QPoint ScrollOffset() const = 0;
    virtual void SetScrollOffset(QPoint offset) = 0;
    // Puts the position under the window centre.
    virtual void CentreOn(float latitude, float longitude) = 0;
    // Adds the catalogued maps that the visible corners need and are not loaded yet.
    virtual void LoadMapsForCorners() = 0;
    // Asks for one more render of the map image.
    virtual void RequestRedraw() = 0;

    // The screen the window is on: resolution, size in millimetres, work area.
    virtual platform::ScreenMetrics Screen() const = 0;
    // The application's large-screen flag: a work area larger than 240 × 320 either way up.
    virtual bool HighResolution() const = 0;
    // The program's settings; null draws with the defaults of every key.
    virtual const platform::SettingsStore* Settings() const = 0;
};

}  // namespace render
