#pragma once

// The drawing side of the shape model: each kind of shape projects its vertices once per canvas
// (Prepare), then turns the cached points and paints them in every frame (Draw).

#include <QPoint>

#include <cstddef>

#include "platform/rect.h"

namespace formats {
class Shape;
}

namespace paint {
class PaintContext;
}

namespace render {

class MapProjection;

// The least and greatest x and y of the points, as left, top, right and bottom (the greatest
// values are on the rectangle, not one past it).
platform::Rect BoundsOfPoints(const QPoint* points, size_t count);

// Fills the shape's canvas points with GeoToScreen for a canvas of width × height and makes
// its pens and brush for the zoom resolution (metres per centimetre), the screen class and the
// shape's night flag. Points keep their position and need no pens.
void PrepareShape(formats::Shape& shape, const MapProjection& projection, int width, int height,
                  float resolution, bool highResolution);

// The label anchor on the canvas of the last PrepareShape; a shape never prepared has none
// and gives the projection of its anchor now.
QPoint CanvasAnchor(const formats::Shape& shape, const MapProjection& projection, int width,
                    int height);
// The shape's first vertex on the canvas (where a point is drawn), the same way.
QPoint CanvasPosition(const formats::Shape& shape, const MapProjection& projection, int width,
                      int height);

// The top-left corner of a point's icon, turned about (centreX, centreY): the icon is centred
// on the point.
QPoint IconTopLeft(const formats::Shape& point, const MapProjection& projection, int centreX,
                   int centreY, int width, int height, bool highResolution);

// Paints the shape as prepared, turned about (centreX, centreY): a polyline with its outer and
// then its inner pen, a polygon filled and outlined, a point as its icon centred on the point.
// The pen and brush of the context are as they were afterwards. Between BeginBands and
// EndBands the context holds the shape's turned points until EndBands: there a shape is drawn
// once and not prepared again.
void DrawShape(formats::Shape& shape, paint::PaintContext& context, int centreX, int centreY,
               int width, int height, const MapProjection& projection, bool highResolution);

}  // namespace render
