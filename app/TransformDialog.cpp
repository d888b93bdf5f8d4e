#include "app/TransformDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSpinBox>
#include <limits>

bool RunTransformDialog(QWidget* parent, TransformRequest& r) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QString::fromStdString(r.title));
    auto* form = new QFormLayout(&dialog);
    std::vector<QDoubleSpinBox*> values;
    for (const auto& [label, value] : r.values) {
        auto* box = new QDoubleSpinBox(&dialog);
        box->setDecimals(6);
        box->setRange(-1e15, 1e15);
        box->setValue(value);
        form->addRow(QString::fromStdString(label), box);
        values.push_back(box);
    }
    QComboBox* choices = nullptr;
    if (!r.choices.empty()) {
        choices = new QComboBox(&dialog);
        for (const std::string& c : r.choices)
            choices->addItem(QString::fromStdString(c));
        choices->setCurrentIndex(r.choice);
        form->addRow(QStringLiteral("Method:"), choices);
    }
    QCheckBox* option = nullptr;
    if (!r.option.empty()) {
        option = new QCheckBox(QString::fromStdString(r.option), &dialog);
        option->setChecked(r.checked);
        form->addRow(QString(), option);
    }
    const int last = r.count ? int(std::min<std::uint32_t>(r.count - 1, 2147483647u)) : 0;
    auto* first = new QSpinBox(&dialog);
    first->setRange(0, last);
    first->setValue(int(r.first));
    auto* to = new QSpinBox(&dialog);
    to->setRange(0, last);
    to->setValue(int(r.last));
    if (r.range) {
        form->addRow(QStringLiteral("From sample:"), first);
        form->addRow(QStringLiteral("To sample:"), to);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    for (std::size_t i = 0; i < values.size(); ++i)
        r.values[i].second = values[i]->value();
    if (option)
        r.checked = option->isChecked();
    if (choices)
        r.choice = choices->currentIndex();
    r.first = std::uint32_t(std::min(first->value(), to->value()));
    r.last = std::uint32_t(std::max(first->value(), to->value()));
    return true;
}
