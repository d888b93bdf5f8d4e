#pragma once
// A printer as a device context. Without a configured printer it writes a PDF file.

#include <memory>
#include <string>

#include "platform/DC.h"

class QPrinter;

class CPrinterDC : public CDC {
public:
    // A PDF printer at the given resolution writing to `pdfPath`.
    CPrinterDC(const std::string& pdfPath, int dotsPerInch);
    ~CPrinterDC() override;

    // Platform-internal: a printer that a print dialog set up; the context takes it over.
    explicit CPrinterDC(std::unique_ptr<QPrinter> printer);

private:
    std::unique_ptr<QPrinter> printer;
};
