#pragma once

#include <QPoint>
#include <QRect>

namespace platform {

// A pixel rectangle as the drawing code reasons about it: right and bottom are one past the
// last pixel, so the width is right − left.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(QPoint point) const {
        return point.x() >= left && point.x() < right && point.y() >= top && point.y() < bottom;
    }
    bool Intersects(const Rect& other) const {
        return left < other.right && other.left < right && top < other.bottom &&
               other.top < bottom;
    }
    Rect Inflated(int dx, int dy) const { return Rect{left - dx, top - dy, right + dx, bottom + dy}; }
    Rect Offset(int dx, int dy) const { return Rect{left + dx, top + dy, right + dx, bottom + dy}; }
    QRect ToQRect() const { return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)); }
    static Rect FromQRect(const QRect& rect) {
        return Rect{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
    }
    bool operator==(const Rect&) const = default;
};

}  // namespace platform
