#pragma once
// Pixel arithmetic truncates toward zero; here it also saturates instead of overflowing, and
// NaN gives 0.

#include <cmath>
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
