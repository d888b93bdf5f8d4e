#pragma once
// One axis of a graph: the data extent and the displayed range of one coordinate, the tick step,
// the look of ticks, labels and title, value markers and range bands, and the mapping between
// values and pixels.

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "graph/axes/AxisOwner.h"
#include "graph/axes/Truncate.h"
#include "graph/objects/PlotObject.h"

struct ValueMarker {
    double value = 0;
    COLORREF colour = 0;
    bool flag = true;
    bool showValue = true;
    int penStyle = PS_SOLID;
    std::int16_t lineWidth = 1;
    LOGFONTA font{};
    std::string text;
};

struct RangeBand {
    double from = 0;
    double to = 0;
    COLORREF colourA = 0;
    COLORREF colourB = 0;
    int fillStyle = 6;
    char text[260] = {};
};

class CPlotAxis : public CPlotObject {
    DECLARE_SERIAL(CPlotAxis)
public:
    static constexpr int Horizontal = 0;
    static constexpr int Vertical = 1;
    static constexpr std::size_t ValueMarkerBytes = 88;
    static constexpr std::size_t RangeBandBytes = 288;

    CPlotAxis();
    CPlotAxis(const CPlotAxis& other);
    CPlotAxis& operator=(const CPlotAxis& other);
    ~CPlotAxis() override = default;

    void Serialize(CArchive& ar) override;

    bool SetRange(double min, double max);
    bool SetViewRange(double min, double max, double step);
    void ResetRange();
    void EstimateTickStep();
    void AutoScale(CGraphDC& dc);

    double ValueAtPixel(int pixel);
    CPoint PixelOfValue(const DataPoint& point);
    // True when pixels and values can be converted: a positive pixel length and a finite,
    // non-empty displayed range.
    bool CanMap() const;
    // Nothing when the series does not exist or has no points.
    std::optional<int> NearestPointIndex(double x, int series) const;

    void SetValueMarker(int index, double value, COLORREF colour, int penStyle);
    void RemoveValueMarker(int index);
    void SetTickFont(const char* face, int height, int weight);
    void SetTitleFont(const char* face, int height, int weight);

    // The label of a value with tickFormat: printf-style, or a date pattern on date axes.
    std::string LabelText(double value) const;
    // The value-to-pixel mapping of the moment as a small value, for loops over many points:
    // the same pixels as PixelOfValue, without asking the owner for the plot each time.
    struct ScaleMap {
        bool vertical;
        double viewMin, scale, origin;
        int Pixel(double v) const {
            return vertical ? TruncInt(origin - scale * (v - viewMin))
                            : TruncInt(scale * (v - viewMin) + origin);
        }
        // The same pixel where it fits an int, and told apart from its neighbours beyond.
        std::int64_t Pixel64(double v) const {
            return vertical ? TruncInt64(origin - scale * (v - viewMin))
                            : TruncInt64(scale * (v - viewMin) + origin);
        }
        // Not rounded, and in a type whose range no product of doubles leaves: for finding
        // where a far segment crosses the window.
        long double Exact(double v) const {
            const long double offset = (long double)scale * ((long double)v - viewMin);
            return vertical ? origin - offset : origin + offset;
        }
    };
    ScaleMap Map() const;
    // Sizes as drawn: a record may carry any value, drawing holds it to what a window shows.
    int ShownArrowSize() const { return DrawnSize(arrowSize); }
    int ShownLabelGap() const { return DrawnSize(labelGap); }
    int ShownBadgeSize() const { return DrawnSize(badgeSize); }
    // The value of tick k, counted from viewMin.
    double TickValue(std::int64_t k) const;
    int TickLabelWidth(CGraphDC& dc) const;
    int TickLabelHeight(CGraphDC& dc) const;
    CSize TitleExtent(CGraphDC& dc) const;
    // Room the numbered series badges take; drawn too when `draw` is set.
    virtual int SeriesBadgeRoom(CGraphDC& dc, bool draw);

    void Draw(CGraphDC* dc) override;
    // A filled arrow head of 1-pixel lines; direction 0 left, 1 up, 2 right, 3 down.
    static void DrawArrow(CGraphDC& dc, int x, int y, int direction, int size);
    // A symbol, or a square with the series number, top-left at (x, y).
    static void DrawSeriesBadge(CGraphDC& dc, int x, int y, int number, int size, COLORREF colour,
                                bool symbol);

    // Not kept in records: draws every tick, even those hidden under the next one on the same
    // pixel, as a reference for the tests of the usual drawing.
    bool everyTick = false;
    // Not kept in records: when set, writes the labels in place of tickFormat, for a scale whose
    // axis values stand for others (a logarithm shown on this linear axis).
    std::function<std::string(double)> labelOf;

    int orientation = Horizontal;
    double rangeMin;
    double rangeMax;
    double viewMin;
    double viewMax;
    double tickStep = 0.1;
    double endMargin = 0;
    double markerRoom = 0;
    double viewSpan = 1.0;
    int originY = 0;
    int originX = 0;
    int pixelLength = 1;
    CRect areaRect;
    CFont tickFont;
    CFont titleFont;
    int labelSide = 2;
    bool showSeriesBadges = true;
    bool dateTime = false;
    bool showGrid = true;
    bool autoScale = true;
    std::string title = " ";
    std::string tickFormat = "%5.1f";
    int arrowSize = 5;
    int badgeSize = 10;
    int labelGap = 5;
    COLORREF gridColor = RGB(150, 150, 150);
    int gridStyle = PS_DOT;
    std::vector<ValueMarker> valueMarkers;
    std::vector<RangeBand> rangeBands;
    std::vector<std::pair<double, double>> zoomHistory;

    CAxisOwner* owner = nullptr; // not owned; set by the graph with `graph`

protected:
    void DrawRangeBands(CGraphDC& dc, const CRect& plot);
    // The title at the far end of the axis line, whose position along the axis is `end`.
    void DrawTitle(CGraphDC& dc, int end, CSize size);
    // One tick at a pixel position along the axis, with its label when `labelled`.
    // Styled grid lines show their gaps unless `transparentLines` is false, when they take the
    // background colour set for the labels.
    void DrawTick(CGraphDC& dc, double position, double value, bool labelled,
                  const CFont& shownFont, const CPen& gridPen, const CRect& plot,
                  bool transparentLines = true);
    // Where a tick's label of this size is drawn.
    CRect TickLabelRect(double position, CSize size) const;
    void DrawTickLabel(CGraphDC& dc, double position, const std::string& label, CSize size,
                       const CFont& shownFont);
    // Of ticks first..last, which share one pixel and of which the caller draws the last, the
    // labels that would still show past the later ones when every tick is drawn in order.
    void DrawLabelsShowingPast(CGraphDC& dc, std::int64_t first, std::int64_t last,
                               double firstPosition, double step, const CFont& shownFont);
    // The axis line to `end` with its arrow head, the hit rectangle and the selection frame.
    void DrawAxisLine(CGraphDC& dc, int end);
    // Runs `draw` on `dc`, or, for a hidden axis, on a context that shows nothing.
    void DrawVisibleOrNot(CGraphDC* dc, const std::function<void(CGraphDC&)>& draw);
    CRect Plot() const;

private:
    void DrawLayout(CGraphDC& dc);
    void DrawValueMarkers(CGraphDC& dc, const CRect& plot);
    bool AcceptRange(double& min, double& max);
    void DefaultTickStep();
    CSize MeasureLabel(CGraphDC& dc, double value) const;
};

// Index of the point whose X is nearest x, for points in ascending X; nothing when n is 0.
std::optional<int> NearestPointIndex(const DataPoint* points, std::size_t n, double x);
