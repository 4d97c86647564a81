#include "platform/paint_context.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/span_filler.h"
#include "platform/span_stroker.h"

namespace platform {

PaintContext::PaintContext(QImage* target) : target_(target), painter_(target) {
    painter_.setPen(QPen(Qt::black, 0));
    painter_.setBrush(QBrush(Qt::white));
    font_ = painter_.font();
}

PaintContext::~PaintContext() = default;

bool PaintContext::SpanClip(QRect& clip) const {
    if (painter_.compositionMode() != QPainter::CompositionMode_SourceOver ||
        !SpanStroker::CanDrawOn(*target_)) {
        return false;
    }
    const QTransform& transform = painter_.worldTransform();
    if (transform.type() > QTransform::TxTranslate || transform.dx() != origin_.x() ||
        transform.dy() != origin_.y() || painter_.hasClipping() != hasClip_) {
        return false;
    }
    clip = target_->rect();
    if (hasClip_) {
        clip &= clipLogical_.Offset(origin_.x(), origin_.y()).ToQRect();
    }
    return true;
}

QPoint PaintContext::SetViewportOrigin(QPoint origin) {
    const QPoint previous = origin_;
    origin_ = origin;
    painter_.resetTransform();
    painter_.translate(origin_);
    ApplyClip();
    return previous;
}

Rect PaintContext::ClipBox() const {
    // The origin is minus a scroll offset, which may sit at the int limits.
    Rect box{SubtractPixels(0, origin_.x()), SubtractPixels(0, origin_.y()),
             SubtractPixels(target_->width(), origin_.x()),
             SubtractPixels(target_->height(), origin_.y())};
    if (hasClip_) {
        box.left = std::max(box.left, clipLogical_.left);
        box.top = std::max(box.top, clipLogical_.top);
        box.right = std::min(box.right, clipLogical_.right);
        box.bottom = std::min(box.bottom, clipLogical_.bottom);
        if (box.IsEmpty()) {
            box = Rect{};
        }
    }
    return box;
}

void PaintContext::SetClipRect(const Rect& logical) {
    hasClip_ = true;
    clipLogical_ = logical;
    ApplyClip();
}

void PaintContext::ClearClipRect() {
    hasClip_ = false;
    ApplyClip();
}

void PaintContext::ApplyClip() {
    if (hasClip_) {
        painter_.setClipRect(clipLogical_.ToQRect());
    } else {
        painter_.setClipping(false);
    }
}

QPen PaintContext::SelectPen(const QPen& pen) {
    const QPen previous = painter_.pen();
    painter_.setPen(pen);
    return previous;
}

QBrush PaintContext::SelectBrush(const QBrush& brush) {
    const QBrush previous = painter_.brush();
    painter_.setBrush(brush);
    return previous;
}

QFont PaintContext::SelectFont(const QFont& font) {
    const QFont previous = font_;
    font_ = font;
    painter_.setFont(font_);
    return previous;
}

ColorRef PaintContext::SetTextColor(ColorRef color) { return std::exchange(textColor_, color); }

ColorRef PaintContext::SetBkColor(ColorRef color) { return std::exchange(bkColor_, color); }

BackgroundMode PaintContext::SetBkMode(BackgroundMode mode) { return std::exchange(bkMode_, mode); }

void PaintContext::SetAntialiasing(bool on) { painter_.setRenderHint(QPainter::Antialiasing, on); }

void PaintContext::FillRect(const Rect& logical, ColorRef color) {
    if (logical.IsEmpty()) {
        return;
    }
    painter_.fillRect(logical.ToQRect(), ToQColor(color));
}

void PaintContext::Polyline(const QPoint* points, int count) {
    if (count >= 2 && !StrokeBySpans(points, count)) {
        painter_.drawPolyline(points, count);
    }
}

// The span stroker paints what the painter would for a solid, opaque, round-capped and
// round-joined pen of a whole number of pixels, drawn over (not into) the image with no
// transformation but the viewport origin and no clip but the clip rectangle.
bool PaintContext::StrokeBySpans(const QPoint* points, int count) {
    const QPen& pen = painter_.pen();
    const qreal width = pen.widthF();
    QRect clip;
    if (pen.style() != Qt::SolidLine || pen.capStyle() != Qt::RoundCap ||
        pen.joinStyle() != Qt::RoundJoin || pen.isCosmetic() || width < 2.0 ||
        width != std::floor(width) || pen.brush().style() != Qt::SolidPattern ||
        pen.color().alpha() != 255 || !SpanClip(clip)) {
        return false;
    }
    if (!stroker_) {
        stroker_ = std::make_unique<SpanStroker>();
    }
    stroker_->Stroke(*target_, clip, points, count, origin_, int(width), pen.color().rgb(),
                     painter_.testRenderHint(QPainter::Antialiasing));
    return true;
}

void PaintContext::Polygon(const QPoint* points, int count) {
    if (count >= 2 && !FillBySpans(points, count)) {
        painter_.drawPolygon(points, count);
    }
}

void PaintContext::Polygon(const QPointF* points, int count) {
    if (count >= 2 && !FillBySpans(points, count)) {
        painter_.drawPolygon(points, count);
    }
}

// The fill of an opaque solid or pattern brush by spans, then the outline: none, a one-pixel
// solid pen by the span stroker when antialiased, anything else by the painter alone.
template <typename Point>
bool PaintContext::FillBySpans(const Point* points, int count) {
    const QBrush& brush = painter_.brush();
    QRect clip;
    if (count < 3 || !brush.transform().isIdentity() || !SpanClip(clip)) {
        return false;
    }
    FillPaint paint;
    QImage pattern;
    if (brush.style() == Qt::SolidPattern && brush.color().alpha() == 255) {
        paint.colour = brush.color().rgb();
    } else if (brush.style() == Qt::TexturePattern && !brush.textureImage().hasAlphaChannel()) {
        pattern = brush.textureImage().convertToFormat(QImage::Format_RGB32);
        paint.pattern = &pattern;
        paint.patternOrigin = origin_;
    } else if (brush.style() != Qt::NoBrush) {
        return false;
    }
    const bool antialiased = painter_.testRenderHint(QPainter::Antialiasing);
    if (brush.style() != Qt::NoBrush) {
        if (!filler_) {
            filler_ = std::make_unique<SpanFiller>();
        }
        filler_->Fill(*target_, clip, points, count, origin_, paint, antialiased);
    }
    const QPen& pen = painter_.pen();
    if (pen.style() == Qt::NoPen) {
        return true;
    }
    if (antialiased && pen.style() == Qt::SolidLine && pen.widthF() <= 1.0 &&
        pen.brush().style() == Qt::SolidPattern && pen.color().alpha() == 255) {
        if (!stroker_) {
            stroker_ = std::make_unique<SpanStroker>();
        }
        stroker_->StrokeClosed(*target_, clip, points, count, origin_, 1, pen.color().rgb(), true);
        return true;
    }
    const QBrush fill = brush;
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPolygon(points, count);
    painter_.setBrush(fill);
    return true;
}

}  // namespace platform
