#pragma once

// Pixel arithmetic shared by the span stroker and the span filler.

#include <QRgb>

#include <cstdint>

namespace platform::span {

// Pixel centres are sampled this far above and left of the true centre, so that an edge running
// exactly through centres takes the pixels below and right of it and leaves those above and
// left, as the painter's rasteriser does.
inline constexpr double kSampleBias = 1.0 / 4096.0;

// Floor and ceiling of a value already limited to the int range, without a library call.
inline int FloorOf(double value) {
    const int truncated = int(value);
    return double(truncated) > value ? truncated - 1 : truncated;
}

inline int CeilOf(double value) {
    const int truncated = int(value);
    return double(truncated) < value ? truncated + 1 : truncated;
}

// `colour` over `under` with coverage alpha / 255, both opaque.
inline QRgb Blend(QRgb under, QRgb colour, uint32_t alpha) {
    const uint32_t rest = 255 - alpha;
    uint32_t redBlue = (colour & 0xFF00FF) * alpha + (under & 0xFF00FF) * rest + 0x800080;
    uint32_t green = (colour & 0x00FF00) * alpha + (under & 0x00FF00) * rest + 0x008000;
    redBlue = ((redBlue + ((redBlue >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
    green = ((green + ((green >> 8) & 0x00FF00)) >> 8) & 0x00FF00;
    return 0xFF000000u | redBlue | green;
}

}  // namespace platform::span
