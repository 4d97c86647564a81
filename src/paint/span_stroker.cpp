#include "paint/span_stroker.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "paint/span_pixels.h"

namespace paint {
namespace {

using span::CeilOf;
using span::FillPixels;
using span::FloorOf;
using span::kSampleBias;
using span::Mix;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// One segment in image pixels: its ends, its direction of unit length and its length. In the
// rows it crosses, the band along it is bounded in x by two pairs of lines (the ends'
// perpendiculars and the two sides), kept as x − ax = slope · (y − ay) + offset. A dot (a
// segment of no length) has no band and measures its distances along x.
struct Segment {
    double ax;
    double ay;
    double bx;
    double by;
    double ux;
    double uy;
    double length;
    // Whether the disc about A is part of this piece: the disc about the end of one segment is
    // the disc about the start of the next, so only the first segment of a line takes it.
    bool startDisc;
    bool band;
    // Along the segment: 0 ≤ along ≤ length. For a vertical segment no x is excluded and the
    // row's height decides (`alongRows`).
    bool alongRows;
    double alongSlope;
    double alongLow;
    double alongHigh;
    // Across it: |across| ≤ reach, the x within acrossScale · reach of acrossSlope · (y − ay).
    // For a horizontal segment the row's height decides (`acrossRows`).
    bool acrossRows;
    double acrossSlope;
    double acrossScale;
};

// Components smaller than this count as zero: the band's side is then parallel to the rows.
constexpr double kNearlyZero = 1e-12;

Segment SegmentOf(double ax, double ay, double bx, double by, bool startDisc) {
    Segment s{};
    s.ax = ax;
    s.ay = ay;
    s.bx = bx;
    s.by = by;
    const double dx = s.bx - s.ax;
    const double dy = s.by - s.ay;
    s.length = std::sqrt(dx * dx + dy * dy);
    s.band = s.length > 0.0;
    s.startDisc = startDisc || !s.band;
    s.ux = s.band ? dx / s.length : 1.0;
    s.uy = s.band ? dy / s.length : 0.0;
    s.alongRows = std::abs(s.ux) <= kNearlyZero;
    if (!s.alongRows) {
        s.alongSlope = -s.uy / s.ux;
        s.alongLow = std::min(0.0, s.length / s.ux);
        s.alongHigh = std::max(0.0, s.length / s.ux);
    }
    s.acrossRows = std::abs(s.uy) <= kNearlyZero;
    if (!s.acrossRows) {
        s.acrossSlope = s.ux / s.uy;
        s.acrossScale = 1.0 / std::abs(s.uy);
    }
    return s;
}

// An x interval of one row; empty while lo > hi.
struct Interval {
    double lo = kInfinity;
    double hi = -kInfinity;

    void Join(double from, double to) {
        lo = std::min(lo, from);
        hi = std::max(hi, to);
    }
};

// The x interval of the row at height y within `reach` of the piece (the band along the
// segment, the disc about B and, for the first segment, the disc about A: a convex shape, so
// one interval).
inline Interval RowInterval(const Segment& s, double y, double reach) {
    Interval span;
    const double fromA = y - s.ay;
    const double fromB = y - s.by;
    const double reach2 = reach * reach;
    if (s.startDisc && reach2 >= fromA * fromA) {
        const double h = std::sqrt(reach2 - fromA * fromA);
        span.Join(s.ax - h, s.ax + h);
    }
    if (reach2 >= fromB * fromB) {
        const double h = std::sqrt(reach2 - fromB * fromB);
        span.Join(s.bx - h, s.bx + h);
    }
    if (!s.band) {
        return span;
    }
    double lo = -kInfinity;
    double hi = kInfinity;
    if (s.alongRows) {
        const double along = fromA * s.uy;
        if (along < 0.0 || along > s.length) {
            return span;
        }
    } else {
        lo = s.alongSlope * fromA + s.alongLow;
        hi = s.alongSlope * fromA + s.alongHigh;
    }
    if (s.acrossRows) {
        if (std::abs(fromA * s.ux) > reach) {
            return span;
        }
    } else {
        const double middle = s.acrossSlope * fromA;
        const double half = s.acrossScale * reach;
        lo = std::max(lo, middle - half);
        hi = std::min(hi, middle + half);
    }
    if (lo <= hi) {
        span.Join(lo + s.ax, hi + s.ax);
    }
    return span;
}

// The pixels whose (biased) centres lie in the interval, within [first, last].
inline bool PixelSpan(const Interval& span, int first, int last, int& from, int& to) {
    const double lo = std::max(span.lo - 0.5 + kSampleBias, double(first) - 1.0);
    const double hi = std::min(span.hi - 0.5 + kSampleBias, double(last) + 1.0);
    if (!(lo <= hi)) {
        return false;
    }
    from = std::max(CeilOf(lo), first);
    to = std::min(FloorOf(hi), last);
    return from <= to;
}

// The coverage, as alpha, of the pixels of one row by a segment: `reach` less the distance of
// a pixel's centre to the segment, which has a part across the segment and, beyond either end,
// a part along it.
class RowCoverage {
public:
    RowCoverage(const Segment& s, double reach, double centreY)
        : s_(s),
          reach_(reach),
          covered_(reach > 1.0 ? (reach - 1.0) * (reach - 1.0) : -1.0),
          alongY_((centreY - s.ay) * s.uy),
          acrossY_((centreY - s.ay) * s.ux) {}

    // Walks from `from` to `last` (rightwards for kStep 1, leftwards for -1) while the pixels
    // are not covered whole, giving `keep` each one's coverage; returns the first pixel
    // covered whole, or the one past `last`.
    template <int kStep, typename Keep>
    int WalkIn(int from, int last, Keep keep) const {
        const double ux = s_.ux * kStep;
        const double uy = s_.uy * kStep;
        const double length = s_.length;
        const double reach = reach_;
        const double covered = covered_;
        const double dx = from + 0.5 - s_.ax;
        double along = dx * s_.ux + alongY_;
        double across = acrossY_ - dx * s_.uy;
        int x = from;
        for (; kStep > 0 ? x <= last : x >= last; x += kStep, along += ux, across -= uy) {
            const uint8_t alpha = At(along, across, length, reach, covered);
            if (alpha == 255) {
                break;
            }
            keep(x, alpha);
        }
        return x;
    }

private:
    static uint8_t At(double along, double across, double length, double reach, double covered) {
        const double beyond = std::max(std::max(-along, along - length), 0.0);
        // Beside the segment the distance is the one across it; beyond its ends, to the end.
        double distance = std::abs(across);
        if (beyond > 0.0) {
            const double distance2 = across * across + beyond * beyond;
            // Within reach − 1 the pixel is covered whole: no root needed.
            if (distance2 <= covered) {
                return 255;
            }
            distance = std::sqrt(distance2);
        }
        const double amount = reach - distance;
        return uint8_t(std::min(std::max(amount, 0.0), 1.0) * 255.0 + 0.5);
    }

    const Segment& s_;
    double reach_;
    double covered_;
    double alongY_;
    double acrossY_;
};

// `colour` over the pixel at `weight` 256ths, 1 to 256.
inline void Plot(QRgb& pixel, QRgb colour, uint32_t weight) {
    pixel = weight >= 256 ? colour : Mix(pixel, colour, weight);
}

// Positions across a hairline in 1/2^24 pixel.
constexpr int kAcrossShift = 24;
constexpr double kAcrossUnit = double(int64_t(1) << kAcrossShift);

// A length in 1/2^24 pixel, rounded half away from zero; small enough not to overflow.
inline int64_t RoundedFixed(double value) {
    const double scaled = value * kAcrossUnit;
    return int64_t(scaled >= 0.0 ? scaled + 0.5 : scaled - 0.5);
}

// The columns first..last of a hairline along its longer axis (image rows when it is steep),
// in pixel-centre coordinates: the line crosses column c at `across` + c · `step` (in
// 1/2^24 pixel, a half 256th added for rounding), between the two pixels across it that share
// its coverage, within lowAcross..highAcross.
template <bool kSteep>
void HairlineColumns(uchar* bits, qsizetype stride, int first, int last, int64_t across,
                     int64_t step, int lowAcross, int highAcross, QRgb colour) {
    const qsizetype next = kSteep ? 1 : stride / qsizetype(sizeof(QRgb));
    // The pixels below lowAcross − 1 and above highAcross are left out in one comparison.
    const uint32_t range = uint32_t(highAcross - lowAcross + 1);
    int64_t at = across + step * first;
    for (int column = first; column <= last; ++column, at += step) {
        const int below = int(at >> kAcrossShift);
        if (uint32_t(below - (lowAcross - 1)) > range) {
            continue;
        }
        // The pixel below the line takes what the one above leaves; `above` is at most 255,
        // a share that rounds to a whole pixel having moved `below` on by one.
        const uint32_t above = uint32_t(at >> (kAcrossShift - 8)) & 0xFFu;
        QRgb* const pixel = kSteep ? reinterpret_cast<QRgb*>(bits + stride * column) + below
                                   : reinterpret_cast<QRgb*>(bits + stride * below) + column;
        if (below >= lowAcross) {
            Plot(pixel[0], colour, 256 - above);
        }
        if (below < highAcross && above > 0) {
            Plot(pixel[next], colour, above);
        }
    }
}

// A smooth line one pixel wide, the way hairlines are smoothed: along its longer axis each
// column (or row) of pixels gets the line's coverage split between the two pixels nearest it.
// A segment covers its columns from its start up to, not including, its end, so that the
// joints of a line are painted once.
template <typename Point>
void StrokeHairline(QImage& image, const QRect& area, const Point* points, int count, bool closed,
                    QPoint offset, QRgb colour) {
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const double imageRight = image.width() + 2.0;
    const double imageBottom = image.height() + 2.0;
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
        const double slope = bx != ax ? (by - ay) / (bx - ax) : 0.0;
        // The columns of the segment within the area: from the start's up to the end's.
        const int low = steep ? area.top() : area.left();
        const int high = steep ? area.bottom() : area.right();
        const double start = std::clamp(ax, low - 1.0, high + 1.0);
        const double end = std::clamp(bx, low - 1.0, high + 1.0);
        const int first = bx >= ax ? std::max(CeilOf(start), low) : std::max(FloorOf(end) + 1, low);
        const int last =
            bx >= ax ? std::min(CeilOf(end) - 1, high) : std::min(FloorOf(start), high);
        if (first > last) {
            continue;
        }
        // Where the line crosses column 0, found from a column near the image (the same
        // whichever rows a band paints, so that both bands step the same positions), in fixed
        // point: the slope is at most 1, so a step's rounding moves the line by less than
        // 1/2^24 pixel a column.
        const double near =
            FloorOf(std::clamp(std::min(ax, bx), -2.0, steep ? imageBottom : imageRight));
        const int64_t step = RoundedFixed(slope);
        const int64_t across = RoundedFixed(ay + slope * (near - ax)) - step * int64_t(near) +
                               (int64_t(1) << (kAcrossShift - 9));
        if (steep) {
            HairlineColumns<true>(bits, stride, first, last, across, step, area.left(),
                                  area.right(), colour);
        } else {
            HairlineColumns<false>(bits, stride, first, last, across, step, area.top(),
                                   area.bottom(), colour);
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

void SpanStroker::StrokeClosed(QImage& image, const QRect& clip, const QPointF* points, int count,
                               QPoint offset, int width, QRgb colour, bool antialiased) {
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
    if (antialiased && (coverageWidth_ < image.width() || coverageHeight_ < image.height())) {
        coverageWidth_ = std::max(coverageWidth_, image.width());
        coverageHeight_ = std::max(coverageHeight_, image.height());
        coverage_.assign(size_t(coverageWidth_) * size_t(coverageHeight_), 0);
    }
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    edges_.clear();

    const int segments = closed && count > 2 ? count : std::max(1, count - 1);
    for (int i = 0; i < segments; ++i) {
        const int next = i + 1 < count ? i + 1 : (closed ? 0 : count - 1);
        // Passed over before its direction and length are worked out when it misses the area
        // (as half a line does in each band).
        const double ax = double(points[i].x()) + offset.x();
        const double ay = double(points[i].y()) + offset.y();
        const double bx = double(points[next].x()) + offset.x();
        const double by = double(points[next].y()) + offset.y();
        const double top = std::min(ay, by) - reach;
        const double bottom = std::max(ay, by) + reach;
        if (bottom < area.top() || top > area.bottom() + 1 ||
            std::max(ax, bx) + reach < area.left() || std::min(ax, bx) - reach > area.right() + 1) {
            continue;
        }
        const Segment s = SegmentOf(ax, ay, bx, by, i == 0);
        // The rows of the piece: the band reaches reach · |ux| above and below its ends, the
        // discs their radius.
        const double bandReach = reach * std::abs(s.ux);
        const double pieceTop = std::min(
            {std::min(ay, by) - bandReach, by - reach, s.startDisc ? ay - reach : kInfinity});
        const double pieceBottom = std::max(
            {std::max(ay, by) + bandReach, by + reach, s.startDisc ? ay + reach : -kInfinity});
        // The rows whose (biased) centres lie within them.
        const int firstRow = std::max(
            CeilOf(std::max(pieceTop - 0.5 + kSampleBias, double(area.top()) - 1.0)), area.top());
        const int lastRow = std::min(
            FloorOf(std::min(pieceBottom - 0.5 + kSampleBias, double(area.bottom()) + 1.0)),
            area.bottom());
        for (int y = firstRow; y <= lastRow; ++y) {
            const double centreY = y + 0.5 - kSampleBias;
            int from = 0;
            int to = 0;
            if (!PixelSpan(RowInterval(s, centreY, reach), area.left(), area.right(), from, to)) {
                continue;
            }
            QRgb* const row = reinterpret_cast<QRgb*>(bits + stride * y);
            if (!antialiased) {
                FillPixels(row + from, to - from + 1, colour);
                continue;
            }
            // The coverage rises from either end of the span to the core, where every pixel is
            // covered (the distance to a convex shape is convex along a row): the edges keep
            // their coverage for the blend, the core is painted at once.
            uint8_t* const cover = coverage_.data() + size_t(y) * size_t(coverageWidth_);
            const RowCoverage coverage(s, reach, y + 0.5);
            const auto keep = [&](int x, uint8_t alpha) {
                if (alpha > cover[x]) {
                    if (cover[x] == 0) {
                        edges_.push_back({cover + x, row + x});
                    }
                    cover[x] = alpha;
                }
            };
            const int left = coverage.WalkIn<1>(from, to, keep);
            if (left <= to) {
                const int right = coverage.WalkIn<-1>(to, left + 1, keep);
                FillPixels(row + left, right - left + 1, colour);
            }
        }
    }
    if (!antialiased) {
        return;
    }
    // The edges, blended once each at the greatest coverage any segment gave them. A pixel of
    // the core may carry the coverage of another segment's edge: the colour blended over
    // itself stays the colour.
    for (const EdgePixel& edge : edges_) {
        const uint32_t alpha = *edge.cover;
        // 255ths to 256ths: 0 stays 0 and 255 becomes 256.
        *edge.pixel = Mix(*edge.pixel, colour, alpha + (alpha >> 7));
        *edge.cover = 0;
    }
}

}  // namespace paint
