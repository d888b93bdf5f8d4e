#pragma once
// How far a table is from quarter-wave symmetry, the symmetry that lets a quarter of it stand
// for the whole: the second quarter mirrors the first in time, the second half mirrors the
// first about the table's own centre (values that sum to `k`). A reader rebuilds the table
// t from its first N/4 + 1 entries q as
//   t[i] = t[N/2 - i] = q[i] for i <= N/4;  t[N/2 + i] = k - t[i] for i < N/2.

#include <algorithm>
#include <cmath>
#include <cstddef>

// The largest deviation among the n values value(0..n-1); -1 where n is no multiple of 4.
template <class Value> double QuarterWaveDeviation(std::size_t n, double k, Value value) {
    if (n < 4 || n % 4)
        return -1;
    double worst = 0;
    for (std::size_t i = 0; i <= n / 4; ++i) {
        const double w = value(i);
        worst = std::max(worst, std::fabs(value(n / 2 - i) - w));
        worst = std::max(worst, std::fabs(value(n / 2 + i) + w - k));
        if (i > 0)
            worst = std::max(worst, std::fabs(value(n - i) + w - k));
    }
    return worst;
}
