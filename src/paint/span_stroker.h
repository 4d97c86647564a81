#pragma once

// Wide round lines drawn straight into a 32-bit image, one span per scanline and segment.
//
// A pen with round caps and round joins paints exactly the points within half its width of
// some segment of the line: the union of one capsule per segment. Each capsule meets a
// scanline in one interval, found in closed form, so a line costs a few operations per row it
// covers instead of an outline built, flattened and scan-converted as the painter's stroker
// does for every wide line. Map roads are such lines, thousands per frame.
//
// Aliased, a pixel is painted when its centre lies in the line (the centres exactly on the
// edge go to the pixels right of and below it, as the painter's rasteriser gives them).
// Antialiased, a pixel of the edge takes the coverage clamp(halfWidth + 0.5 − distance, 0, 1)
// of the segment nearest its centre; the coverages of one line are merged (the greatest wins)
// before they are blended, so that joins and overlaps are not blended twice. A smooth line one
// pixel wide (an area's outline) is a hairline: each pixel step along it shares the line
// between the two pixels nearest it.

#include <QImage>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <vector>

namespace paint {

class SpanStroker {
public:
    // True for the images the stroker writes: 32 bits a pixel, opaque colours stored as they
    // are (RGB32, ARGB32 and its premultiplied form).
    static bool CanDrawOn(const QImage& image);

    // Strokes the polyline of `count` points, moved by `offset` into image pixels, with a pen
    // `width` pixels wide of the opaque colour `colour`, painting only inside `clip` (image
    // pixels, within the image). One point draws a dot.
    void Stroke(QImage& image, const QRect& clip, const QPoint* points, int count, QPoint offset,
                int width, QRgb colour, bool antialiased);
    void Stroke(QImage& image, const QRect& clip, const QPointF* points, int count, QPoint offset,
                int width, QRgb colour, bool antialiased);
    // The outline of an area: the polyline closed back to its first point.
    void StrokeClosed(QImage& image, const QRect& clip, const QPoint* points, int count,
                      QPoint offset, int width, QRgb colour, bool antialiased);
    void StrokeClosed(QImage& image, const QRect& clip, const QPointF* points, int count,
                      QPoint offset, int width, QRgb colour, bool antialiased);

private:
    template <typename Point>
    void StrokePoints(QImage& image, const QRect& clip, const Point* points, int count, bool closed,
                      QPoint offset, int width, QRgb colour, bool antialiased);

    // Coverage of the edges of the line being drawn, per image pixel, and the pixels it is
    // kept for; zero again once the line is blended.
    std::vector<uint8_t> coverage_;
    struct EdgePixel {
        uint8_t* cover;
        QRgb* pixel;
    };
    std::vector<EdgePixel> edges_;
    int coverageWidth_ = 0;
    int coverageHeight_ = 0;
};

}  // namespace paint
