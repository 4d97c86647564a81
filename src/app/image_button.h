#pragma once

// The owner-drawn push button of the full-screen panel: one picture per state, magenta left out,
// and optionally a window shape cut from its picture so that the map shows around it.

#include <QAbstractButton>
#include <QImage>
#include <QRegion>
#include <QRgb>

#include <optional>

class QPainter;

namespace app {

// The colour left out of button pictures.
inline constexpr QRgb kButtonTransparentColor = qRgb(255, 0, 255);

class FVlmButtonPPC : public QAbstractButton {
    Q_OBJECT

public:
    explicit FVlmButtonPPC(QWidget* parent = nullptr);
    ~FVlmButtonPPC() override;

    // The picture the state selects, or null when that is none: pressed before focus before
    // disabled, each only when its picture is set; alternate overrides all, even when null.
    const QImage* ImageFor(bool pressed, bool focused, bool disabled) const;

    virtual void Enable() { setEnabled(true); }
    virtual void Disable() { setEnabled(false); }

    QSize sizeHint() const override { return QSize(imageWidth, imageHeight); }

    // Filled by the frame after creating the button; a null image is "none".
    QImage normalImage;
    QImage focusImage;
    QImage pressedImage;
    QImage disabledImage;
    QImage alternateImage;
    int imageWidth = 0;
    int imageHeight = 0;
    QImage extraImage;  // owned, never drawn
    int alternate = 0;  // 1 shows alternateImage whatever the state

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Draws the `source` part of `image` stretched to `destination`, pixel for pixel without
// smoothing, leaving out every pixel of `transparent`.
void TransparentImage(QPainter& painter, const QRect& destination, const QImage& image,
                      const QRect& source, QRgb transparent);

// Replaces `image` (a square of `oldSize` pixels) by its copy stretched to `newSize`, and
// gives the button that size.
void ScaleSquareImage(FVlmButtonPPC& button, QImage& image, int newSize, int oldSize);

// The pixels of `bitmap` that are not magenta, as a region in the bitmap's coordinates; empty
// when every pixel is magenta.
std::optional<QRegion> RegionFromBitmap(const QImage& bitmap);

}  // namespace app
