#include "platform/span_filler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/span_pixels.h"
#include "platform/span_stroker.h"

namespace platform {
namespace {

using span::Blend;
using span::CeilOf;
using span::FloorOf;
using span::kSampleBias;

// Coverages below this are left out, above the next they paint the colour itself.
constexpr float kNoCover = 1.0f / 512.0f;
constexpr float kFullCover = 1.0f - 1.0f / 512.0f;

// The share of a pixel inside by the even-odd rule, from its accumulated signed area: a second
// turn round a pixel takes it out again.
inline float EvenOddCover(float sum) {
    float cover = std::abs(sum);
    if (cover > 1.0f) {
        cover = std::fmod(cover, 2.0f);
        cover = cover > 1.0f ? 2.0f - cover : cover;
    }
    return cover;
}

// The paint of one row: the colour, or the row of the pattern tiled across the image.
class RowPaint {
public:
    RowPaint(const FillPaint& paint, const QImage* tiled, int y)
        : colour_(paint.colour | 0xFF000000u) {
        if (paint.pattern && tiled) {
            const int height = paint.pattern->height();
            width_ = paint.pattern->width();
            origin_ = paint.patternOrigin.x();
            const int row = ((y - paint.patternOrigin.y()) % height + height) % height;
            row_ = reinterpret_cast<const QRgb*>(tiled->constScanLine(row));
        }
    }
    // Column of the tiled pattern under image column x: within the first period.
    int PhaseAt(int x) const { return ((x - origin_) % width_ + width_) % width_; }

    void Span(QRgb* row, int from, int to) const {
        if (!row_) {
            std::fill(row + from, row + to + 1, colour_);
            return;
        }
        std::memcpy(row + from, row_ + PhaseAt(from), size_t(to - from + 1) * sizeof(QRgb));
    }
    QRgb At(int x) const { return row_ ? row_[PhaseAt(x)] : colour_; }

private:
    QRgb colour_;
    const QRgb* row_ = nullptr;
    int width_ = 1;
    int origin_ = 0;
};

// Adds the signed area a line covers in each cell of a row to the cells (and what it leaves of
// the cell to its right to the next one), so that summing a row from the left gives the
// covered share of each pixel. The line lies within the rows of `cells` and within x from 0 to
// the row width; `cells` has room for two more cells a row.
template <typename Touches>
void AccumulateLine(float* cells, int stride, double x0, double y0, double x1, double y1,
                    double direction, int rowFrom, int rowTo, Touches& touched) {
    const double slope = (x1 - x0) / (y1 - y0);
    double x = x0;
    const int lastRow = std::min(CeilOf(y1) - 1, rowTo);
    for (int y = FloorOf(y0); y <= lastRow; ++y) {
        float* const line = cells + size_t(y) * size_t(stride);
        const double dy = std::min(double(y + 1), y1) - std::max(double(y), y0);
        const double next = x + slope * dy;
        if (y < rowFrom) {
            // Stepped all the same, so that the rows painted see the x a whole fill sees.
            x = next;
            continue;
        }
        const double d = dy * direction;
        const double left = std::min(x, next);
        const double right = std::max(x, next);
        const int leftCell = FloorOf(left);
        const int rightCell = CeilOf(right);
        touched.push_back({y, leftCell, std::max(rightCell, leftCell + 1)});
        if (rightCell <= leftCell + 1) {
            const double middle = 0.5 * (x + next) - leftCell;
            line[leftCell] += float(d - d * middle);
            line[leftCell + 1] += float(d * middle);
        } else {
            const double inverse = 1.0 / (right - left);
            const double leftShare = left - leftCell;
            const double a0 = 0.5 * inverse * (1.0 - leftShare) * (1.0 - leftShare);
            const double rightShare = right - rightCell + 1.0;
            const double am = 0.5 * inverse * rightShare * rightShare;
            line[leftCell] += float(d * a0);
            if (rightCell == leftCell + 2) {
                line[leftCell + 1] += float(d * (1.0 - a0 - am));
            } else {
                const double a1 = inverse * (1.5 - leftShare);
                line[leftCell + 1] += float(d * (a1 - a0));
                for (int cell = leftCell + 2; cell < rightCell - 1; ++cell) {
                    line[cell] += float(d * inverse);
                }
                const double a2 = a1 + (rightCell - leftCell - 3) * inverse;
                line[rightCell - 1] += float(d * (1.0 - a2 - am));
            }
            line[rightCell] += float(d * am);
        }
        x = next;
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
    edges_.clear();
    double minX = points[0].x() + double(offset.x());
    double maxX = minX;
    double minY = points[0].y() + double(offset.y());
    double maxY = minY;
    for (int i = 0; i < count; ++i) {
        const Point& from = points[i];
        const Point& to = points[i + 1 == count ? 0 : i + 1];
        double ax = from.x() + double(offset.x());
        double ay = from.y() + double(offset.y());
        double bx = to.x() + double(offset.x());
        double by = to.y() + double(offset.y());
        minX = std::min(minX, ax);
        maxX = std::max(maxX, ax);
        minY = std::min(minY, ay);
        maxY = std::max(maxY, ay);
        if (ay == by) {
            continue;
        }
        double direction = 1.0;
        if (ay > by) {
            std::swap(ax, bx);
            std::swap(ay, by);
            direction = -1.0;
        }
        edges_.push_back(Edge{ax, ay, bx, by, (bx - ax) / (by - ay), direction});
    }
    const QRect within = clip & image.rect();
    if (edges_.empty() || within.isEmpty() || maxX < within.left() ||
        minX > within.right() + 1.0 || maxY < within.top() || minY > within.bottom() + 1.0) {
        return;
    }
    const QRect bounds(QPoint(std::max(FloorOf(std::max(minX, within.left() - 1.0)), within.left()),
                              std::max(FloorOf(std::max(minY, within.top() - 1.0)), within.top())),
                       QPoint(std::min(CeilOf(std::min(maxX, within.right() + 1.0)), within.right()),
                              std::min(CeilOf(std::min(maxY, within.bottom() + 1.0)),
                                       within.bottom())));
    if (bounds.isEmpty() || bounds.bottom() < rowTop_ || bounds.top() > rowBottom_) {
        return;
    }
    if (antialiased) {
        FillSmooth(image, bounds, paint);
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

// The touches in row order (a counting sort: rows are few and known), each row's in order of
// their first cell.
void SpanFiller::SortByRow(int rows) {
    rowStarts_.assign(size_t(rows) + 1, 0);
    for (const Touch& touch : touched_) {
        ++rowStarts_[size_t(touch.row) + 1];
    }
    for (int row = 0; row < rows; ++row) {
        rowStarts_[size_t(row) + 1] += rowStarts_[size_t(row)];
    }
    sorted_.resize(touched_.size());
    for (const Touch& touch : touched_) {
        sorted_[rowStarts_[size_t(touch.row)]++] = touch;
    }
    touched_.swap(sorted_);
    // rowStarts_ now holds the ends of the rows; sort within each, mostly a handful.
    size_t begin = 0;
    for (int row = 0; row < rows; ++row) {
        const size_t end = rowStarts_[size_t(row)];
        for (size_t i = begin + 1; i < end; ++i) {
            const Touch touch = touched_[i];
            size_t j = i;
            while (j > begin && touched_[j - 1].from > touch.from) {
                touched_[j] = touched_[j - 1];
                --j;
            }
            touched_[j] = touch;
        }
        begin = end;
    }
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
        QRgb* const row = reinterpret_cast<QRgb*>(bits + stride * y);
        const RowPaint rowPaint(paint, TiledPattern(paint, image.width()), y);
        for (size_t i = 0; i + 1 < crossings_.size(); i += 2) {
            const double start = std::max(crossings_[i] - 0.5 + kSampleBias, area.left() - 1.0);
            const double end = std::min(crossings_[i + 1] - 0.5 + kSampleBias, area.right() + 1.0);
            const int from = std::max(CeilOf(start), area.left());
            const int to = std::min(CeilOf(end) - 1, area.right());
            if (from <= to) {
                rowPaint.Span(row, from, to);
            }
        }
    }
}

// The signed areas of the edges are accumulated in a buffer over the area (one float a pixel,
// two spare columns), each row summed from the left into coverages, and the buffer zeroed as
// it is read. Parts of edges left of the area count as vertical edges on its left side; parts
// right of it cover nothing inside.
void SpanFiller::FillSmooth(QImage& image, const QRect& area, const FillPaint& paint) {
    const int width = area.width();
    const int stride = width + 3;
    const size_t size = size_t(stride) * size_t(area.height());
    if (accumulation_.size() < size) {
        accumulation_.assign(size, 0.0f);
    }
    float* const cells = accumulation_.data();
    const double left = area.left();
    const double right = area.right() + 1.0;
    const double top = area.top();
    const double bottom = area.bottom() + 1.0;
    touched_.clear();
    // The local rows of the band; the edges are still cut to the whole area, as without one.
    const int rowFrom = int(std::max<qint64>(qint64(rowTop_) - area.top(), 0));
    const int rowTo = int(std::min<qint64>(qint64(rowBottom_) - area.top(), area.height() - 1));
    const auto add = [&](double x0, double y0, double x1, double y1, double direction) {
        if (y1 > y0) {
            AccumulateLine(cells, stride, x0 - left, y0 - top, x1 - left, y1 - top, direction,
                           rowFrom, rowTo, touched_);
        }
    };
    for (Edge edge : edges_) {
        // Into the rows of the area.
        if (edge.y1 <= top || edge.y0 >= bottom) {
            continue;
        }
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
        int pieces = 1;
        for (const double side : {left, right}) {
            if ((edge.x0 < side) != (edge.x1 < side) && edge.slope != 0.0) {
                const double y = edge.y0 + (side - edge.x0) / edge.slope;
                if (y > edge.y0 && y < edge.y1) {
                    ys[pieces++] = y;
                }
            }
        }
        ys[pieces] = edge.y1;
        if (pieces == 3 && ys[1] > ys[2]) {
            std::swap(ys[1], ys[2]);
        }
        for (int i = 0; i < pieces; ++i) {
            const double fromY = ys[i];
            const double toY = ys[i + 1];
            const double fromX = edge.x0 + (fromY - edge.y0) * edge.slope;
            const double toX = edge.x0 + (toY - edge.y0) * edge.slope;
            const double middle = 0.5 * (fromX + toX);
            if (middle >= right) {
                continue;
            }
            if (middle <= left) {
                add(left, fromY, left, toY, edge.direction);
            } else {
                add(std::clamp(fromX, left, right), fromY, std::clamp(toX, left, right), toY,
                    edge.direction);
            }
        }
    }
    // Row by row: the touched cells one by one, the stretches between them at the coverage
    // the sum has reached.
    SortByRow(area.height());
    uchar* const bits = image.bits();
    const qsizetype imageStride = image.bytesPerLine();
    size_t index = 0;
    while (index < touched_.size()) {
        const int localRow = touched_[index].row;
        const int y = area.top() + localRow;
        float* const line = cells + size_t(localRow) * size_t(stride);
        QRgb* const row = reinterpret_cast<QRgb*>(bits + imageStride * y) + area.left();
        const RowPaint rowPaint(paint, TiledPattern(paint, image.width()), y);
        float sum = 0.0f;
        int x = 0;
        const auto paintRun = [&](int from, int to) {
            const float cover = EvenOddCover(sum);
            if (cover < kNoCover || from > to) {
                return;
            }
            if (cover > kFullCover) {
                rowPaint.Span(row - area.left(), area.left() + from, area.left() + to);
                return;
            }
            const uint32_t alpha = uint32_t(cover * 255.0f + 0.5f);
            for (int i = from; i <= to; ++i) {
                row[i] = Blend(row[i], rowPaint.At(area.left() + i), alpha);
            }
        };
        while (index < touched_.size() && touched_[index].row == localRow) {
            // The touched run, merged with the runs that overlap it.
            const int from = std::max(touched_[index].from, x);
            int to = touched_[index].to;
            ++index;
            while (index < touched_.size() && touched_[index].row == localRow &&
                   touched_[index].from <= to + 1) {
                to = std::max(to, touched_[index].to);
                ++index;
            }
            paintRun(x, std::min(from, width) - 1);
            for (int cell = from; cell <= to; ++cell) {
                sum += line[cell];
                line[cell] = 0.0f;
                if (cell >= width) {
                    continue;
                }
                const float cover = EvenOddCover(sum);
                if (cover < kNoCover) {
                    continue;
                }
                const QRgb colour = rowPaint.At(area.left() + cell);
                row[cell] = cover > kFullCover ? colour
                                               : Blend(row[cell], colour,
                                                       uint32_t(cover * 255.0f + 0.5f));
            }
            x = std::max(x, to + 1);
        }
        paintRun(x, width - 1);
    }
}

}  // namespace platform
