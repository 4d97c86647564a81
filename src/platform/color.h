#pragma once

#include <QColor>

#include <cstdint>

namespace platform {

// A colour as the design stores it: 0x00BBGGRR.
using ColorRef = uint32_t;

constexpr ColorRef Rgb(int red, int green, int blue) {
    return ColorRef(red & 0xFF) | (ColorRef(green & 0xFF) << 8) | (ColorRef(blue & 0xFF) << 16);
}
constexpr int RedOf(ColorRef color) {
    return int(color & 0xFF);
}
constexpr int GreenOf(ColorRef color) {
    return int((color >> 8) & 0xFF);
}
constexpr int BlueOf(ColorRef color) {
    return int((color >> 16) & 0xFF);
}

// The top byte of a ColorRef is ignored, as by the device's drawing calls.
QColor ToQColor(ColorRef color);
ColorRef FromQColor(const QColor& color);

// The colour of window backgrounds on this desktop (the default map background).
ColorRef SystemWindowColor();

}  // namespace platform
