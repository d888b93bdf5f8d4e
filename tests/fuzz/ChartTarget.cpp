#include <algorithm>
#include <cmath>
#include <vector>

#include "draw/GraphDC.h"
#include "graph/ArchiveClasses.h"
#include "graph/Plot.h"
#include "tests/fuzz/FuzzTargets.h"

namespace {

void Paint(CPlot& plot) {
    plot.Invalidate();
    plot.UpdateWindow();
}

// Every axis narrowed to a tenth of its view around the same relative place.
void ZoomIn(CPlot& plot, double fx, double fy) {
    for (int k = 0; k < plot.XAxisCount(); ++k) {
        CPlotAxis& a = plot.XAxisAt(k);
        const double c = a.viewMin + (a.viewMax - a.viewMin) * fx, h = (a.viewMax - a.viewMin) / 20;
        a.autoScale = false;
        a.SetViewRange(c - h, c + h, 0);
    }
    for (int k = 0; k < plot.YAxisCount(); ++k) {
        CPlotAxis& a = plot.YAxisAt(k);
        const double c = a.viewMin + (a.viewMax - a.viewMin) * fy, h = (a.viewMax - a.viewMin) / 20;
        a.autoScale = false;
        a.SetViewRange(c - h, c + h, 0);
    }
}

} // namespace

// Eight bytes choose the window, zooms, mode and legend; the rest is an archive: a series
// record, an X and a Y axis record, then tagged objects.
void FuzzChart(const std::uint8_t* data, std::size_t size) {
    if (size < 8)
        return;
    const int width = 40 + data[0] * 3, height = 40 + data[1] * 2;
    const int zooms = data[2] % 12;
    const double fx = data[3] / 255.0, fy = data[4] / 255.0;
    static const GraphMode modes[] = {ModeNone, ModeZoom,    ModePan,      ModeCursor,
                                      ModeEdit, ModeMeasure, ModeEditPlus, ModeFreehand};
    const GraphMode mode = modes[data[5] % 8];
    const bool print = data[6] & 1;

    CPlot plot;
    plot.CWnd::Create(CPlot::WindowClass, "", CRect(0, 0, width, height), nullptr, 1001);
    plot.legendSide = (data[6] >> 1) & 1;
    plot.legendVisible = (data[6] >> 2) & 1;
    CMemFile in(std::vector<std::uint8_t>(data + 8, data + size));
    CArchive ar(&in, CArchive::load);
    try {
        CPlotDataSeries loaded;
        loaded.Serialize(ar);
        if (loaded.points && loaded.pointCount > 0) {
            plot.SetSeriesData(loaded.points, loaded.pointCount, 0, 0, 0, true);
            CPlotDataSeries& s = plot.SeriesAt(0);
            s = loaded; // its look, as loaded
            s.graph = &plot;
            s.owner = &plot;
            plot.XAxisAt(0).Serialize(ar);
            plot.YAxisAt(0).Serialize(ar);
        }
        while (ar.Remaining() > 0)
            if (std::shared_ptr<CPlotObject> object = ReadPlotObject(ar))
                plot.AddObject(object);
    } catch (const CArchiveException&) {
        // paint what loaded
    }
    plot.SetOperationMode(mode);
    Paint(plot);
    plot.MoveWindow(CRect(0, 0, height, width)); // and turned
    Paint(plot);
    for (int k = 0; k < zooms; ++k) {
        ZoomIn(plot, fx, fy);
        Paint(plot);
    }
    if (print) {
        CGraphDC paper;
        paper.CreateCompatibleDC(nullptr);
        DeviceCaps caps;
        caps.logPixelsX = caps.logPixelsY = 192;
        paper.SetDeviceCaps(caps);
        CBitmap page;
        page.CreateCompatibleBitmap(&paper, width, height);
        paper.SelectObject(page);
        paper.scaling = true;
        plot.PaintGraph(paper, CRect(0, 0, width / 2, height / 2));
    }
}
