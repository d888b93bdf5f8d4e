#include "wave/Resample.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <samplerate.h>
#include <thread>

namespace {

// The old sample at index k, wrapped for a repeating table, held at the ends otherwise.
double At(const std::vector<double>& ys, long long k, bool circular) {
    const long long n = (long long)ys.size();
    if (circular)
        return ys[std::size_t(((k % n) + n) % n)];
    return ys[std::size_t(std::clamp(k, 0LL, n - 1))];
}

double Interpolate(const std::vector<double>& ys, double t, ResampleMethod m, bool circular) {
    const double base = std::floor(t);
    const double f = t - base;
    const long long k = (long long)base;
    const double p1 = At(ys, k, circular), p2 = At(ys, k + 1, circular);
    if (m == ResampleMethod::Linear || f == 0)
        return f == 0 ? p1 : p1 + (p2 - p1) * f;
    const double p0 = At(ys, k - 1, circular), p3 = At(ys, k + 2, circular);
    return p1 + 0.5 * f *
                    (p2 - p0 + f * (2 * p0 - 5 * p1 + 4 * p2 - p3 + f * (3 * (p1 - p2) + p3 - p0)));
}

// The converter's output k lies at input position k / ratio. With the ratio count / n in
// lowest terms p / q, a run that starts its input at a multiple of q starts on a whole output
// sample: pieces converted apart, one on each core, join without a seam. Each piece reads
// `reach` samples beyond its own, further than the longest filter looks.
bool BandLimited(const std::vector<double>& ys, std::vector<double>& out, int converter,
                 bool circular, std::string& error) {
    const std::size_t n = ys.size(), count = out.size();
    const std::size_t g = std::gcd(n, count), q = n / g, p = count / g;
    const double ratio = double(count) / double(n);
    const std::size_t reach = std::size_t(std::ceil(160 / std::min(1.0, ratio))) + 8;
    // A repeating table is padded with itself (as often as it takes) so the filter sees it
    // repeat; any other with itself turned about its end samples, so that a constant stays
    // constant and a ramp a ramp up to the ends. The padding is a multiple of q, so output 0
    // still falls on a whole sample.
    const std::size_t pad = (reach + q - 1) / q * q;
    std::vector<float> in(n + 2 * pad);
    for (std::size_t e = 0; e < in.size(); ++e) {
        if (circular) {
            in[e] = float(ys[(e + n - pad % n) % n]);
        } else if (e < pad) {
            in[e] = float(2 * ys[0] - ys[std::min(n - 1, pad - e)]);
        } else if (e >= pad + n) {
            const std::size_t back = e - (pad + n - 1);
            in[e] = float(2 * ys[n - 1] - ys[n - 1 - std::min(n - 1, back)]);
        } else {
            in[e] = float(ys[e - pad]);
        }
    }

    const unsigned cores = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
    // Where q is too long to split the input at, one piece does it all.
    const std::size_t pieces = count >= (std::size_t(1) << 16) && q <= n / (4 * cores) ? cores : 1;
    std::vector<std::string> errors(pieces);
    auto convert = [&](std::size_t t) {
        const std::size_t j0 = count * t / pieces, j1 = count * (t + 1) / pieces;
        const double from = double(pad) + double(j0) / ratio - double(reach);
        const std::size_t s = from <= 0 ? 0 : std::size_t(from) / q * q;
        const std::size_t e =
            std::min(in.size(), pad + std::size_t(std::ceil(double(j1) / ratio)) + reach + 1);
        // pad - s is a whole number of periods q, each p outputs long.
        const std::size_t first =
            std::size_t((std::int64_t(pad) - std::int64_t(s)) / std::int64_t(q) * std::int64_t(p) +
                        std::int64_t(j0));
        std::vector<float> result(std::size_t(double(e - s) * ratio) + 16);
        SRC_DATA data{};
        data.data_in = in.data() + s;
        data.input_frames = long(e - s);
        data.data_out = result.data();
        data.output_frames = long(result.size());
        data.src_ratio = ratio;
        if (const int code = src_simple(&data, converter, 1)) {
            errors[t] = std::string("The band-limited resampler refused: ") + src_strerror(code);
            return;
        }
        for (std::size_t j = j0; j < j1; ++j)
            out[j] = result[std::min(first + (j - j0), std::size_t(data.output_frames_gen) - 1)];
    };
    std::vector<std::thread> threads;
    for (std::size_t t = 1; t < pieces; ++t)
        threads.emplace_back(convert, t);
    convert(0);
    for (std::thread& t : threads)
        t.join();
    for (const std::string& e : errors)
        if (!e.empty()) {
            error = e;
            return false;
        }
    return true;
}

} // namespace

std::vector<double> Resample(const std::vector<double>& ys, std::size_t count,
                             ResampleMethod method, bool circular, std::string& error) {
    if (ys.empty() || count == 0) {
        error = "There is nothing to resample, or nothing to resample to.";
        return {};
    }
    const std::size_t n = ys.size();
    std::vector<double> out(count);
    if (method == ResampleMethod::Linear || method == ResampleMethod::Cubic) {
        // Positions in the old samples: the ends stay put, or the period is kept.
        const double step = circular    ? double(n) / double(count)
                            : count > 1 ? double(n - 1) / double(count - 1)
                                        : 0;
        for (std::size_t j = 0; j < count; ++j)
            out[j] = Interpolate(ys, double(j) * step, method, circular);
    } else if (!BandLimited(ys, out,
                            method == ResampleMethod::BandLimited ? SRC_SINC_BEST_QUALITY
                                                                  : SRC_SINC_FASTEST,
                            circular, error)) {
        return {};
    }
    for (std::size_t j = 0; j < count; ++j)
        if (!std::isfinite(out[j])) {
            error = "Sample " + std::to_string(j) + " would not be a finite number.";
            return {};
        }
    return out;
}
