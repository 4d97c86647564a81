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

// `weight` 256ths of `ink` over `under`, both opaque; 0 leaves `under`, 256 gives `ink`.
inline QRgb Mix(QRgb under, QRgb ink, uint32_t weight) {
    const uint32_t rest = 256 - weight;
    const uint32_t redBlue = (ink & 0xFF00FFu) * weight + (under & 0xFF00FFu) * rest + 0x800080u;
    const uint32_t green = (ink & 0xFF00u) * weight + (under & 0xFF00u) * rest + 0x8000u;
    return 0xFF000000u | ((redBlue >> 8) & 0xFF00FFu) | ((green >> 8) & 0xFF00u);
}

}  // namespace platform::span
