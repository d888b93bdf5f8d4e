#include "wave/Spectrum.h"

#include <cmath>
#include <complex>
#include <fftw3.h>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <numbers>

#include "files/MemoryGate.h"

namespace {

struct FftwFree {
    void operator()(void* p) const { fftw_free(p); }
};
template <class T> using FftwBuffer = std::unique_ptr<T[], FftwFree>;

template <class T> FftwBuffer<T> Allocate(std::size_t count) {
    T* p = static_cast<T*>(fftw_malloc(sizeof(T) * count));
    if (!p)
        throw std::bad_alloc();
    return FftwBuffer<T>(p);
}

// FFTW's planner is not reentrant; executing a plan on new arrays is.
std::mutex plannerLock;

// One plan a size, for the rest of the run; given back to FFTW at the end.
struct Plans {
    std::map<std::size_t, fftw_plan> bySize;
    ~Plans() {
        for (auto& [size, plan] : bySize)
            fftw_destroy_plan(plan);
        fftw_cleanup();
    }
};

fftw_plan PlanFor(std::size_t n, double* in, fftw_complex* out) {
    static Plans all;
    std::map<std::size_t, fftw_plan>& plans = all.bySize;
    const std::lock_guard<std::mutex> hold(plannerLock);
    auto found = plans.find(n);
    if (found != plans.end())
        return found->second;
    // Estimated, not measured: planning leaves the arrays alone and takes no time.
    fftw_plan plan = fftw_plan_dft_r2c_1d(int(n), in, out, FFTW_ESTIMATE);
    if (!plan)
        throw std::bad_alloc();
    plans.emplace(n, plan);
    return plan;
}

} // namespace

HarmonicSpectrum SpectrumOf(const double* ys, std::size_t n, std::size_t stride) {
    HarmonicSpectrum s;
    if (n == 0 || n > 2147483647u)
        return s;
    const std::size_t bins = n / 2 + 1;
    // The transform's two buffers and the spectrum's two columns.
    AskForMemory(std::uint64_t(n) * sizeof(double) + std::uint64_t(bins) * 32);
    FftwBuffer<double> in = Allocate<double>(n);
    FftwBuffer<fftw_complex> out = Allocate<fftw_complex>(bins);
    for (std::size_t i = 0; i < n; ++i)
        in[i] = ys[i * stride];
    // fftw_malloc aligns every buffer alike, as the plan's new-array execution requires.
    fftw_execute_dft_r2c(PlanFor(n, in.get(), out.get()), in.get(), out.get());
    s.amplitude.resize(bins);
    s.phaseDegrees.resize(bins);
    const double whole = 1.0 / double(n), twice = 2.0 / double(n);
    for (std::size_t k = 0; k < bins; ++k) {
        const double re = out[k][0], im = out[k][1];
        const bool edge = k == 0 || 2 * k == n;
        double magnitude = std::sqrt(re * re + im * im); // a sixth of hypot's time
        if (!std::isfinite(magnitude) || magnitude < 1e-150)
            magnitude = std::hypot(re, im); // squares beyond the doubles, either way
        s.amplitude[k] = magnitude * (edge ? whole : twice);
        s.phaseDegrees[k] = std::atan2(im, re) * (180.0 / std::numbers::pi);
    }
    return s;
}
