#include <QApplication>
#include <clocale>
#include <string>
#include <vector>

#include "app/MainFrame.h"
#include "app/QtAppDialogs.h"
#include "app/Resources.h"
#include "app/ToolbarImages.h"

int main(int argc, char* argv[]) {
    // Taken before Qt reads (and removes) the options it knows: the program takes none.
    const std::vector<std::string> given(argv + 1, argv + argc);
    KeepNoSettings();
    QApplication app(argc, argv);
    // Numbers in files and labels always use ".", whatever the desktop's language.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QString::fromLatin1(LoadString(IDS_APP_NAME)));
    QApplication::setApplicationVersion(QStringLiteral("1.7.0.0"));
    QApplication::setDesktopFileName(QStringLiteral("org.tarvelin.Tarvelin"));
    QApplication::setWindowIcon(ProgramIcon());
    CQtAppDialogs dialogs;
    CMainFrame frame(dialogs);
    dialogs.owner = &frame;
    frame.show();
    frame.OpenGiven(given);
    return app.exec();
}
