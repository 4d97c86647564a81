#pragma once

#include <QFont>
#include <QString>

#include <cstdint>
#include <optional>

#include "platform/color.h"
#include "platform/rect.h"

namespace paint {
class PaintContext;
}

namespace render {

// Colours and font of outlined text: overlays on the map and announcements.
struct LabelStyle {
    platform::ColorRef outlineColor = 0x00FFFFFF;
    platform::ColorRef textColor = 0x00000000;
    std::optional<QFont> font;  // none: the context's current font
};

// Text with a one-pixel outline: drawn four times in the outline colour into copies of `rect`
// inflated by (−1, −1), (+1, −1), (−1, +1) and (+1, +1), then once in the text colour into
// `rect` itself (which DT_CALCRECT in `flags` then sets to the text's extent). The context's
// colours, background mode and font are put back. Returns the text height plus 2.
int DrawOutlinedText(const LabelStyle& style, paint::PaintContext& context, const QString& text,
                     platform::Rect& rect, uint32_t flags);

}  // namespace render
