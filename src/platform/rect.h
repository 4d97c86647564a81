#pragma once

#include <QPoint>
#include <QRect>

#include <cstdint>
#include <limits>

namespace platform {

// A pixel sum or difference taken in 64 bits, saturated at the int range. Canvas positions far
// outside the picture (a deep zoom, a degenerate box) sit at the int limits; anything computed
// from them must stay there rather than wrap round onto the screen.
constexpr int SaturateToInt(int64_t value) {
    if (value > std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    if (value < std::numeric_limits<int>::min()) {
        return std::numeric_limits<int>::min();
    }
    return int(value);
}

constexpr int AddPixels(int a, int b) {
    return SaturateToInt(int64_t{a} + b);
}

constexpr int SubtractPixels(int a, int b) {
    return SaturateToInt(int64_t{a} - b);
}

inline QPoint AddPixels(QPoint a, QPoint b) {
    return QPoint(AddPixels(a.x(), b.x()), AddPixels(a.y(), b.y()));
}

inline QPoint SubtractPixels(QPoint a, QPoint b) {
    return QPoint(SubtractPixels(a.x(), b.x()), SubtractPixels(a.y(), b.y()));
}

// A pixel rectangle as the drawing code reasons about it: right and bottom are one past the
// last pixel, so the width is right − left. Sizes and moved edges saturate at the int range.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return SubtractPixels(right, left); }
    int Height() const { return SubtractPixels(bottom, top); }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(QPoint point) const {
        return point.x() >= left && point.x() < right && point.y() >= top && point.y() < bottom;
    }
    bool Intersects(const Rect& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
    Rect Inflated(int dx, int dy) const {
        return Rect{SubtractPixels(left, dx), SubtractPixels(top, dy), AddPixels(right, dx),
                    AddPixels(bottom, dy)};
    }
    Rect Offset(int dx, int dy) const {
        return Rect{AddPixels(left, dx), AddPixels(top, dy), AddPixels(right, dx),
                    AddPixels(bottom, dy)};
    }
    QRect ToQRect() const {
        return QRect(QPoint(left, top),
                     QPoint(SubtractPixels(right, 1), SubtractPixels(bottom, 1)));
    }
    static Rect FromQRect(const QRect& rect) {
        return Rect{rect.left(), rect.top(), AddPixels(rect.left(), rect.width()),
                    AddPixels(rect.top(), rect.height())};
    }
    bool operator==(const Rect&) const = default;
};

}  // namespace platform
