#include "render/label_style.h"

#include <gtest/gtest.h>

#include "paint/draw_text.h"
#include "paint/paint_context.h"
#include "pixels.h"

namespace render {
namespace {

using paint::DT_CALCRECT;
using paint::DT_NOCLIP;
using paint::DT_NOPREFIX;

LabelStyle RedOnWhite() {
    LabelStyle style;
    style.outlineColor = 0x00FFFFFF;
    style.textColor = 0x00241CED;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(20);
    font.setStyleStrategy(QFont::NoAntialias);
    style.font = font;
    return style;
}

TEST(DrawOutlinedText, OutlinesTheTextInItsOutlineColour) {
    QImage image(120, 60, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 0));
    paint::PaintContext context(&image);
    platform::Rect rect{20, 10, 120, 60};
    DrawOutlinedText(RedOnWhite(), context, QStringLiteral("I"), rect, DT_NOCLIP | DT_NOPREFIX);

    EXPECT_GT(CountPixels(image, QColor(237, 28, 36)), 0);
    EXPECT_GT(CountPixels(image, Qt::white), 0);
    // The outline reaches one pixel beyond the text on either side.
    const QRect text = [&] {
        QRect bounds;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) == QColor(237, 28, 36)) {
                    bounds |= QRect(x, y, 1, 1);
                }
            }
        }
        return bounds;
    }();
    const QRect all = InkBounds(image, Qt::black);
    EXPECT_EQ(all.left(), text.left() - 1);
    EXPECT_EQ(all.right(), text.right() + 1);
    EXPECT_EQ(all.top(), text.top() - 1);
    EXPECT_EQ(all.bottom(), text.bottom() + 1);
}

TEST(DrawOutlinedText, MeasuresWithCalcRectAndPutsTheContextBack) {
    QImage image(120, 60, QImage::Format_RGB32);
    image.fill(Qt::black);
    paint::PaintContext context(&image);
    QFont before(QStringLiteral("DejaVu Serif"));
    before.setPixelSize(9);
    context.SelectFont(before);
    context.SetTextColor(0x00010203);

    const LabelStyle style = RedOnWhite();
    platform::Rect rect{5, 0, 6, 1};
    const int result = DrawOutlinedText(style, context, QStringLiteral("120.5"), rect,
                                        DT_CALCRECT | DT_NOCLIP | DT_NOPREFIX);
    const QFontMetrics metrics(*style.font);
    EXPECT_EQ(result, metrics.ascent() + metrics.descent() + 2);
    EXPECT_EQ(rect.left, 5);
    EXPECT_EQ(rect.right, 5 + metrics.horizontalAdvance(QStringLiteral("120.5")));
    EXPECT_TRUE(InkBounds(image, Qt::black).isEmpty());

    EXPECT_EQ(context.Font(), before);
    EXPECT_EQ(context.TextColor(), 0x00010203u);
    EXPECT_EQ(context.BkMode(), paint::BackgroundMode::kOpaque);
}

TEST(DrawOutlinedText, WithoutAFontUsesTheContextFont) {
    QImage image(60, 30, QImage::Format_RGB32);
    paint::PaintContext context(&image);
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(8);
    context.SelectFont(small);
    LabelStyle style;
    platform::Rect rect{0, 0, 0, 0};
    const int result = DrawOutlinedText(style, context, QStringLiteral("m"), rect, DT_CALCRECT);
    const QFontMetrics metrics(small);
    EXPECT_EQ(result, metrics.ascent() + metrics.descent() + 2);
}

}  // namespace
}  // namespace render
