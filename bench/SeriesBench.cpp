// Drawing one 10-million-sample series into a 1920 x 1080 memory context, zoomed out to all of
// it and zoomed in to 100 samples, with the column-skipping drawing and with the plain loop.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <memory>
#include <vector>

#include "graph/Plot.h"

namespace {

constexpr int Samples = 10'000'000;

struct Scene {
    CPlot plot;
    std::vector<DataPoint> data;
    CGraphDC dc;
    CBitmap bitmap;

    Scene() {
        data.resize(Samples);
        for (int i = 0; i < Samples; ++i)
            data[std::size_t(i)] = {double(i), 1000 * std::sin(i * 1e-4) + (i % 7) * 30.0};
        plot.SetSeriesData(data.data(), Samples, 0, 0, 0, false);
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(&dc, 1920, 1080);
        dc.SelectObject(bitmap);
        plot.plotRect = CRect(60, 5, 1915, 1050);
        dc.IntersectClipRect(plot.plotRect);
        for (CPlotAxis* a : {&plot.XAxisAt(0), &plot.YAxisAt(0)})
            a->autoScale = false;
        plot.XAxisAt(0).pixelLength = plot.plotRect.Width();
        plot.YAxisAt(0).pixelLength = plot.plotRect.Height();
    }
    void View(double from, double to) {
        plot.XAxisAt(0).viewMin = from;
        plot.XAxisAt(0).viewMax = to;
    }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void Run(benchmark::State& state, bool fast, bool zoomedIn) {
    Scene& s = TheScene();
    if (zoomedIn)
        s.View(5'000'000, 5'000'100);
    else
        s.View(0, Samples - 1);
    CPlotDataSeries& series = s.plot.SeriesAt(0);
    for (auto _ : state) {
        if (fast)
            series.Draw(&s.dc);
        else
            series.DrawEveryPoint(&s.dc);
        benchmark::DoNotOptimize(series.drawnSegments.data());
    }
    state.counters["segments"] = double(series.drawnSegments.size());
}

void DrawZoomedOut(benchmark::State& state) {
    Run(state, true, false);
}
void DrawZoomedIn(benchmark::State& state) {
    Run(state, true, true);
}
void PlainLoopZoomedOut(benchmark::State& state) {
    Run(state, false, false);
}
void PlainLoopZoomedIn(benchmark::State& state) {
    Run(state, false, true);
}

// The whole control repainted, as every mouse move in the editing modes costs it.
struct Window {
    CPlot plot;
    std::vector<DataPoint>& data = TheScene().data;
    Window() {
        plot.CWnd::Create("TarvelinPlot", "", CRect(0, 0, 1920, 1080), nullptr, 1001);
        plot.SetSeriesData(data.data(), Samples, 0, 0, 0, false);
        plot.legendVisible = false;
        plot.XAxisAt(0).showGrid = true;
        plot.YAxisAt(0).title = "Y";
        Paint();
    }
    void Paint() {
        plot.Invalidate();
        plot.UpdateWindow();
    }
};

void PaintRun(benchmark::State& state, bool zoomedIn) {
    static Window w;
    w.plot.XAxisAt(0).SetViewRange(zoomedIn ? 5'000'000 : 0, zoomedIn ? 5'000'100 : Samples - 1, 0);
    w.plot.XAxisAt(0).autoScale = true;
    for (auto _ : state)
        w.Paint();
}

void PaintZoomedOut(benchmark::State& state) {
    PaintRun(state, false);
}
void PaintZoomedIn(benchmark::State& state) {
    PaintRun(state, true);
}

// A point dragged in Edit, zoomed in to 100 samples: each mouse move changes the sample and
// repaints once.
void EditDrag(benchmark::State& state) {
    static Window w;
    CPlot& plot = w.plot;
    plot.XAxisAt(0).SetViewRange(5'000'000, 5'000'100, 0);
    plot.XAxisAt(0).autoScale = plot.YAxisAt(0).autoScale = true;
    w.Paint();
    plot.SetOperationMode(ModeEdit);
    w.Paint();
    const DataPoint& p = w.data[5'000'050];
    const CPoint at(plot.XAxisAt(0).PixelOfValue(p).x, plot.YAxisAt(0).PixelOfValue(p).y);
    plot.WindowProc(WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    plot.WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    const int grabbed = plot.GrabbedPoint();
    const double before = grabbed >= 0 ? w.data[std::size_t(grabbed)].y : 0;
    int k = 0;
    for (auto _ : state) {
        const int y = at.y + (++k % 2 ? -40 : 40);
        plot.WindowProc(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, y));
        plot.UpdateWindow();
    }
    if (grabbed < 0 || w.data[std::size_t(grabbed)].y == before)
        state.SkipWithError("the drag moved nothing");
    plot.WindowProc(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

BENCHMARK(EditDrag)->Unit(benchmark::kMillisecond);
BENCHMARK(PaintZoomedOut)->Unit(benchmark::kMillisecond);
BENCHMARK(PaintZoomedIn)->Unit(benchmark::kMillisecond);
BENCHMARK(DrawZoomedOut)->Unit(benchmark::kMillisecond);
BENCHMARK(DrawZoomedIn)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainLoopZoomedOut)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PlainLoopZoomedIn)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
