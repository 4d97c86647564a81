#include "icon_canvas.h"

#include <cmath>

namespace poi_art {
namespace {

QPainterPath PathThrough(std::initializer_list<QPointF> points) {
    QPainterPath path;
    for (const QPointF& point : points) {
        if (path.elementCount() == 0) {
            path.moveTo(point);
        } else {
            path.lineTo(point);
        }
    }
    return path;
}

}  // namespace

IconCanvas::IconCanvas(QPainter& painter, QColor badge) : painter_(painter), badge_(badge) {
    painter_.setRenderHint(QPainter::Antialiasing, true);
}

void IconCanvas::SquareBadge() {
    painter_.setPen(QPen(badge_.darker(145), 1.0));
    painter_.setBrush(badge_);
    painter_.drawRoundedRect(QRectF(0.5, 0.5, 15.0, 15.0), 3.0, 3.0);
}

void IconCanvas::RoundBadge() {
    painter_.setPen(QPen(badge_.darker(145), 1.0));
    painter_.setBrush(badge_);
    painter_.drawEllipse(QRectF(0.5, 0.5, 15.0, 15.0));
}

void IconCanvas::Fill(const QPainterPath& path, QColor color) {
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(color);
    painter_.drawPath(path);
}

void IconCanvas::Polygon(std::initializer_list<QPointF> points, QColor color) {
    QPainterPath path = PathThrough(points);
    path.closeSubpath();
    Fill(path, color);
}

void IconCanvas::Rect(double x, double y, double width, double height, QColor color) {
    QPainterPath path;
    path.addRect(QRectF(x, y, width, height));
    Fill(path, color);
}

void IconCanvas::RoundRect(double x, double y, double width, double height, double radius,
                           QColor color) {
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, width, height), radius, radius);
    Fill(path, color);
}

void IconCanvas::Ellipse(double cx, double cy, double rx, double ry, QColor color) {
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), rx, ry);
    Fill(path, color);
}

void IconCanvas::Ring(double cx, double cy, double r, double width, QColor color) {
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), r, r);
    Stroke(path, width, color);
}

void IconCanvas::Stroke(const QPainterPath& path, double width, QColor color) {
    painter_.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPath(path);
}

void IconCanvas::Line(std::initializer_list<QPointF> points, double width, QColor color) {
    Stroke(PathThrough(points), width, color);
}

void IconCanvas::Bar(std::initializer_list<QPointF> points, double width, QColor color) {
    painter_.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPath(PathThrough(points));
}

void IconCanvas::Wave(double x0, double x1, double y, double amplitude, int periods, double width,
                      QColor color) {
    QPainterPath path;
    constexpr int kSteps = 24;
    const double kTurn = 6.283185307179586;
    for (int step = 0; step <= kSteps; ++step) {
        const double t = double(step) / kSteps;
        const QPointF point(x0 + (x1 - x0) * t, y - amplitude * std::sin(kTurn * periods * t));
        if (step == 0) {
            path.moveTo(point);
        } else {
            path.lineTo(point);
        }
    }
    Stroke(path, width, color);
}

}  // namespace poi_art
