#pragma once
// The bank at a glance: a dock with a second chart drawing every frame as a waterfall, back
// to front, each shifted up and to the right by its number; a click on a curve makes that
// frame current.

#include <QDockWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "graph/Plot.h"
#include "wave/WaveBank.h"

// Where frame k of F frames of N samples is drawn: shifted right by k x dx and up by k x dy.
struct WaterfallStep {
    double dx = 0, dy = 0;
};
// A step that spreads the frames over half the width and two and a half times their span.
WaterfallStep WaterfallStepFor(std::uint32_t frames, std::uint32_t frameSize, double span);
// The frames drawn: every one, or every m-th where there are more than 32 or their copies
// would pass `budget` bytes; the last always.
std::vector<std::uint32_t> WaterfallFrames(std::uint32_t frames, std::uint32_t frameSize,
                                           std::size_t budget = std::size_t(8) << 20);

class CBankOverview : public QDockWidget {
public:
    explicit CBankOverview(QWidget* parent);
    ~CBankOverview() override;

    // Draws the bank's frames (the one shown from `shown`), that one in the editor's colour.
    void Show(const CWaveBank& bank, const DataPoint* shown);
    void Clear();
    CPlot& Plot() { return plot; }
    // A click on a frame's curve.
    std::function<void(std::uint32_t frame)> frameChosen;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CPlot plot;
    std::vector<std::vector<DataPoint>> copies; // shifted copies, one a frame drawn
    std::vector<std::uint32_t> drawn;           // the frame of each series
};
