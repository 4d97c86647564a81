#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

#include "platform/color.h"

// The smallest rectangle holding every pixel of `image` that differs from `background`
// (empty when none does).
inline QRect InkBounds(const QImage& image, QColor background = Qt::white) {
    const QRgb paper = background.rgb() & 0x00FFFFFF;
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0x00FFFFFF) != paper) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

inline int CountPixels(const QImage& image, QColor color) {
    const QRgb wanted = color.rgb() & 0x00FFFFFF;
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += (image.pixel(x, y) & 0x00FFFFFF) == wanted ? 1 : 0;
        }
    }
    return count;
}

// The RGB of a COLORREF as it lands in an image, alpha left out.
inline QRgb RgbOf(platform::ColorRef colour) {
    return platform::ToQColor(colour).rgb() & 0x00FFFFFF;
}
