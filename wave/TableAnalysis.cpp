#include "wave/TableAnalysis.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <future>

#include "wave/WaveFigures.h"

namespace {

// Large enough that a second thread pays for itself.
constexpr std::size_t ApartFrom = std::size_t(1) << 15;

// The waveform's figures from its bins, which are kept for the stored table's error.
TableAnalysis FromBins(const DataPoint* points, std::size_t count,
                       const std::complex<double>* bins) {
    TableAnalysis a;
    a.spectrum = SpectrumOfBins(bins, count);
    a.figures = FiguresOf(&points[0].y, count, a.spectrum, 2);
    return a;
}

// The stored table's figures. The error's spectrum is the entries' less the exact values',
// and those are the samples' own, scaled: with the samples' bins (`wave`) the error needs no
// transform of its own where it is large enough to be told from their rounding.
StoredFigures Stored(const DataPoint* points, std::size_t count, const TableOptions& options,
                     const std::function<const std::complex<double>*()>& wave) {
    StoredFigures s;
    StoredTable table = StoreTable(points, count, options);
    s.error = table.error;
    if (!s.error.empty())
        return s;
    s.bits = table.bits;
    double worst = 0, squares = 0, lo = table.exact[0], hi = lo, top = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double e = (table.stored[i] - table.exact[i]) / table.lsb;
        worst = std::max(worst, std::fabs(e));
        squares += e * e;
        lo = std::min(lo, table.exact[i]);
        hi = std::max(hi, table.exact[i]);
        top = std::max(top, std::fabs(table.stored[i]));
    }
    s.errorMaxLsb = worst;
    s.errorRmsLsb = std::sqrt(squares / double(count));
    s.fullScale = table.bits ? std::ldexp(1.0, table.bits) : hi - lo;
    // The difference of two spectra carries their rounding, a part in about 10^15 of the
    // entries: taken so only where the error is more than a part in 10^6 of them (words of
    // up to about 20 bits), else from the error itself (and none is none).
    const bool shared = wave && std::isfinite(table.slope) &&
                        s.errorRmsLsb * table.lsb >= 1e-6 * top && std::isfinite(top);
    FftwBuffer<std::complex<double>> error;
    if (!shared) {
        for (std::size_t i = 0; i < count; ++i)
            table.exact[i] = table.stored[i] - table.exact[i];
        error = TransformOf(table.exact.data(), count);
    }
    table.exact = {}; // its memory may be needed for the transform
    const FftwBuffer<std::complex<double>> bins = TransformOf(table.stored.data(), count);
    s.spectrum = SpectrumOfBins(bins.get(), count);
    s.figures = FiguresOf(table.stored.data(), count, s.spectrum);
    if (!(s.fullScale > 0 && std::isfinite(s.fullScale)))
        return s;
    const std::complex<double>* samples = shared ? wave() : nullptr;
    // Powers in units of the full-scale sine's amplitude: they stay within the doubles.
    const double amplitude = s.fullScale / 2, slope = table.slope;
    const HarmonicBins harmonic(s.figures.fundamentalAt, count);
    const std::size_t* next = harmonic.bins;
    double all = 0, noise = 0, spur = 0;
    for (std::size_t k = 1; k <= count / 2; ++k) {
        const std::complex<double> e = samples ? bins[k] - slope * samples[k] : error[k];
        const double a = std::abs(e) * ((2 * k == count ? 1.0 : 2.0) / double(count)) / amplitude;
        const double p = 2 * k == count ? a * a : a * a / 2;
        all += p;
        if (k == *next)
            ++next;
        else
            noise += p;
        spur = std::max(spur, a);
    }
    s.sinadDb = 10 * std::log10(0.5 / all);
    s.snrDb = 10 * std::log10(0.5 / noise);
    s.sfdrDb = -20 * std::log10(spur);
    s.enob = (s.sinadDb - 1.76) / 6.02;
    return s;
}

} // namespace

TableAnalysis AnalyseTable(const DataPoint* points, std::size_t count) {
    if (count == 0 || count > 2147483647u)
        return {};
    return FromBins(points, count, TransformOf(&points[0].y, count, 2).get());
}

StoredFigures AnalyseStored(const DataPoint* points, std::size_t count,
                            const TableOptions& options) {
    FftwBuffer<std::complex<double>> wave;
    return Stored(points, count, options, [&] {
        wave = TransformOf(&points[0].y, count, 2);
        return wave.get();
    });
}

BothAnalyses AnalyseBoth(const DataPoint* points, std::size_t count, const TableOptions& options) {
    BothAnalyses both;
    if (count == 0 || count > 2147483647u) {
        both.stored = AnalyseStored(points, count, options);
        return both;
    }
    // The waveform on a second core while this one stores the table; the error then needs
    // the waveform's bins.
    FftwBuffer<std::complex<double>> bins;
    auto waveform =
        std::async(count >= ApartFrom ? std::launch::async : std::launch::deferred, [&] {
            bins = TransformOf(&points[0].y, count, 2);
            return FromBins(points, count, bins.get());
        });
    both.stored = Stored(points, count, options, [&] {
        both.wave = waveform.get();
        return bins.get();
    });
    if (waveform.valid())
        both.wave = waveform.get();
    return both;
}
