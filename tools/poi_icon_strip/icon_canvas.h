#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>

#include <initializer_list>

namespace poi_art {

// Drawing helpers for one 16 × 16 icon, in pixel units (pixel (x, y) covers x…x+1, y…y+1).
// Glyphs are drawn in `ink` (white) on a badge of colour `badge`; `Hole` colours are the
// badge's, to cut details back out of a glyph.
class IconCanvas {
public:
    IconCanvas(QPainter& painter, QColor badge);

    QColor Badge() const { return badge_; }
    QColor Ink() const { return Qt::white; }
    QColor Hole() const { return badge_; }
    QPainter& Painter() { return painter_; }

    // The category badge: a rounded square over the whole cell, or a disc.
    void SquareBadge();
    void RoundBadge();

    void Fill(const QPainterPath& path, QColor color);
    void Fill(const QPainterPath& path) { Fill(path, Ink()); }
    void Polygon(std::initializer_list<QPointF> points, QColor color);
    void Polygon(std::initializer_list<QPointF> points) { Polygon(points, Ink()); }
    void Rect(double x, double y, double width, double height, QColor color);
    void Rect(double x, double y, double width, double height) { Rect(x, y, width, height, Ink()); }
    void RoundRect(double x, double y, double width, double height, double radius, QColor color);
    void RoundRect(double x, double y, double width, double height, double radius) {
        RoundRect(x, y, width, height, radius, Ink());
    }
    void Ellipse(double cx, double cy, double rx, double ry, QColor color);
    void Ellipse(double cx, double cy, double rx, double ry) { Ellipse(cx, cy, rx, ry, Ink()); }
    void Disc(double cx, double cy, double r, QColor color) { Ellipse(cx, cy, r, r, color); }
    void Disc(double cx, double cy, double r) { Disc(cx, cy, r, Ink()); }
    void Ring(double cx, double cy, double r, double width, QColor color);
    void Ring(double cx, double cy, double r, double width) { Ring(cx, cy, r, width, Ink()); }
    // A stroked line or open polyline with round ends.
    void Line(std::initializer_list<QPointF> points, double width, QColor color);
    void Line(std::initializer_list<QPointF> points, double width) { Line(points, width, Ink()); }
    // A stroked line with square ends, for crisp bars.
    void Bar(std::initializer_list<QPointF> points, double width, QColor color);
    void Bar(std::initializer_list<QPointF> points, double width) { Bar(points, width, Ink()); }
    void Stroke(const QPainterPath& path, double width, QColor color);
    void Stroke(const QPainterPath& path, double width) { Stroke(path, width, Ink()); }
    // A horizontal wave from x0 to x1 around height y, of `amplitude` and `periods` periods.
    void Wave(double x0, double x1, double y, double amplitude, int periods, double width,
              QColor color);
    void Wave(double x0, double x1, double y, double amplitude, int periods, double width) {
        Wave(x0, x1, y, amplitude, periods, width, Ink());
    }

private:
    QPainter& painter_;
    QColor badge_;
};

}  // namespace poi_art
