#pragma once
// Wave > Export Table...: the table's form (C, C++, Rust, the FPGA and ROM forms, a WAV
// cycle), type or word width, mapping, base and layout, with a live preview of its first lines
// and its last, the count of values held at the limits and the byte sizes.

#include <QDialog>

#include "app/AppDialogs.h"
#include "files/DataPoint.h"
#include "files/TableExport.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QTimer;

class CExportTableDialog : public QDialog {
public:
    CExportTableDialog(QWidget* parent, const TableOptions& options, const DataPoint* points,
                       std::size_t count);
    // The options as the fields give them (checked by PlanTable).
    TableOptions Options() const;
    // The file dialog's filter and default extension for the chosen form.
    static std::string FilterOf(TableFormat format);
    static std::string ExtensionOf(TableFormat format);
    // Save's file dialog for a table of this form: the last path with the form's extension.
    static FileDialogRequest SaveRequest(TableFormat format, const std::string& lastPath);
    // What the preview shows now, and why OK is refused if it is.
    QString PreviewText() const;
    QString Problem() const;

private:
    void Enable();
    void Refresh();
    void accept() override;

    const DataPoint* points;
    std::size_t count;
    QComboBox* type;
    QComboBox* mapping;
    QLineEdit *sourceMin, *sourceMax, *targetMin, *targetMax;
    QCheckBox* hex;
    QSpinBox* perLine;
    QLineEdit *name, *before, *after, *guard, *lengthMacro;
    QCheckBox* stdint;
    QComboBox* eol;
    // The form: C and its kin, words for FPGAs and ROMs, or a WAV cycle.
    QComboBox* format;
    QSpinBox* width;
    QCheckBox* widthSigned;
    QComboBox *radix, *endian, *recordBytes, *sampleFormat, *vhdlType;
    QCheckBox* wavetable;
    QLineEdit* base;
    QCheckBox *guardPoint, *quarterWave;
    QSpinBox* rate;
    QPlainTextEdit* preview;
    QLabel* status;
    QTimer* refresh;
};
