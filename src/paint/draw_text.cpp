#include "paint/draw_text.h"

#include <QFontMetrics>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cstdint>

#include "paint/paint_context.h"

namespace paint {
namespace {

QString WithoutPrefixes(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&')) {
            if (i + 1 < text.size()) {
                shown += text.at(++i);
            }
            continue;
        }
        shown += text.at(i);
    }
    return shown;
}

QStringList LinesOf(const QString& text, uint32_t flags) {
    if (flags & DT_SINGLELINE) {
        return {text};
    }
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return text.split(lineBreak);
}

}  // namespace

int DrawText(PaintContext& context, const QString& text, platform::Rect& rect, uint32_t flags) {
    const QStringList lines = LinesOf(flags & DT_NOPREFIX ? text : WithoutPrefixes(text), flags);
    const QFontMetrics metrics(context.Font());
    const int lineHeight = metrics.ascent() + metrics.descent();
    const int height = lineHeight * int(lines.size());
    int widest = 0;
    for (const QString& line : lines) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    if (flags & DT_CALCRECT) {
        rect.right = platform::AddPixels(rect.left, widest);
        rect.bottom = platform::AddPixels(rect.top, height);
        return height;
    }

    // Positions in 64 bits and drawn in floating point: a rectangle at the int limits (text of
    // something far off the canvas) must not wrap round onto the picture.
    int64_t y = rect.top;
    if (flags & DT_SINGLELINE) {
        if (flags & DT_BOTTOM) {
            y = int64_t{rect.bottom} - height;
        } else if (flags & DT_VCENTER) {
            y = rect.top + (int64_t{rect.bottom} - rect.top - height) / 2;
        }
    }
    QPainter& painter = context.Painter();
    painter.save();
    painter.setFont(context.Font());
    if (!(flags & DT_NOCLIP)) {
        painter.setClipRect(rect.ToQRect(), Qt::IntersectClip);
    }
    for (const QString& line : lines) {
        const int width = metrics.horizontalAdvance(line);
        int64_t x = rect.left;
        if (flags & DT_CENTER) {
            x = rect.left + (int64_t{rect.right} - rect.left - width) / 2;
        } else if (flags & DT_RIGHT) {
            x = int64_t{rect.right} - width;
        }
        if (context.BkMode() == BackgroundMode::kOpaque) {
            painter.fillRect(QRectF(double(x), double(y), width, lineHeight),
                             platform::ToQColor(context.BkColor()));
        }
        painter.setPen(platform::ToQColor(context.TextColor()));
        painter.drawText(QPointF(double(x), double(y + metrics.ascent())), line);
        y += lineHeight;
    }
    painter.restore();
    return height;
}

}  // namespace paint
