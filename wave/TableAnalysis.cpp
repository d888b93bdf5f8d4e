#include "wave/TableAnalysis.h"

#include <algorithm>
#include <cmath>

#include "wave/WaveFigures.h"

TableAnalysis AnalyseTable(const DataPoint* points, std::size_t count) {
    TableAnalysis a;
    if (count == 0)
        return a;
    a.spectrum = SpectrumOf(&points[0].y, count, 2);
    a.figures = FiguresOf(&points[0].y, count, a.spectrum, 2);
    return a;
}

StoredFigures AnalyseStored(const DataPoint* points, std::size_t count,
                            const TableOptions& options) {
    StoredFigures s;
    StoredTable table = StoreTable(points, count, options);
    s.error = table.error;
    if (!s.error.empty())
        return s;
    s.bits = table.bits;
    double worst = 0, squares = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double e = (table.stored[i] - table.exact[i]) / table.lsb;
        worst = std::max(worst, std::fabs(e));
        squares += e * e;
    }
    s.errorMaxLsb = worst;
    s.errorRmsLsb = std::sqrt(squares / double(count));
    double lo = table.exact[0], hi = lo;
    for (std::size_t i = 0; i < count; ++i) {
        lo = std::min(lo, table.exact[i]);
        hi = std::max(hi, table.exact[i]);
        table.exact[i] = table.stored[i] - table.exact[i]; // now the error
    }
    s.fullScale = table.bits ? std::ldexp(1.0, table.bits) : hi - lo;
    const HarmonicSpectrum error = SpectrumOf(table.exact.data(), count);
    table.exact = {}; // its memory may be needed for the transform
    s.spectrum = SpectrumOf(table.stored.data(), count);
    s.figures = FiguresOf(table.stored.data(), count, s.spectrum);
    if (s.fullScale > 0 && std::isfinite(s.fullScale)) {
        // Powers in units of the full-scale sine's amplitude: they stay within the doubles.
        const double amplitude = s.fullScale / 2;
        double all = 0, noise = 0, spur = 0;
        for (std::size_t k = 1; k < error.amplitude.size(); ++k) {
            const double a = error.amplitude[k] / amplitude;
            const double p = 2 * k == count ? a * a : a * a / 2;
            all += p;
            noise += IsHarmonicBin(k, s.figures.fundamentalAt, count) ? 0 : p;
            spur = std::max(spur, a);
        }
        s.sinadDb = 10 * std::log10(0.5 / all);
        s.snrDb = 10 * std::log10(0.5 / noise);
        s.sfdrDb = -20 * std::log10(spur);
        s.enob = (s.sinadDb - 1.76) / 6.02;
    }
    return s;
}
