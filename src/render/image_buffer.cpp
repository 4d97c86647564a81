#include "render/image_buffer.h"

#include <cmath>

#include "render/table_trig.h"

namespace render {

ImageBuffer::ImageBuffer(ImageBuffer&& other) noexcept {
    other.EndContext();
    image_ = std::move(other.image_);
}

ImageBuffer& ImageBuffer::operator=(ImageBuffer&& other) noexcept {
    if (this != &other) {
        EndContext();
        other.EndContext();
        image_ = std::move(other.image_);
    }
    return *this;
}

bool ImageBuffer::Create(int width, int height) {
    EndContext();
    if (width < 1 || height < 1) {
        image_ = QImage();
        return false;
    }
    image_ = QImage(width, height, QImage::Format_RGB32);
    if (image_.isNull()) {
        return false;
    }
    image_.fill(Qt::black);
    return true;
}

bool ImageBuffer::Load(const QImage& bitmap) {
    EndContext();
    if (bitmap.isNull()) {
        image_ = QImage();
        return false;
    }
    image_ = bitmap.convertToFormat(QImage::Format_RGB32);
    return !image_.isNull();
}

paint::PaintContext& ImageBuffer::Context() {
    if (!context_) {
        context_ = std::make_unique<paint::PaintContext>(&image_);
    }
    return *context_;
}

void ImageBuffer::Blit(paint::PaintContext& target, int x, int y) {
    if (image_.isNull()) {
        return;
    }
    QPainter& painter = target.Painter();
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(x, y), image_);
    painter.setCompositionMode(mode);
}

void ImageBuffer::DrawTransparent(paint::PaintContext& target, int x, int y) {
    if (image_.isNull()) {
        return;
    }
    QImage masked = image_.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = platform::ToQColor(kTransparentColor).rgb() & 0x00FFFFFF;
    for (int row = 0; row < masked.height(); ++row) {
        auto* pixel = reinterpret_cast<QRgb*>(masked.scanLine(row));
        for (int column = 0; column < masked.width(); ++column) {
            if ((pixel[column] & 0x00FFFFFF) == transparent) {
                pixel[column] = 0;
            }
        }
    }
    QPainter& painter = target.Painter();
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(QPoint(x, y), masked);
    painter.setCompositionMode(mode);
}

void ImageBuffer::Rotate(float degrees) {
    if (image_.isNull()) {
        return;
    }
    EndContext();
    const int width = image_.width();
    const int height = image_.height();
    QImage turned(width, height, QImage::Format_RGB32);
    turned.fill(platform::ToQColor(kTransparentColor));

    const float radians = degrees * 6.2831855f / 360.0f;
    const float cosine = TableCos(radians);
    const float sine = TableSin(radians);
    // Rows run downward on screen, so the turn is clockwise as the picture is seen; turning the
    // compass by 360° − heading keeps its north on the map's north.
    const int centreX = width / 2;
    const int centreY = height / 2;
    for (int y = 1 - height / 2; y <= height / 2 - 1; ++y) {
        auto* out = reinterpret_cast<QRgb*>(turned.scanLine(centreY + y));
        for (int x = 1 - width / 2; x <= width / 2 - 1; ++x) {
            const int sourceX = centreX + int(std::trunc(float(x) * cosine + float(y) * sine));
            const int sourceY = centreY + int(std::trunc(float(y) * cosine - float(x) * sine));
            if (sourceX >= 0 && sourceX < width && sourceY >= 0 && sourceY < height) {
                out[centreX + x] =
                    reinterpret_cast<const QRgb*>(image_.constScanLine(sourceY))[sourceX];
            }
        }
    }
    image_ = std::move(turned);
}

}  // namespace render
