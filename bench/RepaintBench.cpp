// The chart's repaint side by side with QCustomPlot's, in one process on the same samples:
// 1920 x 1080, legend off. CPlot: Invalidate + UpdateWindow (the whole paint into the
// window's picture). QCustomPlot: replot + render into a picture, with and without
// antialiasing. Runs alternate; each figure is the median of 11. Two settings: both charts
// with both grids; and CPlot with only its X grid against QCustomPlot's default grids. Either
// way the Y range is the whole data's.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <qcustomplot.h>
#include <random>
#include <string>
#include <vector>

#include "graph/Plot.h"

namespace {

constexpr int Width = 1920, Height = 1080, Runs = 11;

double Milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::vector<DataPoint> Samples(int n, bool walk) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> step(-1, 1);
    std::vector<DataPoint> points(static_cast<std::size_t>(n));
    double y = 0;
    for (int i = 0; i < n; ++i) {
        y = walk ? y + step(rng) : step(rng);
        points[std::size_t(i)] = {double(i), y};
    }
    return points;
}

struct Row {
    const char* shape;
    int count;
    bool walk;
    bool zoomed;
    bool xGridOnly; // CPlot without its Y grid; QCustomPlot as it comes
};

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::vector<Row> rows;
    for (bool xGridOnly : {false, true})
        for (const Row& r : {Row{"random walk", 1'000'000, true, false, xGridOnly},
                             Row{"random walk", 1'000'000, true, true, xGridOnly},
                             Row{"random walk", 10'000'000, true, false, xGridOnly},
                             Row{"random walk", 10'000'000, true, true, xGridOnly},
                             Row{"uniform noise", 10'000'000, false, false, xGridOnly},
                             Row{"uniform noise", 10'000'000, false, true, xGridOnly}})
            rows.push_back(r);
    // "--profile N [REPEATS [after-other]]": row N's CPlot repaint only, over and over (3000
    // times), for a profiler or an allocation count; with "after-other", each follows a
    // QCustomPlot repaint, antialiased every other time, and the medians of both are told.
    const int profiled = argc > 2 && std::string(argv[1]) == "--profile" ? std::atoi(argv[2]) : -1;
    const int repeats = profiled >= 0 && argc > 3 ? std::max(1, std::atoi(argv[3])) : 3000;
    const bool afterOther = profiled >= 0 && argc > 4 && std::string(argv[4]) == "after-other";
    if (profiled < 0)
        std::printf("| samples, shape | view | grids | CPlot | QCustomPlot (antialiased) | ratio | "
                    "QCustomPlot (not antialiased) | ratio |\n|---|---|---|---|---|---|---|---|\n");
    for (const Row& row : rows) {
        if (profiled >= 0 && &row != &rows[std::size_t(profiled)])
            continue;
        std::vector<DataPoint> points = Samples(row.count, row.walk);
        const double from = row.zoomed ? row.count / 2 : 0;
        const double to = row.zoomed ? from + 100 : row.count - 1;

        CPlot plot;
        plot.CWnd::Create("TarvelinPlot", "", CRect(0, 0, Width, Height), nullptr, 1001);
        plot.SetSeriesData(points.data(), row.count, 0, 0, 0, false);
        plot.legendVisible = false;
        plot.XAxisAt(0).showGrid = true;
        plot.YAxisAt(0).showGrid = !row.xGridOnly;
        plot.XAxisAt(0).SetViewRange(from, to, 0);
        plot.Invalidate();
        plot.UpdateWindow();

        QVector<double> xs(row.count), ys(row.count);
        for (int i = 0; i < row.count; ++i)
            xs[i] = points[std::size_t(i)].x, ys[i] = points[std::size_t(i)].y;
        QCustomPlot custom;
        custom.resize(Width, Height);
        custom.addGraph();
        custom.graph(0)->setData(xs, ys, true);
        custom.legend->setVisible(false);
        if (!row.xGridOnly) { // else as QCustomPlot comes
            custom.xAxis->grid()->setVisible(true);
            custom.yAxis->grid()->setVisible(true);
        }
        custom.xAxis->setRange(from, to);
        custom.graph(0)->rescaleValueAxis();
        QImage picture(Width, Height, QImage::Format_RGB32);
        auto customRepaint = [&](bool antialiased) {
            if (antialiased)
                custom.setNotAntialiasedElements(QCP::aeNone);
            else
                custom.setNotAntialiasedElements(QCP::aeAll);
            return Milliseconds([&] {
                custom.replot(QCustomPlot::rpImmediateRefresh);
                custom.render(&picture);
            });
        };
        customRepaint(true); // warm both up
        customRepaint(false);
        if (profiled >= 0) {
            std::vector<double> times, others;
            for (int r = 0; r < repeats; ++r) {
                if (afterOther) {
                    const double other = customRepaint(r % 2 == 0);
                    if (r % 2 == 0)
                        others.push_back(other);
                }
                times.push_back(Milliseconds([&] {
                    plot.Invalidate();
                    plot.UpdateWindow();
                }));
            }
            if (others.empty())
                std::printf("row %d: %.2f ms\n", profiled, Median(times));
            else
                std::printf("row %d: %.2f ms, QCustomPlot (antialiased) %.2f ms, ratio %.2f\n",
                            profiled, Median(times), Median(others),
                            Median(times) / Median(others));
            return 0;
        }

        // Every timed repaint follows one of the other chart, so neither finds its own
        // pictures and samples still in the caches from a repaint just before.
        std::vector<double> ours, theirs, theirsPlain;
        auto ourRepaint = [&] {
            ours.push_back(Milliseconds([&] {
                plot.Invalidate();
                plot.UpdateWindow();
            }));
        };
        for (int r = 0; r < Runs; ++r) {
            ourRepaint();
            theirs.push_back(customRepaint(true));
            ourRepaint();
            theirsPlain.push_back(customRepaint(false));
        }
        const double a = Median(ours), b = Median(theirs), c = Median(theirsPlain);
        std::printf("| %d M %s | %s | %s | %.2f ms | %.2f ms | %.2f | %.2f ms | %.2f |\n",
                    row.count / 1'000'000, row.shape, row.zoomed ? "100 samples" : "all",
                    row.xGridOnly ? "CPlot X only, QCustomPlot default" : "both, both", a, b, a / b,
                    c, a / c);
        std::fflush(stdout);
    }
    return 0;
}
