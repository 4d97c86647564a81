#include "app/map_wnd_paint.h"

#include <QPainter>

#include <array>

#include "app/map_wnd.h"
#include "paint/draw_text.h"
#include "paint/paint_context.h"
#include "platform/c_format.h"

namespace app {
namespace {

using platform::Rect;

// DrawText flag sets of the overlays, with the device's values.
constexpr uint32_t kMeasureBottomNoClip =
    0xD28;                                  // BOTTOM | SINGLELINE | NOCLIP | CALCRECT | NOPREFIX
constexpr uint32_t kMeasureBottom = 0xC28;  // BOTTOM | SINGLELINE | CALCRECT | NOPREFIX
constexpr uint32_t kDrawBottom = 0x928;     // BOTTOM | SINGLELINE | NOCLIP | NOPREFIX
constexpr uint32_t kTopRight = 0x902;       // RIGHT | NOCLIP | NOPREFIX
constexpr uint32_t kMeasureNoClip = 0xD00;  // NOCLIP | CALCRECT | NOPREFIX
constexpr uint32_t kNoClip = 0x900;         // NOCLIP | NOPREFIX
constexpr uint32_t kCentredLine = 0x921;    // CENTER | SINGLELINE | NOCLIP | NOPREFIX

// Where the scale bar lies: its ends rise from y 100 to the bar at y 105, 5 pixels in.
constexpr int kScaleBarLeft = 5;
constexpr int kScaleBarTop = 100;
constexpr int kScaleBarBottom = 105;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// One text of the speed panel: measured in a rectangle from `left` down to the panel's
// bottom, then drawn bottom-aligned over the whole height. Returns the measured rectangle.
Rect MeasureAndDraw(paint::PaintContext& context, const render::LabelStyle& style,
                    const QString& text, int left, int height, uint32_t measureFlags,
                    int* measuredHeight = nullptr) {
    Rect rect{left, 0, left + 5, height};
    const int measured = render::DrawOutlinedText(style, context, text, rect, measureFlags);
    if (measuredHeight != nullptr) {
        *measuredHeight = measured;
    }
    Rect drawn{rect.left, 0, rect.right, height};
    render::DrawOutlinedText(style, context, text, drawn, kDrawBottom);
    return rect;
}

}  // namespace

bool StepClockCounter(int& clockCounter) {
    --clockCounter;
    if (clockCounter < 1) {
        clockCounter = 4;
        return false;
    }
    if (clockCounter == 1) {
        clockCounter = 0;
        return true;
    }
    return false;
}

QString ElapsedText(int seconds) {
    const int hours = seconds / 3600;
    const int minutes = (seconds - hours * 3600) / 60;
    return Text(platform::FormatC("%02d:%02d", hours, minutes));
}

int DrawSpeedPanel(paint::PaintContext& context, render::LabelStyle& large,
                   render::LabelStyle& small, const LastPosition& position, int height,
                   int& clockCounter) {
    int speedHeight = 0;
    const Rect speed =
        MeasureAndDraw(context, large, Text(platform::FormatC("%.1f", double(position.speedKmh))),
                       0, height, kMeasureBottomNoClip, &speedHeight);
    const int panelTop = height - speedHeight;
    const Rect unit = MeasureAndDraw(context, small, QStringLiteral("Km/h"), speed.right + 2,
                                     height, kMeasureBottom);
    if (StepClockCounter(clockCounter)) {
        MeasureAndDraw(context, large, ElapsedText(position.elapsedSeconds), unit.right + 12,
                       height, kMeasureBottomNoClip);
    } else {
        const Rect altitude = MeasureAndDraw(
            context, large, Text(platform::FormatC("%.1f", double(position.altitudeM))),
            unit.right + 12, height, kMeasureBottom);
        MeasureAndDraw(context, small, QStringLiteral("m"), altitude.right + 2, height,
                       kMeasureBottomNoClip);
    }
    return panelTop - 5;
}

int ScaleBarPixelsPerCm(const platform::ScreenMetrics& screen) {
    if (screen.widthMm <= 0) {
        return 0;
    }
    return (screen.widthPx * 10) / screen.widthMm;
}

QString ScaleBarLabel(float scaleKmPerCm) {
    const int metres = int(double(scaleKmPerCm) * 1000.0);
    if (metres >= 1000) {
        return Text(platform::FormatC("%.1fKm", metres * 0.001));
    }
    return Text(platform::FormatC("%dm", metres));
}

void DrawScaleBar(paint::PaintContext& context, const render::LabelStyle& small,
                  const platform::ScreenMetrics& screen, float scaleKmPerCm, int width,
                  int height) {
    const int pixelsPerCm = ScaleBarPixelsPerCm(screen);
    if (pixelsPerCm == 0) {
        return;
    }
    const std::array<QPoint, 4> bar{QPoint(kScaleBarLeft, kScaleBarTop),
                                    QPoint(kScaleBarLeft, kScaleBarBottom),
                                    QPoint(kScaleBarLeft + pixelsPerCm, kScaleBarBottom),
                                    QPoint(kScaleBarLeft + pixelsPerCm, kScaleBarTop)};
    // Aliased, as the handheld draws its pens: the black line is one crisp row on the white.
    const bool smooth = context.RenderHints().testFlag(QPainter::Antialiasing);
    context.SetAntialiasing(false);
    const QPen oldPen =
        context.SelectPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    context.Polyline(bar.data(), int(bar.size()));
    context.SelectPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    context.Polyline(bar.data(), int(bar.size()));
    context.SelectPen(oldPen);
    context.SetAntialiasing(smooth);

    const QString label = ScaleBarLabel(scaleKmPerCm);
    Rect rect{10, 98, width, height};
    const int measured = render::DrawOutlinedText(small, context, label, rect, kMeasureNoClip);
    rect.top = 103 - measured;
    render::DrawOutlinedText(small, context, label, rect, kNoClip);
}

QString AccuracyText(int horizontal, int vertical) {
    return Text(platform::FormatC("%d/%dm", horizontal, vertical));
}

void DrawCompass(paint::PaintContext& context, const QImage& compass, int headingDeg) {
    render::ImageBuffer turned;
    if (!turned.Load(compass)) {
        return;
    }
    turned.Rotate(float(360 - headingDeg));
    turned.DrawTransparent(context, 0, 0);
}

QImage PrepareArrow(const QImage& picture, int pixelScale) {
    if (picture.isNull()) {
        return QImage();
    }
    QImage keyed = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < keyed.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            row[x] = (row[x] & 0x00FFFFFF) == 0x00FFFFFF ? 0 : (row[x] | 0xFF000000);
        }
    }
    return keyed
        .scaled(keyed.width() * pixelScale, keyed.height() * pixelScale, Qt::IgnoreAspectRatio,
                Qt::FastTransformation)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void ComposeOverlays(render::ImageBuffer& buffer, const OverlayFrame& frame, int& clockCounter) {
    paint::PaintContext& context = buffer.Context();
    if (frame.arrow != nullptr && !frame.arrow->isNull()) {
        // The arrow hangs below the anchor: its tip is the position.
        context.DrawImage(QPoint(frame.anchor.x() - frame.arrow->width() / 2, frame.anchor.y()),
                          *frame.arrow);
    }
    if (frame.compass != nullptr && !frame.compass->isNull()) {
        DrawCompass(context, *frame.compass, frame.position->headingDeg);
    }
    frame.large->outlineColor = frame.overlayOutline;
    frame.large->textColor = frame.overlayText;
    frame.small->outlineColor = frame.overlayOutline;
    frame.small->textColor = frame.overlayText;
    const int labelLimit = DrawSpeedPanel(context, *frame.large, *frame.small, *frame.position,
                                          frame.height, clockCounter);
    DrawScaleBar(context, *frame.small, frame.screen, frame.scaleKmPerCm, frame.width,
                 frame.height);

    Rect whole{0, 0, frame.width, frame.height};
    render::DrawOutlinedText(
        *frame.large, context,
        AccuracyText(frame.position->horizontalAccuracy, frame.position->verticalAccuracy), whole,
        kTopRight);

    if (frame.announcement) {
        frame.announcement(context, frame.width, frame.height);
    }

    if (frame.cornerButton != nullptr && !frame.cornerButton->isNull()) {
        const int side = 32 * frame.pixelScale;
        QPainter& painter = context.Painter();
        painter.save();
        painter.resetTransform();
        painter.setOpacity(0.5);  // constant alpha 128 over the button's own alpha
        painter.drawImage(QRect(frame.width - side, frame.height - side, side, side),
                          *frame.cornerButton);
        painter.restore();
    }

    if (!frame.positionLabel.isEmpty()) {
        frame.positionStyle->outlineColor = kPositionLabelOutline;
        frame.positionStyle->textColor = kPositionLabelText;
        Rect rect{0, frame.anchor.y() + frame.arrowDrawnHeight, frame.width, labelLimit};
        render::DrawOutlinedText(*frame.positionStyle, context, frame.positionLabel, rect,
                                 kCentredLine);
    }
}

}  // namespace app
