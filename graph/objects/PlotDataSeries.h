#pragma once
// One curve of a graph: points, the indexes of its X and Y axes, and its look. Draws itself
// through its axes and records the segments it drew, for picking.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "files/DataPoint.h"
#include "graph/objects/PlotObject.h"
#include "graph/objects/SeriesOwner.h"

struct ScreenSegment {
    std::int32_t x1, y1, x2, y2;
    friend bool operator==(const ScreenSegment&, const ScreenSegment&) = default;
};

class CPlotDataSeries : public CPlotObject {
    DECLARE_SERIAL(CPlotDataSeries)
public:
    CPlotDataSeries() = default;
    CPlotDataSeries(const CPlotDataSeries& other);
    CPlotDataSeries& operator=(const CPlotDataSeries& other);
    ~CPlotDataSeries() override = default;

    void Serialize(CArchive& ar) override;
    void Draw(CGraphDC* dc) override;
    // The same drawing through the plain loop over every point, whatever the data.
    void DrawEveryPoint(CGraphDC* dc);
    void DrawMarkers(CGraphDC* dc);
    static bool HitSegment(const ScreenSegment& segment, CPoint point);
    // n + extra points, or null for fewer than two points.
    std::unique_ptr<DataPoint[]> LinearTrendPoints(int extra) const;
    std::unique_ptr<DataPoint[]> CubicTrendPoints(int extra) const;

    // Refers to the caller's points, or copies them into an array of its own.
    void SetPoints(DataPoint* data, int count, bool copy);
    // Tells the series that X values changed in place (it keeps whether they ascend). A new
    // buffer or count written into `points` or `pointCount` is noticed without it; X written
    // in place is not: where X ascends drawing reads only the points that start a pixel
    // column, so a NaN or a backward X among the others stays unseen, and pictures unlike a
    // fresh paint's, until this is called.
    void PointsChanged() const;
    bool XAscending() const;

    DataPoint* points = nullptr;
    std::int32_t pointCount = 0;
    std::int32_t reserved1 = 0;
    std::int32_t reserved2 = 0;
    std::int32_t xAxisIndex = 0;
    std::int32_t yAxisIndex = 0;
    std::int32_t seriesIndex = 0;
    std::int32_t lineWidth = 1;
    std::int32_t fillStyle = 6;
    std::int32_t markerMode = 0;
    std::int32_t markerSymbol = 0;
    std::int32_t markerSize = 10;
    std::int32_t penStyle = PS_SOLID;
    bool ownsPoints = false;
    bool showMarkers = false;
    bool filled = false;
    bool transparentFill = true;
    COLORREF fillColour = RGB(255, 255, 255);
    std::string name = " ";
    std::int32_t pointStyle = 0;
    std::int16_t fillPartner = 1;
    std::vector<ScreenSegment> drawnSegments;
    // Drawn as stems: a vertical line from the plot's bottom up to each point, the tallest of
    // a pixel column only (a spectrum). Not archived.
    bool stems = false;
    // The graph that holds the series, as the series sees it; set with `graph`.
    CSeriesOwner* owner = nullptr;

private:
    struct Mapping;
    // The series' axes, or nothing when the series cannot be drawn (no points, no such axis).
    std::optional<Mapping> MappingOf() const;
    void DrawLoop(CGraphDC* dc, const Mapping& map, bool fast);
    void DrawStems(CGraphDC* dc, const Mapping& map);
    // A point of the curve in pixels, in 64 bits.
    struct Pixel64 {
        std::int64_t x, y;
        bool Fits() const; // well inside the int range
        CPoint Held() const;
    };
    // How far beyond the plot a segment with far ends is drawn.
    static constexpr int FarBand = 1 << 15;
    // Where the curve is drawn when X ascends: the points that start a new column within
    // `reach` pixels of the plot, found without visiting the others. False when a point read
    // is out of order or not finite: the promise that X ascends no longer holds.
    struct FastWalk {
        bool moveFirst = false, moveLast = false;
        int first = 0, last = 0;
        std::vector<int> steps; // indexes of the points stepped to
    };
    bool PlanFastWalk(const Mapping& map, int reach) const;
    std::unique_ptr<DataPoint[]> TrendPoints(int extra, bool cubic) const;

    std::unique_ptr<DataPoint[]> ownedPoints; // backs `points` when the series owns them
    // Whether X ascends, for the buffer and count it was worked out for.
    mutable bool xAscending = false;
    mutable const DataPoint* checkedPoints = nullptr;
    mutable std::int32_t checkedCount = 0;
    mutable FastWalk fastWalk; // kept from drawing to drawing: no allocation once grown
};
