// Draws a waveform the way a user would (New, then freehand strokes) and saves a picture of
// the editor's window: `screenshot FILE.png`. Runs offscreen; not a test.
#include <QApplication>
#include <QPixmap>
#include <cmath>

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
    dialogs.counts.push_back(256);
    frame.Command(ID_FILE_NEW);
    CPlot& g = frame.View().Graph();
    QApplication::processEvents();
    g.Invalidate();
    g.UpdateWindow();
    frame.Command(ID_TOOL_FREEHAND);
    auto at = [&](double x, double y) {
        return CPoint(g.XAxisAt(0).PixelOfValue({x, 0}).x, g.YAxisAt(0).PixelOfValue({0, y}).y);
    };
    auto shape = [](double x) {
        const double t = x / 255 * 6.2832;
        return 0.7 * std::sin(t) + 0.2 * std::sin(3 * t) * std::exp(-x / 200);
    };
    input::Press(g, at(0, shape(0)));
    for (int x = 2; x <= 256; x += 2)
        input::Move(g, at(x, shape(x)), Qt::LeftButton);
    input::Release(g, at(256, shape(256)));
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
    return frame.grab().save(path) ? 0 : 1;
}
