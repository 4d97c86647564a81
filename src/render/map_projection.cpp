#include "render/map_projection.h"

#include <cmath>

#include "render/geo_math.h"
#include "render/map_window_view.h"

namespace render {

namespace {

// Degrees to radians as the program has always converted rotation angles: two single-precision
// factors, 2π and 1/360, applied left to right.
float DegreesToRadians(float degrees) {
    return degrees * 6.2831855f * 0.0027777778f;
}

}  // namespace

// Converting a float outside the int range (or NaN) to int is undefined; a degenerate box or a
// point far outside it must still give a defined pixel.
int FloorToPixel(float value) {
    // 2^31 is exact in float; every float below it and at or above −2^31 fits in an int. NaN
    // fails both tests. Truncation toward zero, stepped down for negative fractions, is the
    // floor without a library call.
    if (value >= -2147483648.0f && value < 2147483648.0f) {
        const int truncated = int(value);
        return float(truncated) > value ? truncated - 1 : truncated;
    }
    if (std::isnan(value)) {
        return 0;
    }
    return value > 0.0f ? std::numeric_limits<int>::max() : std::numeric_limits<int>::min();
}

MapProjection::MapProjection() {
    SetRotation(0.0f);
}

void MapProjection::SetBounds(const QString& newPath, const QString& newTitle, float lat1,
                              float lon1, float lat2, float lon2) {
    path = newPath;
    title = newTitle;
    if (lat1 > lat2) {
        top = lat1;
        bottom = lat2;
        latSpan = lat1 - lat2;
    } else {
        top = lat2;
        bottom = lat1;
        latSpan = lat2 - lat1;
    }
    if (lon1 < lon2) {
        left = lon1;
        right = lon2;
        lonSpan = lon2 - lon1;
    } else {
        left = lon2;
        right = lon1;
        lonSpan = lon1 - lon2;
    }
    state = 2;
}

void MapProjection::Clear() {
    top = 0.0f;
    left = 0.0f;
    bottom = 0.0f;
    right = 0.0f;
    latSpan = 0.0f;
    lonSpan = 0.0f;
    path.clear();
    title.clear();
}

void MapProjection::SetRotation(float degrees) {
    angle = DegreesToRadians(degrees);
    cosA = float(std::cos(double(angle)));
    sinA = float(std::sin(double(angle)));
    const float inverse = DegreesToRadians(360.0f - degrees);
    cosInv = float(std::cos(double(inverse)));
    sinInv = float(std::sin(double(inverse)));
}

QPoint MapProjection::GeoToScreen(float lat, float lon, int width, int height) const {
    const int x = FloorToPixel((lon - left) * float(width) / lonSpan + 0.5f);
    const int y = FloorToPixel((top - lat) * float(height) / latSpan + 0.5f);
    return QPoint(x, y);
}

QPoint MapProjection::GeoToScreenRotated(float lat, float lon, int cx, int cy, int width,
                                         int height) const {
    const QPoint p = GeoToScreen(lat, lon, width, height);
    return RotatePoint(p.x(), p.y(), cx, cy);
}

namespace {

inline QPoint Rotated(int x, int y, int cx, int cy, float cosA, float sinA) {
    const float dx = float(SaturateToInt(int64_t{x} - cx));
    const float dy = float(SaturateToInt(int64_t{y} - cy));
    const int rx = FloorToPixel(sinA * dy + cosA * dx);
    const int ry = FloorToPixel(cosA * dy - sinA * dx);
    return QPoint(SaturateToInt(int64_t{rx} + cx), SaturateToInt(int64_t{ry} + cy));
}

}  // namespace

QPoint MapProjection::RotatePoint(int x, int y, int cx, int cy) const {
    return Rotated(x, y, cx, cy, cosA, sinA);
}

void MapProjection::RotatePoints(const QPoint* in, QPoint* out, size_t count, int cx,
                                 int cy) const {
    for (size_t i = 0; i < count; ++i) {
        out[i] = Rotated(in[i].x(), in[i].y(), cx, cy, cosA, sinA);
    }
}

GeoPoint MapProjection::ScreenToGeo(QPoint point, int width, int height) const {
    GeoPoint geo;
    geo.lat = top - float(point.y()) * latSpan / float(height);
    geo.lon = left + float(point.x()) * lonSpan / float(width);
    return geo;
}

GeoPoint MapProjection::ScreenToGeoRotated(QPoint point, int width, int height) const {
    const int cx = width / 2;
    const int cy = height / 2;
    const float dx = float(SaturateToInt(int64_t{point.x()} - cx));
    const float dy = float(SaturateToInt(int64_t{point.y()} - cy));
    const int rx = FloorToPixel(cosInv * dx + sinInv * dy);
    const int ry = SaturateToInt(int64_t{FloorToPixel(cosInv * dy - sinInv * dx)} + cy);
    GeoPoint geo;
    geo.lat = top - float(ry) * latSpan / float(height);
    geo.lon = left + float(SaturateToInt(int64_t{rx} + cx)) * lonSpan / float(width);
    return geo;
}

// The distance runs along the north edge, so the canvas height plays no part.
float MapProjection::WidthDistanceKm(const MapWindowView& window, int width, int /*height*/) const {
    const int clientRight = window.ClientSize().width();
    const float lonRight = left + float(clientRight) * lonSpan / float(width);
    static const GeoMath geo;
    return float(geo.Distance(top, left, top, lonRight));
}

}  // namespace render
