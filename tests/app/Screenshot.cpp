// Makes a waveform the way a user would (Wave > Generate with harmonics, then a freehand
// stroke) and saves a picture of the editor's window: `screenshot FILE.png [ANALYSE.png]`,
// the second of Wave > Analyse with the table stored as 12-bit words, the third of a bank of
// 64 frames from a sine to a sawtooth, opened and stepped to frame 40, its neighbours beside it
// and the waterfall of every frame below. Runs offscreen; not a test.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "app/BankOverview.h"
#include "app/MainFrame.h"
#include "app/Resources.h"
#include "tests/app/ScriptedDialogs.h"
#include "tests/support/QtInput.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ScriptedDialogs dialogs;
    CMainFrame frame(dialogs);
    frame.resize(900, 560);
    frame.show();
    QApplication::processEvents(); // the first paint lays the graph out, as at start-up
    dialogs.generates.push_back([](GeneratorOptions& o, std::uint32_t& n, auto& preview) {
        o.shape = Shape::Harmonics;
        o.harmonicAmplitude = {};
        o.harmonicAmplitude[0] = 0.7;
        o.harmonicAmplitude[2] = 0.2;
        o.harmonicAmplitude[4] = 0.08;
        n = 256;
        return preview(o, n).empty();
    });
    frame.Command(ID_WAVE_GENERATE);
    CPlot& g = frame.View().Graph();
    QApplication::processEvents();
    g.Invalidate();
    g.UpdateWindow();
    frame.Command(ID_TOOL_FREEHAND);
    auto at = [&](double x, double y) {
        return CPoint(g.XAxisAt(0).PixelOfValue({x, 0}).x, g.YAxisAt(0).PixelOfValue({0, y}).y);
    };
    auto shape = [&](double x) { // a dip drawn by hand into the generated wave
        return frame.View().Samples()[int(x)].y *
               (1 - 0.5 * std::exp(-std::pow((x - 190) / 12, 2)));
    };
    input::Press(g, at(160, shape(160)));
    for (int x = 162; x <= 220; x += 2)
        input::Move(g, at(x, shape(x)), Qt::LeftButton);
    input::Release(g, at(220, shape(220)));
    frame.Command(ID_TOOL_EDIT);
    const CPoint peak = at(64, shape(64));
    input::Move(g, CPoint(peak.x + 5, peak.y));
    g.showEditedValue = true;
    g.editedValue = shape(64);
    g.mousePoint = peak;
    g.Invalidate();
    g.UpdateWindow();
    QApplication::processEvents();
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshot.png");
    if (!frame.grab().save(path))
        return 1;
    if (argc < 3)
        return 0;
    TableOptions twelve;
    twelve.type = TableType::UInt16;
    twelve.scaled = true;
    twelve.targetMin = 0;
    twelve.targetMax = 4095;
    dialogs.tables.push_back(twelve);
    frame.Command(ID_WAVE_EXPORT_TABLE); // the options only: no file is chosen
    frame.Command(ID_WAVE_ANALYSE);
    CAnalyseWindow& analysis = *frame.Analysis();
    analysis.resize(1000, 470);
    QApplication::processEvents();
    analysis.Plot().Invalidate();
    analysis.Plot().UpdateWindow();
    analysis.ReadAt(analysis.Plot().XAxisAt(0).PixelOfValue({3, 0}).x);
    if (!analysis.grab().save(QString::fromLocal8Bit(argv[2])))
        return 1;
    if (argc < 4)
        return 0;
    // A bank as another tool would hand it over: 64 frames of 2048, sine to band-limited saw.
    const std::string bank =
        QDir::temp().filePath(QStringLiteral("tarvelin-bank.csv")).toStdString();
    {
        std::ofstream out(bank);
        for (int k = 0; k < 64; ++k)
            for (int i = 0; i < 2048; ++i) {
                const double x = 2 * M_PI * i / 2048, t = k / 63.0;
                double saw = 0;
                for (int h = 1; h <= 24; ++h)
                    saw += std::sin(h * x) / h;
                out << (1 - t) * std::sin(x) + t * 0.55 * saw << (i == 2047 ? "\n" : ",");
            }
    }
    dialogs.answers.push_back(IDYES); // leave the edited waveform
    dialogs.files.push_back({bank, 1});
    frame.Command(ID_BANK_OPEN);
    dialogs.transforms.push_back([](TransformRequest& r) { r.values[0].value = 40; });
    frame.Command(ID_BANK_GO_TO);
    dialogs.transforms.push_back([](TransformRequest& r) { r.choice = 1; }); // one each side
    frame.Command(ID_BANK_NEIGHBOURS);
    frame.Command(ID_BANK_OVERVIEW); // the waterfall below
    frame.resize(900, 760);
    QApplication::processEvents();
    g.Invalidate();
    g.UpdateWindow();
    frame.Overview()->Plot().Invalidate();
    frame.Overview()->Plot().UpdateWindow();
    QApplication::processEvents();
    std::remove(bank.c_str());
    return frame.grab().save(QString::fromLocal8Bit(argv[3])) ? 0 : 1;
}
