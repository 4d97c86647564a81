#include "render/map_projection.h"

#include <algorithm>
#include <cmath>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Within ±2^29 of the origin nothing saturates: a difference is below 2^30, a turned one below
// 1.5 * 2^30 and the centre added back below 2^31.
constexpr int64_t kNearLimit = int64_t{1} << 29;

inline bool IsNear(int value) {
    return value > -kNearLimit && value < kNearLimit;
}

// The two coordinates of RotatePoint, each on its own: difference from the centre saturated
// to an int, turned in float and floored, then the centre added back, saturated. `Near` says
// that the point and the centre are near the origin, so that none of it saturates.
template <bool Near>
inline int TurnedX(int x, int y, int cx, int cy, float cosA, float sinA) {
    if constexpr (Near) {
        return FloorInIntRange(sinA * float(y - cy) + cosA * float(x - cx)) + cx;
    }
    const float dx = float(SaturateToInt(int64_t{x} - cx));
    const float dy = float(SaturateToInt(int64_t{y} - cy));
    return SaturateToInt(int64_t{FloorToPixel(sinA * dy + cosA * dx)} + cx);
}

template <bool Near>
inline int TurnedY(int x, int y, int cx, int cy, float cosA, float sinA) {
    if constexpr (Near) {
        return FloorInIntRange(cosA * float(y - cy) - sinA * float(x - cx)) + cy;
    }
    const float dx = float(SaturateToInt(int64_t{x} - cx));
    const float dy = float(SaturateToInt(int64_t{y} - cy));
    return SaturateToInt(int64_t{FloorToPixel(cosA * dy - sinA * dx)} + cy);
}

template <bool Near>
inline QPoint Rotated(int x, int y, int cx, int cy, float cosA, float sinA) {
    return QPoint(TurnedX<Near>(x, y, cx, cy, cosA, sinA), TurnedY<Near>(x, y, cx, cy, cosA, sinA));
}

#if defined(__SSE2__)
// FloorInIntRange of each lane plus the centre's coordinate in that lane: truncation, one less
// where it went up (a negative fraction).
inline __m128i FlooredPlus(__m128 turned, __m128i centre) {
    const __m128i truncated = _mm_cvttps_epi32(turned);
    const __m128i up = _mm_castps_si128(_mm_cmplt_ps(turned, _mm_cvtepi32_ps(truncated)));
    return _mm_add_epi32(_mm_add_epi32(truncated, up), centre);
}
#endif

// The bounds of the turned corners of a box with its least and greatest x and y given.
template <bool Near>
platform::Rect TurnedBox(int lowX, int lowY, int highX, int highY, int cx, int cy, float cosA,
                         float sinA) {
    // The turned x grows with x when the cosine is not negative and with y when the sine is not;
    // the turned y grows with y with the cosine and shrinks with x with the sine.
    const bool cosUp = cosA >= 0.0f;
    const bool sinUp = sinA >= 0.0f;
#if defined(__SSE2__)
    if constexpr (Near) {
        // The four bounds in the lanes left, top, right, bottom, each from its corner: the x
        // lanes take sin · dy + cos · dx, the y lanes cos · dy + (−sin) · dx, as TurnedX and
        // TurnedY do.
        const __m128i xs = _mm_setr_epi32(cosUp ? lowX : highX, sinUp ? highX : lowX,
                                          cosUp ? highX : lowX, sinUp ? lowX : highX);
        const __m128i ys = _mm_setr_epi32(sinUp ? lowY : highY, cosUp ? lowY : highY,
                                          sinUp ? highY : lowY, cosUp ? highY : lowY);
        const __m128 dx = _mm_cvtepi32_ps(_mm_sub_epi32(xs, _mm_set1_epi32(cx)));
        const __m128 dy = _mm_cvtepi32_ps(_mm_sub_epi32(ys, _mm_set1_epi32(cy)));
        const __m128 turned = _mm_add_ps(_mm_mul_ps(dy, _mm_setr_ps(sinA, cosA, sinA, cosA)),
                                         _mm_mul_ps(dx, _mm_setr_ps(cosA, -sinA, cosA, -sinA)));
        int bounds[4];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bounds),
                         FlooredPlus(turned, _mm_setr_epi32(cx, cy, cx, cy)));
        return platform::Rect{bounds[0], bounds[1], bounds[2], bounds[3]};
    }
#endif
    return platform::Rect{
        TurnedX<Near>(cosUp ? lowX : highX, sinUp ? lowY : highY, cx, cy, cosA, sinA),
        TurnedY<Near>(sinUp ? highX : lowX, cosUp ? lowY : highY, cx, cy, cosA, sinA),
        TurnedX<Near>(cosUp ? highX : lowX, sinUp ? highY : lowY, cx, cy, cosA, sinA),
        TurnedY<Near>(sinUp ? lowX : highX, cosUp ? highY : lowY, cx, cy, cosA, sinA)};
}

// Rotated<true> of the points two at a time, as long as both of a pair are near (the centre
// is): the lanes x0 y0 x1 y1 of a vector take sin · (the other coordinate's difference) +
// cos · (their own), with the sine negated in the y lanes, which is bit for bit the float
// arithmetic of TurnedX and TurnedY. Returns how many points it turned.
size_t TurnNearPairs(const QPoint* in, QPoint* out, size_t count, int cx, int cy, float cosA,
                     float sinA) {
    size_t i = 0;
#if defined(__SSE2__)
    static_assert(sizeof(QPoint) == 2 * sizeof(int));
    const __m128i centre = _mm_setr_epi32(cx, cy, cx, cy);
    const __m128 cosines = _mm_set1_ps(cosA);
    const __m128 sines = _mm_setr_ps(sinA, -sinA, sinA, -sinA);
    // A near value plus 2^29 - 1 lies in [0, 2^30 - 2]; shifted by 2^31 as well, one signed
    // comparison tells the values that do not.
    const __m128i toNear = _mm_set1_epi32(int(0x80000000u + (1u << 29) - 1u));
    const __m128i nearLimit = _mm_set1_epi32(int(0x80000000u + (1u << 30) - 2u));
    for (; i + 2 <= count; i += 2) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        if (_mm_movemask_epi8(_mm_cmpgt_epi32(_mm_add_epi32(p, toNear), nearLimit)) != 0) {
            break;
        }
        const __m128 d = _mm_cvtepi32_ps(_mm_sub_epi32(p, centre));
        const __m128 other = _mm_shuffle_ps(d, d, _MM_SHUFFLE(2, 3, 0, 1));
        const __m128 turned = _mm_add_ps(_mm_mul_ps(other, sines), _mm_mul_ps(d, cosines));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), FlooredPlus(turned, centre));
    }
#else
    (void)in, (void)out, (void)count, (void)cx, (void)cy, (void)cosA, (void)sinA;
#endif
    return i;
}

}  // namespace

QPoint MapProjection::RotatePoint(int x, int y, int cx, int cy) const {
    return Rotated<false>(x, y, cx, cy, cosA, sinA);
}

void MapProjection::RotatePoints(const QPoint* in, QPoint* out, size_t count, int cx,
                                 int cy) const {
    // The usual case, every point near, two points at a time; from a point that is not near on,
    // one at a time with the saturating arithmetic (which gives the same for near points).
    size_t i = 0;
    if (IsNear(cx) && IsNear(cy)) {
        i = TurnNearPairs(in, out, count, cx, cy, cosA, sinA);
        for (; i < count && IsNear(in[i].x()) && IsNear(in[i].y()); ++i) {
            out[i] = Rotated<true>(in[i].x(), in[i].y(), cx, cy, cosA, sinA);
        }
    }
    for (; i < count; ++i) {
        out[i] = Rotated<false>(in[i].x(), in[i].y(), cx, cy, cosA, sinA);
    }
}

platform::Rect MapProjection::TurnedBounds(int left, int top, int right, int bottom, int cx,
                                           int cy) const {
    const int lowX = std::min(left, right);
    const int highX = std::max(left, right);
    const int lowY = std::min(top, bottom);
    const int highY = std::max(top, bottom);
    if (IsNear(lowX) && IsNear(highX) && IsNear(lowY) && IsNear(highY) && IsNear(cx) &&
        IsNear(cy)) {
        return TurnedBox<true>(lowX, lowY, highX, highY, cx, cy, cosA, sinA);
    }
    return TurnedBox<false>(lowX, lowY, highX, highY, cx, cy, cosA, sinA);
}

platform::Rect MapProjection::UnturnedBounds(const platform::Rect& screen, int cx, int cy) const {
    // Turning back is turning by the opposite angle: x = cos · x' − sin · y',
    // y = sin · x' + cos · y' about the centre.
    double lowX = std::numeric_limits<double>::infinity();
    double highX = -lowX;
    double lowY = lowX;
    double highY = -lowX;
    for (const int x : {screen.left, screen.right}) {
        for (const int y : {screen.top, screen.bottom}) {
            const double dx = double(x) - cx;
            const double dy = double(y) - cy;
            const double backX = double(cosA) * dx - double(sinA) * dy + cx;
            const double backY = double(sinA) * dx + double(cosA) * dy + cy;
            lowX = std::min(lowX, backX);
            highX = std::max(highX, backX);
            lowY = std::min(lowY, backY);
            highY = std::max(highY, backY);
        }
    }
    constexpr double kRoom = 2.0;
    const auto toInt = [](double value) {
        return int(std::clamp(value, double(std::numeric_limits<int>::min()),
                              double(std::numeric_limits<int>::max())));
    };
    return platform::Rect{toInt(std::floor(lowX - kRoom)), toInt(std::floor(lowY - kRoom)),
                          toInt(std::ceil(highX + kRoom)), toInt(std::ceil(highY + kRoom))};
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
