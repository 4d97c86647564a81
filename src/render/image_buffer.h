#pragma once

#include <QImage>

#include <memory>

#include "paint/paint_context.h"
#include "platform/color.h"

namespace render {

// A picture to compose on: the map image with its overlays, or the compass being turned.
// Colours are exact 24-bit values.
class ImageBuffer {
public:
    // Colour left out by DrawTransparent; also what Rotate leaves in uncovered corners.
    static constexpr platform::ColorRef kTransparentColor = 0x00818181;

    ImageBuffer() = default;
    ImageBuffer(const ImageBuffer&) = delete;
    ImageBuffer& operator=(const ImageBuffer&) = delete;
    // A moved buffer's context ends first: it draws on the picture that moves.
    ImageBuffer(ImageBuffer&& other) noexcept;
    ImageBuffer& operator=(ImageBuffer&& other) noexcept;

    // A new black picture of width × height pixels; false (and no picture) for a size below 1.
    bool Create(int width, int height);
    // A copy of `bitmap` at its own size.
    bool Load(const QImage& bitmap);

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    // Pixels per row of the handheld's 24-bit layout: the width rounded up to a multiple of 4.
    int Stride() const { return (Width() + 3) & ~3; }
    bool IsNull() const { return image_.isNull(); }
    const QImage& Image() const { return image_; }

    // The drawing context of the picture, made on first use.
    paint::PaintContext& Context();

    // Copies the whole picture into `target` with its top-left corner at logical (x, y).
    void Blit(paint::PaintContext& target, int x, int y);
    // As Blit, leaving out the pixels of kTransparentColor.
    void DrawTransparent(paint::PaintContext& target, int x, int y);
    // Turns the picture about its centre by `degrees`, clockwise on screen, in whole degrees
    // (the sine and cosine come from the table).
    void Rotate(float degrees);

private:
    void EndContext() { context_.reset(); }

    QImage image_;
    std::unique_ptr<paint::PaintContext> context_;
};

}  // namespace render
