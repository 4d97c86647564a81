#include "paint/span_filler.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "paint/span_pixels.h"
#include "paint/span_stroker.h"

namespace paint {
namespace {

using span::CeilOf;
using span::FillPixels;
using span::FloorOf;
using span::kSampleBias;
using span::Mix;

// The share of a pixel inside by the even-odd rule, from its accumulated signed area: a second
// turn round a pixel takes it out again.
inline float EvenOddCover(float sum) {
    float cover = std::abs(sum);
    if (cover > 1.0f) {
        // Less its whole double turns (exact in floats, as a remainder is).
        cover -= 2.0f * float(int(cover * 0.5f));
        cover = cover > 1.0f ? 2.0f - cover : cover;
    }
    return cover;
}

// A coverage in 256ths, rounded: 0 (left out) below half a 256th, 256 (the colour itself) from
// half a 256th short of whole.
inline uint32_t WeightOf(float cover) {
    return uint32_t(cover * 256.0f + 0.5f);
}

// The paint of one fill: the colour, or the pattern tiled across the image, from image column
// `left` on.
class AreaPaint {
public:
    AreaPaint(const FillPaint& paint, const QImage* tiled, int left)
        : colour_(paint.colour | 0xFF000000u) {
        if (paint.pattern && tiled) {
            tiled_ = tiled;
            height_ = paint.pattern->height();
            originY_ = paint.patternOrigin.y();
            const int width = paint.pattern->width();
            phase_ = ((left - paint.patternOrigin.x()) % width + width) % width;
        }
    }
    QRgb Colour() const { return colour_; }
    bool Patterned() const { return tiled_ != nullptr; }

    // The pattern under image row y from column `left` on (the tiled row is one period wider
    // than the image, so it reaches the image's right side), or null for the colour.
    const QRgb* Row(int y) const {
        if (!tiled_) {
            return nullptr;
        }
        return reinterpret_cast<const QRgb*>(tiled_->constScanLine(PatternRow(y))) + phase_;
    }

    // The pattern rows under image rows from y down, one each call of Next(); patterned only.
    class Rows {
    public:
        Rows(const AreaPaint& paint, int y)
            : bits_(paint.tiled_->constBits()),
              stride_(paint.tiled_->bytesPerLine()),
              row_(paint.PatternRow(y)),
              height_(paint.height_),
              phase_(paint.phase_) {}
        const QRgb* Next() {
            const QRgb* const row = reinterpret_cast<const QRgb*>(bits_ + stride_ * row_) + phase_;
            row_ = row_ + 1 == height_ ? 0 : row_ + 1;
            return row;
        }

    private:
        const uchar* bits_;
        qsizetype stride_;
        int row_;
        int height_;
        int phase_;
    };

private:
    int PatternRow(int y) const { return ((y - originY_) % height_ + height_) % height_; }

    QRgb colour_;
    const QImage* tiled_ = nullptr;
    int height_ = 1;
    int originY_ = 0;
    int phase_ = 0;
};

// Paints `count` pixels from `pixels` on with `weight` 256ths (1 to 256) of the colour or the
// pattern row `source` (null for the colour).
inline void PaintRun(QRgb* pixels, const QRgb* source, QRgb colour, int count, uint32_t weight) {
    if (weight >= 256) {
        if (source) {
            std::memcpy(pixels, source, size_t(count) * sizeof(QRgb));
        } else {
            FillPixels(pixels, count, colour);
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        pixels[i] = Mix(pixels[i], source ? source[i] : colour, weight);
    }
}

// Marks cells `from` to `to` (inclusive) in a row's words of touched cells.
inline void MarkCells(uint64_t* words, int from, int to) {
    const int first = from >> 6;
    const int shift = from & 63;
    if (to - from < 64 - shift) {
        // Within one word, as nearly always.
        words[first] |= ((uint64_t(2) << (to - from)) - 1) << shift;
        return;
    }
    const int last = to >> 6;
    words[first] |= ~uint64_t(0) << shift;
    for (int word = first + 1; word < last; ++word) {
        words[word] = ~uint64_t(0);
    }
    words[last] |= ~uint64_t(0) >> (63 - (to & 63));
}

// AccumulateRow for a line across more than two cells, from `left` to `right`: each cell it
// crosses takes the area it has of the line, and the last one carries the rest on. Rare, so
// out of line, where it leaves the registers of the rows' loop to the common cases.
[[gnu::noinline]] void AccumulateAcross(SpanFiller::Cell* line, uint64_t* touched, int leftCell,
                                        double left, double right, double d) {
    const int rightCell = CeilOf(right);
    MarkCells(touched, leftCell, rightCell - 1);
    const auto add = [line](int cell, double area) {
        line[cell].own += float(area);
        line[cell].carry += float(area);
    };
    const double inverse = 1.0 / (right - left);
    const double leftShare = left - leftCell;
    const double a0 = 0.5 * inverse * (1.0 - leftShare) * (1.0 - leftShare);
    const double rightShare = right - rightCell + 1.0;
    const double am = 0.5 * inverse * rightShare * rightShare;
    add(leftCell, d * a0);
    const double a1 = inverse * (1.5 - leftShare);
    add(leftCell + 1, d * (a1 - a0));
    for (int cell = leftCell + 2; cell < rightCell - 1; ++cell) {
        add(cell, d * inverse);
    }
    const double a2 = a1 + (rightCell - leftCell - 3) * inverse;
    add(rightCell - 1, d * (1.0 - a2 - am));
    line[rightCell - 1].carry += float(d * am);
}

// Adds the signed area `d` (the row height the line crosses, signed by its direction) of a
// line from x to `next` across one row to the row's cells, so that summing the carries of a
// row from the left, plus a pixel's own share, gives the covered share of each pixel; marks
// the cells touched. The pixels right of the line take all of `d`, through the carry of the
// last cell the line crosses.
inline void AccumulateRow(SpanFiller::Cell* line, uint64_t* touched, double x, double next,
                          double d) {
    const double left = std::min(x, next);
    const double right = std::max(x, next);
    // x is at least 0 but for rounding: truncating is the floor, and a hair left of the area's
    // side is still its first cell.
    const int leftCell = int(left);
    const double firstEnd = leftCell + 1.0;
    if (right <= firstEnd) {
        // Within one cell: the pixel's share is the area right of the line's middle.
        touched[leftCell >> 6] |= uint64_t(1) << (leftCell & 63);
        const double middle = 0.5 * (x + next) - leftCell;
        line[leftCell].own += float(d - d * middle);
        line[leftCell].carry += float(d);
        return;
    }
    if (right > firstEnd + 1.0) [[unlikely]] {
        AccumulateAcross(line, touched, leftCell, left, right, d);
        return;
    }
    // Across two cells: the covered share grows with the square of x in each.
    MarkCells(touched, leftCell, leftCell + 1);
    const double scale = 0.5 * d / (right - left);
    const double inFirst = firstEnd - left;
    const double inLast = right - firstEnd;
    const double first = scale * inFirst * inFirst;
    const double last = scale * inLast * inLast;
    line[leftCell].own += float(first);
    line[leftCell].carry += float(first);
    line[leftCell + 1].own += float(d - first - last);
    line[leftCell + 1].carry += float(d - first);
}

// Where the lines of an area are accumulated: `cells` has `stride` cells a row, a cell more
// than the row is wide, and the cells touched are marked in `touched`, `wordsPerRow` words a
// row; only the rows from `rowFrom` to `rowTo` are accumulated.
struct Accumulation {
    SpanFiller::Cell* cells;
    int stride;
    uint64_t* touched;
    int wordsPerRow;
    int rowFrom;
    int rowTo;
};

// Accumulates a line row by row (see AccumulateRow). The line lies within the rows of the
// cells and within x from 0 to the row width; `slope` is its change of x per row.
inline void AccumulateLine(const Accumulation& into, double x0, double y0, double x1, double y1,
                           double slope, double direction) {
    const int stride = into.stride;
    const int wordsPerRow = into.wordsPerRow;
    const int rowFrom = into.rowFrom;
    const int rowTo = into.rowTo;
    // y0 is at least 0 but for rounding, and the first row at least rowFrom: truncating is as
    // good as the floor.
    const int firstRow = std::max(int(y0), rowFrom);
    const int endRow = CeilOf(y1) - 1;
    const int lastRow = std::min(endRow, rowTo);
    // The x at each row's top is worked out from where the line meets y = 0, not stepped from
    // row to row, so that a band's rows see the x a whole fill sees.
    const double atZero = x0 - slope * y0;
    double top = std::max(double(firstRow), y0);
    double x = top == y0 ? x0 : atZero + slope * top;
    SpanFiller::Cell* line = into.cells + size_t(firstRow) * size_t(stride);
    uint64_t* words = into.touched + size_t(firstRow) * size_t(wordsPerRow);
    // The rows crossed from top to bottom, all but the first of height 1, then the line's last.
    int y = firstRow;
    double bottom = firstRow + 1.0;
    double d = (bottom - top) * direction;
    for (const int crossed = std::min(endRow - 1, lastRow); y <= crossed; ++y) {
        const double next = atZero + slope * bottom;
        AccumulateRow(line, words, x, next, d);
        d = direction;
        top = bottom;
        bottom += 1.0;
        x = next;
        line += stride;
        words += wordsPerRow;
    }
    if (y == endRow && y <= lastRow) {
        AccumulateRow(line, words, x, x1, (y1 - top) * direction);
    }
}

// A part of an edge, from (x0, y0) down to (x1, y1).
struct Piece {
    double x0;
    double y0;
    double x1;
    double y1;
};

// The parts of `edge` within the area from `left` to `right` and `top` to `bottom`, at most
// three: parts left of the area run down its left side, parts right of it are left out.
// Returns how many there are.
int CutToArea(SpanFiller::Edge edge, double left, double right, double top, double bottom,
              Piece* pieces) {
    // Into the rows of the area.
    if (edge.y0 < top) {
        edge.x0 += (top - edge.y0) * edge.slope;
        edge.y0 = top;
    }
    if (edge.y1 > bottom) {
        edge.x1 -= (edge.y1 - bottom) * edge.slope;
        edge.y1 = bottom;
    }
    // Then across: cut where the edge crosses the left and right sides.
    double ys[4] = {edge.y0, edge.y1, edge.y1, edge.y1};
    int cuts = 1;
    for (const double side : {left, right}) {
        if ((edge.x0 < side) != (edge.x1 < side) && edge.slope != 0.0) {
            const double y = edge.y0 + (side - edge.x0) / edge.slope;
            if (y > edge.y0 && y < edge.y1) {
                ys[cuts++] = y;
            }
        }
    }
    ys[cuts] = edge.y1;
    if (cuts == 3 && ys[1] > ys[2]) {
        std::swap(ys[1], ys[2]);
    }
    int count = 0;
    for (int i = 0; i < cuts; ++i) {
        const double fromY = ys[i];
        const double toY = ys[i + 1];
        const double fromX = edge.x0 + (fromY - edge.y0) * edge.slope;
        const double toX = edge.x0 + (toY - edge.y0) * edge.slope;
        const double middle = 0.5 * (fromX + toX);
        if (middle >= right) {
            continue;
        }
        if (middle <= left) {
            pieces[count++] = Piece{left, fromY, left, toY};
        } else {
            pieces[count++] =
                Piece{std::clamp(fromX, left, right), fromY, std::clamp(toX, left, right), toY};
        }
    }
    return count;
}

// Accumulates the edges of `area` (image pixels), cut to it (see CutToArea) where `cut` says
// that some may reach out of it. A step of its own, so that its loop has the registers to
// itself.
[[gnu::noinline]] void AccumulateEdges(const Accumulation& into, const SpanFiller::Edge* edges,
                                       size_t count, const QRectF& area, bool cut) {
    const double left = area.left();
    const double top = area.top();
    const double bandTop = top + into.rowFrom;
    const double bandBottom = top + into.rowTo + 1.0;
    Piece pieces[3];
    for (const SpanFiller::Edge* edge = edges; edge != edges + count; ++edge) {
        // Edges wholly above or below the band add nothing to its rows.
        if (edge->y1 <= bandTop || edge->y0 >= bandBottom) {
            continue;
        }
        if (!cut ||
            (edge->y0 >= top && edge->y1 <= area.bottom() && std::min(edge->x0, edge->x1) >= left &&
             std::max(edge->x0, edge->x1) <= area.right())) {
            AccumulateLine(into, edge->x0 - left, edge->y0 - top, edge->x1 - left, edge->y1 - top,
                           edge->slope, edge->direction);
            continue;
        }
        const int parts = CutToArea(*edge, left, area.right(), top, area.bottom(), pieces);
        for (int i = 0; i < parts; ++i) {
            const Piece& piece = pieces[i];
            if (piece.y1 > piece.y0) {
                // A part run down the left side is upright; the others lie on the edge.
                AccumulateLine(into, piece.x0 - left, piece.y0 - top, piece.x1 - left,
                               piece.y1 - top, piece.x0 == piece.x1 ? 0.0 : edge->slope,
                               edge->direction);
            }
        }
    }
}

// Paints a row of `width` pixels from its cells (cleared as they are read) and its words of
// touched cells: the touched cells one by one, the stretches between them at the coverage the
// sum has reached. `kPattern` says whether the row takes the pattern row `source` or the
// colour, made apart so that neither asks which it paints.
template <bool kPattern>
void PaintRow(QRgb* row, int width, SpanFiller::Cell* line, uint64_t* words, int wordsPerRow,
              const QRgb* source, QRgb colour) {
    float sum = 0.0f;
    int x = 0;
    // The cells from x to `end` at the coverage the sum has reached.
    const auto paintStretch = [&](int end) {
        const uint32_t weight = WeightOf(EvenOddCover(sum));
        if (weight != 0) {
            PaintRun(row + x, kPattern ? source + x : nullptr, colour, end - x, weight);
        }
    };
    for (int word = 0; word < wordsPerRow; ++word) {
        uint64_t marks = words[word];
        words[word] = 0;
        for (; marks; marks &= marks - 1) {
            const int cell = word * 64 + std::countr_zero(marks);
            if (cell >= width) {
                // A spare cell: right of every pixel, so only cleared.
                line[cell] = SpanFiller::Cell{0.0f, 0.0f};
                continue;
            }
            if (cell > x) {
                paintStretch(cell);
            }
            const uint32_t weight = WeightOf(EvenOddCover(sum + line[cell].own));
            sum += line[cell].carry;
            line[cell] = SpanFiller::Cell{0.0f, 0.0f};
            x = cell + 1;
            if (weight == 0) {
                continue;
            }
            const QRgb ink = kPattern ? source[cell] : colour;
            row[cell] = weight >= 256 ? ink : Mix(row[cell], ink, weight);
        }
    }
    if (width > x) {
        paintStretch(width);
    }
}

// Paints the rows `rows` of an area from row `row` of the image down (see PaintRow), each row of
// `stride` cells and `wordsPerRow` words of touched cells.
template <bool kPattern>
void PaintRows(QRgb* row, qsizetype imageStride, int rows, int width, SpanFiller::Cell* line,
               int stride, uint64_t* words, int wordsPerRow, const AreaPaint& paint, int y) {
    const QRgb colour = paint.Colour();
    if constexpr (kPattern) {
        AreaPaint::Rows source(paint, y);
        for (int i = 0; i < rows; ++i, row += imageStride, line += stride, words += wordsPerRow) {
            PaintRow<true>(row, width, line, words, wordsPerRow, source.Next(), colour);
        }
    } else {
        for (int i = 0; i < rows; ++i, row += imageStride, line += stride, words += wordsPerRow) {
            PaintRow<false>(row, width, line, words, wordsPerRow, nullptr, colour);
        }
    }
}

}  // namespace

void SpanFiller::Fill(QImage& image, const QRect& clip, const QPoint* points, int count,
                      QPoint offset, const FillPaint& paint, bool antialiased) {
    FillPoints(image, clip, points, count, offset, paint, antialiased);
}

void SpanFiller::Fill(QImage& image, const QRect& clip, const QPointF* points, int count,
                      QPoint offset, const FillPaint& paint, bool antialiased) {
    FillPoints(image, clip, points, count, offset, paint, antialiased);
}

template <typename Point>
void SpanFiller::FillPoints(QImage& image, const QRect& clip, const Point* points, int count,
                            QPoint offset, const FillPaint& paint, bool antialiased) {
    if (count < 3 || !SpanStroker::CanDrawOn(image) ||
        (paint.pattern && (paint.pattern->isNull() || paint.pattern->depth() != 32))) {
        return;
    }
    // Room for an edge a point, written in place.
    if (edges_.size() < size_t(count)) {
        edges_.resize(size_t(count));
    }
    Edge* const edges = edges_.data();
    size_t edgeCount = 0;
    const double offsetX = offset.x();
    const double offsetY = offset.y();
    // Each edge from the point before, (ax, ay), to the next, (bx, by).
    double ax = points[0].x() + offsetX;
    double ay = points[0].y() + offsetY;
    double minX = ax;
    double maxX = ax;
    double minY = ay;
    double maxY = ay;
    for (int i = 1; i <= count; ++i) {
        const Point& to = points[i == count ? 0 : i];
        const double bx = to.x() + offsetX;
        const double by = to.y() + offsetY;
        minX = std::min(minX, bx);
        maxX = std::max(maxX, bx);
        minY = std::min(minY, by);
        maxY = std::max(maxY, by);
        if (ay < by) {
            edges[edgeCount++] = Edge{ax, ay, bx, by, (bx - ax) / (by - ay), 1.0};
        } else if (ay > by) {
            edges[edgeCount++] = Edge{bx, by, ax, ay, (ax - bx) / (ay - by), -1.0};
        }
        ax = bx;
        ay = by;
    }
    edges_.resize(edgeCount);
    const QRect within = clip & image.rect();
    if (edges_.empty() || within.isEmpty() || maxX < within.left() || minX > within.right() + 1.0 ||
        maxY < within.top() || minY > within.bottom() + 1.0) {
        return;
    }
    const QRect bounds(
        QPoint(std::max(FloorOf(std::max(minX, within.left() - 1.0)), within.left()),
               std::max(FloorOf(std::max(minY, within.top() - 1.0)), within.top())),
        QPoint(std::min(CeilOf(std::min(maxX, within.right() + 1.0)), within.right()),
               std::min(CeilOf(std::min(maxY, within.bottom() + 1.0)), within.bottom())));
    if (bounds.isEmpty() || bounds.bottom() < rowTop_ || bounds.top() > rowBottom_) {
        return;
    }
    if (antialiased) {
        const bool inside = minX >= bounds.left() && maxX <= bounds.right() + 1.0 &&
                            minY >= bounds.top() && maxY <= bounds.bottom() + 1.0;
        FillSmooth(image, bounds, inside, paint);
    } else {
        FillAliased(image, bounds, paint);
    }
}

// The pattern repeated across a row as wide as the image and one period more, so that any
// span of a row is one copy; made again only for another pattern or a wider image.
const QImage* SpanFiller::TiledPattern(const FillPaint& paint, int imageWidth) {
    if (!paint.pattern) {
        return nullptr;
    }
    const QImage& pattern = *paint.pattern;
    const int width = imageWidth + pattern.width();
    for (const auto& [key, tiled] : tiled_) {
        if (key == pattern.cacheKey() && tiled.width() >= width) {
            return &tiled;
        }
    }
    // A map has a handful of patterns; an image of another size starts the list again.
    if (tiled_.size() >= 8 || (!tiled_.empty() && tiled_.front().second.width() < width)) {
        tiled_.clear();
    }
    QImage tiled(width, pattern.height(), QImage::Format_RGB32);
    for (int y = 0; y < pattern.height(); ++y) {
        const QRgb* source = reinterpret_cast<const QRgb*>(pattern.constScanLine(y));
        QRgb* target = reinterpret_cast<QRgb*>(tiled.scanLine(y));
        for (int x = 0; x < width; ++x) {
            target[x] = source[x % pattern.width()] | 0xFF000000u;
        }
    }
    tiled_.emplace_back(pattern.cacheKey(), std::move(tiled));
    return &tiled_.back().second;
}

// Each row is sampled at its pixel centres: the crossings of the edges with the row, sorted,
// bound the runs inside (even-odd), and a pixel belongs to a run when its centre lies in
// [start, end). The centres are taken a hair above and left of the true ones, so that an edge
// through a centre takes the pixel right of it and below it, as the painter does.
void SpanFiller::FillAliased(QImage& image, const QRect& area, const FillPaint& paint) {
    std::sort(edges_.begin(), edges_.end(),
              [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
    active_.clear();
    size_t next = 0;
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const AreaPaint areaPaint(paint, TiledPattern(paint, image.width()), area.left());
    const int lastRow = std::min(area.bottom(), rowBottom_);
    for (int y = std::max(area.top(), rowTop_); y <= lastRow; ++y) {
        const double centreY = y + 0.5 - kSampleBias;
        while (next < edges_.size() && edges_[next].y0 <= centreY) {
            active_.push_back(&edges_[next++]);
        }
        crossings_.clear();
        size_t kept = 0;
        for (const Edge* edge : active_) {
            if (edge->y1 <= centreY) {
                continue;
            }
            active_[kept++] = edge;
            crossings_.push_back(edge->x0 + (centreY - edge->y0) * edge->slope);
        }
        active_.resize(kept);
        if (crossings_.size() < 2) {
            if (active_.empty() && next == edges_.size()) {
                break;
            }
            continue;
        }
        std::sort(crossings_.begin(), crossings_.end());
        QRgb* const row = reinterpret_cast<QRgb*>(bits + stride * y) + area.left();
        const QRgb* const source = areaPaint.Row(y);
        for (size_t i = 0; i + 1 < crossings_.size(); i += 2) {
            const double start = std::max(crossings_[i] - 0.5 + kSampleBias, area.left() - 1.0);
            const double end = std::min(crossings_[i + 1] - 0.5 + kSampleBias, area.right() + 1.0);
            const int from = std::max(CeilOf(start), area.left()) - area.left();
            const int to = std::min(CeilOf(end) - 1, area.right()) - area.left();
            if (from <= to) {
                PaintRun(row + from, source ? source + from : nullptr, areaPaint.Colour(),
                         to - from + 1, 256);
            }
        }
    }
}

// The signed areas of the edges are accumulated in a buffer over the area (one cell a pixel,
// two spare columns), each row summed from the left into coverages, and the buffer zeroed as
// it is read. Parts of edges left of the area count as vertical edges on its left side; parts
// right of it cover nothing inside. `inside` says that all edges lie within the area, so that
// none needs cutting.
void SpanFiller::FillSmooth(QImage& image, const QRect& area, bool inside, const FillPaint& paint) {
    const int width = area.width();
    const int stride = width + 2;
    const size_t size = size_t(stride) * size_t(area.height());
    if (accumulation_.size() < size) {
        accumulation_.assign(size, Cell{0.0f, 0.0f});
    }
    Cell* const cells = accumulation_.data();
    const int wordsPerRow = (stride + 63) / 64;
    if (touched_.size() < size_t(wordsPerRow) * size_t(area.height())) {
        touched_.assign(size_t(wordsPerRow) * size_t(area.height()), 0);
    }
    uint64_t* const touched = touched_.data();
    // The local rows of the band; the edges are still cut to the whole area, as without one.
    const int rowFrom = int(std::max<qint64>(qint64(rowTop_) - area.top(), 0));
    const int rowTo = int(std::min<qint64>(qint64(rowBottom_) - area.top(), area.height() - 1));
    const Accumulation into{cells, stride, touched, wordsPerRow, rowFrom, rowTo};
    AccumulateEdges(into, edges_.data(), edges_.size(), QRectF(area), !inside);
    // Then row by row.
    const AreaPaint areaPaint(paint, TiledPattern(paint, image.width()), area.left());
    const qsizetype imageStride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    const int y = area.top() + rowFrom;
    QRgb* const row = reinterpret_cast<QRgb*>(image.bits()) + imageStride * y + area.left();
    Cell* const line = cells + size_t(rowFrom) * size_t(stride);
    uint64_t* const words = touched + size_t(rowFrom) * size_t(wordsPerRow);
    const int rows = rowTo - rowFrom + 1;
    if (areaPaint.Patterned()) {
        PaintRows<true>(row, imageStride, rows, width, line, stride, words, wordsPerRow, areaPaint,
                        y);
    } else {
        PaintRows<false>(row, imageStride, rows, width, line, stride, words, wordsPerRow, areaPaint,
                         y);
    }
}

}  // namespace paint
