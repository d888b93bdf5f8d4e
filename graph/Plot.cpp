#include "graph/Plot.h"

#include <algorithm>

#include "graph/ArchiveClasses.h"

const COLORREF CPlot::Palette[12] = {
    RGB(128, 0, 0), RGB(255, 0, 0), RGB(128, 128, 0), RGB(255, 255, 0),
    RGB(0, 128, 0), RGB(0, 255, 0), RGB(0, 128, 128), RGB(0, 255, 255),
    RGB(0, 0, 128), RGB(0, 0, 255), RGB(128, 0, 128), RGB(255, 0, 255),
};

CPlot::CPlot() {
    RegisterArchiveClasses(); // whatever this program names, its archives can be read
    readoutLabel.rectangle = CRect(100, 100, 200, 175);
    readoutLabel.visible = false;
    readoutLabel.graph = this;
    objects.push_back(&readoutLabel);
}

CPlot::~CPlot() {
    ClearGraph();
    DestroyWindow();
}

BOOL CPlot::Create(CWnd* parent, UINT id) {
    return CWnd::Create(WindowClass, "", CRect(), parent, id);
}

CPlotDataSeries* CPlot::SetSeriesData(DataPoint* points, int count, int series, int xAxis,
                                      int yAxis, bool copy) {
    if (!points || count <= 0 || series < 0 || series > SeriesCount())
        return nullptr;
    if (series == SeriesCount()) {
        CPlotDataSeries added;
        added.xAxisIndex = xAxis;
        added.yAxisIndex = yAxis;
        added.seriesIndex = series;
        added.colour = Palette[seriesList.size() % 12];
        added.SetPoints(points, count, copy);
        seriesList.push_back(std::move(added));
    } else {
        CPlotDataSeries& s = seriesList[std::size_t(series)];
        s.xAxisIndex = xAxis;
        s.yAxisIndex = yAxis;
        s.SetPoints(points, count, false);
    }
    if (xAxis == XAxisCount()) {
        xAxes.emplace_back();
        xAxes.back().orientation = CPlotAxis::Horizontal;
    }
    if (yAxis == YAxisCount()) {
        yAxes.emplace_back();
        yAxes.back().orientation = CPlotAxis::Vertical;
    }
    for (auto* list : {&xAxes, &yAxes})
        for (CPlotAxis& axis : *list) {
            axis.graph = this;
            axis.owner = this;
        }
    CPlotDataSeries& s = seriesList[std::size_t(series)];
    s.graph = this;
    s.owner = this;
    FitAxesToSeries(xAxis, yAxis, series);
    Invalidate(TRUE);
    return &s;
}

void CPlot::FitAxesToSeries(int xAxis, int yAxis, int series) {
    if (!HasSeries(series) || xAxis < 0 || xAxis >= XAxisCount() || yAxis < 0 ||
        yAxis >= YAxisCount())
        return;
    const CPlotDataSeries& s = seriesList[std::size_t(series)];
    CPlotAxis& x = xAxes[std::size_t(xAxis)];
    CPlotAxis& y = yAxes[std::size_t(yAxis)];
    double xMin = x.rangeMin, xMax = x.rangeMax, yMin = y.rangeMin, yMax = y.rangeMax;
    for (int i = 0; i < s.pointCount; ++i) {
        const DataPoint& p = s.points[i];
        if (p.x > xMax)
            xMax = p.x;
        if (!(xMin <= p.x))
            xMin = p.x;
        if (p.y > yMax)
            yMax = p.y;
        if (!(yMin <= p.y))
            yMin = p.y;
    }
    x.SetRange(xMin, xMax);
    y.SetRange(yMin, yMax);
}

int CPlot::SeriesIndexOf(const CPlotDataSeries* series) const {
    for (std::size_t i = 0; i < seriesList.size(); ++i)
        if (&seriesList[i] == series)
            return int(i);
    return -1;
}

int CPlot::AxisIndexOf(const CPlotAxis* axis) const {
    for (const auto* list : {&xAxes, &yAxes})
        for (std::size_t i = 0; i < list->size(); ++i)
            if (&(*list)[i] == axis)
                return int(i);
    return -1;
}

void CPlot::ClearGraph() {
    xAxes.clear();
    yAxes.clear();
    seriesList.clear();
    editMarker = false;
    showEditedValue = false;
    modified = false;
    while (objects.size() > 1)
        DeleteObject(objects.back());
    Invalidate(); // the screen must not keep showing what the model no longer has
}

void CPlot::RemoveSeriesFrom(int first) {
    if (first < 0 || first >= SeriesCount())
        return;
    seriesList.erase(seriesList.begin() + first, seriesList.end());
    if (grabbedSeries >= first)
        grabbedSeries = grabbedPoint = -1;
    if (seriesUnderMouse >= first)
        seriesUnderMouse = -1;
    Invalidate();
}

void CPlot::SetOperationMode(GraphMode mode) {
    operationMode = mode;
    showEditedValue = false; // it belongs to a drag in the mode being left
    Invalidate();
}

CPlotObject* CPlot::AddObject(std::shared_ptr<CPlotObject> object) {
    CPlotObject* raw = object.get();
    if (!raw || std::find(objects.begin(), objects.end(), raw) != objects.end())
        return raw;
    raw->graph = this; // a loaded object learns its graph from whoever inserts it
    owned.push_back(std::move(object));
    objects.push_back(raw);
    return raw;
}

bool CPlot::DeleteObject(CPlotObject* object) {
    if (!object || object == &readoutLabel)
        return false;
    auto it = std::find(objects.begin(), objects.end(), object);
    if (it == objects.end())
        return false;
    objects.erase(it);
    if (selectedObject == object)
        selectedObject = nullptr;
    if (tracker == &object->tracker)
        tracker = nullptr;
    auto own = std::find_if(owned.begin(), owned.end(),
                            [object](const auto& p) { return p.get() == object; });
    if (own != owned.end())
        owned.erase(own);
    return true;
}

void CPlot::Notify(UINT message, WPARAM wParam) {
    if (CWnd* parent = GetParent())
        parent->PostMessage(message, wParam, LPARAM(this));
}

std::unique_ptr<CGraphDC> CPlot::MeasureDC() {
    auto dc = std::make_unique<CGraphDC>();
    dc->CreateCompatibleDC(nullptr);
    return dc;
}

bool CPlot::SeriesPoints(int series, const DataPoint*& points, std::size_t& count) const {
    if (!HasSeries(series))
        return false;
    const CPlotDataSeries& s = seriesList[std::size_t(series)];
    points = s.points;
    count = s.points ? std::size_t(std::max(0, s.pointCount)) : 0;
    return true;
}

SeriesBadge CPlot::BadgeOf(int series) const {
    if (!HasSeries(series))
        return {};
    const CPlotDataSeries& s = seriesList[std::size_t(series)];
    return {s.visible, s.xAxisIndex, s.yAxisIndex, s.colour, s.markerMode, s.markerSymbol};
}
