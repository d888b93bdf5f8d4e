#include "wave/Mipmaps.h"

#include "files/MemoryGate.h"
#include "wave/FftPlans.h"

#include <algorithm>

std::size_t MipmapCut(std::size_t n, int level) {
    return level < 0 || level >= 63 ? 0 : n >> (level + 1);
}

int MipmapLevels(std::size_t n) {
    int levels = 0;
    while (MipmapCut(n, levels) >= 2)
        ++levels;
    return levels;
}

std::vector<std::vector<double>> Mipmaps(const double* frame, std::size_t n, int levels,
                                         bool halve) {
    std::vector<std::vector<double>> out;
    if (n < 2 || levels < 1)
        return out;
    const std::size_t half = n / 2 + 1;
    AskForMemory(std::uint64_t(levels) * n + n, sizeof(double));
    FftwBuffer<double> samples = FftReals(n);
    FftwBuffer<std::complex<double>> spectrum = FftBins(half), bins = FftBins(half);
    std::copy_n(frame, n, samples.get());
    ForwardFft(n, samples.get(), spectrum.get());
    for (int level = 0; level < levels; ++level) {
        const std::size_t cut = MipmapCut(n, level);
        const std::size_t m = halve ? std::max<std::size_t>(n >> level, 2) : n;
        // The harmonics below the cut, as they are; none above.
        for (std::size_t k = 0; k < m / 2 + 1; ++k)
            bins[k] = k < cut ? spectrum[k] : 0.0;
        BackwardFft(m, bins.get(), samples.get());
        std::vector<double> table(m);
        for (std::size_t i = 0; i < m; ++i)
            table[i] = samples[i] / double(n);
        out.push_back(std::move(table));
    }
    return out;
}
