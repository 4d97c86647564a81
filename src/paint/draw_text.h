#pragma once

#include <QString>

#include <cstdint>

#include "platform/rect.h"

namespace paint {

class PaintContext;

// Flags of DrawText, with the device's values.
inline constexpr uint32_t DT_TOP = 0x0;
inline constexpr uint32_t DT_LEFT = 0x0;
inline constexpr uint32_t DT_CENTER = 0x1;
inline constexpr uint32_t DT_RIGHT = 0x2;
inline constexpr uint32_t DT_VCENTER = 0x4;
inline constexpr uint32_t DT_BOTTOM = 0x8;
inline constexpr uint32_t DT_SINGLELINE = 0x20;
inline constexpr uint32_t DT_NOCLIP = 0x100;
inline constexpr uint32_t DT_CALCRECT = 0x400;
inline constexpr uint32_t DT_NOPREFIX = 0x800;

// Draws `text` into `rect` with the context's font, text colour and background mode, aligned by
// `flags`. CR LF (or a lone CR or LF) breaks lines unless DT_SINGLELINE; DT_BOTTOM and
// DT_VCENTER apply to single lines. Without DT_NOPREFIX "&x" shows x and "&&" shows "&".
// Without DT_NOCLIP nothing lands outside `rect`. With DT_CALCRECT nothing is drawn and right
// and bottom become left + widest line and top + text height. Returns the text height in pixels.
int DrawText(PaintContext& context, const QString& text, platform::Rect& rect, uint32_t flags);

}  // namespace paint
