#pragma once
// Pixel arithmetic on coordinates that may lie far outside the window: computed in 64 bits and
// saturated back into int, so a far coordinate stays far instead of wrapping around; and the
// sizes a record may carry, held to what a window can show when they are drawn.

#include <algorithm>
#include <cstdint>
#include <limits>

constexpr int SaturateInt(std::int64_t v) {
    return int(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                        std::numeric_limits<int>::max()));
}

// The sum of int values, saturated.
template <class... T> constexpr int SatSum(T... v) {
    return SaturateInt((std::int64_t(v) + ...));
}

// No window is larger than this many pixels; a size beyond it draws as it.
constexpr int MaxDrawnSize = 16384;

constexpr int DrawnSize(std::int64_t v) {
    return int(std::clamp<std::int64_t>(v, -MaxDrawnSize, MaxDrawnSize));
}
