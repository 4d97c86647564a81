#pragma once

// Pixel arithmetic shared by the span stroker and the span filler.

#include <QRgb>

#include <cstdint>
#include <cstring>

namespace paint::span {

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

// `count` pixels from `pixels` on set to `colour`. Most runs of a map's lines are a few
// pixels: up to eight are written as two stores that may overlap, not a loop.
inline void FillPixels(QRgb* pixels, int count, QRgb colour) {
    const uint64_t two = uint64_t(colour) << 32 | colour;
    if (count >= 4) {
        const uint64_t four[2] = {two, two};
        if (count <= 8) {
            std::memcpy(pixels, four, sizeof four);
            std::memcpy(pixels + count - 4, four, sizeof four);
            return;
        }
        // Long runs (an area's rows) sixteen pixels a step, then four, the last four
        // overlapping.
        int i = 0;
        for (; i + 16 <= count; i += 16) {
            std::memcpy(pixels + i, four, sizeof four);
            std::memcpy(pixels + i + 4, four, sizeof four);
            std::memcpy(pixels + i + 8, four, sizeof four);
            std::memcpy(pixels + i + 12, four, sizeof four);
        }
        for (; i + 4 <= count; i += 4) {
            std::memcpy(pixels + i, four, sizeof four);
        }
        std::memcpy(pixels + count - 4, four, sizeof four);
    } else if (count >= 2) {
        std::memcpy(pixels, &two, sizeof two);
        std::memcpy(pixels + count - 2, &two, sizeof two);
    } else if (count == 1) {
        pixels[0] = colour;
    }
}

}  // namespace paint::span
