// The control's response to the mouse, the wheel, keys and its commands: modes, zoom with
// history, pan, scrolling, the shared hit-test, point editing and notifications.
#include <cmath>

#include "graph/Plot.h"

namespace {

// Sets a displayed range only when it is finite and still has a span a double can tell apart.
bool MoveView(CPlotAxis& axis, double min, double max) {
    if (!std::isfinite(min) || !std::isfinite(max) || !(max > min))
        return false;
    if (min == axis.viewMin && max == axis.viewMax)
        return false;
    return axis.SetViewRange(min, max, 0);
}

} // namespace

void CPlot::PrepareMode(UINT command) {
    switch (command) {
    case ID_PLOT_MODE_NONE:
        readoutLabel.visible = false;
        SetOperationMode(ModeNone);
        break;
    case ID_PLOT_ZOOM:
        readoutLabel.visible = false;
        zoomRect.SetRectEmpty();
        SetOperationMode(ModeZoom);
        break;
    case ID_PLOT_PAN:
    case ID_PLOT_CURSOR:
        readoutLabel.visible = false;
        showEditedValue = false;
        SettleAutoScale();
        operationMode = ModePan;
        for (auto* list : {&xAxes, &yAxes})
            for (CPlotAxis& a : *list)
                a.autoScale = false;
        if (command == ID_PLOT_CURSOR) {
            cursorSeries = cursorSeriesLock;
            previousCursorPoint = CPoint(-1, -1);
            operationMode = ModeCursor;
            if (cursorFlags & 4)
                readoutLabel.rectangle =
                    CRect(plotRect.left + 1, plotRect.top, plotRect.left + 150, plotRect.top + 50);
        }
        Invalidate();
        break;
    case ID_PLOT_EDIT:
        SetOperationMode(ModeEdit);
        break;
    case ID_PLOT_MEASURE:
        measureRect.SetRectEmpty();
        SetOperationMode(ModeMeasure);
        break;
    default:
        break;
    }
}

void CPlot::SettleAutoScale() {
    for (auto* list : {&xAxes, &yAxes})
        for (const CPlotAxis& a : *list)
            if (a.autoScale) {
                // A paint lays the axes out and rounds their steps and ranges; do it now,
                // before the ranges are frozen, so they are never left as raw estimates.
                Invalidate();
                UpdateWindow();
                return;
            }
}

BOOL CPlot::OnCommand(WPARAM wParam, LPARAM) {
    const UINT id = LOWORD(wParam);
    switch (id) {
    case ID_PLOT_MODE_NONE:
    case ID_PLOT_ZOOM:
    case ID_PLOT_PAN:
    case ID_PLOT_CURSOR:
    case ID_PLOT_EDIT:
    case ID_PLOT_MEASURE:
        PrepareMode(id);
        return TRUE;
    case ID_PLOT_ADD_LABEL:
        AddTextLabel("");
        Invalidate();
        return TRUE;
    case ID_PLOT_VIEW_RESET:
        ResetView();
        return TRUE;
    case ID_PLOT_HIT_NOTIFY:
        HitTest(true, true);
        return TRUE;
    case ID_PLOT_PRINT:
        PrintGraph();
        return TRUE;
    case ID_PLOT_PASS_TO_PARENT:
        if (CWnd* parent = GetParent())
            parent->PostMessage(ID_PLOT_PASS_TO_PARENT, 0, LPARAM(this));
        return TRUE;
    case ID_PLOT_ZOOM_BACK:
        ZoomBack();
        return TRUE;
    case ID_PLOT_LINEAR_TREND:
        AddLinearTrend(seriesUnderMouse);
        return TRUE;
    case ID_PLOT_CUBIC_TREND:
        AddCubicTrend(seriesUnderMouse);
        return TRUE;
    default:
        return FALSE;
    }
}

CPlotLabel* CPlot::AddTextLabel(const std::string& text) {
    auto label = std::make_unique<CPlotLabel>();
    label->text = text;
    const int cx = (plotRect.left + plotRect.right) / 2, cy = (plotRect.top + plotRect.bottom) / 2;
    label->rectangle = CRect(cx - 50, cy - 50, cx + 50, cy + 50);
    return static_cast<CPlotLabel*>(AddObject(std::move(label)));
}

void CPlot::ResetView() {
    readoutLabel.visible = false;
    for (auto* list : {&xAxes, &yAxes})
        for (CPlotAxis& a : *list)
            a.ResetRange();
    Invalidate();
}

void CPlot::ZoomBack() {
    for (auto* list : {&yAxes, &xAxes})
        for (CPlotAxis& a : *list) {
            if (a.zoomHistory.empty())
                continue;
            a.viewMin = a.zoomHistory.back().first;
            a.viewMax = a.zoomHistory.back().second;
            a.zoomHistory.pop_back();
            a.EstimateTickStep();
        }
    Notify(PLN_ZOOM_CHANGED);
    zoomRect.SetRectEmpty();
    Invalidate();
}

void CPlot::ApplyZoom() {
    CRect r = zoomRect;
    zoomRect.SetRectEmpty();
    if (r.Width() < 15 || r.Height() < 15)
        return;
    auto zoom = [](CPlotAxis& a, int from, int to) {
        if (!a.CanMap())
            return;
        const double lo = a.ValueAtPixel(from), hi = a.ValueAtPixel(to);
        if (lo == hi || !std::isfinite(lo) || !std::isfinite(hi) || !(hi > lo))
            return;
        a.zoomHistory.push_back({a.viewMin, a.viewMax});
        a.viewMin = lo;
        a.viewMax = hi;
        a.EstimateTickStep();
    };
    for (CPlotAxis& a : yAxes)
        zoom(a, std::min(r.bottom, plotRect.bottom), std::max(r.top, plotRect.top));
    for (CPlotAxis& a : xAxes)
        zoom(a, std::max(r.left, plotRect.left), std::min(r.right, plotRect.right));
    Notify(PLN_ZOOM_CHANGED);
}

void CPlot::Pan(CPoint point) {
    if (!plotRect.PtInRect(point))
        return;
    if (previousPanPoint == CPoint(0, 0)) { // no jump on the first move
        previousPanPoint = point;
        return;
    }
    for (CPlotAxis& a : yAxes)
        if (a.CanMap()) {
            const double d = a.ValueAtPixel(point.y) - a.ValueAtPixel(previousPanPoint.y);
            MoveView(a, a.viewMin - d, a.viewMax - d);
        }
    for (CPlotAxis& a : xAxes)
        if (a.CanMap()) {
            const double d = a.ValueAtPixel(point.x) - a.ValueAtPixel(previousPanPoint.x);
            MoveView(a, a.viewMin - d, a.viewMax - d);
        }
    previousPanPoint = point;
    Invalidate();
}

void CPlot::ShiftAxes(std::vector<CPlotAxis>& axes, double minFraction, double maxFraction) {
    for (CPlotAxis& a : axes) {
        if (!a.CanMap())
            continue;
        const double span = a.viewSpan;
        MoveView(a, a.viewMin + minFraction * span, a.viewMax + maxFraction * span);
    }
}

void CPlot::OnLButtonDown(UINT, CPoint point) {
    SetFocus();
    SetCapture();
    if (operationMode == ModeMeasure)
        measuring = Measurement{-1, -1, -1, -1}; // each drag starts its own measurement
    mouseDownPoint = operationMode == ModeMeasure ? SnapMeasurePoint(point, true) : point;
    leftButtonDown = true;
    selectedObject = nullptr;
    for (CPlotObject* object : std::list<CPlotObject*>(objects)) {
        if (object->rectangle.PtInRect(point))
            selectedObject = object;
        if (object->tracking && object->tracker.HitTest(point) != CRectTracker::hitNothing) {
            ReleaseCapture();
            const bool moved = object->tracker.Track(this, point);
            leftButtonDown = false; // the drag loop took the button's release
            if (moved && object->movable && object->sizable) {
                CRect r = object->tracker.m_rect;
                r.NormalizeRect();
                object->rectangle = r;
                Invalidate(FALSE);
            }
        }
    }
    if (operationMode == ModeFreehand && !seriesList.empty())
        freehandPrevious = point;
}

void CPlot::OnMouseMove(UINT flags, CPoint point) {
    leftButtonDown = (flags & MK_LBUTTON) != 0;
    if (operationMode == ModeMeasure && leftButtonDown)
        point = SnapMeasurePoint(point, false);
    mousePoint = point;
    if (operationMode == ModeCursor) {
        std::unique_ptr<CDC> window = GetDC();
        CGraphDC dc;
        dc.Attach(*window);
        DrawCursor(dc);
        dc.Detach();
        ReleaseDC(window.get());
        Notify(PLN_CURSOR_MOVED);
    }
    const bool editing = operationMode == ModeEdit || operationMode == ModeEditPlus;
    hoverResult = HitTest(false, editing);
    if ((operationMode == ModePan && leftButtonDown) ||
        (operationMode == ModeCursor && rightButtonDown))
        Pan(point);
    if (!leftButtonDown)
        return;
    if (operationMode == ModeZoom) {
        CRect band(mouseDownPoint, point);
        band.NormalizeRect();
        CRect clipped;
        clipped.IntersectRect(band, plotRect);
        if (doubleBuffering) {
            zoomRect = clipped;
            Invalidate(FALSE);
        } else {
            std::unique_ptr<CDC> window = GetDC();
            if (!lastFocusRect.IsRectEmpty())
                window->DrawFocusRect(lastFocusRect);
            window->DrawFocusRect(clipped);
            ReleaseDC(window.get());
            lastFocusRect = zoomRect = clipped;
        }
    } else if (operationMode == ModeMeasure) {
        if (doubleBuffering) {
            Invalidate(FALSE);
        } else { // drawn at once; earlier bands stay until the next full repaint
            std::unique_ptr<CDC> window = GetDC();
            CGraphDC dc;
            dc.Attach(*window);
            DrawMeasurement(dc, std::max(mouseDownPoint.x, plotRect.left),
                            std::max(mouseDownPoint.y, plotRect.top),
                            std::min(point.x, plotRect.right), std::min(point.y, plotRect.bottom));
            dc.Detach();
            ReleaseDC(window.get());
        }
    } else if (operationMode == ModeFreehand && !seriesList.empty()) {
        freehandCurrent = point;
        FreehandSegment(freehandPrevious, freehandCurrent);
        Invalidate(TRUE);
        freehandPrevious = freehandCurrent;
    }
}

void CPlot::OnLButtonUp(UINT, CPoint point) {
    if (!leftButtonDown)
        return;
    ReleaseCapture();
    previousPanPoint = CPoint(0, 0);
    mouseUpPoint = point;
    leftButtonDown = false;
    lastFocusRect.SetRectEmpty();
    switch (operationMode) {
    case ModeMeasure:
        mouseUpPoint = SnapMeasurePoint(point, false);
        AddMeasurement();
        break;
    case ModeCursor:
    case ModeNone:
    case ModeEdit:
    case ModeEditPlus:
        HitTest(false, true);
        break;
    case ModeZoom:
        ApplyZoom();
        break;
    default:
        break;
    }
    if (editEnded && (operationMode == ModeEdit || operationMode == ModeEditPlus ||
                      operationMode == ModeFreehand))
        editEnded();
    Invalidate(TRUE);
}

void CPlot::OnRButtonDown(UINT, CPoint) {
    rightButtonDown = true;
}

void CPlot::OnRButtonUp(UINT, CPoint point) {
    HitTest(false, true); // with the right button still down: markers under it go
    rightButtonDown = false;
    previousPanPoint = CPoint(0, 0);
    if (operationMode == ModeCursor) {
        previousCursorPoint = CPoint(-1, -1);
        Invalidate();
    }
    if (selectedObject && selectedObject->rectangle.PtInRect(point))
        selectedObject->OnRightClick();
    else
        Notify(PLN_RBUTTON_UP);
}

void CPlot::OnLButtonDblClk(UINT, CPoint point) {
    if (operationMode == ModeNone) {
        tracker = nullptr;
        HitTest(true, true);
    } else if (operationMode == ModeEdit || operationMode == ModeEditPlus) {
        ToggleEditMarker(point);
    }
}

BOOL CPlot::OnMouseWheel(UINT flags, short delta, CPoint) {
    const double sign = delta < 0 ? -0.1 : 0.1; // one step a message, whatever the delta
    for (CPlotAxis& a : (flags & MK_SHIFT) ? yAxes : xAxes) {
        a.autoScale = false;
        if (!a.CanMap())
            continue;
        const double span = a.viewMax - a.viewMin;
        MoveView(a, a.viewMin + sign * span, a.viewMax + sign * span);
    }
    Invalidate();
    return TRUE;
}

void CPlot::OnKeyUp(UINT key, UINT, UINT) {
    const bool cursor = operationMode == ModeCursor;
    switch (key) {
    case VK_HOME:
        for (auto* list : {&xAxes, &yAxes})
            for (CPlotAxis& a : *list)
                a.ResetRange();
        break;
    case VK_ADD:
        ShiftAxes(xAxes, 0.1, -0.1);
        ShiftAxes(yAxes, 0.1, -0.1);
        break;
    case VK_SUBTRACT:
        ShiftAxes(xAxes, -0.1, 0.1);
        ShiftAxes(yAxes, -0.1, 0.1);
        break;
    case VK_LEFT:
        if (cursor)
            mousePoint.x -= 1;
        else
            ShiftAxes(xAxes, 0.1, 0.1);
        break;
    case VK_RIGHT:
        if (cursor)
            mousePoint.x += 1;
        else
            ShiftAxes(xAxes, -0.1, -0.1);
        break;
    case VK_UP:
        if (cursor)
            mousePoint.y -= 1;
        else
            ShiftAxes(yAxes, -0.1, -0.1);
        break;
    case VK_DOWN:
        if (cursor)
            mousePoint.y += 1;
        else
            ShiftAxes(yAxes, 0.1, 0.1);
        break;
    default:
        if (otherKey)
            otherKey(key);
        return;
    }
    Invalidate(TRUE);
}

BOOL CPlot::PreTranslateMessage(MSG* msg) {
    if ((msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) && msg->wParam == VK_DELETE &&
        selectedObject && selectedObject->tracking && selectedObject != objects.front()) {
        DeleteObject(selectedObject);
        selectedObject = nullptr;
        tracker = nullptr;
        Invalidate();
        return TRUE;
    }
    return FALSE;
}

BOOL CPlot::OnSetCursor(CWnd*, UINT, UINT) {
    if (tracker && tracker->SetCursor(this))
        return TRUE;
    int cursor = 0;
    switch (operationMode) {
    case ModeZoom:
    case ModeCursor:
        cursor = IDC_CROSS;
        break;
    case ModePan:
        cursor = IDC_SIZEALL;
        break;
    case ModeNone:
        cursor = hoverResult ? IDC_HAND : 0;
        break;
    case ModeEdit:
    case ModeEditPlus:
        cursor = seriesUnderMouse != -1 ? IDC_SIZENS : 0;
        break;
    default:
        break;
    }
    if (!cursor)
        return FALSE;
    SetCursor(cursor);
    return TRUE;
}

bool CPlot::HitAxes(bool notify, bool act, std::vector<CPlotAxis>& axes, bool vertical) {
    bool hit = false;
    int& dragged = vertical ? draggedYMarker : draggedXMarker;
    bool posted = false;
    for (std::size_t k = 0; k < axes.size(); ++k) {
        CPlotAxis& a = axes[k];
        if (operationMode == ModeNone && a.CanMap()) {
            for (std::size_t j = 0; j < a.valueMarkers.size(); ++j) {
                const CPoint at =
                    a.PixelOfValue({a.valueMarkers[j].value, a.valueMarkers[j].value});
                const CRect band =
                    vertical
                        ? CRect(plotRect.left, SatSum(at.y, -10), plotRect.right, SatSum(at.y, 10))
                        : CRect(SatSum(at.x, -10), plotRect.top, SatSum(at.x, 10), plotRect.bottom);
                const bool inBand = band.PtInRect(mousePoint);
                if (!act && !leftButtonDown && dragged == -1 && inBand)
                    hit = true;
                if (rightButtonDown && inBand) {
                    a.RemoveValueMarker(int(j));
                    Invalidate();
                    break;
                }
                if (leftButtonDown && dragged == -1 && inBand)
                    dragged = int(j);
            }
            if (leftButtonDown && dragged >= 0 && std::size_t(dragged) < a.valueMarkers.size()) {
                a.valueMarkers[std::size_t(dragged)].value =
                    a.ValueAtPixel(vertical ? mousePoint.y : mousePoint.x);
                Invalidate();
            } else if (!leftButtonDown) {
                dragged = -1;
            }
        }
        const bool inside = a.rectangle.PtInRect(mousePoint);
        if (act) {
            if (operationMode == ModeNone && a.selected && !inside && a.CanMap())
                a.SetValueMarker(int(a.valueMarkers.size()),
                                 a.ValueAtPixel(vertical ? mousePoint.y : mousePoint.x), 0, 0);
            a.selected = inside;
            if (inside && (vertical || !posted)) {
                Notify(vertical ? (notify ? PLN_YAXIS_DBLCLICK : PLN_YAXIS_CLICK)
                                : (notify ? PLN_XAXIS_DBLCLICK : PLN_XAXIS_CLICK),
                       WPARAM(k));
                posted = true;
            }
        }
        if (inside)
            hit = true;
    }
    return hit;
}

bool CPlot::HitTest(bool notify, bool act) {
    if (!interactionEnabled)
        return false;
    bool hit = HitAxes(notify, act, yAxes, true);
    hit = HitAxes(notify, act, xAxes, false) || hit;

    bool objectTook = false;
    for (CPlotObject* object : std::list<CPlotObject*>(objects)) { // a copy: Edit may change it
        const bool under = object->visible && object->rectangle.PtInRect(mousePoint);
        if (act) {
            object->selected = under;
            if (under) {
                objectTook = true;
                if (notify)
                    object->Edit();
                if (!object->editing && !tracker) {
                    object->BeginSize();
                    tracker = &object->tracker;
                }
            } else {
                if (object->editing)
                    object->EndEdit();
                if (object->tracking) {
                    tracker = nullptr;
                    object->EndSize();
                }
            }
        } else if (under) {
            hit = objectTook = true;
        }
    }

    if (act)
        seriesUnderMouse = -1;
    if (!leftButtonDown)
        grabbedSeries = grabbedPoint = -1;

    if (!objectTook) {
        bool curvePosted = false;
        for (int i = 0; i < SeriesCount(); ++i) {
            CPlotDataSeries& s = seriesList[std::size_t(i)];
            if (!s.visible || (hitEditableOnly && !s.editable))
                continue;
            if (act)
                s.selected = false;
            for (const ScreenSegment& seg : s.drawnSegments) {
                CRect box(seg.x1, seg.y1, seg.x2, seg.y2);
                box.NormalizeRect();
                box.InflateRect(2, 2);
                if (!box.PtInRect(mousePoint) || !CPlotDataSeries::HitSegment(seg, mousePoint))
                    continue;
                if (!act)
                    return true;
                if (!curvePosted) {
                    Notify(notify ? PLN_CURVE_DBLCLICK : PLN_CURVE_CLICK, WPARAM(i));
                    curvePosted = true;
                }
                seriesUnderMouse = i;
                hit = true;
                if (grabbedSeries == -1 && s.xAxisIndex >= 0 && s.xAxisIndex < XAxisCount()) {
                    CPlotAxis& x = xAxes[std::size_t(s.xAxisIndex)];
                    if (x.CanMap()) {
                        const double value =
                            x.ValueAtPixel(SatSum(mousePoint.x, -(s.markerSize / 2)));
                        if (std::optional<int> index = x.NearestPointIndex(value, i)) {
                            grabbedSeries = i;
                            grabbedPoint = *index;
                        }
                    }
                }
                s.selected = true;
                break;
            }
        }
    }

    if (act) // hides the edited value, and edits while the button is down
        EditGrabbedPoint();

    if (!hit && !objectTook) {
        for (const LegendEntry& e : legendEntries) {
            if (!HasSeries(e.series)) // an entry of a series that is gone
                continue;
            const bool inside = e.rect.PtInRect(mousePoint);
            if (!act && inside)
                return true;
            if (act) {
                seriesList[std::size_t(e.series)].selected = inside;
                if (inside)
                    break;
            }
        }
    }
    return act ? false : hit;
}
