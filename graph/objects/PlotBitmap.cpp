#include "graph/objects/PlotBitmap.h"

IMPLEMENT_SERIAL(CPlotBitmap, CPlotObject, 1)

CPlotBitmap::CPlotBitmap() {
    movable = sizable = true;
}

CPlotBitmap::~CPlotBitmap() {
    if (ownsImage)
        delete image;
}

void CPlotBitmap::Draw(CGraphDC* dc) {
    if (!visible || !dc)
        return;
    CRect r = rectangle;
    if (border) {
        CSelectGuard<CPen> pen(*dc, CPen(PS_SOLID, dc->scaling ? int(dc->horizontalScale) : 1, 0));
        dc->Rectangle(r);
        r.DeflateRect(1, 1);
    }
    if (dc->scaling)
        r = dc->ScaleRect(r);
    if (image && !image->IsNull()) {
        const CSize size = image->GetSize();
        CDC memory;
        memory.CreateCompatibleDC(dc);
        memory.SelectObject(*image);
        dc->StretchBlt(r.left, r.top, r.Width(), r.Height(), &memory, 0, 0, size.cx, size.cy,
                       SRCCOPY);
        memory.SelectObject(CBitmap());
    }
    if (tracking) {
        const CRect kept = tracker.m_rect;
        if (dc->scaling)
            tracker.m_rect = dc->ScaleRect(tracker.m_rect);
        DrawTracker(dc);
        tracker.m_rect = kept;
    }
}

void CPlotBitmap::Serialize(CArchive& ar) {
    CPlotObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteFlag(border);
        if (image) {
            image->Serialize(ar);
        } else {
            CBitmapEx empty; // a record of zeros rather than nothing at all
            empty.Serialize(ar);
        }
        return;
    }
    border = ar.ReadFlag();
    if (!image) {
        image = new CBitmapEx;
        ownsImage = true;
    }
    image->Serialize(ar);
}
