#pragma once
// The chart control: a window that owns curves, the X and Y axes they are drawn against, and a
// list of free objects headed by the cursor's readout label.

#include <functional>
#include <list>
#include <memory>
#include <vector>

#include "draw/Symbols.h"
#include "graph/GraphMode.h"
#include "graph/axes/PlotAxis.h"
#include "graph/objects/PlotDataSeries.h"
#include "graph/objects/PlotLabel.h"
#include "platform/Dialogs.h"
#include "platform/Wnd.h"

struct Measurement {
    std::int32_t series1, point1, series2, point2;
};

// A legend row and the series it stands for, by index.
struct LegendEntry {
    CRect rect;
    int series;
};

class CPlot : public CWnd, public CAxisOwner, public CSeriesOwner {
public:
    static constexpr const char* WindowClass = "TarvelinPlot";
    static constexpr UINT DefaultId = 1001;
    static const COLORREF Palette[12];

    CPlot();
    ~CPlot() override;

    // A visible child of `parent` with an empty rectangle; the owner sizes it.
    BOOL Create(CWnd* parent, UINT id = DefaultId);

    // Appends or replaces a series and creates the axes it names when they are the next ones;
    // null for no points.
    CPlotDataSeries* SetSeriesData(DataPoint* points, int count, int series, int xAxis, int yAxis,
                                   bool copy);
    void FitAxesToSeries(int xAxis, int yAxis, int series);
    CPlotDataSeries& SeriesAt(int index) { return seriesList[std::size_t(index)]; }
    CPlotAxis& XAxisAt(int index) { return xAxes[std::size_t(index)]; }
    CPlotAxis& YAxisAt(int index) { return yAxes[std::size_t(index)]; }
    int XAxisCount() const { return int(xAxes.size()); }
    int YAxisCount() const { return int(yAxes.size()); }
    bool HasSeries(int index) const { return index >= 0 && index < SeriesCount(); }
    int SeriesIndexOf(const CPlotDataSeries* series) const override;
    // Position in the X axis list, else in the Y axis list, else -1.
    int AxisIndexOf(const CPlotAxis* axis) const;
    void ClearGraph();
    // Lets go of the series from `first` on; the axes and the series before it stay.
    void RemoveSeriesFrom(int first);
    void SetOperationMode(GraphMode mode);

    // The objects, head (the readout label) first.
    const std::list<CPlotObject*>& Objects() const { return objects; }
    // Takes (a share of) ownership and appends at the tail: a new object as a unique pointer,
    // one read from an archive as the shared pointer the archive gives (it may refer to an
    // object more than once). An object already in the list stays where it is.
    CPlotObject* AddObject(std::shared_ptr<CPlotObject> object);
    // Removes and deletes an owned object; the readout label stays.
    bool DeleteObject(CPlotObject* object);

    // Posts (never sends) a notification to the parent with this graph as lParam.
    void Notify(UINT message, WPARAM wParam = 0);

    // Painting: the whole control into `dc`, laid out in `outer` (the client or print area).
    void PaintGraph(CGraphDC& dc, const CRect& outer);
    // One page named "Graph" on the printer the print dialog gives; false when cancelled.
    bool PrintGraph();

    // Interaction.
    void ResetView();
    void ZoomBack();
    CPlotLabel* AddTextLabel(const std::string& text);
    // The shared hit-test: in its testing form (act false) true when something lies under the
    // current mouse point; in its acting form it changes selection and state and returns false.
    bool HitTest(bool notify, bool act);
    // The grabbed point of a curve, or -1s.
    int GrabbedSeries() const { return grabbedSeries; }
    int GrabbedPoint() const { return grabbedPoint; }
    // Sets every sample of series 0 under the stroke from one pixel to another.
    void FreehandSegment(CPoint from, CPoint to);
    // A new series fitted to the points of `source` (a straight line, or k t^3 in the point
    // number t); null when there is no such series or it has fewer than two points.
    CPlotDataSeries* AddLinearTrend(int source);
    CPlotDataSeries* AddCubicTrend(int source);
    // The measurement being dragged: its ends as far as they have been snapped.
    const Measurement& MeasurementInProgress() const { return measuring; }
    // The record the last PLN_POINT_CHANGED pointed to.
    const PointEditRecord& LastPointEdit() const { return pointEdit; }

    // Told before editing changes points first..last of a series, and when the drag or the
    // stroke that changed them ends (the button's release): an owner keeps its undo steps.
    std::function<void(int series, int first, int last)> beforeEdit;
    std::function<void()> editEnded;
    // Opt-in: a series whose editable flag is clear is never hit, so the mouse never grabs
    // (and Edit never changes) a curve shown only for comparison. Off, every visible series
    // is hit, as it always was.
    bool hitEditableOnly = false;
    // After a drag or a stroke changed values, before the repaint.
    std::function<void()> edited;
    // A key released that the graph has no use for.
    std::function<void(UINT key)> otherKey;

    BOOL PreTranslateMessage(MSG* msg) override;
    CDialogs* dialogs = &StandardDialogs();

    // The axis owner's view of the graph.
    CRect PlotRect() const override { return plotRect; }
    // What a series asks (CSeriesOwner).
    CPlotAxis* XAxisOf(int index) override {
        return index >= 0 && index < XAxisCount() ? &xAxes[std::size_t(index)] : nullptr;
    }
    CPlotAxis* YAxisOf(int index) override {
        return index >= 0 && index < YAxisCount() ? &yAxes[std::size_t(index)] : nullptr;
    }
    const CPlotDataSeries* SeriesOf(int index) const override {
        return HasSeries(index) ? &seriesList[std::size_t(index)] : nullptr;
    }
    bool Editing() const override {
        return operationMode == ModeEdit || operationMode == ModeEditPlus;
    }
    bool HasEditMarker() const override { return editMarker; }
    bool IsOwnerVisible() const override { return IsWindowVisible(); }
    void InvalidateOwner() override { Invalidate(); }
    std::unique_ptr<CGraphDC> MeasureDC() override;
    bool SeriesPoints(int series, const DataPoint*& points, std::size_t& count) const override;
    COLORREF InnerColour() const override { return innerColour; }
    int AxisIndex(const CPlotAxis* axis) const override { return AxisIndexOf(axis); }
    int SeriesCount() const override { return int(seriesList.size()); }
    bool HitEditableOnly() const override { return hitEditableOnly; }
    SeriesBadge BadgeOf(int series) const override;

    COLORREF backgroundColour = RGB(255, 255, 255);
    COLORREF innerColour = RGB(255, 255, 255);
    COLORREF plotColour = RGB(240, 240, 240);
    bool doubleBuffering = true;
    bool legendVisible = true;
    bool interactionEnabled = true;
    int legendSide = 1;
    bool cursorSnap = true;
    int snapDistance = 10;
    int cursorFlags = 7;
    int cursorSeriesLock = -1;
    int marginLeft = 5, marginTop = 5, marginRight = 5, marginBottom = 5;
    int axisGap = 5;
    GraphMode operationMode = ModeNone;
    CRect plotRect;
    CRect zoomRect;
    CRect measureRect;
    CRect printRect;
    bool leftButtonDown = false;
    bool rightButtonDown = false;
    CPoint mouseDownPoint, mouseUpPoint, mousePoint;
    CPoint previousPanPoint{0, 0};
    CPoint previousCursorPoint{-1, -1};
    bool hoverResult = false;
    int seriesUnderMouse = -1;
    int cursorSeries = -1;
    double cursorX = 0, cursorY = 0;
    double editedValue = 0;
    bool showEditedValue = false;
    bool editMarker = false;
    int editMarkerIndex = 0;
    bool modified = false;
    CPoint freehandPrevious, freehandCurrent;
    CPlotObject* selectedObject = nullptr;
    CRectTracker* tracker = nullptr;
    CDC* printDC = nullptr;
    const SymbolRoutine* symbolRoutines = symbolTable;
    CPlotLabel readoutLabel;
    std::vector<Measurement> measurements;
    std::vector<LegendEntry> legendEntries;

protected:
    void OnPaint(CDC& dc) override;
    BOOL OnEraseBkgnd(CDC& dc) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnRButtonDown(UINT flags, CPoint point) override;
    void OnRButtonUp(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point) override;
    void OnKeyUp(UINT key, UINT repeat, UINT flags) override;
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // The cursor readout and the two-point measurement.
    void DrawCursor(CGraphDC& dc);
    void DrawMeasurements(CGraphDC& dc);
    // Moves a point vertically onto the nearest curve and records it as an end.
    CPoint SnapMeasurePoint(CPoint point, bool firstEnd);
    void AddMeasurement();
    void DrawMeasurement(CGraphDC& dc, int x1, int y1, int x2, int y2);

private:
    // Draws the legend in `inner` and takes its room from it; without `draw` only the latter.
    void DrawLegend(CGraphDC& dc, CRect& inner, bool draw);
    // Places the axes in `inner`, which gives the plot rectangle, without drawing.
    void LayoutAxes(CGraphDC& dc, const CRect& inner);
    void DrawAxes(CGraphDC& dc);
    void ApplyZoom();
    void Pan(CPoint point);
    // Moves both ends of every axis of a list by fractions of its span; false when nothing moved.
    void ShiftAxes(std::vector<CPlotAxis>& axes, double minFraction, double maxFraction);
    bool HitAxes(bool notify, bool act, std::vector<CPlotAxis>& axes, bool vertical);
    void EditGrabbedPoint();
    void ToggleEditMarker(CPoint point);
    void PrepareMode(UINT command);
    // Runs the automatic step and range rounding of every axis that still has it on.
    void SettleAutoScale();

    int grabbedSeries = -1;
    int grabbedPoint = -1;
    int draggedYMarker = -1;
    int draggedXMarker = -1;
    PointEditRecord pointEdit{};
    CRect lastFocusRect;
    CBitmap bufferBitmap;
    Measurement measuring{-1, -1, -1, -1};
    int secondSeries = -1;

    std::vector<CPlotDataSeries> seriesList;
    std::vector<CPlotAxis> xAxes;
    std::vector<CPlotAxis> yAxes;
    std::list<CPlotObject*> objects;
    std::vector<std::shared_ptr<CPlotObject>> owned;
};
