#include "wave/TableAnalysis.h"

#include <algorithm>
#include <cmath>

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
    table.exact = {}; // its memory may be needed for the transform
    s.spectrum = SpectrumOf(table.stored.data(), count);
    s.figures = FiguresOf(table.stored.data(), count, s.spectrum);
    s.enob = (s.figures.sinadDb - 1.76) / 6.02;
    return s;
}
