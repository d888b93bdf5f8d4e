#include "app/AnalyseWindow.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <future>

#include "app/AnalysisText.h"
#include "files/MemoryGate.h"
#include "platform/WndHost.h"

namespace {

// Magnitudes below the largest harmonic are shown down to this floor.
constexpr double FloorDb = -200;

// (harmonic, dB below the largest) for every harmonic; from 1 on a logarithmic axis, whose
// X is then log10 of the harmonic (the axis labels it with the harmonic's number).
void SpectrumPoints(const HarmonicSpectrum& s, bool log, std::vector<DataPoint>& points) {
    points.clear();
    const auto& a = s.amplitude;
    const double largest = a.empty() ? 0 : *std::max_element(a.begin(), a.end());
    if (!(largest > 0))
        return;
    points.reserve(a.size());
    for (std::size_t k = log ? 1 : 0; k < a.size(); ++k) {
        const double db = a[k] > 0 ? std::max(FloorDb, 20 * std::log10(a[k] / largest)) : FloorDb;
        points.push_back({log ? std::log10(double(k)) : double(k), db});
    }
}

} // namespace

double HarmonicStep(double last) {
    for (double decade = 1;; decade *= 10)
        for (double m : {1.0, 2.0, 5.0})
            if (m * decade * 10 >= last)
                return m * decade;
}

OctaveScale OctaveAxis(double last) {
    const int octaves = int(std::ceil(std::log2(std::max(last, 1.0)))) + 1; // labels 1 .. 2^k
    OctaveScale o;
    o.step = std::log10(2.0);
    o.min = -o.step; // half a harmonic: harmonic 1 stands clear of the Y axis
    o.max = std::log10(std::max(last, 1.0)) + o.step / 4;
    o.stride = octaves <= 12 ? 1 : (octaves + 7) / 8;
    return o;
}

std::string OctaveLabel(double value, int stride) {
    const double harmonic = std::pow(10.0, value);
    if (!(harmonic >= 0.75))
        return {};
    const long long octave = std::llround(std::log2(harmonic));
    if (octave % stride != 0)
        return {};
    return std::to_string(std::llround(harmonic));
}

CAnalyseWindow::CAnalyseWindow(std::function<Source()> s, QWidget* parent)
    : QWidget(parent, Qt::Window), source(std::move(s)) {
    setWindowTitle(QStringLiteral("Analyse"));
    setObjectName(QStringLiteral("analyse"));
    plot.Create(nullptr, CPlot::DefaultId);
    plot.legendVisible = false;
    plot.Host()->setMinimumSize(480, 260);
    plot.Host()->installEventFilter(this);
    plot.Host()->setMouseTracking(true);

    scale = new QComboBox(this);
    scale->addItems({QStringLiteral("Harmonics on a linear axis"),
                     QStringLiteral("Harmonics on a logarithmic axis")});
    connect(scale, &QComboBox::currentIndexChanged, this, [this] { ShowSpectrum(); });
    status = new QLabel(this);
    status->setObjectName(QStringLiteral("status"));
    status->setWordWrap(true); // a long verdict wraps: the window fits a small screen
    readout = new QLabel(this);
    readout->setObjectName(QStringLiteral("readout"));
    figures = new QLabel(this);
    figures->setObjectName(QStringLiteral("figures"));
    figures->setTextFormat(Qt::RichText);
    figures->setTextInteractionFlags(Qt::TextSelectableByMouse);
    figures->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    figures->setMinimumWidth(360); // room for both columns: the window keeps its size
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(figures);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setMinimumWidth(380);

    auto* top = new QHBoxLayout;
    top->addWidget(scale);
    top->addWidget(status, 1);
    auto* left = new QVBoxLayout;
    left->addLayout(top);
    left->addWidget(plot.Host(), 1);
    left->addWidget(readout);
    auto* whole = new QHBoxLayout(this);
    whole->addLayout(left, 1);
    whole->addWidget(scroll);
    resize(1000, 520);
    Update();
}

CAnalyseWindow::~CAnalyseWindow() {
    if (worker.joinable())
        worker.join(); // its result is dropped with this window's events
    plot.ClearGraph();
    plot.Host()->removeEventFilter(this);
    plot.Host()->setParent(nullptr); // the plot's window belongs to the plot
}

CAnalyseWindow::Result CAnalyseWindow::Analyse(const DataPoint* points, std::size_t count,
                                               const TableOptions& o, bool storedChosen) {
    Result r;
    r.count = count;
    r.options = o;
    r.storedChosen = storedChosen;
    try {
        if (storedChosen) {
            BothAnalyses both = AnalyseBoth(points, count, o);
            r.wave = std::move(both.wave);
            r.stored = std::move(both.stored);
        } else {
            r.wave = AnalyseTable(points, count);
        }
    } catch (const std::bad_alloc&) {
        r.error = "Out of memory.";
    }
    return r;
}

void CAnalyseWindow::Update() {
    const Source s = source();
    if (s.count <= ImmediateLimit) {
        again = false;
        if (!busy)
            Show(std::make_shared<const Result>(
                Analyse(s.points, s.count, s.options, s.storedChosen)));
        else
            again = true; // a long one is still running: this one follows it
        return;
    }
    if (busy) {
        again = true; // the newest state is taken once the running analysis ends
        return;
    }
    Start();
}

void CAnalyseWindow::Start() {
    const Source s = source();
    std::shared_ptr<std::vector<DataPoint>> copy;
    try { // the worker reads its own copy, never the samples being edited
        // The copy and the analysis's own buffers (about 64 bytes a sample at most).
        AskForMemory(s.count, sizeof(DataPoint) + 64);
        copy = std::make_shared<std::vector<DataPoint>>(s.points, s.points + s.count);
    } catch (const std::bad_alloc&) {
        status->setText(QStringLiteral("Out of memory."));
        return;
    }
    busy = true;
    again = false;
    status->setText(QStringLiteral("Analysing %1 samples...").arg(s.count));
    if (worker.joinable())
        worker.join();
    worker = std::thread([this, copy, options = s.options, chosen = s.storedChosen] {
        auto result =
            std::make_shared<const Result>(Analyse(copy->data(), copy->size(), options, chosen));
        QMetaObject::invokeMethod(
            this,
            [this, result] {
                worker.join();
                busy = false;
                Show(result);
                if (again)
                    Update();
            },
            Qt::QueuedConnection);
    });
}

void CAnalyseWindow::Show(std::shared_ptr<const Result> result) {
    shown = std::move(result);
    const Result& r = *shown;
    status->setText(QString::fromStdString(
        !r.error.empty()  ? r.error
        : r.count == 0    ? std::string("No waveform.")
        : !r.storedChosen ? std::string("Choose a type in Export Table to see the table as stored.")
                          : "As stored: " + StoredSummary(r.stored, r.count, r.options)));
    const bool stored = r.stored.error.empty() && r.count > 0 && r.storedChosen;
    std::string html = "<table cellspacing=0 cellpadding=2><tr><th></th><th "
                       "align=right>Waveform</th>";
    if (stored)
        html += "<th align=right><font color=#c00000>As stored</font></th>";
    html += "</tr>" + FigureRows(r.wave.figures, stored ? &r.stored : nullptr) + "</table>";
    figures->setText(QString::fromStdString(html));
    ShowSpectrum();
    if (readX)
        ReadAt(*readX); // the readout follows the new figures where the mouse is
}

void CAnalyseWindow::ShowSpectrum() {
    plot.ClearGraph();
    if (!shown || shown->count == 0) {
        plot.Invalidate();
        return;
    }
    const bool log = Logarithmic();
    SpectrumPoints(shown->wave.spectrum, log, wavePoints);
    if (shown->storedChosen)
        SpectrumPoints(shown->stored.spectrum, log, storedPoints);
    else
        storedPoints.clear();
    // The stored table first, so the waveform's stems stand in front where both reach.
    int series = 0;
    for (auto* points : {&storedPoints, &wavePoints}) {
        if (points->empty())
            continue;
        CPlotDataSeries* s =
            plot.SetSeriesData(points->data(), int(points->size()), series++, 0, 0, false);
        s->stems = true;
        s->colour = points == &storedPoints ? RGB(192, 0, 0) : RGB(0, 0, 160);
        s->name = points == &storedPoints ? "As stored" : "Waveform";
    }
    if (plot.XAxisCount() > 0) {
        const double last = double(shown->wave.spectrum.amplitude.size() - 1);
        CPlotAxis& x = plot.XAxisAt(0);
        if (log) {
            const OctaveScale o = OctaveAxis(last);
            if (x.SetRange(o.min, o.max) && x.SetViewRange(o.min, o.max, o.step))
                x.autoScale = false;
            x.labelOf = [stride = o.stride](double v) { return OctaveLabel(v, stride); };
        } else {
            // Ticks fall where the labels are whole harmonics: a 1-2-5 step of at most ten
            // to the last harmonic, the range a whole number of steps, one of them the margin
            // that keeps harmonic 0 clear of the Y axis.
            const double step = HarmonicStep(last);
            if (x.SetRange(-step, std::ceil((last + step / 20) / step) * step) &&
                x.SetViewRange(x.viewMin, x.viewMax, step))
                x.autoScale = false;
        }
        if (!log)
            x.labelOf = nullptr;
        x.tickFormat = "%.0f";
        plot.XAxisAt(0).title = "Harmonic";
        plot.XAxisAt(0).showGrid = true;
        plot.YAxisAt(0).title = "dB";
        plot.YAxisAt(0).showGrid = true;
    }
    plot.Invalidate();
}

bool CAnalyseWindow::Logarithmic() const {
    return scale->currentIndex() == 1;
}

void CAnalyseWindow::SetLogarithmic(bool log) {
    scale->setCurrentIndex(log ? 1 : 0);
}

QString CAnalyseWindow::FiguresText() const {
    return figures->text();
}

QString CAnalyseWindow::Readout() const {
    return readout->text();
}

void CAnalyseWindow::ReadAt(int x) {
    readX = x;
    if (!shown || shown->count == 0 || plot.XAxisCount() == 0 || !plot.XAxisAt(0).CanMap())
        return;
    const double at = plot.XAxisAt(0).ValueAtPixel(x);
    const double k = std::round(Logarithmic() ? std::pow(10.0, at) : at);
    const auto& a = shown->wave.spectrum.amplitude;
    if (a.empty() || !(k >= 0 && k < double(a.size()))) {
        readout->clear();
        return;
    }
    const std::size_t h = std::size_t(k);
    const double largest = *std::max_element(a.begin(), a.end());
    auto line = [&](const HarmonicSpectrum& s) {
        return FigureText(20 * std::log10(s.amplitude[h] / largest), 1, " dB") + ", phase " +
               FigureText(s.phaseDegrees[h], 1, "°");
    };
    std::string text = "Harmonic " + std::to_string(h) + ": " + line(shown->wave.spectrum);
    const HarmonicSpectrum& stored = shown->stored.spectrum;
    if (h < stored.amplitude.size()) {
        const double top = *std::max_element(stored.amplitude.begin(), stored.amplitude.end());
        text += "; as stored " + FigureText(20 * std::log10(stored.amplitude[h] / top), 1, " dB") +
                ", phase " + FigureText(stored.phaseDegrees[h], 1, "°");
    }
    readout->setText(QString::fromStdString(text));
}

bool CAnalyseWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == plot.Host() && event->type() == QEvent::MouseMove)
        ReadAt(static_cast<QMouseEvent*>(event)->position().toPoint().x());
    return QWidget::eventFilter(watched, event);
}
