#include "wave/Resample.h"

#include <algorithm>
#include <cmath>
#include <samplerate.h>

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

} // namespace

std::vector<double> Resample(const std::vector<double>& ys, std::size_t count,
                             ResampleMethod method, bool circular, std::string& error) {
    if (ys.empty() || count == 0) {
        error = "There is nothing to resample, or nothing to resample to.";
        return {};
    }
    const std::size_t n = ys.size();
    std::vector<double> out(count);
    if (method != ResampleMethod::BandLimited) {
        // Positions in the old samples: the ends stay put, or the period is kept.
        const double step = circular    ? double(n) / double(count)
                            : count > 1 ? double(n - 1) / double(count - 1)
                                        : 0;
        for (std::size_t j = 0; j < count; ++j)
            out[j] = Interpolate(ys, double(j) * step, method, circular);
    } else {
        // A repeating table is padded with its own ends so the filter sees it repeat.
        const std::size_t pad = circular ? std::min<std::size_t>(n, 4096) : 0;
        std::vector<float> in;
        in.reserve(n + 2 * pad);
        for (std::size_t i = n - pad; i < n; ++i)
            in.push_back(float(ys[i]));
        for (double y : ys)
            in.push_back(float(y));
        for (std::size_t i = 0; i < pad; ++i)
            in.push_back(float(ys[i]));
        const double ratio = double(count) / double(n);
        const std::size_t padOut = std::size_t(std::llround(double(pad) * ratio));
        std::vector<float> result(count + 2 * padOut + 16);
        SRC_DATA data{};
        data.data_in = in.data();
        data.input_frames = long(in.size());
        data.data_out = result.data();
        data.output_frames = long(result.size());
        data.src_ratio = ratio;
        if (const int e = src_simple(&data, SRC_SINC_BEST_QUALITY, 1)) {
            error = std::string("The band-limited resampler refused: ") + src_strerror(e);
            return {};
        }
        for (std::size_t j = 0; j < count; ++j) {
            const std::size_t from =
                std::min<std::size_t>(padOut + j, std::size_t(data.output_frames_gen) - 1);
            out[j] = result[from];
        }
    }
    for (std::size_t j = 0; j < count; ++j)
        if (!std::isfinite(out[j])) {
            error = "Sample " + std::to_string(j) + " would not be a finite number.";
            return {};
        }
    return out;
}
