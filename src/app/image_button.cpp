#include "app/image_button.h"

#include <QPaintEvent>
#include <QPainter>

namespace app {

FVlmButtonPPC::FVlmButtonPPC(QWidget* parent) : QAbstractButton(parent) {
    // Nothing is painted under the picture: the map shows through where it is left out.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    // The panel is for the finger; the arrow keys stay with the map.
    setFocusPolicy(Qt::NoFocus);
}

FVlmButtonPPC::~FVlmButtonPPC() = default;

const QImage* FVlmButtonPPC::ImageFor(bool pressed, bool focused, bool disabled) const {
    const QImage* image = &normalImage;
    if (pressed && !pressedImage.isNull()) {
        image = &pressedImage;
    } else if (focused && !focusImage.isNull()) {
        image = &focusImage;
    } else if (disabled && !disabledImage.isNull()) {
        image = &disabledImage;
    }
    if (alternate) {
        image = &alternateImage;
    }
    return image->isNull() ? nullptr : image;
}

void FVlmButtonPPC::paintEvent(QPaintEvent*) {
    const QImage* image = ImageFor(isDown(), hasFocus(), !isEnabled());
    if (!image) {
        return;
    }
    QPainter painter(this);
    TransparentImage(painter, rect(), *image, QRect(0, 0, imageWidth, imageHeight),
                     kButtonTransparentColor);
}

void TransparentImage(QPainter& painter, const QRect& destination, const QImage& image,
                      const QRect& source, QRgb transparent) {
    QImage keyed = image.copy(source).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent | 0xFF000000u;
    for (int y = 0; y < keyed.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            if ((row[x] | 0xFF000000u) == key) {
                row[x] = 0;
            }
        }
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(destination, keyed);
}

void ScaleSquareImage(FVlmButtonPPC& button, QImage& image, int newSize, int oldSize) {
    // A plain stretch of the picture's top-left square, no smoothing: magenta stays exact.
    image = image.copy(0, 0, oldSize, oldSize)
                .scaled(newSize, newSize, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    button.imageWidth = newSize;
    button.imageHeight = newSize;
}

std::optional<QRegion> RegionFromBitmap(const QImage& bitmap) {
    const QImage pixels = bitmap.convertToFormat(QImage::Format_RGB32);
    const QRgb key = kButtonTransparentColor | 0xFF000000u;
    QRegion region;
    // Each row's runs of kept pixels at once: the same pixels as one rectangle per pixel, in
    // far fewer unions.
    for (int y = 0; y < pixels.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        int x = 0;
        while (x < pixels.width()) {
            if ((row[x] | 0xFF000000u) == key) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < pixels.width() && (row[x] | 0xFF000000u) != key) {
                ++x;
            }
            region += QRect(start, y, x - start, 1);
        }
    }
    if (region.isEmpty()) {
        return std::nullopt;
    }
    return region;
}

}  // namespace app
