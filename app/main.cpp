#include <QApplication>
#include <clocale>

#include "app/MainFrame.h"
#include "app/QtAppDialogs.h"
#include "app/Resources.h"
#include "app/ToolbarImages.h"

int main(int argc, char* argv[]) {
    KeepNoSettings();
    QApplication app(argc, argv);
    // Numbers in files and labels always use ".", whatever the desktop's language.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QString::fromLatin1(LoadString(IDS_APP_NAME)));
    QApplication::setApplicationVersion(QStringLiteral("1.7.0.0"));
    QApplication::setDesktopFileName(QStringLiteral("tarvelin"));
    QApplication::setWindowIcon(ProgramIcon());
    CQtAppDialogs dialogs;
    CMainFrame frame(dialogs);
    dialogs.owner = &frame;
    frame.show();
    return app.exec();
}
