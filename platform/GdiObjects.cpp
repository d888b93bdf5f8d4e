#include "platform/GdiObjects.h"

#include <cstring>

BOOL CPen::CreatePen(int s, int w, COLORREF c) {
    if (s < PS_SOLID || s > PS_NULL)
        return FALSE;
    style = s;
    width = w < 0 ? 0 : w;
    colour = c;
    created = true;
    return TRUE;
}

BOOL CPen::DeleteObject() {
    bool was = created;
    *this = CPen();
    return was;
}

BOOL CBrush::CreateSolidBrush(COLORREF c) {
    kind = Solid;
    colour = c;
    created = true;
    return TRUE;
}

BOOL CBrush::CreateHatchBrush(int h, COLORREF c) {
    if (h < HS_HORIZONTAL || h > HS_DIAGCROSS)
        return FALSE;
    kind = Hatched;
    hatch = h;
    colour = c;
    created = true;
    return TRUE;
}

BOOL CBrush::CreateHollowBrush() {
    kind = Hollow;
    created = true;
    return TRUE;
}

BOOL CBrush::CreatePatternBrush(const BYTE bits[8], COLORREF c) {
    kind = Pattern;
    colour = c;
    for (int i = 0; i < 8; ++i)
        pattern[i] = bits[i];
    created = true;
    return TRUE;
}

BOOL CBrush::DeleteObject() {
    bool was = created;
    *this = CBrush();
    return was;
}

BOOL CFont::CreateFontA(int height, int width, int escapement, int orientation, int weight,
                        BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet,
                        BYTE outPrecision, BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily,
                        const char* faceName) {
    LOGFONTA lf;
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    lf.lfStrikeOut = strikeOut;
    lf.lfCharSet = charSet;
    lf.lfOutPrecision = outPrecision;
    lf.lfClipPrecision = clipPrecision;
    lf.lfQuality = quality;
    lf.lfPitchAndFamily = pitchAndFamily;
    if (faceName)
        std::strncpy(lf.lfFaceName, faceName, sizeof lf.lfFaceName - 1);
    return CreateFontIndirectA(&lf);
}

BOOL CFont::CreateFontIndirectA(const LOGFONTA* lf) {
    if (!lf)
        return FALSE;
    logFont = *lf;
    logFont.lfFaceName[sizeof logFont.lfFaceName - 1] = '\0';
    created = true;
    return TRUE;
}

int CFont::GetLogFont(LOGFONTA* lf) const {
    if (!created || !lf)
        return 0;
    *lf = logFont;
    return sizeof(LOGFONTA);
}

BOOL CFont::DeleteObject() {
    bool was = created;
    *this = CFont();
    return was;
}

LOGFONTA DefaultLogFont() {
    LOGFONTA lf;
    lf.lfHeight = 16;
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(lf.lfFaceName, "System");
    return lf;
}
