#include "graph/axes/PlotAxis.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include "draw/Measure.h"
#include "graph/axes/OleDate.h"
#include "graph/axes/TickFormat.h"
#include "graph/axes/TickSteps.h"
#include "graph/axes/Truncate.h"

IMPLEMENT_SERIAL(CPlotAxis, CPlotObject, 1)

namespace {

void MakeFont(CFont& font, const char* face, int height, int weight) {
    font.DeleteObject();
    font.CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 1, 4, 0, face);
}

LOGFONTA LogFontOf(const CFont& font) {
    LOGFONTA lf{};
    font.GetLogFont(&lf);
    return lf;
}

} // namespace

CPlotAxis::CPlotAxis()
    : rangeMin(DBL_MAX), rangeMax(-DBL_MAX), viewMin(DBL_MAX), viewMax(-DBL_MAX) {
    visible = true;
    colour = RGB(0, 0, 0);
    MakeFont(tickFont, "Arial", 13, 400);
    MakeFont(titleFont, "Arial", 14, 700);
}

// Everything but the layout rectangle and the base object's rectangle and selection state;
// the fonts are made anew from their descriptions, so each axis owns its own.
CPlotAxis::CPlotAxis(const CPlotAxis& other) : CPlotObject() {
    *this = other;
}

CPlotAxis& CPlotAxis::operator=(const CPlotAxis& o) {
    if (this == &o)
        return *this;
    visible = o.visible;
    colour = o.colour;
    graph = o.graph;
    owner = o.owner;
    orientation = o.orientation;
    rangeMin = o.rangeMin;
    rangeMax = o.rangeMax;
    viewMin = o.viewMin;
    viewMax = o.viewMax;
    tickStep = o.tickStep;
    endMargin = o.endMargin;
    markerRoom = o.markerRoom;
    viewSpan = o.viewSpan;
    originY = o.originY;
    originX = o.originX;
    pixelLength = o.pixelLength;
    const LOGFONTA tick = LogFontOf(o.tickFont), titleLf = LogFontOf(o.titleFont);
    tickFont.DeleteObject();
    tickFont.CreateFontIndirectA(&tick);
    titleFont.DeleteObject();
    titleFont.CreateFontIndirectA(&titleLf);
    labelSide = o.labelSide;
    showSeriesBadges = o.showSeriesBadges;
    dateTime = o.dateTime;
    showGrid = o.showGrid;
    autoScale = o.autoScale;
    title = o.title;
    tickFormat = o.tickFormat;
    labelOf = o.labelOf;
    arrowSize = o.arrowSize;
    badgeSize = o.badgeSize;
    labelGap = o.labelGap;
    gridColor = o.gridColor;
    gridStyle = o.gridStyle;
    valueMarkers = o.valueMarkers;
    rangeBands = o.rangeBands;
    zoomHistory = o.zoomHistory;
    return *this;
}

CRect CPlotAxis::Plot() const {
    return owner ? owner->PlotRect() : CRect();
}

// Refuses inverted and non-finite ranges; widens an empty one; switches big numbers to the
// exponent format for good.
bool CPlotAxis::AcceptRange(double& min, double& max) {
    if (!std::isfinite(min) || !std::isfinite(max) || max < min)
        return false;
    if (min == max) {
        // One either way; on a side where one no longer moves the double (from about 2^53) by
        // a part of the value instead, and not at all where that would leave the doubles.
        auto away = [v = min](double direction) {
            double w = v + direction;
            if (w == v)
                w = v + direction * std::fabs(v) * 1e-12;
            return std::isfinite(w) ? w : v;
        };
        min = away(-1);
        max = away(1);
    }
    if (!dateTime && (std::fabs(min) > 1e6 || std::fabs(max) > 1e6))
        tickFormat = "%5.2e";
    return true;
}

void CPlotAxis::DefaultTickStep() {
    if (owner && owner->IsOwnerVisible()) {
        EstimateTickStep();
        return;
    }
    const double step = (viewMax - viewMin) * 0.1;
    if (StepMoves(viewMin, step))
        tickStep = step;
}

bool CPlotAxis::SetRange(double min, double max) {
    if (!AcceptRange(min, max))
        return false;
    rangeMin = viewMin = min;
    rangeMax = viewMax = max;
    DefaultTickStep();
    return true;
}

bool CPlotAxis::SetViewRange(double min, double max, double step) {
    if (!AcceptRange(min, max))
        return false;
    viewMin = min;
    viewMax = max;
    if (step != 0 && StepMoves(min, step))
        tickStep = step;
    else
        DefaultTickStep();
    return true;
}

void CPlotAxis::ResetRange() {
    if (rangeMax < rangeMin) // no data yet
        return;
    viewMin = rangeMin;
    viewMax = rangeMax;
    const double step = (rangeMax - rangeMin) * 0.1;
    if (StepMoves(viewMin, step))
        tickStep = step;
}

void CPlotAxis::EstimateTickStep() {
    if (!owner)
        return;
    std::unique_ptr<CGraphDC> dc = owner->MeasureDC();
    if (!dc)
        return;
    const CRect plot = Plot();
    int pixels, size;
    if (orientation == Vertical) {
        const int top = TruncInt(plot.top + endMargin + markerRoom);
        pixels = plot.bottom - top;
        size = TickLabelHeight(*dc);
    } else {
        const int right = TruncInt(plot.right - endMargin - markerRoom);
        pixels = right - plot.left;
        size = TickLabelWidth(*dc);
    }
    if (pixels < 1)
        pixels = 1;
    const double step = (viewMax - viewMin) / pixels * size;
    if (StepMoves(viewMin, step))
        tickStep = step;
}

void CPlotAxis::AutoScale(CGraphDC& dc) {
    const CRect plot = Plot();
    int room, size;
    if (orientation == Vertical) {
        endMargin = 2.0 * ShownArrowSize();
        markerRoom = SeriesBadgeRoom(dc, false);
        room = plot.bottom - TruncInt(plot.top + endMargin + markerRoom);
        size = TickLabelHeight(dc);
    } else {
        endMargin = 4.0 * ShownArrowSize();
        markerRoom = SeriesBadgeRoom(dc, false);
        room = TruncInt(plot.right - endMargin - markerRoom) - plot.left;
        size = TickLabelWidth(dc);
    }
    int count = size > 0 ? room / size : 2;
    if (count < 2)
        count = 2;
    if (!dateTime) {
        if (std::optional<double> step = NiceTickStep(count, viewMin, viewMax)) {
            tickStep = *step;
            AlignRangeToStep(viewMin, viewMax, *step);
        }
    } else {
        const double step = DateTickStep(count, viewMin, viewMax);
        if (step > 0 && StepMoves(viewMin, step)) {
            tickStep = step;
            AlignDateRangeToStep(viewMin, viewMax, step);
        }
    }
}

double CPlotAxis::ValueAtPixel(int pixel) {
    viewSpan = viewMax - viewMin;
    const CRect plot = Plot();
    const double d =
        orientation == Vertical ? double(plot.bottom) - pixel : double(pixel) - plot.left;
    return d / (pixelLength / viewSpan) + viewMin;
}

CPoint CPlotAxis::PixelOfValue(const DataPoint& point) {
    viewSpan = viewMax - viewMin;
    const CRect plot = Plot();
    const double scale = pixelLength / viewSpan;
    if (orientation == Vertical)
        return CPoint(0, TruncInt(plot.bottom - scale * (point.y - viewMin)));
    return CPoint(TruncInt(scale * (point.x - viewMin) + plot.left), 0);
}

CPlotAxis::ScaleMap CPlotAxis::Map() const {
    const CRect plot = Plot();
    const double span = viewMax - viewMin;
    const bool vertical = orientation == Vertical;
    return ScaleMap{vertical, viewMin, pixelLength / span,
                    double(vertical ? plot.bottom : plot.left)};
}

bool CPlotAxis::CanMap() const {
    const double span = viewMax - viewMin;
    return pixelLength >= 1 && std::isfinite(span) && span > 0 && std::isfinite(viewMin);
}

std::optional<int> NearestPointIndex(const DataPoint* p, std::size_t n, double x) {
    if (!p || n == 0)
        return std::nullopt;
    const std::size_t last = n - 1;
    std::size_t i = 0;
    if (n > 1 && p[1].x != p[0].x) {
        const double estimate = (x - p[0].x) / std::fabs(p[1].x - p[0].x);
        if (estimate >= double(last))
            i = last;
        else if (estimate > 0) // also false for NaN
            i = std::size_t(estimate);
    }
    if (x < p[i].x) {
        while (i > 0 && x < p[i].x)
            --i;
        if (i < last && x - p[i].x > p[i + 1].x - x)
            ++i;
    } else {
        while (i < n && !(p[i].x > x))
            ++i;
        if (i == n)
            return int(std::min<std::size_t>(last, std::numeric_limits<int>::max()));
        if (i > 0 && p[i].x - x > x - p[i - 1].x)
            --i;
    }
    return int(std::min<std::size_t>(i, std::numeric_limits<int>::max()));
}

std::optional<int> CPlotAxis::NearestPointIndex(double x, int series) const {
    const DataPoint* points = nullptr;
    std::size_t count = 0;
    if (!owner || !owner->SeriesPoints(series, points, count))
        return std::nullopt;
    return ::NearestPointIndex(points, count, x);
}

void CPlotAxis::SetValueMarker(int index, double value, COLORREF markerColour, int penStyle) {
    if (index < 0 || std::size_t(index) > valueMarkers.size())
        return;
    ValueMarker m;
    m.value = value;
    m.colour = markerColour;
    m.penStyle = penStyle;
    m.font = LogFontOf(tickFont);
    if (orientation == Horizontal) { // written upward beside a vertical line
        m.font.lfEscapement = m.font.lfOrientation = 900;
        m.font.lfClipPrecision = CLIP_LH_ANGLES;
    }
    if (std::size_t(index) == valueMarkers.size())
        valueMarkers.push_back(m);
    else
        valueMarkers[std::size_t(index)] = m;
    if (owner)
        owner->InvalidateOwner();
}

void CPlotAxis::RemoveValueMarker(int index) {
    if (index >= 0 && std::size_t(index) < valueMarkers.size())
        valueMarkers.erase(valueMarkers.begin() + index);
}

void CPlotAxis::SetTickFont(const char* face, int height, int weight) {
    MakeFont(tickFont, face, height, weight);
}

void CPlotAxis::SetTitleFont(const char* face, int height, int weight) {
    MakeFont(titleFont, face, height, weight);
}

std::string CPlotAxis::LabelText(double value) const {
    if (labelOf)
        return labelOf(value);
    return dateTime ? FormatDate(value, tickFormat) : FormatTickValue(tickFormat, value);
}

CSize CPlotAxis::MeasureLabel(CGraphDC& dc, double value) const {
    CSelectGuard<CFont> font(dc, tickFont);
    return TextExtent(dc, LabelText(value));
}

int CPlotAxis::TickLabelWidth(CGraphDC& dc) const {
    return SatSum(std::max(MeasureLabel(dc, viewMin).cx, MeasureLabel(dc, viewMax).cx),
                  ShownLabelGap());
}

int CPlotAxis::TickLabelHeight(CGraphDC& dc) const {
    return SatSum(MeasureLabel(dc, rangeMin).cy, ShownLabelGap());
}

CSize CPlotAxis::TitleExtent(CGraphDC& dc) const {
    if (title.empty())
        return CSize();
    CSelectGuard<CFont> font(dc, titleFont);
    return TextExtent(dc, title);
}

void CPlotAxis::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteFlag(autoScale);
        ar.WriteFlag(visible);
        ar.WriteFlag(showGrid);
        ar << tickFormat << title << rangeMax << rangeMin << viewMax << viewMin << tickStep;
        ar << std::int32_t(originY) << std::int32_t(originX) << std::int32_t(orientation)
           << std::int32_t(arrowSize) << std::int32_t(labelGap) << std::uint32_t(colour)
           << std::uint32_t(gridColor) << std::int32_t(gridStyle) << endMargin;
        ar.WriteFlag(dateTime);
        ar << markerRoom << viewSpan << std::int32_t(pixelLength) << std::int32_t(badgeSize)
           << std::int32_t(labelSide);
        ar.WriteFlag(showSeriesBadges);
        ar << std::int32_t(rangeBands.size());
        for (const RangeBand& b : rangeBands) {
            ar << b.from << b.to << std::uint32_t(b.colourA) << std::uint32_t(b.colourB)
               << std::int32_t(b.fillStyle);
            ar.Write(b.text, sizeof b.text);
        }
        ar << std::int32_t(valueMarkers.size());
        for (const ValueMarker& m : valueMarkers) {
            ar << m.value << std::uint32_t(m.colour) << std::uint8_t(m.flag)
               << std::uint8_t(m.showValue) << std::uint16_t(0) << std::int32_t(m.penStyle)
               << std::int16_t(m.lineWidth) << std::uint16_t(0) << m.font;
            ar << std::uint32_t(0); // the text slot: texts are not stored
        }
        ar << LogFontOf(tickFont) << LogFontOf(titleFont);
        return;
    }

    autoScale = ar.ReadFlag();
    visible = ar.ReadFlag();
    showGrid = ar.ReadFlag();
    ar >> tickFormat >> title >> rangeMax >> rangeMin >> viewMax >> viewMin >> tickStep;
    auto int32 = [&ar] {
        std::int32_t v;
        ar >> v;
        return int(v);
    };
    auto uint32 = [&ar] {
        std::uint32_t v;
        ar >> v;
        return v;
    };
    originY = int32();
    originX = int32();
    orientation = int32();
    arrowSize = int32();
    labelGap = int32();
    colour = uint32();
    gridColor = uint32();
    gridStyle = int32();
    ar >> endMargin;
    dateTime = ar.ReadFlag();
    ar >> markerRoom >> viewSpan;
    pixelLength = int32();
    badgeSize = int32();
    labelSide = int32();
    showSeriesBadges = ar.ReadFlag();

    std::int32_t count = int32();
    if (count < 0)
        throw CArchiveException(CArchiveException::genericException, "negative range band count");
    ar.Require(std::uint64_t(count) * RangeBandBytes);
    for (std::int32_t k = 0; k < count; ++k) {
        RangeBand b;
        ar >> b.from >> b.to;
        b.colourA = uint32();
        b.colourB = uint32();
        b.fillStyle = int32();
        ar.Read(b.text, sizeof b.text);
        b.text[sizeof b.text - 1] = '\0';
        rangeBands.push_back(b);
    }
    count = int32();
    if (count < 0)
        throw CArchiveException(CArchiveException::genericException, "negative value marker count");
    ar.Require(std::uint64_t(count) * ValueMarkerBytes);
    for (std::int32_t k = 0; k < count; ++k) {
        ValueMarker m;
        std::uint8_t flag, show;
        std::uint16_t reserved;
        ar >> m.value;
        m.colour = uint32();
        ar >> flag >> show >> reserved;
        m.flag = flag != 0;
        m.showValue = show != 0;
        m.penStyle = int32();
        ar >> m.lineWidth >> reserved >> m.font;
        uint32(); // the text slot carries no text
        valueMarkers.push_back(m);
    }
    LOGFONTA tick, titleLf;
    ar >> tick >> titleLf;
    tickFont.DeleteObject();
    tickFont.CreateFontIndirectA(&tick);
    titleFont.DeleteObject();
    titleFont.CreateFontIndirectA(&titleLf);
}
