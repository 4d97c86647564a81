#include "render/zoom_view.h"

#include <cmath>
#include <cstdint>

#include "platform/mul_div.h"
#include "render/map_projection.h"

namespace render {

namespace {

constexpr float kClosestKmPerCm = 0.1f;
constexpr float kWidestKmPerCm = 50.0f;
// A multi-pass zoom out stops early once it has gone this far past the widest zoom.
constexpr float kZoomOutOvershootKmPerCm = 60.0f;

int Extent(int from, int to) {
    return SaturateToInt(int64_t{to} - from);
}

int Offset(int edge, int size) {
    return SaturateToInt(int64_t{edge} + size);
}

// ±10 % in integer percent, truncated toward zero: below 10 % the change is 0.
int GrowByTenth(int percent) {
    return SaturateToInt(percent + int64_t{percent} * 10 / 100);
}

int ShrinkByTenth(int percent) {
    return SaturateToInt(percent - int64_t{percent} * 10 / 100);
}

}  // namespace

void ZoomView::Update() {
    const int width = Extent(current.left, current.right);
    const int baseWidth = Extent(base.left, base.right);
    if (width == 0 || baseWidth == 0) {
        return;
    }
    const int height = Extent(current.top, current.bottom);
    zoomPercentX = platform::MulDiv(width, 100, baseWidth);
    zoomPercentY = platform::MulDiv(height, 100, Extent(base.top, base.bottom));
    // Without a projection there is no box to measure; the scale keeps its value as it does
    // without a window.
    if (window != nullptr && projection != nullptr) {
        scale = projection->WidthDistanceKm(*window, width, height) * 10.0f / float(screenWidthMm);
    }
}

void ZoomView::ApplyPercent() {
    const int newWidth = platform::MulDiv(Extent(base.left, base.right), zoomPercentX, 100);
    const int newHeight = platform::MulDiv(Extent(base.top, base.bottom), zoomPercentY, 100);
    if (current.left > current.right) {
        current.left = Offset(current.right, newWidth);
    } else {
        current.right = Offset(current.left, newWidth);
    }
    if (current.top >= current.bottom) {
        current.top = Offset(current.bottom, newHeight);
    } else {
        current.bottom = Offset(current.top, newHeight);
    }
    Update();
}

bool ZoomView::ZoomIn(int step) {
    Update();
    if (scale <= kClosestKmPerCm) {
        return false;
    }
    if (step > 0) {
        const int passes = (step - 1) / 10 + 1;
        for (int pass = 0; pass < passes; ++pass) {
            zoomPercentX = GrowByTenth(zoomPercentX);
            zoomPercentY = GrowByTenth(zoomPercentY);
        }
    }
    // No upper bound here: one call may overshoot below the closest zoom, and the next is
    // refused.
    ApplyPercent();
    return true;
}

bool ZoomView::ZoomOut(int step) {
    Update();
    if (scale >= kWidestKmPerCm) {
        return false;
    }
    const int origX = zoomPercentX;
    const int origY = zoomPercentY;
    if (step > 0) {
        for (int k = 0;; k += 10) {
            zoomPercentX = ShrinkByTenth(zoomPercentX);
            zoomPercentY = ShrinkByTenth(zoomPercentY);
            if (zoomPercentX < 20 || zoomPercentY < 20) {
                break;
            }
            ApplyPercent();
            if (scale >= kZoomOutOvershootKmPerCm || k + 10 >= step) {
                break;
            }
        }
    }
    // Percentages of 10 to 19 that ended the loop are kept; below 10 the step is undone.
    if (zoomPercentX < 10) {
        zoomPercentX = origX;
        zoomPercentY = origY;
    }
    if (zoomPercentY < 10) {
        zoomPercentX = origX;
        zoomPercentY = origY;
    }
    ApplyPercent();
    return true;
}

bool ZoomView::ZoomToScale(float targetKmPerCm) {
    // A step that leaves the scale as it was would be repeated for ever: without a window the
    // scale never moves, a percentage below 10 cannot grow, and a small map may stay closer
    // than the widest zoom even at 10 %.
    if (targetKmPerCm < scale) {
        while (targetKmPerCm < scale) {
            const float before = scale;
            if (!ZoomIn(50) || scale == before) {
                return false;
            }
        }
        return true;
    }
    if (targetKmPerCm > scale) {
        while (targetKmPerCm > scale) {
            const float before = scale;
            if (!ZoomOut(50) || scale == before) {
                return false;
            }
        }
        return true;
    }
    // Already at the target; false only when the scale or the target is NaN.
    return targetKmPerCm == scale;
}

void ZoomView::Reset(int canvasWidth, int canvasHeight, const platform::ScreenMetrics& metrics) {
    current = PixelRect{0, 0, canvasWidth, canvasHeight};
    base = current;
    zoomPercentX = 100;
    zoomPercentY = 100;
    screenWidthMm = metrics.widthMm;
    screenHeightMm = metrics.heightMm;
    screenWidthPx = metrics.widthPx;
    screenHeightPx = metrics.heightPx;
    Update();
}

float ZoomResolution(float scale) {
    // Truncation in double rather than through an int, so a huge scale cannot overflow.
    return float(std::trunc(double(scale) * 1000.0));
}

}  // namespace render
