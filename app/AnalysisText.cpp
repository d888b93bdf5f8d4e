#include "app/AnalysisText.h"

#include <cmath>
#include <cstdio>
#include <vector>

std::string FigureText(double v, int decimals, const char* unit) {
    if (std::isnan(v))
        return "–";
    if (std::isinf(v))
        return std::string(v > 0 ? "∞" : "−∞") + unit;
    char text[64];
    const double magnitude = std::fabs(v);
    if (v != 0 && (magnitude >= 1e7 || magnitude < 1e-4))
        std::snprintf(text, sizeof text, "%.*e%s", decimals, v, unit);
    else
        std::snprintf(text, sizeof text, "%.*f%s", decimals, v, unit);
    return text;
}

std::string StoredSummary(const StoredFigures& s, std::size_t entries, const TableOptions& o) {
    if (!s.error.empty())
        return s.error;
    const std::string kind = s.bits ? std::to_string(s.bits) + "-bit"
                                    : std::string(o.type == TableType::Float ? "float" : "double");
    return kind + ", " + std::to_string(entries) + " entries; storing: SINAD " +
           FigureText(s.sinadDb, 1, " dBFS") + ", SFDR " + FigureText(s.sfdrDb, 1, " dBFS") +
           ", ENOB " + FigureText(s.enob, 2) + ", worst error " +
           FigureText(s.errorMaxLsb, 2, " LSB");
}

std::string FigureRows(const WaveFigures& w, const StoredFigures* stored) {
    const WaveFigures* s = stored && stored->error.empty() ? &stored->figures : nullptr;
    struct Row {
        const char* name;
        double wave, table;
        int decimals;
        const char* unit;
    };
    auto both = [&](double WaveFigures::*m) {
        return std::pair<double, double>(w.*m, s ? s->*m : NAN);
    };
    std::vector<Row> rows;
    auto add = [&](const char* name, double WaveFigures::*m, int decimals, const char* unit) {
        const auto [a, b] = both(m);
        rows.push_back({name, a, b, decimals, unit});
    };
    add("DC", &WaveFigures::dc, 6, "");
    rows.push_back({"Fundamental (harmonic)", double(w.fundamentalAt),
                    s ? double(s->fundamentalAt) : NAN, 0, ""});
    add("Fundamental amplitude", &WaveFigures::fundamental, 6, "");
    add("Fundamental phase", &WaveFigures::phaseDegrees, 2, "°");
    add("RMS", &WaveFigures::rms, 6, "");
    add("RMS about the mean", &WaveFigures::acRms, 6, "");
    add("Peak", &WaveFigures::peak, 6, "");
    add("Crest factor", &WaveFigures::crest, 4, "");
    add("THD", &WaveFigures::thdPercent, 4, " %");
    add("THD", &WaveFigures::thdDb, 1, " dB");
    add("SINAD", &WaveFigures::sinadDb, 1, " dB");
    add("SNR", &WaveFigures::snrDb, 1, " dB");
    add("SFDR", &WaveFigures::sfdrDb, 1, " dB");
    add("Seam (last to first)", &WaveFigures::seam, 6, "");
    add("Largest step inside", &WaveFigures::maxStep, 6, "");
    add("Off odd symmetry", &WaveFigures::oddDeviation, 6, "");
    add("Off even symmetry", &WaveFigures::evenDeviation, 6, "");
    add("Off quarter-wave symmetry", &WaveFigures::quarterWaveDeviation, 6, "");
    if (s) {
        rows.push_back({"Storing: worst error", NAN, stored->errorMaxLsb, 3, " LSB"});
        rows.push_back({"Storing: RMS error", NAN, stored->errorRmsLsb, 3, " LSB"});
        rows.push_back({"Storing: SINAD", NAN, stored->sinadDb, 1, " dBFS"});
        rows.push_back({"Storing: SNR", NAN, stored->snrDb, 1, " dBFS"});
        rows.push_back({"Storing: SFDR", NAN, stored->sfdrDb, 1, " dBFS"});
        rows.push_back({"Storing: ENOB", NAN, stored->enob, 2, " bits"});
    }
    std::string html;
    for (const Row& r : rows) {
        html += std::string("<tr><td>") + r.name + "</td><td align=right>" +
                FigureText(r.wave, r.decimals, r.unit) + "</td>";
        if (s)
            html += "<td align=right>" + FigureText(r.table, r.decimals, r.unit) + "</td>";
        html += "</tr>";
    }
    return html;
}
