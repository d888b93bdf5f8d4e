#include "platform/Printer.h"

#include <QPrinter>

#include "platform/DCTarget.h"

namespace {

std::shared_ptr<DCTarget> PrinterTarget(QPrinter* printer) {
    auto target = std::make_shared<DCTarget>();
    target->printer = printer;
    DeviceCaps& caps = target->caps;
    caps.logPixelsX = caps.logPixelsY = printer->resolution();
    caps.numColors = printer->colorMode() == QPrinter::GrayScale ? 2 : -1;
    const QRect page = printer->pageLayout().paintRectPixels(printer->resolution());
    caps.horzRes = page.width();
    caps.vertRes = page.height();
    return target;
}

std::unique_ptr<QPrinter> PdfPrinter(const std::string& path, int dpi) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(path));
    printer->setResolution(dpi);
    return printer;
}

} // namespace

CPrinterDC::CPrinterDC(const std::string& pdfPath, int dpi)
    : CPrinterDC(PdfPrinter(pdfPath, dpi)) {}

CPrinterDC::CPrinterDC(std::unique_ptr<QPrinter> p)
    : CDC(PrinterTarget(p.get())), printer(std::move(p)) {}

CPrinterDC::~CPrinterDC() {
    if (Target()->painter && Target()->painter->isActive())
        Target()->painter->end();
    Detach();
}
