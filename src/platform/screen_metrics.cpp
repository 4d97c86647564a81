#include "platform/screen_metrics.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

constexpr double kMmPerInch = 25.4;

// The handheld screen the design was drawn for: QVGA portrait, 53 mm wide.
ScreenMetrics HandheldScreen() {
    ScreenMetrics metrics;
    metrics.widthPx = 240;
    metrics.heightPx = 320;
    metrics.widthMm = 53;
    metrics.heightMm = 71;
    metrics.logPixelsY = 96;
    metrics.workArea = QSize(240, 320);
    return metrics;
}

}  // namespace

ScreenMetrics ScreenMetrics::FromScreen(const QScreen* screen) {
    if (screen == nullptr) {
        return HandheldScreen();
    }
    ScreenMetrics metrics;
    const QSize size = screen->size();
    metrics.widthPx = size.width();
    metrics.heightPx = size.height();
    metrics.logPixelsY = std::max(1, int(std::lround(screen->logicalDotsPerInchY())));
    const QSizeF mm = screen->physicalSize();
    // Some back ends report no physical size; the logical density then stands in for it.
    metrics.widthMm = mm.width() >= 1.0
                          ? int(std::lround(mm.width()))
                          : int(std::lround(size.width() * kMmPerInch / metrics.logPixelsY));
    metrics.heightMm = mm.height() >= 1.0
                           ? int(std::lround(mm.height()))
                           : int(std::lround(size.height() * kMmPerInch / metrics.logPixelsY));
    metrics.widthMm = std::max(1, metrics.widthMm);
    metrics.heightMm = std::max(1, metrics.heightMm);
    metrics.workArea = screen->availableSize();
    return metrics;
}

ScreenMetrics ScreenMetrics::FromPrimaryScreen() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return HandheldScreen();
    }
    return FromScreen(QGuiApplication::primaryScreen());
}

std::optional<ScreenMetrics> ScreenMetrics::Parse(const QString& text, int fallbackDpi) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{1,5})x(\\d{1,5})(?:@(\\d{1,4})x(\\d{1,4}))?$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch() || fallbackDpi <= 0) {
        return std::nullopt;
    }
    ScreenMetrics metrics;
    metrics.widthPx = match.captured(1).toInt();
    metrics.heightPx = match.captured(2).toInt();
    if (metrics.widthPx <= 0 || metrics.heightPx <= 0) {
        return std::nullopt;
    }
    double dotsPerInch = fallbackDpi;
    if (match.hasCaptured(3)) {
        metrics.widthMm = match.captured(3).toInt();
        metrics.heightMm = match.captured(4).toInt();
        if (metrics.widthMm <= 0 || metrics.heightMm <= 0) {
            return std::nullopt;
        }
        dotsPerInch = metrics.widthPx * kMmPerInch / metrics.widthMm;
    } else {
        metrics.widthMm = std::max(1, int(std::lround(metrics.widthPx * kMmPerInch / dotsPerInch)));
        metrics.heightMm =
            std::max(1, int(std::lround(metrics.heightPx * kMmPerInch / dotsPerInch)));
    }
    metrics.logPixelsY = 96 * std::max(1, int(std::lround(dotsPerInch / 96.0)));
    metrics.workArea = QSize(metrics.widthPx, metrics.heightPx);
    return metrics;
}

int LargeScreenFlag(int workWidth, int workHeight) {
    return (workWidth > 240 && workHeight > 320) || (workWidth > 320 && workHeight > 240) ? 1 : 0;
}

}  // namespace platform
