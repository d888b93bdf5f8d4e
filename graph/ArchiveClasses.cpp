#include "graph/ArchiveClasses.h"

#include "draw/BitmapEx.h"
#include "graph/axes/PlotLogAxis.h"
#include "graph/objects/PlotBitmap.h"
#include "graph/objects/PlotDataNotation.h"
#include "graph/objects/PlotDataSeries.h"
#include "graph/objects/PlotLabel.h"

void RegisterArchiveClasses() {
    // Naming each class here also keeps the linker from dropping the file that defines it.
    for (const CRuntimeClass* c :
         {RUNTIME_CLASS(CPlotObject), RUNTIME_CLASS(CPlotAxis), RUNTIME_CLASS(CPlotLogAxis),
          RUNTIME_CLASS(CPlotDataSeries), RUNTIME_CLASS(CPlotLabel),
          RUNTIME_CLASS(CPlotDataNotation), RUNTIME_CLASS(CPlotBitmap), RUNTIME_CLASS(CBitmapEx)})
        CRuntimeClass::Register(c);
}

std::shared_ptr<CPlotObject> ReadPlotObject(CArchive& ar) {
    RegisterArchiveClasses();
    return std::static_pointer_cast<CPlotObject>(ar.ReadObject(RUNTIME_CLASS(CPlotObject)));
}
