#include "platform/Dialogs.h"

#include <QPrintDialog>
#include <QPrinter>

#include "platform/Printer.h"
#include "platform/Wnd.h"
#include "platform/WndHost.h"

namespace {

class QtDialogs : public CDialogs {
public:
    std::unique_ptr<CDC> PrintDialog(CWnd* owner) override {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        QPrintDialog dialog(printer.get(), owner ? owner->Host() : nullptr);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
        if (dialog.exec() != QDialog::Accepted)
            return nullptr;
        return std::make_unique<CPrinterDC>(std::move(printer));
    }
};

} // namespace

CDialogs& StandardDialogs() {
    static QtDialogs dialogs;
    return dialogs;
}
