#include "platform/span_stroker.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/span_pixels.h"

namespace platform {
namespace {

using span::Blend;
using span::CeilOf;
using span::FloorOf;
using span::kSampleBias;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// One segment in image pixels, with its direction of unit length (zero for a dot) and the
// reciprocals of its components (zero where a component is zero).
struct Segment {
    double ax;
    double ay;
    double bx;
    double by;
    double ux;
    double uy;
    double length;
    double inverseUx;
    double inverseUy;
    // Whether the disc about A is part of this piece: the disc about the end of one segment is
    // the disc about the start of the next, so only the first segment of a line takes it.
    bool startDisc;
};

template <typename Point>
Segment SegmentOf(const Point& a, const Point& b, QPoint offset, bool startDisc) {
    Segment s;
    s.ax = double(a.x()) + offset.x();
    s.ay = double(a.y()) + offset.y();
    s.bx = double(b.x()) + offset.x();
    s.by = double(b.y()) + offset.y();
    const double dx = s.bx - s.ax;
    const double dy = s.by - s.ay;
    s.length = std::sqrt(dx * dx + dy * dy);
    s.ux = s.length > 0.0 ? dx / s.length : 0.0;
    s.uy = s.length > 0.0 ? dy / s.length : 0.0;
    s.inverseUx = std::abs(s.ux) > 1e-12 ? 1.0 / s.ux : 0.0;
    s.inverseUy = std::abs(s.uy) > 1e-12 ? 1.0 / s.uy : 0.0;
    s.startDisc = startDisc || s.length == 0.0;
    return s;
}

// Narrows [lo, hi] to the x at which slope · x + intercept lies in [low, high]; `inverse` is
// 1 / slope, or 0 for a slope of 0.
inline void Narrow(double inverse, double intercept, double low, double high, double& lo,
                   double& hi) {
    if (inverse == 0.0) {
        if (intercept < low || intercept > high) {
            lo = kInfinity;
            hi = -kInfinity;
        }
        return;
    }
    double first = (low - intercept) * inverse;
    double second = (high - intercept) * inverse;
    if (inverse < 0.0) {
        std::swap(first, second);
    }
    lo = std::max(lo, first);
    hi = std::min(hi, second);
}

// The x interval of the row at height y within `reach` of the piece (the band along the
// segment, the disc about B and, for the first segment, the disc about A: a convex shape, so
// one interval); false when the row misses it.
inline bool RowInterval(const Segment& s, double y, double reach, double& left, double& right) {
    double lo = kInfinity;
    double hi = -kInfinity;
    const double reach2 = reach * reach;
    const double fromA = y - s.ay;
    const double fromB = y - s.by;
    if (s.startDisc) {
        const double halfA = reach2 - fromA * fromA;
        if (halfA >= 0.0) {
            const double h = std::sqrt(halfA);
            lo = s.ax - h;
            hi = s.ax + h;
        }
    }
    const double halfB = reach2 - fromB * fromB;
    if (halfB >= 0.0) {
        const double h = std::sqrt(halfB);
        lo = std::min(lo, s.bx - h);
        hi = std::max(hi, s.bx + h);
    }
    if (s.length > 0.0) {
        // Along the segment from A: ux · (x − ax) + uy · fromA in [0, length]; across it:
        // −uy · (x − ax) + ux · fromA in [−reach, reach].
        double bandLo = -kInfinity;
        double bandHi = kInfinity;
        Narrow(s.inverseUx, fromA * s.uy, 0.0, s.length, bandLo, bandHi);
        Narrow(-s.inverseUy, fromA * s.ux, -reach, reach, bandLo, bandHi);
        if (bandLo <= bandHi) {
            lo = std::min(lo, bandLo + s.ax);
            hi = std::max(hi, bandHi + s.ax);
        }
    }
    left = lo;
    right = hi;
    return lo <= hi;
}

// The pixels whose (biased) centres lie in [left, right], within [first, last].
inline bool PixelSpan(double left, double right, int first, int last, int& from, int& to) {
    const double lo = std::max(left - 0.5 + kSampleBias, double(first) - 1.0);
    const double hi = std::min(right - 0.5 + kSampleBias, double(last) + 1.0);
    if (!(lo <= hi)) {
        return false;
    }
    from = std::max(CeilOf(lo), first);
    to = std::min(FloorOf(hi), last);
    return from <= to;
}

// Coverage, as alpha, of the pixels from..to of the row at pixel centre height py: `reach`
// less the distance of each centre to the segment, merged into `cover`. Along the band the
// distance is the perpendicular one, stepped from pixel to pixel; beyond either end it is the
// distance to that end.
inline void CoverEdge(const Segment& s, double reach, int from, int to, double py,
                      uint8_t* cover) {
    const double dy = py - s.ay;
    double dx = from + 0.5 - s.ax;
    double along = dx * s.ux + dy * s.uy;
    double across = dy * s.ux - dx * s.uy;
    for (int x = from; x <= to; ++x, dx += 1.0, along += s.ux, across -= s.uy) {
        double distance = 0.0;
        if (along < 0.0) {
            distance = std::sqrt(dx * dx + dy * dy);
        } else if (along > s.length) {
            const double ex = dx - (s.bx - s.ax);
            const double ey = dy - (s.by - s.ay);
            distance = std::sqrt(ex * ex + ey * ey);
        } else {
            distance = std::abs(across);
        }
        const double amount = reach - distance;
        if (amount > 0.0) {
            const uint8_t alpha = amount >= 1.0 ? 255 : uint8_t(amount * 255.0 + 0.5);
            cover[x] = std::max(cover[x], alpha);
        }
    }
}

// A smooth line one pixel wide, the way hairlines are smoothed: along its longer axis each
// column (or row) of pixels gets the line's coverage split between the two pixels nearest it.
// A segment covers its columns from its start up to, not including, its end, so that the
// joints of a line are painted once.
template <typename Point>
void StrokeHairline(QImage& image, const QRect& area, const Point* points, int count,
                    bool closed, QPoint offset, QRgb colour) {
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const auto plot = [&](int x, int y, double cover) {
        if (x < area.left() || x > area.right() || y < area.top() || y > area.bottom() ||
            cover <= 0.0) {
            return;
        }
        QRgb& pixel = reinterpret_cast<QRgb*>(bits + stride * y)[x];
        const uint32_t alpha = uint32_t(cover * 255.0 + 0.5);
        pixel = alpha >= 255 ? colour : Blend(pixel, colour, alpha);
    };
    const int segments = closed && count > 2 ? count : count - 1;
    for (int i = 0; i < segments; ++i) {
        const Point& from = points[i];
        const Point& to = points[i + 1 < count ? i + 1 : 0];
        // In pixel-centre coordinates: the centre of pixel (i, j) is (i, j).
        double ax = from.x() + double(offset.x()) - 0.5;
        double ay = from.y() + double(offset.y()) - 0.5;
        double bx = to.x() + double(offset.x()) - 0.5;
        double by = to.y() + double(offset.y()) - 0.5;
        if (std::max(ax, bx) < area.left() - 1.0 || std::min(ax, bx) > area.right() + 1.0 ||
            std::max(ay, by) < area.top() - 1.0 || std::min(ay, by) > area.bottom() + 1.0) {
            continue;
        }
        const bool steep = std::abs(by - ay) > std::abs(bx - ax);
        if (steep) {
            std::swap(ax, ay);
            std::swap(bx, by);
        }
        const double step = bx >= ax ? 1.0 : -1.0;
        const double slope = bx != ax ? (by - ay) / (bx - ax) : 0.0;
        // The columns of the segment, limited to those of the area.
        const double low = steep ? area.top() - 1.0 : area.left() - 1.0;
        const double high = steep ? area.bottom() + 1.0 : area.right() + 1.0;
        const double first = std::clamp(step > 0 ? std::ceil(ax) : std::floor(ax), low, high);
        const double end = std::clamp(step > 0 ? std::ceil(bx) : std::floor(bx), low, high);
        for (double column = first; step > 0 ? column < end : column > end; column += step) {
            const double along = ay + slope * (column - ax);
            if (along < -2.0e9 || along > 2.0e9) {
                continue;
            }
            const double below = std::floor(along);
            const double share = along - below;
            const int c = int(column);
            const int r = int(below);
            if (steep) {
                plot(r, c, 1.0 - share);
                plot(r + 1, c, share);
            } else {
                plot(c, r, 1.0 - share);
                plot(c, r + 1, share);
            }
        }
    }
}

}  // namespace

bool SpanStroker::CanDrawOn(const QImage& image) {
    switch (image.format()) {
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied:
            return true;
        default:
            return false;
    }
}

void SpanStroker::Stroke(QImage& image, const QRect& clip, const QPoint* points, int count,
                         QPoint offset, int width, QRgb colour, bool antialiased) {
    StrokePoints(image, clip, points, count, false, offset, width, colour, antialiased);
}

void SpanStroker::Stroke(QImage& image, const QRect& clip, const QPointF* points, int count,
                         QPoint offset, int width, QRgb colour, bool antialiased) {
    StrokePoints(image, clip, points, count, false, offset, width, colour, antialiased);
}

void SpanStroker::StrokeClosed(QImage& image, const QRect& clip, const QPoint* points, int count,
                               QPoint offset, int width, QRgb colour, bool antialiased) {
    StrokePoints(image, clip, points, count, true, offset, width, colour, antialiased);
}

void SpanStroker::StrokeClosed(QImage& image, const QRect& clip, const QPointF* points,
                               int count, QPoint offset, int width, QRgb colour,
                               bool antialiased) {
    StrokePoints(image, clip, points, count, true, offset, width, colour, antialiased);
}

template <typename Point>
void SpanStroker::StrokePoints(QImage& image, const QRect& clip, const Point* points, int count,
                               bool closed, QPoint offset, int width, QRgb colour,
                               bool antialiased) {
    const QRect area = clip & image.rect();
    if (count < 1 || width < 1 || area.isEmpty() || !CanDrawOn(image)) {
        return;
    }
    colour |= 0xFF000000u;
    if (width == 1 && antialiased) {
        StrokeHairline(image, area, points, count, closed, offset, colour);
        return;
    }
    const double radius = width / 2.0;
    const double reach = antialiased ? radius + 0.5 : radius;
    const double core = radius - 0.5;
    if (antialiased && (coverageWidth_ < image.width() || coverageHeight_ < image.height())) {
        coverageWidth_ = std::max(coverageWidth_, image.width());
        coverageHeight_ = std::max(coverageHeight_, image.height());
        coverage_.assign(size_t(coverageWidth_) * size_t(coverageHeight_), 0);
        rowFirst_.assign(size_t(coverageHeight_), std::numeric_limits<int>::max());
        rowLast_.assign(size_t(coverageHeight_), -1);
    }
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    int touchedTop = std::numeric_limits<int>::max();
    int touchedBottom = -1;

    const int segments = closed && count > 2 ? count : std::max(1, count - 1);
    for (int i = 0; i < segments; ++i) {
        const int next = i + 1 < count ? i + 1 : (closed ? 0 : count - 1);
        const Segment s = SegmentOf(points[i], points[next], offset, i == 0);
        const double top = std::min(s.ay, s.by) - reach;
        const double bottom = std::max(s.ay, s.by) + reach;
        if (bottom < area.top() || top > area.bottom() + 1 ||
            std::max(s.ax, s.bx) + reach < area.left() ||
            std::min(s.ax, s.bx) - reach > area.right() + 1) {
            continue;
        }
        const int firstRow = std::max(FloorOf(std::max(top - 0.5, double(area.top()) - 1.0)),
                                      area.top());
        const int lastRow = std::min(CeilOf(std::min(bottom, double(area.bottom()) + 1.0)),
                                     area.bottom());
        for (int y = firstRow; y <= lastRow; ++y) {
            const double centreY = y + 0.5 - kSampleBias;
            double left = 0.0;
            double right = 0.0;
            int from = 0;
            int to = 0;
            if (!RowInterval(s, centreY, reach, left, right) ||
                !PixelSpan(left, right, area.left(), area.right(), from, to)) {
                continue;
            }
            QRgb* const row = reinterpret_cast<QRgb*>(bits + stride * y);
            if (!antialiased) {
                std::fill(row + from, row + to + 1, colour);
                continue;
            }
            // The core, where every pixel is covered, is painted at once; the edge pixels
            // around it keep their coverage for the blend.
            int coreFrom = to + 1;
            int coreTo = to;
            if (core > 0.0 && RowInterval(s, centreY, core, left, right) &&
                PixelSpan(left, right, from, to, coreFrom, coreTo)) {
                std::fill(row + coreFrom, row + coreTo + 1, colour);
            } else {
                coreFrom = to + 1;
                coreTo = to;
            }
            uint8_t* const cover = coverage_.data() + size_t(y) * size_t(coverageWidth_);
            CoverEdge(s, reach, from, coreFrom - 1, y + 0.5, cover);
            CoverEdge(s, reach, coreTo + 1, to, y + 0.5, cover);
            rowFirst_[size_t(y)] = std::min(rowFirst_[size_t(y)], from);
            rowLast_[size_t(y)] = std::max(rowLast_[size_t(y)], to);
            touchedTop = std::min(touchedTop, y);
            touchedBottom = std::max(touchedBottom, y);
        }
    }
    if (!antialiased) {
        return;
    }
    for (int y = touchedTop; y <= touchedBottom; ++y) {
        const size_t index = size_t(y);
        if (rowLast_[index] < 0) {
            continue;
        }
        QRgb* const row = reinterpret_cast<QRgb*>(bits + stride * y);
        uint8_t* const cover = coverage_.data() + index * size_t(coverageWidth_);
        const int last = rowLast_[index];
        for (int x = rowFirst_[index]; x <= last; ++x) {
            // Most of a long line's rows is its core, already painted: pass over eight
            // untouched pixels at a time.
            if (x + 8 <= last + 1) {
                uint64_t eight = 0;
                std::memcpy(&eight, cover + x, sizeof eight);
                if (eight == 0) {
                    x += 7;
                    continue;
                }
            }
            if (cover[x] != 0) {
                row[x] = cover[x] == 255 ? colour : Blend(row[x], colour, cover[x]);
                cover[x] = 0;
            }
        }
        rowFirst_[index] = std::numeric_limits<int>::max();
        rowLast_[index] = -1;
    }
}

}  // namespace platform
