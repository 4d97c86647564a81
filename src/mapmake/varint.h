#pragma once

// Variable-length integers as the packed node locations and geometry keep them: seven bits a
// byte, low bits first, the high bit set on every byte but the last; signed values zigzagged so
// that small steps either way take one or two bytes; points as the steps between them.

#include <cstdint>

namespace mapmake {

inline uint64_t ZigZag(int64_t value) {
    return (uint64_t(value) << 1) ^ uint64_t(value >> 63);
}

inline int64_t UnZigZag(uint64_t value) {
    return int64_t(value >> 1) ^ -int64_t(value & 1);
}

// Writes value at out, at most 10 bytes; returns the end.
inline uint8_t* PutVarint(uint8_t* out, uint64_t value) {
    while (value >= 0x80) {
        *out++ = uint8_t(value) | 0x80;
        value >>= 7;
    }
    *out++ = uint8_t(value);
    return out;
}

// Reads a value written by PutVarint; returns the end.
inline const uint8_t* GetVarint(const uint8_t* in, uint64_t& value) {
    value = 0;
    for (int shift = 0;; shift += 7) {
        const uint8_t byte = *in++;
        value |= uint64_t(byte & 0x7f) << shift;
        if (byte < 0x80) {
            return in;
        }
    }
}

// A point as its step from the point before (from 0, 0 for the first): the differences of the
// two coordinates, zigzagged, at most 10 bytes for coordinates of 32 bits. Returns the end.
inline uint8_t* PutStep(uint8_t* out, int64_t fromX, int64_t fromY, int64_t x, int64_t y) {
    out = PutVarint(out, ZigZag(x - fromX));
    return PutVarint(out, ZigZag(y - fromY));
}

// Reads a step written by PutStep and moves x and y by it. Returns the end.
inline const uint8_t* GetStep(const uint8_t* in, int64_t& x, int64_t& y) {
    uint64_t step = 0;
    in = GetVarint(in, step);
    x += UnZigZag(step);
    in = GetVarint(in, step);
    y += UnZigZag(step);
    return in;
}

}  // namespace mapmake
