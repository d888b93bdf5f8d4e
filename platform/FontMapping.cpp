#include "platform/FontMapping.h"

#include <QFontMetricsF>
#include <QHash>
#include <cmath>
#include <cstring>

namespace {

// The metric-compatible families that stand in for the faces the chart names.
QString FamilyFor(const char* face) {
    static const struct {
        const char* face;
        const char* family;
    } aliases[] = {
        {"", "Liberation Sans"},
        {"System", "Liberation Sans"},
        {"MS Sans Serif", "Liberation Sans"},
        {"Arial", "Liberation Sans"},
        {"Helvetica", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
    };
    for (const auto& a : aliases)
        if (std::strcmp(face, a.face) == 0)
            return QString::fromLatin1(a.family);
    return QString::fromLatin1(face);
}

// Cell height (ascent + descent) per pixel of em size, per family.
double CellPerEm(const QFont& font) {
    static QHash<QString, double> cache;
    auto it = cache.find(font.family());
    if (it != cache.end())
        return *it;
    QFont probe(font);
    probe.setPixelSize(1000);
    QFontMetricsF fm(probe);
    double ratio = (fm.ascent() + fm.descent()) / 1000.0;
    if (!(ratio > 0.5 && ratio < 3.0))
        ratio = 1.15;
    cache.insert(font.family(), ratio);
    return ratio;
}

} // namespace

QFont QFontFromLogFont(const LOGFONTA& in) {
    LOGFONTA lf = in;
    lf.lfFaceName[sizeof lf.lfFaceName - 1] = '\0';
    QFont font(FamilyFor(lf.lfFaceName));
    font.setStyleStrategy(lf.lfQuality == 3 ? QFont::NoAntialias : QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setWeight(QFont::Weight(std::clamp(lf.lfWeight == 0 ? 400 : int(lf.lfWeight), 1, 1000)));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    // Negative heights give the character height, positive ones the cell height.
    int pixels;
    if (lf.lfHeight < 0)
        pixels = lf.lfHeight == INT32_MIN ? INT32_MAX : -lf.lfHeight;
    else if (lf.lfHeight > 0)
        pixels = int(std::lround(lf.lfHeight / CellPerEm(font)));
    else
        pixels = int(std::lround(16 / CellPerEm(font)));
    font.setPixelSize(std::clamp(pixels, 1, 4096));
    if (lf.lfWidth > 0) {
        QFontMetricsF fm(font);
        double natural = fm.averageCharWidth();
        if (natural > 0)
            font.setStretch(std::clamp(int(std::lround(100.0 * lf.lfWidth / natural)), 1, 4000));
    }
    return font;
}
