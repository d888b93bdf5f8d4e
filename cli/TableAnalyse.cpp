#include "cli/TableAnalyse.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "wave/TableAnalysis.h"

namespace {

std::string Number(double v, bool json) {
    if (!std::isfinite(v))
        return json ? "null" : std::isnan(v) ? "nan" : v > 0 ? "inf" : "-inf";
    char text[40];
    std::snprintf(text, sizeof text, "%.10g", v == 0 ? 0.0 : v); // never "-0"
    return text;
}

} // namespace

AnalysedTable AnalyseForArguments(const DataPoint* points, std::size_t count,
                                  const TableArguments& args) {
    AnalysedTable a;
    if (!args.mapped) {
        TableAnalysis t = AnalyseTable(points, count);
        a.spectrum = std::move(t.spectrum);
        a.figures = t.figures;
        return a;
    }
    StoredFigures s = AnalyseStored(points, count, args.options);
    a.error = s.error;
    a.spectrum = std::move(s.spectrum);
    a.figures = s.figures;
    a.stored = {{"error_max_lsb", s.errorMaxLsb}, {"error_rms_lsb", s.errorRmsLsb},
                {"stored_sinad_dbfs", s.sinadDb}, {"stored_snr_dbfs", s.snrDb},
                {"stored_sfdr_dbfs", s.sfdrDb},   {"enob", s.enob}};
    return a;
}

std::string AnalysisText(const AnalysedTable& a, bool json) {
    const WaveFigures& f = a.figures;
    std::vector<std::pair<const char*, double>> lines = {
        {"dc", f.dc},
        {"fundamental", f.fundamental},
        {"phase_deg", f.phaseDegrees},
        {"rms", f.rms},
        {"peak", f.peak},
        {"crest", f.crest},
        {"thd_percent", f.thdPercent},
        {"thd_db", f.thdDb},
        {"sinad_db", f.sinadDb},
        {"snr_db", f.snrDb},
        {"sfdr_db", f.sfdrDb},
        {"seam", f.seam},
        {"max_step", f.maxStep},
        {"rms_ac", f.acRms},
        {"fundamental_harmonic", double(f.fundamentalAt)}};
    lines.insert(lines.end(), a.stored.begin(), a.stored.end());
    std::string text = json ? "{" : "";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (json)
            text += std::string(i ? ", " : "") + "\"" + lines[i].first +
                    "\": " + Number(lines[i].second, true);
        else
            text += std::string(lines[i].first) + ": " + Number(lines[i].second, false) + "\n";
    }
    if (json)
        text += "}\n";
    return text;
}

std::string SpectrumCsv(const HarmonicSpectrum& spectrum) {
    const auto& amplitude = spectrum.amplitude;
    const double largest =
        amplitude.empty() ? 0 : *std::max_element(amplitude.begin(), amplitude.end());
    std::string text = "harmonic,magnitude_db,phase_deg\n";
    for (std::size_t k = 0; k < amplitude.size(); ++k) {
        const double db = largest > 0 ? 20 * std::log10(amplitude[k] / largest) : -INFINITY;
        text += std::to_string(k) + "," + Number(db, false) + "," +
                Number(spectrum.phaseDegrees[k], false) + "\n";
    }
    return text;
}
