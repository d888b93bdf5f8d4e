#pragma once
// The small dialog of a Wave command: its values (whole numbers in whole-number boxes), a
// list to choose from, an option, and the samples it acts on. A value or option that does
// not apply to what is chosen is greyed out.

#include <QDialog>
#include <vector>

#include "app/AppDialogs.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QSpinBox;

class CTransformDialog : public QDialog {
public:
    CTransformDialog(QWidget* parent, const TransformRequest& request);
    // The request with the answers in it.
    TransformRequest Answers() const;
    // OK checks the answers first and, when they cannot be used, says why and stays open.
    void accept() override;
    QString Problem() const;

private:
    void Enable();
    void ShowPreview();

    TransformRequest request;
    std::vector<QWidget*> values; // a QSpinBox or a CNumberBox each
    QComboBox* choices = nullptr;
    QCheckBox* option = nullptr;
    QSpinBox* first = nullptr;
    QSpinBox* last = nullptr;
    QSpinBox* firstFrame = nullptr;
    QSpinBox* lastFrame = nullptr;
    QCheckBox* asOne = nullptr;
    QFormLayout* form = nullptr;
    QLabel* problem = nullptr;
};

// Shows the dialog for `request` and reads the answers back into it; false on Cancel.
bool RunTransformDialog(QWidget* parent, TransformRequest& request);
