#pragma once

#include "platform/rect.h"
#include "platform/screen_metrics.h"

namespace render {

class MapProjection;
class MapWindowView;

// A pixel rectangle; right and bottom are one past the last pixel.
using PixelRect = platform::Rect;

// The zoom state of one canvas: its size now and at 100 %, and the resulting map scale in
// kilometres of ground per centimetre of screen across the window width. Zooming in is limited
// at 0.1 km/cm and zooming out at 50 km/cm.
struct ZoomView {
    // Recomputes the percentages from the two rectangles and, with a window and a projection,
    // the scale. A canvas or base of zero width changes nothing.
    void Update();
    // Resizes current to the percentages of base, keeping its left and top edges, then Update.
    void ApplyPercent();
    // Enlarges the canvas by 10 % per started 10 of `step`, compounding. False, with nothing
    // changed, at 0.1 km/cm or closer.
    bool ZoomIn(int step);
    // Shrinks the canvas by 10 % per started 10 of `step`, ending early below 20 % or past
    // 60 km/cm; a step that would leave either axis below 10 % is undone. False, with nothing
    // changed, at 50 km/cm or wider.
    bool ZoomOut(int step);
    // Steps by ZoomIn or ZoomOut with step 50 until the scale is at or beyond `targetKmPerCm`.
    // False when a step was refused or changed nothing.
    bool ZoomToScale(float targetKmPerCm);
    // A freshly loaded base map: canvas and base both (0, 0, width, height) at 100 %.
    void Reset(int canvasWidth, int canvasHeight, const platform::ScreenMetrics& metrics);

    const MapWindowView* window = nullptr;  // borrowed; the scale is measured across its width
    MapProjection* projection = nullptr;    // borrowed; the box the canvas shows
    float scale = 0.0f;                     // km per cm
    PixelRect current;
    PixelRect base;
    int zoomPercentX = 100;
    int zoomPercentY = 100;
    int screenWidthMm = 0;
    int screenHeightMm = 0;
    int screenWidthPx = 0;
    int screenHeightPx = 0;
};

// The scale in whole metres per centimetre, which chooses a map file's detail level.
float ZoomResolution(float scale);

}  // namespace render
