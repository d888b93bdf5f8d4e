#pragma once
// Pixel arithmetic truncates toward zero; here it also saturates instead of overflowing, and
// NaN gives 0.

#include <cmath>
#include <cstdint>
#include <limits>

inline int TruncInt(double v) {
    if (std::isnan(v))
        return 0;
    if (v <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    if (v >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return int(v);
}

// The same in 64 bits, held at +-2^62: room to add and subtract pixel coordinates.
inline std::int64_t TruncInt64(double v) {
    constexpr double limit = 4611686018427387904.0; // 2^62
    if (std::isnan(v))
        return 0;
    if (v <= -limit)
        return -(std::int64_t(1) << 62);
    if (v >= limit)
        return std::int64_t(1) << 62;
    return std::int64_t(v);
}
