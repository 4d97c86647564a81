#include "render/shape_painter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "formats/shape_model.h"
#include "paint/paint_context.h"
#include "render/map_projection.h"
#include "render/poi_icons.h"
#include "render/shape_style.h"

namespace render {
namespace {

// Room kept in the point buffers beyond the vertex count.
constexpr size_t kSpareBufferPoints = 10;

formats::ShapePointBuffers& BuffersOf(formats::Shape& shape) {
    if (!shape.pointBuffers) {
        shape.pointBuffers = std::make_unique<formats::ShapePointBuffers>();
        shape.pointBuffers->canvasPoints.reserve(shape.VertexCount() + kSpareBufferPoints);
        shape.pointBuffers->screenPoints.reserve(shape.VertexCount() + kSpareBufferPoints);
    }
    return *shape.pointBuffers;
}

bool IsPrepared(const formats::Shape& shape) {
    return shape.pointBuffers && shape.pointBuffers->canvasPoints.size() == shape.VertexCount();
}

// The patterns are built once: every area of a patterned type shares its brush.
QBrush FillBrush(int type, bool night) {
    // The area types drawn with the bitmaps 159, 165, 161 and 158.
    static constexpr std::array<int, 4> kPatterned{11, 25, 26, 80};
    static const std::array<QBrush, 4> brushes = [] {
        std::array<QBrush, 4> made;
        for (size_t i = 0; i < kPatterned.size(); ++i) {
            made[i] = PolygonFillBrush(kPatterned[i], false);
        }
        return made;
    }();
    if (!night) {
        for (size_t i = 0; i < kPatterned.size(); ++i) {
            if (kPatterned[i] == type) {
                return brushes[i];
            }
        }
    }
    return PolygonFillBrush(type, night);
}

// Shapes of one type (at one zoom, by day or by night) share one pen and one brush, made for
// the first of them: the paint context knows a pen or brush it has seen on an earlier shape.
// Kept per thread, and made again past a few hundred kinds.
template <typename Key, typename Made, typename Make>
const Made& SharedFor(const Key& key, Make make) {
    constexpr size_t kMostKinds = 256;
    thread_local std::vector<std::pair<Key, Made>> made;
    for (const auto& [known, value] : made) {
        if (known == key) {
            return value;
        }
    }
    if (made.size() >= kMostKinds) {
        made.clear();
    }
    made.emplace_back(key, make());
    return made.back().second;
}

struct LinePens {
    QPen outer;
    std::optional<QPen> inner;
};

void PreparePens(formats::ShapePolyline& line, float resolution, bool highResolution) {
    const LinePens& pens = SharedFor<std::tuple<int, float, bool>, LinePens>(
        {line.type, resolution, highResolution}, [&] {
            const PolylinePens specs = PolylinePensFor(line.type, resolution, highResolution);
            LinePens made{specs.outer.ToQPen(), std::nullopt};
            if (specs.inner) {
                made.inner = specs.inner->ToQPen();
            }
            return made;
        });
    line.outerPen = pens.outer;
    line.innerPen = pens.inner;
}

struct AreaPaint {
    std::optional<QPen> outline;
    QBrush fill;
};

void PrepareArea(formats::ShapePolygon& area) {
    const bool night = area.night != 0;
    const AreaPaint& paint = SharedFor<std::pair<int, bool>, AreaPaint>({area.type, night}, [&] {
        AreaPaint made{std::nullopt, FillBrush(area.type, night)};
        if (const std::optional<PenSpec> outline = PolygonOutlinePen(area.type)) {
            made.outline = outline->ToQPen();
        }
        return made;
    });
    area.outlinePen = paint.outline;
    area.fillBrush = paint.fill;
}

// The vertices turned for the screen: the cached canvas points themselves while the picture
// is upright. They stay as they are until the shape is drawn or prepared again, so the context
// is given them to hold rather than copy.
const QPoint* ScreenPoints(formats::Shape& shape, int centreX, int centreY,
                           const MapProjection& projection) {
    formats::ShapePointBuffers& buffers = *shape.pointBuffers;
    if (projection.IsUpright()) {
        return buffers.canvasPoints.data();
    }
    buffers.screenPoints.resize(buffers.canvasPoints.size());
    projection.RotatePoints(buffers.canvasPoints.data(), buffers.screenPoints.data(),
                            buffers.canvasPoints.size(), centreX, centreY);
    return buffers.screenPoints.data();
}

// A run of consecutive points to stroke as one polyline.
struct Run {
    int first;
    int count;
};

// Where a point lies outside `near`: a bit for each side it is beyond.
int Outside(const QPoint& p, const platform::Rect& near) {
    return (p.x() < near.left ? 1 : 0) | (p.x() >= near.right ? 2 : 0) |
           (p.y() < near.top ? 4 : 0) | (p.y() >= near.bottom ? 8 : 0);
}

// The runs of consecutive segments that come near the clip box: stroking the parts of a long
// road that lie off screen costs as much as stroking the parts on screen. `margin` covers the
// pen's half width and its round caps, so the pixels are those of the whole line. A segment's
// bounds miss the box when both ends lie beyond the same side of it.
void VisibleRuns(const paint::PaintContext& context, const QPoint* points, int count, int margin,
                 std::vector<Run>& runs) {
    runs.clear();
    const platform::Rect near = context.ClipBox().Inflated(margin, margin);
    int runStart = -1;
    int previous = count > 0 ? Outside(points[0], near) : 0;
    for (int i = 1; i < count; ++i) {
        const int current = Outside(points[i], near);
        const bool visible = (previous & current) == 0;
        previous = current;
        if (visible && runStart < 0) {
            runStart = i - 1;
        } else if (!visible && runStart >= 0) {
            runs.push_back({runStart, i - runStart});
            runStart = -1;
        }
    }
    if (runStart >= 0) {
        runs.push_back({runStart, count - runStart});
    }
}

void StrokeRuns(paint::PaintContext& context, const QPoint* points, const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        context.PolylineNoCopy(points + run.first, run.count);
    }
}

// The outer pen's runs, then the inner pen's: the same runs, as the margin is the outer pen's.
void DrawLine(formats::ShapePolyline& line, paint::PaintContext& context, int centreX, int centreY,
              const MapProjection& projection) {
    if (!IsPrepared(line) || !line.outerPen) {
        return;
    }
    const QPoint* points = ScreenPoints(line, centreX, centreY, projection);
    thread_local std::vector<Run> runs;
    VisibleRuns(context, points, int(line.VertexCount()), line.outerPen->width() + 2, runs);
    if (runs.empty()) {
        return;
    }
    QPen previous = context.SelectPen(*line.outerPen);
    StrokeRuns(context, points, runs);
    if (line.innerPen) {
        context.SelectPen(*line.innerPen);
        StrokeRuns(context, points, runs);
    }
    context.SelectPen(std::move(previous));
}

// One edge of the clip rectangle: the side of it that is kept, and where an edge crosses it.
enum class ClipSide { kLeft, kTop, kRight, kBottom };

template <ClipSide kSide>
bool Keeps(const QPointF& p, double at) {
    switch (kSide) {
        case ClipSide::kLeft:
            return p.x() >= at;
        case ClipSide::kTop:
            return p.y() >= at;
        case ClipSide::kRight:
            return p.x() <= at;
        default:
            return p.y() <= at;
    }
}

// Exact, not rounded to a pixel: the cut edge is the same line as the whole one.
template <ClipSide kSide>
QPointF Crossing(const QPointF& a, const QPointF& b, double at) {
    if (kSide == ClipSide::kLeft || kSide == ClipSide::kRight) {
        return QPointF(at, a.y() + (at - a.x()) / (b.x() - a.x()) * (b.y() - a.y()));
    }
    return QPointF(a.x() + (at - a.y()) / (b.y() - a.y()) * (b.x() - a.x()), at);
}

// The ring cut by one edge into `cut`, each vertex taken with the one before it (the last before
// the first).
template <ClipSide kSide>
void ClipToEdge(const std::vector<QPointF>& ring, double at, std::vector<QPointF>& cut) {
    cut.clear();
    cut.reserve(2 * ring.size());
    QPointF previous = ring.back();
    bool keepPrevious = Keeps<kSide>(previous, at);
    for (const QPointF& current : ring) {
        const bool keepCurrent = Keeps<kSide>(current, at);
        if (keepCurrent != keepPrevious) {
            cut.push_back(Crossing<kSide>(previous, current, at));
        }
        if (keepCurrent) {
            cut.push_back(current);
        }
        previous = current;
        keepPrevious = keepCurrent;
    }
}

// The ring cut to `box` edge by edge (Sutherland–Hodgman). Inside the box the area, and so every
// pixel filled there, is that of the whole ring; the new edges run along the box. An edge that
// the ring's bounds do not cross keeps every vertex and is passed over: the points a cut adds
// lie between two vertices, within the bounds.
void ClipRing(std::vector<QPointF>& ring, const platform::Rect& box, const platform::Rect& bounds,
              std::vector<QPointF>& scratch) {
    const auto cut = [&](auto clip, double at) {
        if (!ring.empty()) {
            clip(ring, at, scratch);
            ring.swap(scratch);
        }
    };
    if (bounds.left < box.left) {
        cut(ClipToEdge<ClipSide::kLeft>, double(box.left));
    }
    if (bounds.top < box.top) {
        cut(ClipToEdge<ClipSide::kTop>, double(box.top));
    }
    if (bounds.right > box.right) {
        cut(ClipToEdge<ClipSide::kRight>, double(box.right));
    }
    if (bounds.bottom > box.bottom) {
        cut(ClipToEdge<ClipSide::kBottom>, double(box.bottom));
    }
}

// Fills and outlines the ring. A ring reaching far beyond the clip box (a background area
// under a close zoom spans tens of thousands of pixels) is cut to the box grown by a margin
// first, so that filling costs what is on screen; its outline along the cut lies outside.
void FillRing(paint::PaintContext& context, const QPoint* points, int count) {
    constexpr int kMargin = 16;
    const platform::Rect near = context.ClipBox().Inflated(kMargin, kMargin);
    const platform::Rect bounds = BoundsOfPoints(points, size_t(count));
    if (count < 3 || (bounds.left >= near.left && bounds.right < near.right &&
                      bounds.top >= near.top && bounds.bottom < near.bottom)) {
        context.PolygonNoCopy(points, count);
        return;
    }
    thread_local std::vector<QPointF> ring;
    thread_local std::vector<QPointF> scratch;
    ring.assign(points, points + count);
    ClipRing(ring, near, bounds, scratch);
    if (ring.size() >= 3) {
        context.Polygon(ring.data(), int(ring.size()));
    }
}

void DrawArea(formats::ShapePolygon& area, paint::PaintContext& context, int centreX, int centreY,
              const MapProjection& projection) {
    if (!IsPrepared(area) || !area.fillBrush) {
        return;
    }
    const QPoint* points = ScreenPoints(area, centreX, centreY, projection);
    std::optional<QPen> previousPen;
    if (area.outlinePen) {
        previousPen = context.SelectPen(*area.outlinePen);
    }
    QBrush previousBrush = context.SelectBrush(*area.fillBrush);
    FillRing(context, points, int(area.VertexCount()));
    context.SelectBrush(std::move(previousBrush));
    if (previousPen) {
        context.SelectPen(std::move(*previousPen));
    }
}

void DrawPoint(formats::Shape& point, paint::PaintContext& context, int centreX, int centreY,
               int width, int height, const MapProjection& projection, bool highResolution) {
    if (point.VertexCount() == 0) {
        return;
    }
    const QPoint topLeft =
        IconTopLeft(point, projection, centreX, centreY, width, height, highResolution);
    DrawPoiIcon(context, topLeft.x(), topLeft.y(), point.type, point.subtype, highResolution);
}

}  // namespace

platform::Rect BoundsOfPoints(const QPoint* points, size_t count) {
    if (count == 0) {
        return platform::Rect{};
    }
    platform::Rect box{points[0].x(), points[0].y(), points[0].x(), points[0].y()};
    for (size_t i = 1; i < count; ++i) {
        box.left = std::min(box.left, points[i].x());
        box.top = std::min(box.top, points[i].y());
        box.right = std::max(box.right, points[i].x());
        box.bottom = std::max(box.bottom, points[i].y());
    }
    return box;
}

void PrepareShape(formats::Shape& shape, const MapProjection& projection, int width, int height,
                  float resolution, bool highResolution) {
    formats::ShapePointBuffers& buffers = BuffersOf(shape);
    const size_t count = shape.VertexCount();
    buffers.canvasPoints.resize(count);
    for (size_t i = 0; i < count; ++i) {
        buffers.canvasPoints[i] =
            projection.GeoToScreen(shape.Latitude(i), shape.Longitude(i), width, height);
    }
    buffers.canvasAnchor = projection.GeoToScreen(shape.anchorLat, shape.anchorLon, width, height);
    switch (shape.Kind()) {
        case formats::kShapeKindPolyline:
            PreparePens(static_cast<formats::ShapePolyline&>(shape), resolution, highResolution);
            break;
        case formats::kShapeKindPolygon:
            PrepareArea(static_cast<formats::ShapePolygon&>(shape));
            break;
        default:
            break;
    }
}

QPoint CanvasAnchor(const formats::Shape& shape, const MapProjection& projection, int width,
                    int height) {
    if (IsPrepared(shape)) {
        return shape.pointBuffers->canvasAnchor;
    }
    return projection.GeoToScreen(shape.anchorLat, shape.anchorLon, width, height);
}

QPoint CanvasPosition(const formats::Shape& shape, const MapProjection& projection, int width,
                      int height) {
    if (shape.VertexCount() == 0) {
        return CanvasAnchor(shape, projection, width, height);
    }
    if (IsPrepared(shape)) {
        return shape.pointBuffers->canvasPoints[0];
    }
    return projection.GeoToScreen(shape.Latitude(0), shape.Longitude(0), width, height);
}

QPoint IconTopLeft(const formats::Shape& point, const MapProjection& projection, int centreX,
                   int centreY, int width, int height, bool highResolution) {
    const QPoint canvas = CanvasPosition(point, projection, width, height);
    const QPoint screen = projection.RotatePoint(canvas.x(), canvas.y(), centreX, centreY);
    // Half the icon's size, so that the icon is centred on its point on either screen class.
    const int half = highResolution ? 24 : 12;
    return QPoint(platform::SubtractPixels(screen.x(), half),
                  platform::SubtractPixels(screen.y(), half));
}

void DrawShape(formats::Shape& shape, paint::PaintContext& context, int centreX, int centreY,
               int width, int height, const MapProjection& projection, bool highResolution) {
    switch (shape.Kind()) {
        case formats::kShapeKindPolyline:
            DrawLine(static_cast<formats::ShapePolyline&>(shape), context, centreX, centreY,
                     projection);
            break;
        case formats::kShapeKindPolygon:
            DrawArea(static_cast<formats::ShapePolygon&>(shape), context, centreX, centreY,
                     projection);
            break;
        default:
            DrawPoint(shape, context, centreX, centreY, width, height, projection, highResolution);
            break;
    }
}

}  // namespace render
