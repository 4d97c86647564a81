#pragma once

// What the map window tests look at inside CMapWnd, and the data homes they open it on.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <functional>

#include "app/map_wnd.h"
#include "fixed_window.h"
#include "synthetic_maps.h"
#include "temp_home.h"

namespace app {

class CMapWndTestAccess {
public:
    static bool& Positioning(CMapWnd& window) { return window.positioning_; }
    static int PendingZoom(const CMapWnd& window) { return window.pendingZoom_; }
    static int RedrawRequests(CMapWnd& window) { return window.model_.RedrawRequests(); }
    static const DragTracker& Drag(const CMapWnd& window) { return window.drag_; }
    static QSize ArrowDrawnSize(const CMapWnd& window) {
        return QSize(window.arrowDrawnWidth_, window.arrowDrawnHeight_);
    }
    static QSize ArrowImageSize(const CMapWnd& window) {
        return QSize(window.arrowWidth_, window.arrowHeight_);
    }
    static QSize CornerButtonSize(const CMapWnd& window) { return window.cornerButton_.size(); }
    static platform::ColorRef Background(const CMapWnd& window) {
        return window.background_.load();
    }
    static platform::ColorRef OverlayText(const CMapWnd& window) { return window.overlayText_; }
    // One render on this thread, as the drawing thread does it, for tests without threads.
    static void RenderNow(CMapWnd& window) {
        window.model_.TakeRedrawRequests();
        window.RenderOnce();
    }
};

}  // namespace app

namespace mapwnd_test {

// A 240 × 320 handheld screen 53 mm wide; `large` gives a 480 × 640 one of the same size.
inline platform::ScreenMetrics Handheld(bool large = false) {
    return large ? ScreenOf(480, 640, 53, 71) : ScreenOf(240, 320, 53, 71);
}

// Runs the event loop until `done` or `timeoutMs` have passed; false on time-out.
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) {
            return false;
        }
        QTest::qWait(5);
    }
    return true;
}

}  // namespace mapwnd_test
