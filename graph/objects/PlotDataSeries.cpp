#include "graph/objects/PlotDataSeries.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "draw/Measure.h"
#include "graph/axes/PlotAxis.h"
#include "graph/objects/SegmentClip.h"

IMPLEMENT_SERIAL(CPlotDataSeries, CPlotObject, 1)

CPlotDataSeries::CPlotDataSeries(const CPlotDataSeries& other) : CPlotObject() {
    *this = other;
}

// Every member; from the base only visibility, colour and graph. Owned points are copied.
CPlotDataSeries& CPlotDataSeries::operator=(const CPlotDataSeries& o) {
    if (this == &o)
        return *this;
    visible = o.visible;
    colour = o.colour;
    graph = o.graph;
    owner = o.owner;
    pointCount = o.pointCount;
    if (o.ownsPoints && o.points) {
        const std::size_t n = std::size_t(std::max(0, o.pointCount));
        auto copy = std::make_unique<DataPoint[]>(n);
        std::memcpy(copy.get(), o.points, n * sizeof(DataPoint));
        ownedPoints = std::move(copy);
        points = ownedPoints.get();
    } else {
        ownedPoints.reset();
        points = o.points;
    }
    reserved1 = o.reserved1;
    reserved2 = o.reserved2;
    xAxisIndex = o.xAxisIndex;
    yAxisIndex = o.yAxisIndex;
    seriesIndex = o.seriesIndex;
    lineWidth = o.lineWidth;
    fillStyle = o.fillStyle;
    markerMode = o.markerMode;
    markerSymbol = o.markerSymbol;
    markerSize = o.markerSize;
    penStyle = o.penStyle;
    ownsPoints = o.ownsPoints;
    showMarkers = o.showMarkers;
    filled = o.filled;
    transparentFill = o.transparentFill;
    fillColour = o.fillColour;
    name = o.name;
    pointStyle = o.pointStyle;
    fillPartner = o.fillPartner;
    stems = o.stems;
    drawnSegments = o.drawnSegments;
    // Same values, wherever they now live; but a flag worked out for another buffer or count
    // than the one copied says nothing of it.
    const bool current = o.checkedPoints == o.points && o.checkedCount == o.pointCount;
    xAscending = o.xAscending;
    checkedPoints = current ? points : nullptr;
    checkedCount = current ? pointCount : -1;
    return *this;
}

void CPlotDataSeries::SetPoints(DataPoint* data, int count, bool copy) {
    pointCount = count;
    ownsPoints = copy;
    if (copy) {
        auto own = std::make_unique<DataPoint[]>(std::size_t(count));
        std::memcpy(own.get(), data, std::size_t(count) * sizeof(DataPoint));
        ownedPoints = std::move(own);
        points = ownedPoints.get();
    } else {
        ownedPoints.reset();
        points = data;
    }
    PointsChanged();
}

void CPlotDataSeries::PointsChanged() const {
    checkedPoints = points;
    checkedCount = pointCount;
    xAscending = points != nullptr && pointCount > 0;
    for (std::int32_t i = 0; xAscending && i < pointCount; ++i)
        xAscending = std::isfinite(points[i].x) && (i == 0 || points[i - 1].x <= points[i].x);
}

bool CPlotDataSeries::XAscending() const {
    // `points` and `pointCount` may be written directly: a new buffer or count is checked anew.
    if (points != checkedPoints || pointCount != checkedCount)
        PointsChanged();
    return xAscending;
}

// The series' axes and how they map, found once per drawing.
struct CPlotDataSeries::Mapping {
    CPlotAxis* x;
    CPlotAxis* y;
    CRect plot;
    CPlotAxis::ScaleMap xs = x->Map(), ys = y->Map(); // taken once per drawing
    int MapX(const DataPoint& p) const { return xs.Pixel(p.x); }
    CPoint Map(const DataPoint& p) const { return CPoint(xs.Pixel(p.x), ys.Pixel(p.y)); }
    // A curve's points in 64 bits: far points beyond the int range stay apart.
    std::int64_t ColumnOf(const DataPoint& p) const { return xs.Pixel64(p.x); }
    Pixel64 Map64(const DataPoint& p) const { return {xs.Pixel64(p.x), ys.Pixel64(p.y)}; }
};

bool CPlotDataSeries::Pixel64::Fits() const {
    constexpr std::int64_t lo = std::numeric_limits<int>::min(),
                           hi = std::numeric_limits<int>::max();
    return x > lo && x < hi && y > lo && y < hi;
}

CPoint CPlotDataSeries::Pixel64::Held() const {
    return CPoint(SaturateInt(x), SaturateInt(y));
}

std::optional<CPlotDataSeries::Mapping> CPlotDataSeries::MappingOf() const {
    if (!owner || !points || pointCount <= 0)
        return std::nullopt;
    CPlotAxis* x = owner->XAxisOf(xAxisIndex);
    CPlotAxis* y = owner->YAxisOf(yAxisIndex);
    if (!x || !y)
        return std::nullopt;
    return Mapping{x, y, owner->PlotRect()};
}

void CPlotDataSeries::Draw(CGraphDC* dc) {
    const std::optional<Mapping> map = MappingOf();
    if (!dc || !map) {
        drawnSegments.clear();
        return;
    }
    if (stems)
        return DrawStems(dc, *map);
    // Only the plain loop knows fills and print scaling; the fast one needs columns that only
    // grow from point to point.
    DrawLoop(dc, *map, !filled && !dc->scaling && XAscending() && map->x->CanMap());
}

void CPlotDataSeries::DrawEveryPoint(CGraphDC* dc) {
    const std::optional<Mapping> map = MappingOf();
    if (!dc || !map) {
        drawnSegments.clear();
        return;
    }
    DrawLoop(dc, *map, false);
}

void CPlotDataSeries::DrawStems(CGraphDC* dc, const Mapping& map) {
    const COLORREF curve = dc->fewColours ? RGB(0, 0, 0) : colour;
    CSelectGuard<CPen> pen(*dc, CPen(PS_SOLID, DrawnSize(lineWidth), curve));
    drawnSegments.clear();
    const CRect& plot = map.plot;
    if (plot.IsRectEmpty())
        return;
    // Stems stand for the points inside the X range, whatever their order; where X ascends
    // only those are visited.
    const DataPoint* begin = points;
    const DataPoint* end = points + pointCount;
    const bool ranged = map.x->CanMap();
    const double lo = std::min(map.x->viewMin, map.x->viewMax),
                 hi = std::max(map.x->viewMin, map.x->viewMax);
    if (ranged && XAscending()) {
        begin = std::partition_point(begin, end, [lo](const DataPoint& p) { return p.x < lo; });
        end = std::partition_point(begin, end, [hi](const DataPoint& p) { return p.x <= hi; });
    }
    const int base = plot.bottom - 1;
    std::int64_t column = std::numeric_limits<std::int64_t>::min();
    int top = base;
    auto flush = [&] {
        if (column == std::numeric_limits<std::int64_t>::min())
            return;
        const int x = int(column);
        dc->MoveTo(x, base);
        dc->LineTo(x, top - 1); // the line's last pixel is not drawn
        drawnSegments.push_back({x, base, x, top});
    };
    for (const DataPoint* p = begin; p < end; ++p) {
        if (std::isnan(p->y) || (ranged && !(p->x >= lo && p->x <= hi)))
            continue;
        const Pixel64 q = map.Map64(*p);
        if (q.x < plot.left || q.x >= plot.right)
            continue;
        const int y = int(std::clamp<std::int64_t>(q.y, plot.top, base));
        if (q.x != column) {
            flush();
            column = q.x;
            top = y;
        } else {
            top = std::min(top, y);
        }
    }
    flush();
}

void CPlotDataSeries::DrawLoop(CGraphDC* dc, const Mapping& map, bool fast) {
    CSeriesOwner& plot = *owner;
    const COLORREF curve =
        dc->fewColours ? RGB(0, 0, 0)
        : selected ? RGB(255 - GetRValue(colour), 255 - GetGValue(colour), 255 - GetBValue(colour))
                   : colour;
    int width = DrawnSize(lineWidth);
    if (dc->scaling && penStyle == PS_SOLID)
        width = DrawnSize(std::int64_t(float(DrawnSize(lineWidth)) * dc->horizontalScale));
    CSelectGuard<CPen> pen(*dc, CPen(penStyle, width, curve));

    const int n = pointCount;
    const Pixel64 q0 = map.Map64(points[0]);
    const CPoint p0 = q0.Held();
    std::vector<CPoint> polygon;
    const CPlotDataSeries* partner = nullptr;
    if (filled) {
        if (fillPartner == -1)
            polygon.reserve(std::size_t(n) + 2);
        else if (const CPlotDataSeries* other = plot.SeriesOf(fillPartner);
                 other && other->points && other->pointCount > 0) {
            partner = other;
            polygon.reserve(std::size_t(n) + std::size_t(partner->pointCount));
        }
        polygon.push_back(p0);
    }
    const COLORREF dot = !editable && plot.HitEditableOnly() ? curve
                         : plot.Editing() ? (plot.HasEditMarker() ? RGB(0, 0, 255) : RGB(255, 0, 0))
                                          : RGB(0, 0, 0);
    const int w = DrawnSize(lineWidth);
    auto mark = [&](CPoint p) {
        if (pointStyle == 0)
            dc->FillSolidRect(SatSum(p.x, -2), SatSum(p.y, -2), 4, 4, dot);
        else if (pointStyle == 1)
            dc->Ellipse(SatSum(p.x, -w), SatSum(p.y, -w), SatSum(p.x, w), SatSum(p.y, w));
    };
    if (pointStyle == 0)
        dc->MoveTo(p0);
    mark(p0);
    drawnSegments.clear();

    // A segment with an end beyond the int range is cut to this band in floating point, so it
    // is drawn as the true line wherever it crosses the window.
    CRect band = map.plot;
    band.InflateRect(FarBand, FarBand);
    const CRect inside(map.plot.left, map.plot.top, map.plot.right - 1, map.plot.bottom - 1);
    Pixel64 previous = q0;
    int previousIndex = 0;
    auto step = [&](int i, Pixel64 q) {
        const CPoint p = q.Held();
        if (q.Fits() && previous.Fits()) {
            const CPoint from = previous.Held();
            if (map.plot.PtInRect(p) || map.plot.PtInRect(from))
                drawnSegments.push_back({from.x, from.y, p.x, p.y});
            if (pointStyle == 0)
                dc->LineTo(p);
        } else {
            const DataPoint &a = points[previousIndex], &b = points[i];
            std::optional<ClippedSegment> cut = ClipSegment(
                map.xs.Exact(a.x), map.ys.Exact(a.y), map.xs.Exact(b.x), map.ys.Exact(b.y), band);
            if (cut) {
                // An end inside the band is the point itself, to the pixel.
                if (previous.Fits() && band.PtInRect(previous.Held()))
                    cut->a = previous.Held();
                if (q.Fits() && band.PtInRect(p))
                    cut->b = p;
                if (ClipSegment(cut->a.x, cut->a.y, cut->b.x, cut->b.y, inside))
                    drawnSegments.push_back({cut->a.x, cut->a.y, cut->b.x, cut->b.y});
                if (pointStyle == 0) {
                    dc->MoveTo(cut->a);
                    dc->LineTo(cut->b);
                }
            }
            if (pointStyle == 0)
                dc->MoveTo(p); // where the plain path would stand
        }
        mark(p);
        if (filled)
            polygon.push_back(p);
        previous = q;
        previousIndex = i;
    };

    const int reach = 4 + std::max({w, width, 2});
    if (fast && !PlanFastWalk(map, reach)) {
        PointsChanged(); // X was rewritten in place: the plain loop draws what it now holds
        fast = false;
    }
    if (!fast) {
        for (int i = 1; i < n; ++i) {
            const Pixel64 q = map.Map64(points[i]);
            if (q.x != previous.x)
                step(i, q);
        }
    } else {
        if (fastWalk.moveFirst) {
            previous = map.Map64(points[fastWalk.first]);
            previousIndex = fastWalk.first;
            if (pointStyle == 0)
                dc->MoveTo(previous.Held());
        }
        for (const int i : fastWalk.steps)
            step(i, map.Map64(points[i]));
        // Leave the current position where the plain loop leaves it: at the last column.
        if (fastWalk.moveLast && pointStyle == 0)
            dc->MoveTo(map.Map64(points[fastWalk.last]).Held());
    }

    if (filled && (fillPartner == -1 || partner)) {
        if (fillPartner == -1) {
            polygon.push_back(CPoint(previous.Held().x, map.plot.bottom));
            polygon.push_back(CPoint(p0.x, map.plot.bottom));
        } else if (CPlotAxis* px = plot.XAxisOf(partner->xAxisIndex),
                   *py = plot.YAxisOf(partner->yAxisIndex);
                   px && py) {
            for (int i = partner->pointCount - 1; i >= 0; --i)
                polygon.push_back(CPoint(px->PixelOfValue(partner->points[i]).x,
                                         py->PixelOfValue(partner->points[i]).y));
        }
        const int oldMode = dc->SetBkMode(transparentFill ? TRANSPARENT : OPAQUE);
        const int oldRop = transparentFill ? dc->SetROP2(R2_NOTXORPEN) : R2_COPYPEN;
        const COLORREF fill = dc->fewColours ? RGB(0, 0, 0) : fillColour;
        {
            CSelectGuard<CPen> nullPen(*dc, CPen(PS_NULL, 0, 0));
            CSelectGuard<CBrush> brush(*dc, fillStyle >= HS_HORIZONTAL && fillStyle <= HS_DIAGCROSS
                                                ? CBrush(fillStyle, fill)
                                                : CBrush(fill));
            dc->Polygon(polygon.data(), int(polygon.size()));
        }
        dc->SetBkMode(oldMode);
        dc->SetROP2(oldRop);
    }
}

bool CPlotDataSeries::PlanFastWalk(const Mapping& map, int reach) const {
    FastWalk& walk = fastWalk;
    walk.steps.clear();
    walk.moveFirst = walk.moveLast = false;
    const int n = pointCount;
    bool inOrder = std::isfinite(points[0].x);
    double floorX = points[0].x; // X of the last point drawn: none after it lies left of it
    // Columns grow with the index, so the next drawn point is the first one in a column right
    // of the last: found by galloping and halving. Every point read must lie between the
    // nearest ones read on either side; one that does not ends the plan.
    // The search starts where the last step's stride would land: with evenly spaced X it is
    // right or one off, so a column costs one or two reads of memory however many points it
    // holds.
    int stride = 1;
    auto firstRightOf = [&](int from, std::int64_t column) {
        if (from >= n || !inOrder)
            return n;
        double xlo = floorX, xhi = std::numeric_limits<double>::infinity();
        // Point i is in or left of the column; the bracket follows what was read.
        auto below = [&](int i) {
            const double x = points[i].x;
            if (!(x >= xlo && x <= xhi)) // NaN fails too
                inOrder = false;
            const bool in = map.xs.Pixel64(x) <= column;
            (in ? xlo : xhi) = x;
            return in;
        };
        if (!below(from))
            return inOrder ? from : n;
        // lo is in or left of the column, hi right of it (or n).
        int lo = from, hi = stride < n - from ? from + stride : n;
        if (hi < n && below(hi)) {
            for (int gallop = 1; inOrder && hi < n && below(hi); gallop *= 2) {
                lo = hi;
                hi = gallop < n - lo ? lo + gallop : n;
            }
        } else {
            for (int gallop = 1; inOrder && hi - lo > 1;) {
                const int probe = std::max(lo + 1, hi - gallop);
                if (below(probe)) {
                    lo = probe;
                    break;
                }
                hi = probe;
                gallop *= 2;
            }
        }
        while (inOrder && hi - lo > 1) {
            const int mid = lo + (hi - lo) / 2;
            (below(mid) ? lo : hi) = mid;
        }
        stride = std::max(1, hi - from);
        return inOrder ? hi : n;
    };
    // Nothing beyond `reach` pixels outside the plot can touch it, so only the last column
    // left of that is visited and the walk ends at the first column right of it.
    const std::int64_t leftCut = std::int64_t(map.plot.left) - reach;
    const std::int64_t rightCut = std::int64_t(map.plot.right) + reach;
    std::int64_t previous = map.ColumnOf(points[0]);
    int index = 0;
    if (previous < leftCut) {
        const int last = firstRightOf(1, leftCut - 1) - 1; // last point left of the cut
        if (inOrder && last >= 1 && map.ColumnOf(points[last]) > previous) {
            const std::int64_t column = map.ColumnOf(points[last]);
            index = firstRightOf(1, column - 1);
            if (!inOrder)
                return false;
            previous = map.ColumnOf(points[index]);
            floorX = points[index].x;
            walk.moveFirst = true;
            walk.first = index;
        }
    }
    while (inOrder && previous <= rightCut) {
        index = firstRightOf(index + 1, previous);
        if (index >= n)
            break;
        previous = map.ColumnOf(points[index]);
        floorX = points[index].x;
        walk.steps.push_back(index);
    }
    if (inOrder && index < n) {
        if (!(points[n - 1].x >= floorX))
            return false;
        const std::int64_t lastColumn = map.ColumnOf(points[n - 1]);
        if (lastColumn > previous) {
            const int at = firstRightOf(index + 1, lastColumn - 1);
            if (inOrder && at < n) {
                walk.moveLast = true;
                walk.last = at;
            }
        }
    }
    return inOrder;
}

void CPlotDataSeries::DrawMarkers(CGraphDC* dc) {
    const std::optional<Mapping> found = MappingOf();
    if (!dc || !found || markerSize <= 0)
        return;
    const Mapping& map = *found;
    CSeriesOwner* plot = owner;
    const int size = DrawnSize(markerSize); // as loaded it may be anything
    const int columns = ((map.plot.right - map.plot.left) / size) / 4;
    int step = columns > 0 ? pointCount / columns : 2;
    if (step <= 0)
        step = 2;
    if (plot->Editing())
        step = 1;
    const int symbol = markerMode == 0 ? plot->SeriesIndexOf(this) : markerSymbol;
    const COLORREF c = dc->fewColours ? RGB(0, 0, 0) : colour;
    const int half = size / 2;
    // Markers wholly left or right of the plot draw nothing there; skip them when X ascends.
    int from = 0, to = pointCount;
    if (XAscending() && map.x->CanMap() && !dc->scaling) {
        const long long lo = (long long)map.plot.left - size - 2;
        const long long hi = (long long)map.plot.right + size + 2;
        const DataPoint* begin = points;
        const DataPoint* end = points + pointCount;
        from = int(
            std::partition_point(begin, end, [&](const DataPoint& p) { return map.MapX(p) < lo; }) -
            begin);
        to = int(std::partition_point(begin, end,
                                      [&](const DataPoint& p) { return map.MapX(p) <= hi; }) -
                 begin);
        from -= from % step;
    }
    for (int i = from; i < to; i += step) {
        const CPoint p = map.Map(points[i]);
        map.y->DrawSeriesBadge(*dc, SatSum(p.x, -half), SatSum(p.y, -half), symbol, size, c,
                               markerMode == 1);
    }
}

bool CPlotDataSeries::HitSegment(const ScreenSegment& s, CPoint point) {
    const double tolerance = std::max(4 / 2, 1);
    return DistanceToLine(CPoint(s.x1, s.y1), CPoint(s.x2, s.y2), point) <= tolerance;
}

std::unique_ptr<DataPoint[]> CPlotDataSeries::TrendPoints(int extra, bool cubic) const {
    const int n = pointCount;
    if (!points || n < 2 || extra < 0)
        return nullptr;
    double a = 0, b = 0, c = 0, d = 0;
    for (int k = 1; k <= n; ++k) {
        const double i = k, y = points[k - 1].y;
        if (cubic) {
            a += i * i * i * y;
            b += i * i * i * i * i * i;
        } else {
            a += i * i;
            b += i;
            c += i * y;
            d += y;
        }
    }
    double slope = 0, intercept = 0, factor = 0;
    if (cubic) {
        factor = a / b;
    } else {
        slope = (n * c - b * d) / (n * a - b * b);
        intercept = (d - slope * b) / n;
    }
    const std::size_t total = std::size_t(n) + std::size_t(extra);
    auto out = std::make_unique<DataPoint[]>(total);
    const double dx = points[1].x - points[0].x;
    for (std::size_t j = 0; j < total; ++j) {
        out[j].x = j < std::size_t(n) ? points[j].x : out[j - 1].x + dx;
        const double k = double(j + 1);
        out[j].y = cubic ? factor * k * k * k : intercept + slope * k;
    }
    return out;
}

std::unique_ptr<DataPoint[]> CPlotDataSeries::LinearTrendPoints(int extra) const {
    return TrendPoints(extra, false);
}

std::unique_ptr<DataPoint[]> CPlotDataSeries::CubicTrendPoints(int extra) const {
    return TrendPoints(extra, true);
}

void CPlotDataSeries::Serialize(CArchive& ar) {
    CPlotObject::Serialize(ar);
    if (ar.IsStoring()) {
        const std::int32_t n = points ? pointCount : 0;
        ar << n;
        if (n > 0)
            ar.Write(points, std::size_t(n) * sizeof(DataPoint));
        ar << reserved1 << reserved2 << xAxisIndex << yAxisIndex << seriesIndex << lineWidth
           << fillStyle << markerMode << markerSymbol << markerSize << penStyle;
        ar.WriteFlag(showMarkers);
        ar.WriteFlag(filled);
        ar.WriteFlag(transparentFill);
        ar << fillPartner << std::uint32_t(fillColour) << name << pointStyle;
        return;
    }
    std::int32_t n;
    ar >> n;
    if (n < 0)
        throw CArchiveException(CArchiveException::genericException, "negative point count");
    ar.Require(std::uint64_t(n) * sizeof(DataPoint));
    auto loaded = std::make_unique<DataPoint[]>(std::size_t(n));
    if (n > 0)
        ar.Read(loaded.get(), std::size_t(n) * sizeof(DataPoint));
    ownedPoints = std::move(loaded);
    points = ownedPoints.get();
    pointCount = n;
    ownsPoints = true;
    ar >> reserved1 >> reserved2 >> xAxisIndex >> yAxisIndex >> seriesIndex >> lineWidth >>
        fillStyle >> markerMode >> markerSymbol >> markerSize >> penStyle;
    showMarkers = ar.ReadFlag();
    filled = ar.ReadFlag();
    transparentFill = ar.ReadFlag();
    std::uint32_t fill;
    ar >> fillPartner >> fill >> name >> pointStyle;
    fillColour = fill;
    PointsChanged();
}
