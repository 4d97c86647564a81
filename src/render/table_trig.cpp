#include "render/table_trig.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace render {
namespace {

constexpr float kTurn = 6.2831855f;
constexpr float kQuarterTurnsPerRadian = 0.63661975f;

// sin of 0°, 1°, …, 90°.
const std::array<float, 91>& SineTable() {
    static const std::array<float, 91> table = [] {
        std::array<float, 91> values{};
        for (int degree = 0; degree <= 90; ++degree) {
            values[size_t(degree)] = float(std::sin(degree * 3.14159265358979323846 / 180.0));
        }
        return values;
    }();
    return table;
}

float Entry(float quarterTurns) {
    const int index = std::clamp(int(quarterTurns * 90.0f + 0.5f), 0, 90);
    return SineTable()[size_t(index)];
}

}  // namespace

float TableSin(float radians) {
    if (!(radians >= -kTurn && radians <= kTurn)) {
        return float(std::sin(double(radians)));
    }
    float v = std::fabs(radians) * kQuarterTurnsPerRadian;
    float sign = 1.0f;
    if (v > 2.0f) {
        v = 4.0f - v;
        sign = -1.0f;
    }
    if (v > 1.0f) {
        v = 2.0f - v;
    }
    const float sine = sign * Entry(v);
    return radians < 0.0f ? -sine : sine;
}

float TableCos(float radians) {
    if (!(radians >= -kTurn && radians <= kTurn)) {
        return float(std::cos(double(radians)));
    }
    float v = std::fabs(radians) * kQuarterTurnsPerRadian;
    float sign = 1.0f;
    if (v > 2.0f) {
        v = 4.0f - v;
    }
    if (v > 1.0f) {
        v = 2.0f - v;
        sign = -1.0f;
    }
    return sign * Entry(1.0f - v);
}

}  // namespace render
