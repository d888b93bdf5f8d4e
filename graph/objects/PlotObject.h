#pragma once
// The base of everything a graph holds and paints: a rectangle, a colour, state and permission
// flags, a tracker frame for moving and resizing, and the first 48 bytes of every record.

#include "draw/GraphDC.h"
#include "platform/Archive.h"
#include "platform/RectTracker.h"

class CPlot;

class CPlotObject : public CObject {
    DECLARE_SERIAL(CPlotObject)
public:
    // The tracker style an object's frame takes: hatched border, handles outside.
    static constexpr UINT TrackerStyle = CRectTracker::hatchedBorder | CRectTracker::resizeOutside;

    CPlotObject() = default;
    ~CPlotObject() override = default;

    void Serialize(CArchive& ar) override;
    virtual void Draw(CGraphDC* dc);
    virtual void Edit();
    virtual void EndEdit();
    virtual void BeginSize();
    virtual void EndSize();
    virtual void OnRightClick();

    // Draws the tracker frame, as the derived classes do while tracking.
    void DrawTracker(CDC* dc) const { tracker.Draw(dc); }

    CRect rectangle;
    bool selected = false;
    bool editing = false;
    bool movable = false;
    bool sizable = false;
    bool tracking = false;
    bool visible = true;
    bool editable = true;
    COLORREF colour = RGB(0, 0, 0);
    CPlot* graph = nullptr; // not owned
    CRectTracker tracker;
};
