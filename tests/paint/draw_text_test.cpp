#include "paint/draw_text.h"

#include <gtest/gtest.h>

#include <QFontMetrics>

#include <limits>

#include "paint/paint_context.h"
#include "pixels.h"

namespace paint {
namespace {

QFont TestFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(16);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

class DrawTextTest : public ::testing::Test {
protected:
    DrawTextTest() : image_(200, 100, QImage::Format_RGB32) { image_.fill(Qt::white); }

    // Draws with a fresh context and returns the height DrawText gave.
    int Draw(const QString& text, platform::Rect& rect, uint32_t flags, QPoint origin = {}) {
        PaintContext context(&image_);
        context.SetViewportOrigin(origin);
        context.SelectFont(TestFont());
        context.SetBkMode(BackgroundMode::kTransparent);
        return DrawText(context, text, rect, flags);
    }

    QImage image_;
    const int lineHeight_ = [] {
        const QFontMetrics metrics(TestFont());
        return metrics.ascent() + metrics.descent();
    }();
};

TEST_F(DrawTextTest, CalcRectMeasuresAndDrawsNothing) {
    platform::Rect rect{10, 20, 11, 21};
    const int height = Draw(QStringLiteral("Km/h"), rect, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(height, lineHeight_);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.bottom, 20 + lineHeight_);
    EXPECT_EQ(rect.right, 10 + QFontMetrics(TestFont()).horizontalAdvance("Km/h"));
    EXPECT_TRUE(InkBounds(image_).isEmpty());
}

TEST_F(DrawTextTest, LineBreaksUnlessSingleLine) {
    platform::Rect rect{0, 0, 200, 100};
    EXPECT_EQ(Draw(QStringLiteral("one\r\ntwo\nthree"), rect, DT_CALCRECT), 3 * lineHeight_);
    rect = platform::Rect{0, 0, 200, 100};
    EXPECT_EQ(Draw(QStringLiteral("one\r\ntwo"), rect, DT_CALCRECT | DT_SINGLELINE), lineHeight_);
}

TEST_F(DrawTextTest, PrefixCharactersUnlessNoPrefix) {
    platform::Rect plain{0, 0, 0, 0};
    Draw(QStringLiteral("AB"), plain, DT_CALCRECT);
    platform::Rect prefixed{0, 0, 0, 0};
    Draw(QStringLiteral("A&B"), prefixed, DT_CALCRECT);
    EXPECT_EQ(prefixed.right, plain.right);
    platform::Rect literal{0, 0, 0, 0};
    Draw(QStringLiteral("A&B"), literal, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_GT(literal.right, plain.right);
    platform::Rect doubled{0, 0, 0, 0};
    Draw(QStringLiteral("A&&B"), doubled, DT_CALCRECT);
    EXPECT_EQ(doubled.right, literal.right);
}

TEST_F(DrawTextTest, AlignsRightCentreAndBottom) {
    platform::Rect right{0, 0, 200, 100};
    Draw(QStringLiteral("88"), right, DT_RIGHT | DT_NOCLIP | DT_NOPREFIX);
    const QRect rightInk = InkBounds(image_);
    EXPECT_GE(rightInk.right(), 190);
    EXPECT_LT(rightInk.right(), 200);
    EXPECT_LT(rightInk.top(), lineHeight_);

    image_.fill(Qt::white);
    platform::Rect bottom{0, 0, 200, 100};
    Draw(QStringLiteral("88"), bottom, DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
    const QRect bottomInk = InkBounds(image_);
    EXPECT_LT(bottomInk.left(), 5);
    EXPECT_GT(bottomInk.top(), 100 - lineHeight_);
    EXPECT_LT(bottomInk.bottom(), 100);

    image_.fill(Qt::white);
    platform::Rect centre{0, 0, 200, 100};
    Draw(QStringLiteral("88"), centre, DT_CENTER | DT_SINGLELINE);
    const QRect centreInk = InkBounds(image_);
    EXPECT_NEAR(centreInk.center().x(), 100, 3);
}

TEST_F(DrawTextTest, ClipsToTheRectangleUnlessNoClip) {
    platform::Rect narrow{50, 10, 60, 40};
    Draw(QStringLiteral("WWWW"), narrow, 0);
    const QRect clipped = InkBounds(image_);
    EXPECT_GE(clipped.left(), 50);
    EXPECT_LT(clipped.right(), 60);

    image_.fill(Qt::white);
    Draw(QStringLiteral("WWWW"), narrow, DT_NOCLIP);
    EXPECT_GT(InkBounds(image_).right(), 60);
}

TEST_F(DrawTextTest, OpaqueModeFillsTheTextBox) {
    PaintContext context(&image_);
    context.SelectFont(TestFont());
    context.SetBkColor(0x00FF0000);  // blue
    platform::Rect rect{0, 0, 200, 100};
    DrawText(context, QStringLiteral("x"), rect, DT_NOPREFIX);
    EXPECT_EQ(image_.pixelColor(0, 0), QColor(0, 0, 255));
    EXPECT_EQ(image_.pixelColor(0, lineHeight_ + 1), QColor(Qt::white));
}

TEST(PaintContext, ViewportOriginMovesDrawingAndTheClipBox) {
    QImage image(100, 80, QImage::Format_RGB32);
    image.fill(Qt::white);
    PaintContext context(&image);
    EXPECT_EQ(context.ClipBox(), (platform::Rect{0, 0, 100, 80}));
    context.SetViewportOrigin(QPoint(-30, -20));
    EXPECT_EQ(context.ClipBox(), (platform::Rect{30, 20, 130, 100}));
    EXPECT_TRUE(context.RectVisible(platform::Rect{120, 90, 140, 110}));
    EXPECT_FALSE(context.RectVisible(platform::Rect{0, 0, 30, 20}));
    EXPECT_TRUE(context.PtVisible(QPoint(30, 20)));
    EXPECT_FALSE(context.PtVisible(QPoint(130, 50)));

    context.FillRect(platform::Rect{40, 30, 42, 32}, 0x000000FF);
    EXPECT_EQ(image.pixelColor(10, 10), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(11, 11), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(12, 12), QColor(Qt::white));

    context.SetClipRect(platform::Rect{50, 40, 60, 45});
    EXPECT_EQ(context.ClipBox(), (platform::Rect{50, 40, 60, 45}));
    context.FillRect(platform::Rect{0, 0, 200, 200}, 0x00000000);
    EXPECT_EQ(InkBounds(image), QRect(10, 10, 20, 15));
    context.ClearClipRect();
    EXPECT_EQ(context.ClipBox(), (platform::Rect{30, 20, 130, 100}));
}

// Things far off the canvas sit at the int limits; measuring and moving them must stay there
// instead of wrapping round to the other side of the canvas.
TEST(PixelLimits, RectanglesAndTextAtTheIntLimitsSaturate) {
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    const platform::Rect wide{kMin, kMin, kMax, kMax};
    EXPECT_EQ(wide.Width(), kMax);
    EXPECT_EQ(wide.Inflated(2, 2), wide);
    EXPECT_EQ((platform::Rect{kMax - 1, 0, kMax, 1}.Offset(5, 0)),
              (platform::Rect{kMax, 0, kMax, 1}));
    EXPECT_TRUE((platform::Rect{kMax - 1, 0, kMax, 1}.Offset(5, 0)).IsEmpty());
    EXPECT_EQ(platform::AddPixels(QPoint(kMax, kMin), QPoint(1, -1)), QPoint(kMax, kMin));
    EXPECT_EQ(platform::SubtractPixels(QPoint(0, 0), QPoint(kMin, kMax)), QPoint(kMax, -kMax));

    QImage image(100, 80, QImage::Format_RGB32);
    image.fill(Qt::white);
    PaintContext context(&image);
    // The window scrolled to the far end of the canvas.
    context.SetViewportOrigin(QPoint(kMin, kMin + 1));
    EXPECT_EQ(context.ClipBox(), (platform::Rect{kMax, kMax, kMax, kMax}));
    context.SetViewportOrigin(QPoint(-(kMax - 50), 0));
    EXPECT_EQ(context.ClipBox(), (platform::Rect{kMax - 50, 0, kMax, 80}));

    platform::Rect measured{kMax - 3, kMax - 3, kMax, kMax};
    DrawText(context, QStringLiteral("Far"), measured, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(measured.right, kMax);
    EXPECT_EQ(measured.bottom, kMax);
    // Placing text there is computed without overflow (the sanitizer build checks); what the
    // painter then shows so far out is its own affair.
    platform::Rect edge{kMax - 40, kMax - 30, kMax, kMax};
    DrawText(context, QStringLiteral("WW"), edge, DT_NOCLIP | DT_NOPREFIX);
    DrawText(context, QStringLiteral("WW"), edge, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    DrawText(context, QStringLiteral("WW"), edge, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

TEST(PaintContext, SelectionsReturnWhatTheyReplace) {
    QImage image(10, 10, QImage::Format_RGB32);
    PaintContext context(&image);
    EXPECT_EQ(context.SetTextColor(0x00123456), 0u);
    EXPECT_EQ(context.SetTextColor(0), 0x00123456u);
    EXPECT_EQ(context.SetBkMode(BackgroundMode::kTransparent), BackgroundMode::kOpaque);
    const QPen red(Qt::red, 3);
    context.SelectPen(red);
    EXPECT_EQ(context.SelectPen(QPen(Qt::black)), red);
    const QFont font = TestFont();
    context.SelectFont(font);
    EXPECT_EQ(context.SelectFont(QFont()), font);
}

}  // namespace
}  // namespace paint
