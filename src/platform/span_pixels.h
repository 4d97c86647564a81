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

// `colour` over `under` with coverage alpha / 255, both opaque. The four channels are spread
// over the four 16-bit lanes of one 64-bit word and blended at once.
inline QRgb Blend(QRgb under, QRgb colour, uint32_t alpha) {
    constexpr uint64_t kLanes = 0x00FF00FF00FF00FFull;
    const uint64_t top = ((uint64_t(colour) << 24) | colour) & kLanes;
    const uint64_t bottom = ((uint64_t(under) << 24) | under) & kLanes;
    uint64_t sum = top * alpha + bottom * (255 - alpha) + 0x0080008000800080ull;
    sum = ((sum + ((sum >> 8) & kLanes)) >> 8) & kLanes;
    return 0xFF000000u | QRgb(sum | (sum >> 24));
}

}  // namespace platform::span
