#include "wave/Transforms.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "files/MemoryGate.h"

namespace {

// Applies y := f(y) if every result is finite; else changes nothing. The careful way, for
// ranges that hold values that are not finite.
template <class F> bool Map(SampleRange r, F f) {
    for (std::size_t i = 0; i < r.count; ++i)
        if (!std::isfinite(f(r.points[i].y)))
            return false;
    for (std::size_t i = 0; i < r.count; ++i)
        r.points[i].y = f(r.points[i].y);
    return true;
}

// Ranges this long are worked on by two threads, half each: a pass over memory is quicker so.
constexpr std::size_t TwoThreads = std::size_t(1) << 20;

template <class F> void Halves(std::size_t n, const F& part) {
    if (n < TwoThreads) {
        part(std::size_t(0), n);
        return;
    }
    std::thread other([&] { part(n / 2, n); });
    part(std::size_t(0), n / 2);
    other.join();
}

// One read of the range: its sum and its extremes. A value that is not finite makes the sum
// not finite.
struct Extent {
    double sum = 0, lo = INFINITY, hi = -INFINITY;
};

// The sum as numpy sums (blocks of 128 in eight lanes, the blocks' sums added pairwise: its
// error grows with the logarithm of the count, not the count), the extremes on the way.
double PairwiseSum(const DataPoint* p, std::size_t n, double& lo, double& hi) {
    if (n > 128) {
        const std::size_t half = n / 2 / 8 * 8;
        return PairwiseSum(p, half, lo, hi) + PairwiseSum(p + half, n - half, lo, hi);
    }
    double lane[8] = {}, low[8], high[8];
    for (std::size_t j = 0; j < 8; ++j)
        low[j] = lo, high[j] = hi;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8)
        for (std::size_t j = 0; j < 8; ++j) {
            const double y = p[i + j].y;
            lane[j] += y;
            low[j] = std::min(low[j], y);
            high[j] = std::max(high[j], y);
        }
    double sum =
        ((lane[0] + lane[1]) + (lane[2] + lane[3])) + ((lane[4] + lane[5]) + (lane[6] + lane[7]));
    for (; i < n; ++i) {
        sum += p[i].y;
        low[0] = std::min(low[0], p[i].y);
        high[0] = std::max(high[0], p[i].y);
    }
    for (std::size_t j = 0; j < 8; ++j)
        lo = std::min(lo, low[j]), hi = std::max(hi, high[j]);
    return sum;
}

Extent ExtentOf(SampleRange r) {
    Extent halves[2];
    Halves(r.count, [&](std::size_t a, std::size_t b) {
        Extent& e = halves[a == 0 ? 0 : 1];
        e.sum = PairwiseSum(r.points + a, b - a, e.lo, e.hi);
    });
    if (r.count < TwoThreads)
        return halves[0];
    return {halves[0].sum + halves[1].sum, std::min(halves[0].lo, halves[1].lo),
            std::max(halves[0].hi, halves[1].hi)};
}

// y := f(y) for an f that rounds monotonically (an affine map): where the range is finite and
// f is finite at its extremes, f is finite everywhere, so one pass writes it.
template <class F> bool MapMonotone(SampleRange r, const Extent& e, const F& f) {
    if (!std::isfinite(e.sum) || !std::isfinite(f(e.lo)) || !std::isfinite(f(e.hi)))
        return std::isfinite(e.sum) ? false : Map(r, f);
    Halves(r.count, [&](std::size_t a, std::size_t b) {
        for (std::size_t i = a; i < b; ++i)
            r.points[i].y = f(r.points[i].y);
    });
    return true;
}

} // namespace

bool NormalisePeak(SampleRange r, double peak) {
    const Extent e = ExtentOf(r);
    if (!std::isfinite(e.sum)) { // the careful way where a value is not finite
        double largest = 0;
        for (std::size_t i = 0; i < r.count; ++i)
            largest = std::max(largest, std::fabs(r.points[i].y));
        if (largest == 0 || !std::isfinite(peak))
            return largest == 0 && std::isfinite(peak);
        return Map(r, [&](double y) {
            return std::fabs(y) == largest ? std::copysign(peak, y) : y / largest * peak;
        });
    }
    const double largest = r.count ? std::max(-e.lo, e.hi) : 0;
    if (largest == 0 || !std::isfinite(peak))
        return largest == 0 && std::isfinite(peak);
    // |y / largest| <= 1: every result is finite. The largest sample lands on the peak
    // exactly, whatever the quotient's rounding.
    Halves(r.count, [&](std::size_t a, std::size_t b) {
        for (std::size_t i = a; i < b; ++i) {
            const double y = r.points[i].y;
            r.points[i].y = std::fabs(y) == largest ? std::copysign(peak, y) : y / largest * peak;
        }
    });
    return true;
}

bool NormaliseRange(SampleRange r, double low, double high) {
    if (!r.count || !std::isfinite(low) || !std::isfinite(high))
        return r.count == 0;
    const Extent e = ExtentOf(r);
    const double min = e.lo, max = e.hi;
    auto f = [&](double y) {
        return y == min ? low : y == max ? high : low + (y - min) * (high - low) / (max - min);
    };
    if (!std::isfinite(e.sum)) {
        auto [lo, hi] =
            std::minmax_element(r.points, r.points + r.count,
                                [](const DataPoint& a, const DataPoint& b) { return a.y < b.y; });
        const double min2 = lo->y, max2 = hi->y;
        if (min2 == max2)
            return Map(r, [&](double) { return low + (high - low) / 2; });
        return Map(r, [&](double y) {
            return y == min2   ? low
                   : y == max2 ? high
                               : low + (y - min2) * (high - low) / (max2 - min2);
        });
    }
    if (min == max)
        return MapMonotone(r, e, [&](double) { return low + (high - low) / 2; });
    // (y - min) * (high - low) never exceeds this product: finite, every step is.
    if (!std::isfinite((max - min) * (high - low)))
        return Map(r, f);
    return MapMonotone(r, e, f);
}

bool ScaleOffset(SampleRange r, double scale, double offset) {
    if (!std::isfinite(scale) || !std::isfinite(offset))
        return Map(r, [&](double y) { return y * scale + offset; });
    return MapMonotone(r, ExtentOf(r), [&](double y) { return y * scale + offset; });
}

bool RemoveDC(SampleRange r) {
    if (!r.count)
        return true;
    const Extent e = ExtentOf(r);
    const double mean = e.sum / double(r.count);
    return MapMonotone(r, e, [mean](double y) { return y - mean; });
}

void Invert(SampleRange r) {
    Halves(r.count, [&](std::size_t a, std::size_t b) {
        for (std::size_t i = a; i < b; ++i)
            r.points[i].y = -r.points[i].y;
    });
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
    AskForMemory(2 * std::uint64_t(n), sizeof(double));
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
    if (std::isnan(ExtentOf(r).sum)) // held to the range, only a NaN stays not finite
        return false;
    Halves(r.count, [&](std::size_t a, std::size_t b) {
        for (std::size_t i = a; i < b; ++i) {
            // v >= 0 and below 2^52: adding 2^52 rounds it to the nearest whole number, ties
            // to even; a tie then goes up, away from zero, as std::round does.
            const double v = (std::clamp(r.points[i].y, low, high) - low) / step;
            double k = (v + 0x1p52) - 0x1p52;
            if (v - k == 0.5)
                k += 1;
            r.points[i].y = k >= steps ? high : low + k * step;
        }
    });
    return true;
}
