#include "render/label_style.h"

#include "platform/draw_text.h"
#include "platform/paint_context.h"

namespace render {

int DrawOutlinedText(const LabelStyle& style, platform::PaintContext& context,
                     const QString& text, platform::Rect& rect, uint32_t flags) {
    const platform::BackgroundMode oldMode =
        context.SetBkMode(platform::BackgroundMode::kTransparent);
    const QFont oldFont = style.font ? context.SelectFont(*style.font) : context.Font();
    const platform::ColorRef oldColor = context.SetTextColor(style.outlineColor);

    static constexpr int kOutlineSteps[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    for (const auto& step : kOutlineSteps) {
        platform::Rect outline = rect.Inflated(step[0], step[1]);
        platform::DrawText(context, text, outline, flags);
    }
    context.SetTextColor(style.textColor);
    const int height = platform::DrawText(context, text, rect, flags);

    context.SetTextColor(oldColor);
    context.SetBkMode(oldMode);
    if (style.font) {
        context.SelectFont(oldFont);
    }
    return height + 2;
}

}  // namespace render
