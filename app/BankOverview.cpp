#include "app/BankOverview.h"

#include <QEvent>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "platform/WndHost.h"

WaterfallStep WaterfallStepFor(std::uint32_t frames, std::uint32_t frameSize, double span) {
    if (frames < 2)
        return {};
    const double back = double(frames - 1);
    return {0.5 * frameSize / back, (span > 0 ? span : 1) * 2.5 / back};
}

std::vector<std::uint32_t> WaterfallFrames(std::uint32_t frames, std::uint32_t frameSize,
                                           std::size_t budget) {
    const std::size_t each = std::size_t(frameSize) * sizeof(DataPoint);
    // No more curves than the eye can tell apart, nor copies beyond the budget.
    const std::size_t room =
        std::clamp<std::size_t>(budget / std::max<std::size_t>(each, 1), 2, 32);
    const std::uint32_t step = std::uint32_t((frames + room - 1) / room);
    std::vector<std::uint32_t> shown;
    for (std::uint32_t k = 0; k < frames; k += std::max<std::uint32_t>(step, 1))
        shown.push_back(k);
    if (!shown.empty() && shown.back() != frames - 1)
        shown.push_back(frames - 1); // the last frame always
    return shown;
}

CBankOverview::CBankOverview(QWidget* parent)
    : QDockWidget(QStringLiteral("Bank Overview"), parent) {
    setObjectName(QStringLiteral("bankOverview"));
    plot.Create(nullptr, CPlot::DefaultId);
    plot.legendVisible = false;
    plot.Host()->setMinimumSize(320, 240);
    plot.Host()->installEventFilter(this);
    setWidget(plot.Host());
}

CBankOverview::~CBankOverview() {
    plot.ClearGraph();
    plot.Host()->removeEventFilter(this);
    setWidget(nullptr);
    plot.Host()->setParent(nullptr); // the plot's window belongs to the plot
}

void CBankOverview::Clear() {
    plot.ClearGraph();
    copies.clear();
    drawn.clear();
}

void CBankOverview::Show(const CWaveBank& bank, const DataPoint* shown) {
    Clear();
    const std::uint32_t n = bank.FrameSize();
    auto frameAt = [&](std::uint32_t k) {
        return k == bank.Current() ? shown : const_cast<CWaveBank&>(bank).Points(k);
    };
    double low = 0, high = 0;
    for (std::uint32_t k = 0; k < bank.Frames(); ++k)
        for (const DataPoint* p = frameAt(k); p && p < frameAt(k) + n; ++p) {
            low = std::min(low, p->y);
            high = std::max(high, p->y);
        }
    const WaterfallStep step = WaterfallStepFor(bank.Frames(), n, high - low);
    drawn = WaterfallFrames(bank.Frames(), n);
    std::reverse(drawn.begin(), drawn.end()); // back to front: the nearer hides the farther
    copies.resize(drawn.size());
    // A glance, not the samples: at most 128 points a curve (the chart marks every point).
    const std::uint32_t stride = std::max<std::uint32_t>(1, n / 128);
    for (std::size_t s = 0; s < drawn.size(); ++s) {
        const std::uint32_t k = drawn[s];
        const DataPoint* frame = frameAt(k);
        copies[s].clear();
        for (std::uint32_t i = 0; i < n; i += stride)
            copies[s].push_back({i + k * step.dx, frame[i].y + k * step.dy});
        if (CPlotDataSeries* series =
                plot.SetSeriesData(copies[s].data(), int(copies[s].size()), int(s), 0, 0, false)) {
            series->colour = k == bank.Current() ? RGB(255, 0, 0) : RGB(90, 110, 170);
            series->markerSize = 0; // lines only: the markers would cover each other
            series->editable = false;
        }
    }
    plot.hitEditableOnly = false; // hit, never edited: the chart is in no edit mode
    if (plot.XAxisCount() && plot.YAxisCount()) {
        plot.XAxisAt(0).showSeriesBadges = plot.YAxisAt(0).showSeriesBadges = false; // many
        plot.YAxisAt(0).showGrid = false;
        plot.XAxisAt(0).SetRange(0, n + (bank.Frames() - 1) * step.dx);
        plot.YAxisAt(0).SetRange(low, high + (bank.Frames() - 1) * step.dy);
        plot.XAxisAt(0).ResetRange();
        plot.YAxisAt(0).ResetRange();
    }
    plot.Invalidate();
}

bool CBankOverview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == plot.Host() && event->type() == QEvent::MouseButtonRelease)
        // After the chart has taken the click: the curve it selected names the frame.
        QTimer::singleShot(0, this, [this] {
            for (int s = 0; s < plot.SeriesCount(); ++s)
                if (plot.SeriesAt(s).selected && std::size_t(s) < drawn.size() && frameChosen) {
                    frameChosen(drawn[std::size_t(s)]);
                    return;
                }
        });
    return QDockWidget::eventFilter(watched, event);
}
