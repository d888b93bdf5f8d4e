#include "wave/Transforms.h"

#include <algorithm>
#include <cmath>

namespace {

// Applies y := f(y) if every result is finite; else changes nothing.
template <class F> bool Map(SampleRange r, F f) {
    for (std::size_t i = 0; i < r.count; ++i)
        if (!std::isfinite(f(r.points[i].y)))
            return false;
    for (std::size_t i = 0; i < r.count; ++i)
        r.points[i].y = f(r.points[i].y);
    return true;
}

} // namespace

bool NormalisePeak(SampleRange r, double peak) {
    double largest = 0;
    for (std::size_t i = 0; i < r.count; ++i)
        largest = std::max(largest, std::fabs(r.points[i].y));
    if (largest == 0 || !std::isfinite(peak))
        return largest == 0 && std::isfinite(peak);
    // The largest sample lands on the peak exactly, whatever the quotient's rounding.
    return Map(r, [&](double y) {
        return std::fabs(y) == largest ? std::copysign(peak, y) : y / largest * peak;
    });
}

bool NormaliseRange(SampleRange r, double low, double high) {
    if (!r.count || !std::isfinite(low) || !std::isfinite(high))
        return r.count == 0;
    auto [lo, hi] =
        std::minmax_element(r.points, r.points + r.count,
                            [](const DataPoint& a, const DataPoint& b) { return a.y < b.y; });
    const double min = lo->y, max = hi->y;
    if (min == max)
        return Map(r, [&](double) { return low + (high - low) / 2; });
    return Map(r, [&](double y) {
        return y == min ? low : y == max ? high : low + (y - min) * (high - low) / (max - min);
    });
}

bool ScaleOffset(SampleRange r, double scale, double offset) {
    return Map(r, [&](double y) { return y * scale + offset; });
}

bool RemoveDC(SampleRange r) {
    if (!r.count)
        return true;
    // Kahan summation: the mean of millions of samples to the last bit that matters.
    double sum = 0, carry = 0;
    for (std::size_t i = 0; i < r.count; ++i) {
        const double y = r.points[i].y - carry;
        const double t = sum + y;
        carry = (t - sum) - y;
        sum = t;
    }
    const double mean = sum / double(r.count);
    return Map(r, [&](double y) { return y - mean; });
}

void Invert(SampleRange r) {
    for (std::size_t i = 0; i < r.count; ++i)
        r.points[i].y = -r.points[i].y;
}

void Reverse(SampleRange r) {
    for (std::size_t i = 0, j = r.count; i + 1 < j; ++i, --j)
        std::swap(r.points[i].y, r.points[j - 1].y);
}

bool Smooth(SampleRange r, int width, bool circular) {
    if (width < 1 || width % 2 == 0)
        return false;
    const std::size_t n = r.count;
    if (n == 0 || width == 1)
        return true;
    std::vector<double> ys(n), out(n);
    for (std::size_t i = 0; i < n; ++i)
        ys[i] = r.points[i].y;
    const std::ptrdiff_t half = width / 2, count = std::ptrdiff_t(n);
    auto at = [&](std::ptrdiff_t i) { return ys[std::size_t(((i % count) + count) % count)]; };
    // A running sum, renewed now and then so rounding cannot build up over millions of steps.
    double sum = 0;
    std::ptrdiff_t taken = 0;
    auto windowSum = [&](std::ptrdiff_t centre) {
        double s = 0;
        taken = 0;
        for (std::ptrdiff_t j = centre - half; j <= centre + half; ++j)
            if (circular || (j >= 0 && j < count)) {
                s += circular ? at(j) : ys[std::size_t(j)];
                ++taken;
            }
        return s;
    };
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        if (i % 4096 == 0) {
            sum = windowSum(i);
        } else {
            const std::ptrdiff_t leaving = i - half - 1, entering = i + half;
            if (circular) {
                sum += at(entering) - at(leaving);
            } else {
                if (leaving >= 0)
                    sum -= ys[std::size_t(leaving)], --taken;
                if (entering < count)
                    sum += ys[std::size_t(entering)], ++taken;
            }
        }
        out[std::size_t(i)] = sum / double(taken);
    }
    for (double v : out)
        if (!std::isfinite(v))
            return false;
    for (std::size_t i = 0; i < n; ++i)
        r.points[i].y = out[i];
    return true;
}

void Clip(SampleRange r, double low, double high) {
    if (!(low <= high))
        return;
    for (std::size_t i = 0; i < r.count; ++i)
        r.points[i].y = std::clamp(r.points[i].y, low, high);
}

bool Quantise(SampleRange r, int bits, double low, double high) {
    if (bits < 1 || bits > 52 || !(low < high) || !std::isfinite(high - low))
        return false;
    const double steps = std::ldexp(1.0, bits) - 1;
    const double step = (high - low) / steps;
    return Map(r, [&](double y) {
        const double k = std::round((std::clamp(y, low, high) - low) / step);
        return k >= steps ? high : low + k * step;
    });
}
