#include "render/label_style.h"

#include "paint/draw_text.h"
#include "paint/paint_context.h"

namespace render {

int DrawOutlinedText(const LabelStyle& style, paint::PaintContext& context, const QString& text,
                     platform::Rect& rect, uint32_t flags) {
    const paint::BackgroundMode oldMode = context.SetBkMode(paint::BackgroundMode::kTransparent);
    const QFont oldFont = style.font ? context.SelectFont(*style.font) : context.Font();
    const platform::ColorRef oldColor = context.SetTextColor(style.outlineColor);

    static constexpr int kOutlineSteps[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    for (const auto& step : kOutlineSteps) {
        platform::Rect outline = rect.Inflated(step[0], step[1]);
        paint::DrawText(context, text, outline, flags);
    }
    context.SetTextColor(style.textColor);
    const int height = paint::DrawText(context, text, rect, flags);

    context.SetTextColor(oldColor);
    context.SetBkMode(oldMode);
    if (style.font) {
        context.SelectFont(oldFont);
    }
    return height + 2;
}

}  // namespace render
