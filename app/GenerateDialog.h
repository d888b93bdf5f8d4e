#pragma once
// Wave > Generate...: a shape or an expression, its parameters and the count, shown on the
// graph as they change; OK keeps it, Cancel gives back what was there.

#include <QDialog>

#include "app/AppDialogs.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

class CGenerateDialog : public QDialog {
public:
    CGenerateDialog(QWidget* parent, const GeneratorOptions& options, std::uint32_t count,
                    CAppDialogs::GeneratePreview preview);
    GeneratorOptions Options() const;
    std::uint32_t Count() const;
    // Why OK is refused now; empty when it is not.
    QString Problem() const;
    // Waveforms at least this long are previewed once the changes pause, not on each one.
    static constexpr std::uint32_t SettleFrom = 1u << 18;
    static constexpr int SettleMilliseconds = 200;

    void accept() override;

private:
    void Refresh();
    void EnableForShape();
    void Preview();

    CAppDialogs::GeneratePreview preview;
    std::uint32_t keptCount;
    QComboBox* shape;
    QDoubleSpinBox *cycles, *amplitude, *offset, *phase, *duty, *symmetry;
    QSpinBox* seed;
    QLineEdit* expression;
    QTableWidget* harmonics;
    QCheckBox* newCount;
    QLineEdit* count;
    QComboBox* mode;
    QLabel* problem;
    QPushButton* ok;
    QTimer* settle;
};

bool RunGenerateDialog(QWidget* parent, GeneratorOptions& options, std::uint32_t& count,
                       const CAppDialogs::GeneratePreview& preview);
