#pragma once
// Wave > Analyse: a window beside the editor with the harmonic spectrum of the waveform and of
// the table as Export Table would store it, their figures, and a readout under the mouse. It
// follows every change; long waveforms are analysed on a worker, showing the last result.

#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "files/TableExport.h"
#include "graph/Plot.h"
#include "wave/TableAnalysis.h"

class QComboBox;
class QLabel;

class CAnalyseWindow : public QWidget {
public:
    // What is analysed: the samples as they are now, and the options of Export Table.
    struct Source {
        const DataPoint* points = nullptr;
        std::size_t count = 0;
        TableOptions options;
        bool storedChosen = false; // Export Table's options were chosen in this run
    };
    explicit CAnalyseWindow(std::function<Source()> source, QWidget* parent = nullptr);
    ~CAnalyseWindow() override;

    // The waveform or the options changed: analysed now when short, else on the worker.
    void Update();
    // Up to this many samples the analysis runs at once, in the same event.
    static constexpr std::size_t ImmediateLimit = 1 << 16;

    CPlot& Plot() { return plot; }
    QString FiguresText() const;
    QString Readout() const;
    bool Logarithmic() const;
    void SetLogarithmic(bool log);
    // Shows the readout of the harmonic under this X pixel of the plot.
    void ReadAt(int x);
    // Whether a worker's analysis is still to come.
    bool Pending() const { return busy; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Result {
        std::size_t count = 0;
        TableOptions options;
        bool storedChosen = false;
        TableAnalysis wave;
        StoredFigures stored;
        std::string error; // out of memory, say
    };
    static Result Analyse(const DataPoint* points, std::size_t count, const TableOptions& o,
                          bool storedChosen);
    void Start();
    void Show(std::shared_ptr<const Result> result);
    void ShowSpectrum();

    std::function<Source()> source;
    CPlot plot;
    QComboBox* scale = nullptr;
    QLabel* figures = nullptr;
    QLabel* readout = nullptr;
    QLabel* status = nullptr;
    std::shared_ptr<const Result> shown;
    std::vector<DataPoint> wavePoints, storedPoints;
    std::thread worker;
    bool busy = false, again = false;
    std::optional<int> readX; // where the mouse last read the plot
};

// The step of the linear spectrum's harmonic axis: the least of 1, 2 or 5 times a power of ten
// that cuts 0..last into at most ten.
double HarmonicStep(double last);

// The logarithmic spectrum's harmonic axis: ticks an octave apart from half a harmonic, so each
// tick after the first falls on a power of two, labelled every `stride`-th octave so that at
// most about a dozen labels share the axis.
struct OctaveScale {
    double min = 0, max = 0, step = 0;
    int stride = 1;
};
OctaveScale OctaveAxis(double last);
// The harmonic number a tick stands for, or nothing off the labelled octaves.
std::string OctaveLabel(double value, int stride);
