#include <functional>
#include <memory>
#include <vector>

#include "draw/BitmapEx.h"
#include "graph/ArchiveClasses.h"
#include "graph/axes/PlotLogAxis.h"
#include "graph/objects/PlotBitmap.h"
#include "graph/objects/PlotDataNotation.h"
#include "graph/objects/PlotDataSeries.h"
#include "graph/objects/PlotLabel.h"
#include "tests/fuzz/FuzzTargets.h"

namespace {

// Loads `object` from the bytes; what loaded is stored again.
void LoadAndStore(CObject& object, const std::uint8_t* data, std::size_t size) {
    CMemFile in(std::vector<std::uint8_t>(data, data + size));
    CArchive load(&in, CArchive::load);
    try {
        object.Serialize(load);
    } catch (const CArchiveException&) {
        return;
    }
    CMemFile out;
    CArchive store(&out, CArchive::store);
    object.Serialize(store);
}

} // namespace

void FuzzArchive(const std::uint8_t* data, std::size_t size) {
    RegisterArchiveClasses();
    const std::vector<std::function<std::unique_ptr<CObject>()>> makers = {
        [] { return std::make_unique<CPlotObject>(); },
        [] { return std::make_unique<CPlotAxis>(); },
        [] { return std::make_unique<CPlotLogAxis>(); },
        [] { return std::make_unique<CPlotDataSeries>(); },
        [] { return std::make_unique<CPlotLabel>(); },
        [] { return std::make_unique<CPlotDataNotation>(); },
        [] { return std::make_unique<CPlotBitmap>(); },
        [] { return std::make_unique<CBitmapEx>(); },
    };
    for (const auto& make : makers) {
        std::unique_ptr<CObject> object = make();
        LoadAndStore(*object, data, size);
    }
    // Tagged objects, one after the other, as an archive of several holds them.
    CMemFile in(std::vector<std::uint8_t>(data, data + size));
    CArchive load(&in, CArchive::load);
    try {
        for (int k = 0; k < 64 && load.Remaining() > 0; ++k)
            load.ReadObject();
    } catch (const CArchiveException&) {
    }
}
