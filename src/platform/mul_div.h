#pragma once

#include <cstdint>
#include <limits>

namespace platform {

// (a × b) ÷ c with a 64-bit product, rounded to the nearest integer with halves away from zero,
// as the handheld's MulDiv. A zero divisor or a result outside 32 bits gives −1.
constexpr int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) {
        return -1;
    }
    const int64_t product = int64_t{a} * int64_t{b};
    const bool negative = (product < 0) != (c < 0);
    const uint64_t magnitude = product < 0 ? uint64_t(-(product + 1)) + 1 : uint64_t(product);
    const uint64_t divisor = c < 0 ? uint64_t(-(int64_t{c})) : uint64_t(c);
    const uint64_t quotient = (magnitude + divisor / 2) / divisor;
    if (!negative && quotient > uint64_t(std::numeric_limits<int32_t>::max())) {
        return -1;
    }
    if (negative && quotient > uint64_t(std::numeric_limits<int32_t>::max()) + 1) {
        return -1;
    }
    return negative ? int32_t(-int64_t(quotient)) : int32_t(quotient);
}

}  // namespace platform
