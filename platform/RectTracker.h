#pragma once
// A frame with eight resize handles and a move area, driven by the mouse.

#include "platform/DC.h"

class CWnd;

class CRectTracker {
public:
    enum StyleFlags {
        solidLine = 1,
        dottedLine = 2,
        hatchedBorder = 4,
        resizeInside = 8,
        resizeOutside = 16,
        hatchInside = 32,
    };
    enum TrackerHit {
        hitNothing = -1,
        hitTopLeft = 0,
        hitTopRight = 1,
        hitBottomRight = 2,
        hitBottomLeft = 3,
        hitTop = 4,
        hitRight = 5,
        hitBottom = 6,
        hitLeft = 7,
        hitMiddle = 8,
    };

    CRectTracker() = default;
    CRectTracker(const CRect& rect, UINT style) : m_rect(rect), m_nStyle(style) {}

    // The rectangle with the border and handles around it.
    void GetTrueRect(CRect* trueRect) const;
    void GetHandleRect(int handle, CRect* handleRect) const;
    // Which handle, the move area, or hitNothing.
    int HitTest(CPoint point) const;
    // The cursor shape for a point, or 0 when the point is not on the tracker.
    int CursorFor(CPoint point) const;
    // Sets the window's cursor when the mouse is over the tracker; false otherwise.
    bool SetCursor(CWnd* wnd) const;
    void Draw(CDC* dc) const;

    // Runs the drag loop from a button press at `point`: mouse moves resize or move the
    // rectangle, the button's release completes it, Esc or the right button cancel it.
    // True when the rectangle changed.
    bool Track(CWnd* wnd, CPoint point, bool allowInvert = false);

    // The drag loop's steps, also for callers that feed the mouse themselves.
    bool BeginTrack(int handle, CPoint point);
    void TrackTo(CPoint point);
    bool EndTrack(bool cancelled);

    CRect m_rect;
    UINT m_nStyle = 0;
    int m_nHandleSize = 4;
    CSize m_sizeMin{8, 8};

private:
    UINT HandleMask() const;
    int HitTestHandles(CPoint point) const;
    int NormalizeHit(int handle) const;
    void AdjustRect(int handle);
    LONG* ModifyX(int handle);
    LONG* ModifyY(int handle);

    bool allowInvert = false;
    int trackHandle = hitNothing;
    CRect rectSave;
    CPoint diff;
    LONG width = 0, height = 0;
};
