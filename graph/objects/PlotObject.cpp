#include "graph/objects/PlotObject.h"

#include "graph/ArchiveClasses.h"

IMPLEMENT_SERIAL(CPlotObject, CObject, 1)

namespace {
// Every chart class derives from this one, so wherever one is linked the archive finds them
// all by name, whoever constructs what.
const bool chartClassesKnown = (CRuntimeClass::AddSource(&RegisterArchiveClasses), true);
} // namespace

void CPlotObject::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        for (bool flag : {selected, movable, sizable, tracking, editing, visible, editable})
            ar.WriteFlag(flag);
        ar << rectangle.left << rectangle.top << rectangle.right << rectangle.bottom;
        ar << std::uint32_t(colour);
        return;
    }
    for (bool* flag : {&selected, &movable, &sizable, &tracking, &editing, &visible, &editable})
        *flag = ar.ReadFlag();
    CRect r;
    std::uint32_t c;
    ar >> r.left >> r.top >> r.right >> r.bottom >> c;
    rectangle = r;
    colour = c;
}

void CPlotObject::Draw(CGraphDC*) {}
void CPlotObject::Edit() {}
void CPlotObject::EndEdit() {}

void CPlotObject::BeginSize() {
    tracking = true;
    tracker.m_nStyle = TrackerStyle;
    tracker.m_rect = rectangle;
}

void CPlotObject::EndSize() {
    tracking = false;
}

void CPlotObject::OnRightClick() {}
