#pragma once

#include <QPoint>
#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "platform/rect.h"

namespace render {

class MapWindowView;

// A position in decimal degrees, north and east positive.
struct GeoPoint {
    float lat = 0.0f;
    float lon = 0.0f;
};

// Floor of a float known to lie within the int range: truncation toward zero, stepped down for
// negative fractions, without a library call.
inline int FloorInIntRange(float value) {
    const int truncated = int(value);
    return float(truncated) > value ? truncated - 1 : truncated;
}

// Floor of a pixel value computed in float, saturated at the int range. NaN gives 0. Infinite
// values are expected from a box with a zero span and become the nearest int limit. Inline:
// every projected and turned point takes two.
inline int FloorToPixel(float value) {
    // Converting a float outside the int range (or NaN) to int is undefined. 2^31 is exact in
    // float; every float below it and at or above -2^31 fits in an int. NaN fails both tests.
    if (value >= -2147483648.0f && value < 2147483648.0f) {
        return FloorInIntRange(value);
    }
    if (std::isnan(value)) {
        return 0;
    }
    return value > 0.0f ? std::numeric_limits<int>::max() : std::numeric_limits<int>::min();
}

// Saturating pixel arithmetic, shared with the platform's rectangles.
using platform::AddPixels;
using platform::SaturateToInt;
using platform::SubtractPixels;

// A geographic box stretched linearly over a canvas of width × height pixels: longitude grows
// to the right from `left`, latitude grows upward from `bottom`, with no cos(latitude)
// correction. The picture may be turned about a centre point. All arithmetic is single
// precision in the order written; pixel results are floored.
class MapProjection {
public:
    MapProjection();

    // Canvas pixel of a position. width and height are the canvas size, not the window's.
    virtual QPoint GeoToScreen(float lat, float lon, int width, int height) const;
    // GeoToScreen, then turned about (cx, cy) as RotatePoint does.
    virtual QPoint GeoToScreenRotated(float lat, float lon, int cx, int cy, int width,
                                      int height) const;
    // (x, y) turned by `angle` about (cx, cy).
    virtual QPoint RotatePoint(int x, int y, int cx, int cy) const;
    // Declared after the three conversions so that they keep the first three table slots.
    virtual ~MapProjection() = default;

    // RotatePoint of `count` points from `in` into `out`, with the same arithmetic and without
    // a call per point: the per-frame step of every cached shape.
    void RotatePoints(const QPoint* in, QPoint* out, size_t count, int cx, int cy) const;
    // The bounds of the four corners of the box from (left, top) to (right, bottom) turned as
    // RotatePoint turns them, from one coordinate of each of four corners: each turned
    // coordinate only grows or only shrinks with x and with y, so each bound is at a corner
    // the signs of the angle's sine and cosine choose.
    platform::Rect TurnedBounds(int left, int top, int right, int bottom, int cx, int cy) const;
    // A box of the canvas holding every point that RotatePoint turns into `screen`: the bounds
    // of its corners turned back, with room for the floors.
    platform::Rect UnturnedBounds(const platform::Rect& screen, int cx, int cy) const;
    // True when the picture is not turned, so that rotating leaves every point where it is.
    bool IsUpright() const { return cosA == 1.0f && sinA == 0.0f; }

    // Stores both names and the box spanned by the two corners, in either order; state = 2.
    void SetBounds(const QString& newPath, const QString& newTitle, float lat1, float lon1,
                   float lat2, float lon2);
    // Zeroes the box and empties both names; state keeps its value.
    void Clear();
    void SetRotation(float degrees);

    // Position of a canvas pixel, ignoring the rotation.
    GeoPoint ScreenToGeo(QPoint point, int width, int height) const;
    // Position of a pixel of the turned picture, the rotation being about the canvas centre.
    GeoPoint ScreenToGeoRotated(QPoint point, int width, int height) const;
    // Ground distance in km along the north edge of the box from `left` to the longitude under
    // the right edge of the window, the window's left edge being at the canvas origin.
    float WidthDistanceKm(const MapWindowView& window, int width, int height) const;

    float top = 0.0f;
    float left = 0.0f;
    float bottom = 0.0f;
    float right = 0.0f;
    float latSpan = 0.0f;
    float lonSpan = 0.0f;
    QString path;        // map file whose box this is; identifies an already loaded map
    QString title;       // base-map loaders put "TEST" here
    int state = 3;       // 3 when new, 2 once SetBounds has run
    float angle = 0.0f;  // radians
    float cosA = 1.0f;
    float sinA = 0.0f;
    float cosInv = 1.0f;  // cosine and sine of (360° − angle), to undo the rotation
    float sinInv = 0.0f;
};

}  // namespace render
