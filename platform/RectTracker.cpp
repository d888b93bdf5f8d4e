#include "platform/RectTracker.h"

#include <cstdlib>

#include "platform/Wnd.h"

namespace {

struct HandleInfo {
    int offsetX, offsetY; // which edge: 0 left/top, 1 right/bottom
    int centerX, centerY; // centred along that side
    int handleX, handleY; // moved back inside by one handle
};
const HandleInfo handleInfo[8] = {
    {0, 0, 0, 0, 0, 0},   // top left
    {1, 0, 0, 0, -1, 0},  // top right
    {1, 1, 0, 0, -1, -1}, // bottom right
    {0, 1, 0, 0, 0, -1},  // bottom left
    {0, 0, 1, 0, 0, 0},   // top
    {1, 0, 0, 1, -1, 0},  // right
    {0, 1, 1, 0, 0, -1},  // bottom
    {0, 0, 0, 1, 0, 0},   // left
};

// Inverts every other pixel of a band around `inner`: drawing it twice restores the picture.
void InvertFrame(CDC& dc, const CRect& inner, int size) {
    CRect outer = inner;
    outer.InflateRect(size, size);
    const CRect bands[4] = {
        {outer.left, outer.top, outer.right, inner.top},
        {outer.left, inner.bottom, outer.right, outer.bottom},
        {outer.left, inner.top, inner.left, inner.bottom},
        {inner.right, inner.top, outer.right, inner.bottom},
    };
    for (const CRect& b : bands)
        for (LONG y = b.top; y < b.bottom; ++y)
            dc.DrawFocusRect(CRect(b.left, y, b.right, y + 1));
}

} // namespace

UINT CRectTracker::HandleMask() const {
    UINT mask = 0x0F; // the corners always
    const int size = m_nHandleSize * 3;
    if (std::abs(m_rect.Width()) - size > 4)
        mask |= 0x50;
    if (std::abs(m_rect.Height()) - size > 4)
        mask |= 0xA0;
    return mask;
}

void CRectTracker::GetTrueRect(CRect* trueRect) const {
    CRect r = m_rect;
    r.NormalizeRect();
    int by = 0;
    if (m_nStyle & (resizeOutside | hatchedBorder))
        by += m_nHandleSize - 1;
    if (m_nStyle & (solidLine | dottedLine))
        ++by;
    r.InflateRect(by, by);
    *trueRect = r;
}

void CRectTracker::GetHandleRect(int handle, CRect* out) const {
    CRect r = m_rect;
    r.NormalizeRect();
    if (m_nStyle & (solidLine | dottedLine))
        r.InflateRect(1, 1);
    handle = NormalizeHit(handle);
    const int size = m_nHandleSize;
    if (m_nStyle & resizeOutside)
        r.InflateRect(size - 1, size - 1);
    const HandleInfo& h = handleInfo[handle];
    LONG left = h.offsetX ? r.right : r.left;
    LONG top = h.offsetY ? r.bottom : r.top;
    left += size * h.handleX + h.centerX * (r.Width() - size) / 2;
    top += size * h.handleY + h.centerY * (r.Height() - size) / 2;
    *out = CRect(left, top, left + size, top + size);
}

int CRectTracker::NormalizeHit(int handle) const {
    if (handle == hitMiddle || handle == hitNothing)
        return handle;
    if (m_rect.Width() < 0) { // mirrored left to right
        static const int flipX[8] = {1, 0, 3, 2, 4, 7, 6, 5};
        handle = flipX[handle];
    }
    if (m_rect.Height() < 0) {
        static const int flipY[8] = {3, 2, 1, 0, 6, 5, 4, 7};
        handle = flipY[handle];
    }
    return handle;
}

int CRectTracker::HitTestHandles(CPoint point) const {
    CRect r;
    GetTrueRect(&r);
    if (!r.PtInRect(point))
        return hitNothing;
    const UINT mask = HandleMask();
    for (int i = 0; i < 8; ++i) {
        if (!(mask & (1u << i)))
            continue;
        GetHandleRect(i, &r);
        if (r.PtInRect(point))
            return i;
    }
    if (!(m_nStyle & hatchedBorder)) {
        CRect inner = m_rect;
        inner.NormalizeRect();
        if (m_nStyle & (solidLine | dottedLine))
            inner.InflateRect(1, 1);
        if (!inner.PtInRect(point))
            return hitNothing; // between the handles
    }
    return hitMiddle;
}

int CRectTracker::HitTest(CPoint point) const {
    int hit = HitTestHandles(point);
    return hit < 0 ? hitNothing : NormalizeHit(hit);
}

int CRectTracker::CursorFor(CPoint point) const {
    const int hit = HitTest(point);
    switch (hit) {
    case hitTopLeft:
    case hitBottomRight:
        return IDC_SIZENWSE;
    case hitTopRight:
    case hitBottomLeft:
        return IDC_SIZENESW;
    case hitTop:
    case hitBottom:
        return IDC_SIZENS;
    case hitLeft:
    case hitRight:
        return IDC_SIZEWE;
    case hitMiddle:
        return IDC_SIZEALL;
    default:
        return 0;
    }
}

bool CRectTracker::SetCursor(CWnd* wnd) const {
    if (!wnd)
        return false;
    const int cursor = CursorFor(wnd->GetCursorPosition());
    if (!cursor)
        return false;
    wnd->SetCursor(cursor);
    return true;
}

void CRectTracker::Draw(CDC* dc) const {
    dc->SaveDC();
    CRect r = m_rect;
    r.NormalizeRect();
    if (m_nStyle & (solidLine | dottedLine)) {
        dc->SelectObject(CPen(m_nStyle & dottedLine ? PS_DOT : PS_SOLID, 1, RGB(0, 0, 0)));
        CBrush hollow;
        hollow.CreateHollowBrush();
        dc->SelectObject(hollow);
        dc->SetROP2(R2_COPYPEN);
        CRect outline = r;
        outline.InflateRect(1, 1);
        dc->Rectangle(outline);
    }
    if (m_nStyle & hatchedBorder) {
        // Black diagonal lines on white, as the framework's tracker border shows.
        static const BYTE bits[8] = {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88};
        CBrush hatch;
        hatch.CreatePatternBrush(bits, RGB(0, 0, 0));
        dc->SetBkMode(OPAQUE);
        dc->SetBkColor(RGB(255, 255, 255));
        CRect t;
        GetTrueRect(&t);
        dc->FillRect(CRect(t.left, t.top, t.right, r.top), hatch);
        dc->FillRect(CRect(t.left, r.bottom, t.right, t.bottom), hatch);
        dc->FillRect(CRect(t.left, r.top, r.left, r.bottom), hatch);
        dc->FillRect(CRect(r.right, r.top, t.right, r.bottom), hatch);
    }
    if (m_nStyle & (resizeInside | resizeOutside)) {
        const UINT mask = HandleMask();
        for (int i = 0; i < 8; ++i) {
            if (!(mask & (1u << i)))
                continue;
            CRect h;
            GetHandleRect(i, &h);
            dc->FillSolidRect(h, RGB(0, 0, 0));
        }
    }
    dc->RestoreDC(-1);
}

LONG* CRectTracker::ModifyX(int handle) {
    switch (handle) {
    case hitMiddle:
    case hitTopLeft:
    case hitBottomLeft:
    case hitLeft:
        return &m_rect.left;
    case hitTopRight:
    case hitBottomRight:
    case hitRight:
        return &m_rect.right;
    default:
        return nullptr;
    }
}

LONG* CRectTracker::ModifyY(int handle) {
    switch (handle) {
    case hitMiddle:
    case hitTopLeft:
    case hitTopRight:
    case hitTop:
        return &m_rect.top;
    case hitBottomRight:
    case hitBottomLeft:
    case hitBottom:
        return &m_rect.bottom;
    default:
        return nullptr;
    }
}

bool CRectTracker::BeginTrack(int handle, CPoint point) {
    if (handle < hitTopLeft || handle > hitMiddle)
        return false;
    trackHandle = handle;
    rectSave = m_rect;
    width = m_rect.Width();
    height = m_rect.Height();
    LONG* px = ModifyX(handle);
    LONG* py = ModifyY(handle);
    diff = CPoint(SatSum(point.x, -std::int64_t(px ? *px : 0)),
                  SatSum(point.y, -std::int64_t(py ? *py : 0)));
    return true;
}

// Keeps the extent between `low` and `high` at `minimum`, moving the edge being dragged, and
// without turning it inside out unless allowed.
static void KeepMinimum(LONG* moving, LONG& low, LONG& high, LONG minimum, bool allowInvert) {
    if (!moving)
        return;
    const LONG extent = high - low;
    const LONG absolute = allowInvert ? std::abs(extent) : extent;
    if (absolute >= minimum)
        return;
    const LONG sign = absolute != 0 ? extent / absolute : 1;
    if (moving == &low)
        low = high - sign * minimum;
    else
        high = low + sign * minimum;
}

void CRectTracker::AdjustRect(int handle) {
    if (handle == hitMiddle)
        return;
    KeepMinimum(ModifyX(handle), m_rect.left, m_rect.right, m_sizeMin.cx, allowInvert);
    KeepMinimum(ModifyY(handle), m_rect.top, m_rect.bottom, m_sizeMin.cy, allowInvert);
}

void CRectTracker::TrackTo(CPoint point) {
    if (trackHandle == hitNothing)
        return;
    if (LONG* px = ModifyX(trackHandle))
        *px = SatSum(point.x, -std::int64_t(diff.x));
    if (LONG* py = ModifyY(trackHandle))
        *py = SatSum(point.y, -std::int64_t(diff.y));
    if (trackHandle == hitMiddle) {
        m_rect.right = m_rect.left + width;
        m_rect.bottom = m_rect.top + height;
    }
    AdjustRect(trackHandle);
}

bool CRectTracker::EndTrack(bool cancelled) {
    if (trackHandle == hitNothing)
        return false;
    trackHandle = hitNothing;
    if (cancelled)
        m_rect = rectSave;
    return !(m_rect == rectSave);
}

bool CRectTracker::Track(CWnd* wnd, CPoint point, bool invert) {
    const int handle = HitTestHandles(point);
    if (!wnd || handle < 0 || CWnd::GetCapture())
        return false;
    allowInvert = invert;
    BeginTrack(handle, point);
    wnd->SetCapture();
    wnd->UpdateWindow();
    const int frame = std::max(1, m_nHandleSize - 1);
    bool shown = false, moved = false, cancelled = false;
    CRect last;
    auto showFrame = [&](const CRect* next) {
        std::unique_ptr<CDC> dc = wnd->GetDC();
        if (shown)
            InvertFrame(*dc, last, frame);
        shown = next != nullptr;
        if (next) {
            last = *next;
            last.NormalizeRect();
            InvertFrame(*dc, last, frame);
        }
        wnd->ReleaseDC(dc.get());
    };
    const bool alive = wnd->RunModalLoop([&](const MSG& msg) {
        if (CWnd::GetCapture() != wnd) {
            cancelled = !moved;
            return false;
        }
        switch (msg.message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP: {
            const CRect old = m_rect;
            TrackTo(CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)));
            if (msg.message == WM_LBUTTONUP)
                return false;
            if (!(old == m_rect)) {
                moved = true;
                showFrame(&m_rect);
            }
            return true;
        }
        case WM_KEYDOWN:
            if (msg.wParam != VK_ESCAPE)
                return true;
            [[fallthrough]];
        case WM_RBUTTONDOWN:
            cancelled = true;
            return false;
        default:
            return true;
        }
    });
    if (alive) {
        if (shown)
            showFrame(nullptr);
        CWnd::ReleaseCapture();
    }
    if (!moved)
        cancelled = true;
    return EndTrack(cancelled || !alive);
}
