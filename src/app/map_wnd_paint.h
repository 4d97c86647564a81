#pragma once

// The overlays of the map window, composed over a copy of the map image at every paint, in
// this order: GPS arrow, compass, speed panel, scale bar, accuracy figures, POI announcement,
// corner button, the name of the road under the position.

#include <QImage>
#include <QPoint>
#include <QString>

#include <functional>

#include "platform/color.h"
#include "platform/screen_metrics.h"
#include "render/image_buffer.h"
#include "render/label_style.h"

namespace platform {
class PaintContext;
}

namespace app {

struct LastPosition;

// Colour of the road name under the position (0x00BBGGRR), on a white outline.
inline constexpr platform::ColorRef kPositionLabelText = 0x00241CED;
inline constexpr platform::ColorRef kPositionLabelOutline = 0x00FFFFFF;

// Everything one paint shows over the map image; the pictures and styles are borrowed.
struct OverlayFrame {
    int width = 0;
    int height = 0;
    QPoint anchor;
    // The GPS arrow already at its drawn size, white made transparent; null when none loaded.
    const QImage* arrow = nullptr;
    int arrowDrawnHeight = 0;
    const QImage* compass = nullptr;  // grey 0x818181 is its transparent colour
    const LastPosition* position = nullptr;
    float scaleKmPerCm = 0.0f;
    platform::ScreenMetrics screen;
    render::LabelStyle* large = nullptr;
    render::LabelStyle* small = nullptr;
    render::LabelStyle* positionStyle = nullptr;
    platform::ColorRef overlayOutline = 0;
    platform::ColorRef overlayText = 0;
    const QImage* cornerButton = nullptr;  // 32 × pixel scale square, premultiplied alpha
    int pixelScale = 1;
    QString positionLabel;
    std::function<void(platform::PaintContext&, int, int)> announcement;
};

// Draws the overlays onto `buffer` (a copy of the map image of the frame's size). The clock
// counter steps once per call.
void ComposeOverlays(render::ImageBuffer& buffer, const OverlayFrame& frame, int& clockCounter);

// The compass turned so that its north stays on the map's north: by 360 − heading degrees.
void DrawCompass(platform::PaintContext& context, const QImage& compass, int headingDeg);

// Bottom-left: speed in km/h, then altitude in metres or, one paint in four, the elapsed time.
// Returns the top of the panel less 5 pixels: the lowest the position label may reach.
int DrawSpeedPanel(platform::PaintContext& context, render::LabelStyle& large,
                   render::LabelStyle& small, const LastPosition& position, int height,
                   int& clockCounter);

// What the speed panel shows after one step of the clock counter: the elapsed time (true) or
// the altitude (false). From 0: altitude three times, then the time, repeating.
bool StepClockCounter(int& clockCounter);
// "%02d:%02d" of hours and minutes.
QString ElapsedText(int seconds);

// Top-left: a bar one centimetre of screen long and its ground length.
void DrawScaleBar(platform::PaintContext& context, const render::LabelStyle& small,
                  const platform::ScreenMetrics& screen, float scaleKmPerCm, int width, int height);
// Whole pixels in one centimetre of the screen's width; 0 suppresses the bar.
int ScaleBarPixelsPerCm(const platform::ScreenMetrics& screen);
// "%.1fKm" from 1000 metres up, else "%dm", of the scale's whole metres per centimetre.
QString ScaleBarLabel(float scaleKmPerCm);

// The accuracy figures "%d/%dm" in the top-right corner.
QString AccuracyText(int horizontal, int vertical);

// The arrow picture with white made transparent, stretched (nearest pixel) to its drawn size.
QImage PrepareArrow(const QImage& picture, int pixelScale);

}  // namespace app
