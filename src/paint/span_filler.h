#pragma once

// Areas filled straight into a 32-bit image, row by row, by the even-odd rule (the rule of the
// platform's polygons): the map's fields, forests, lakes and buildings, thousands a frame.
//
// Aliased, a pixel is filled when its centre lies inside, with the painter's rule for centres
// on an edge (outside on a left or top edge, inside on a right or bottom one). Antialiased, each
// pixel takes the area of it that the polygon covers (edges accumulated as signed areas and
// summed along the row, folded by the even-odd rule), so that edges are smooth and a pixel
// shared by two neighbouring areas is split between them.

#include <QImage>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace paint {

// What an area is filled with: one colour, or a pattern image repeated from an origin in
// image pixels.
struct FillPaint {
    QRgb colour = 0xFF000000;
    const QImage* pattern = nullptr;  // RGB32, opaque; null for the colour
    QPoint patternOrigin;
};

class SpanFiller {
public:
    // Fills the polygon of `count` points (closed by the last edge), moved by `offset` into image
    // pixels, inside `clip` (image pixels). The image must suit the span stroker (32 bits).
    void Fill(QImage& image, const QRect& clip, const QPoint* points, int count, QPoint offset,
              const FillPaint& paint, bool antialiased);
    void Fill(QImage& image, const QRect& clip, const QPointF* points, int count, QPoint offset,
              const FillPaint& paint, bool antialiased);

    // Paints only the image rows from `top` to `bottom` of what is filled from now on, exactly
    // the pixels of those rows that a fill of all rows paints (the band one thread draws).
    void LimitRows(int top, int bottom) {
        rowTop_ = top;
        rowBottom_ = bottom;
    }

    // An edge from top to bottom in image pixels (y0 < y1), with the x where it starts and its
    // change of x per row; `direction` is +1 for an edge that ran downwards.
    struct Edge {
        double x0;
        double y0;
        double x1;
        double y1;
        double slope;
        double direction;
    };

    // What the edges leave in one pixel of a row: the signed area they cover in it, and the
    // signed area they add to each pixel right of it.
    struct Cell {
        float own;
        float carry;
    };

private:
    template <typename Point>
    void FillPoints(QImage& image, const QRect& clip, const Point* points, int count, QPoint offset,
                    const FillPaint& paint, bool antialiased);
    const QImage* TiledPattern(const FillPaint& paint, int imageWidth);
    void FillAliased(QImage& image, const QRect& area, const FillPaint& paint);
    void FillSmooth(QImage& image, const QRect& area, bool inside, const FillPaint& paint);

    int rowTop_ = std::numeric_limits<int>::min();
    int rowBottom_ = std::numeric_limits<int>::max();
    std::vector<Edge> edges_;
    std::vector<const Edge*> active_;
    std::vector<double> crossings_;
    // The cells of the area being filled; zero again once it is filled.
    std::vector<Cell> accumulation_;
    // The cells of each row that got a contribution, one bit a cell: the rest of a row keeps the
    // sum of the cells left of it, so it is painted (or passed over) as one span. All clear
    // again once a fill is painted.
    std::vector<uint64_t> touched_;
    // The patterns tiled across the image, by the pattern's cache key.
    std::vector<std::pair<qint64, QImage>> tiled_;
};

}  // namespace paint
