#include "wave/FftPlans.h"

#include <fftw3.h>

#include "files/LargePages.h"
#include <map>
#include <mutex>
#include <new>
#include <utility>

namespace {

// FFTW's planner is not reentrant; executing a plan on new arrays is.
std::mutex plannerLock;

// One plan a size and direction, for the rest of the run; given back to FFTW at the end.
struct Plans {
    std::map<std::pair<std::size_t, bool>, fftw_plan> bySize;
    ~Plans() {
        for (auto& [key, plan] : bySize)
            fftw_destroy_plan(plan);
        fftw_cleanup();
    }
};

fftw_plan PlanFor(std::size_t n, bool forward, double* reals, fftw_complex* bins) {
    static Plans all;
    const std::lock_guard<std::mutex> hold(plannerLock);
    auto found = all.bySize.find({n, forward});
    if (found != all.bySize.end())
        return found->second;
    // Estimated, not measured: planning leaves the arrays alone and takes no time.
    fftw_plan plan = forward ? fftw_plan_dft_r2c_1d(int(n), reals, bins, FFTW_ESTIMATE)
                             : fftw_plan_dft_c2r_1d(int(n), bins, reals, FFTW_ESTIMATE);
    if (!plan)
        throw std::bad_alloc();
    all.bySize.emplace(std::make_pair(n, forward), plan);
    return plan;
}

template <class T> FftwBuffer<T> Allocate(std::size_t count) {
    if (count > std::size_t(-1) / sizeof(T))
        throw std::bad_alloc();
    return FftwBuffer<T>(static_cast<T*>(AllocateLarge(sizeof(T) * count)),
                         FftwFree{sizeof(T) * count});
}

} // namespace

void FftwFree::operator()(void* p) const {
    FreeLarge(p, bytes);
}

FftwBuffer<double> FftReals(std::size_t count) {
    return Allocate<double>(count);
}

FftwBuffer<std::complex<double>> FftBins(std::size_t count) {
    return Allocate<std::complex<double>>(count);
}

// Every buffer is aligned alike (pages, or 64 bytes), as the plans' new-array execution
// requires.
void ForwardFft(std::size_t n, double* samples, std::complex<double>* bins) {
    auto* out = reinterpret_cast<fftw_complex*>(bins);
    fftw_execute_dft_r2c(PlanFor(n, true, samples, out), samples, out);
}

void BackwardFft(std::size_t n, std::complex<double>* bins, double* samples) {
    auto* in = reinterpret_cast<fftw_complex*>(bins);
    fftw_execute_dft_c2r(PlanFor(n, false, samples, in), in, samples);
}
