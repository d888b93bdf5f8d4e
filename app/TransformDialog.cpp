#include "app/TransformDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <algorithm>

#include "app/NumberBox.h"

namespace {

int ToInt(double v) {
    return int(std::clamp(v, -2147483648.0, 2147483647.0));
}

} // namespace

CTransformDialog::CTransformDialog(QWidget* parent, const TransformRequest& r)
    : QDialog(parent), request(r) {
    setWindowTitle(QString::fromStdString(r.title));
    form = new QFormLayout(this);
    if (!r.note.empty()) {
        auto* note = new QLabel(QString::fromStdString(r.note), this);
        note->setObjectName(QStringLiteral("note"));
        note->setWordWrap(true);
        form->addRow(note);
    }
    for (std::size_t i = 0; i < r.values.size(); ++i) {
        const TransformField& f = r.values[i];
        QWidget* box;
        if (f.integer) {
            auto* whole = new QSpinBox(this);
            whole->setRange(ToInt(f.min), ToInt(f.max));
            whole->setValue(ToInt(f.value));
            box = whole;
        } else {
            box = new CNumberBox(this, f.value, f.min, f.max);
        }
        box->setObjectName(QStringLiteral("value-%1").arg(i));
        if (auto* whole = qobject_cast<QSpinBox*>(box))
            connect(whole, &QSpinBox::valueChanged, this, [this] { ShowPreview(); });
        else if (auto* number = qobject_cast<QDoubleSpinBox*>(box))
            connect(number, &QDoubleSpinBox::valueChanged, this, [this] { ShowPreview(); });
        form->addRow(QString::fromStdString(f.label), box);
        values.push_back(box);
    }
    if (!r.choices.empty()) {
        choices = new QComboBox(this);
        choices->setObjectName(QStringLiteral("choice"));
        for (const std::string& c : r.choices)
            choices->addItem(QString::fromStdString(c));
        choices->setCurrentIndex(r.choice);
        form->addRow(QString::fromStdString(r.choiceLabel), choices);
        connect(choices, &QComboBox::currentIndexChanged, this, [this] {
            Enable();
            ShowPreview();
        });
    }
    if (!r.option.empty()) {
        option = new QCheckBox(QString::fromStdString(r.option), this);
        option->setObjectName(QStringLiteral("option"));
        option->setChecked(r.checked);
        form->addRow(QString(), option);
        connect(option, &QCheckBox::toggled, this, [this] {
            Enable();
            ShowPreview();
        });
    }
    if (r.range) { // made only where they are shown
        const int end = r.count ? int(std::min<std::uint32_t>(r.count - 1, 2147483647u)) : 0;
        first = new QSpinBox(this);
        first->setObjectName(QStringLiteral("first"));
        first->setRange(0, end);
        first->setValue(int(std::min<std::uint32_t>(r.first, std::uint32_t(end))));
        last = new QSpinBox(this);
        last->setObjectName(QStringLiteral("last"));
        last->setRange(0, end);
        last->setValue(int(std::min<std::uint32_t>(r.last, std::uint32_t(end))));
        form->addRow(QStringLiteral("From sample:"), first);
        form->addRow(QStringLiteral("To sample:"), last);
    }
    if (r.frames > 0) { // a bank: the frames, numbered from 1 as the bank bar shows them
        firstFrame = new QSpinBox(this);
        firstFrame->setObjectName(QStringLiteral("firstFrame"));
        firstFrame->setRange(1, int(r.frames));
        firstFrame->setValue(int(r.firstFrame) + 1);
        lastFrame = new QSpinBox(this);
        lastFrame->setObjectName(QStringLiteral("lastFrame"));
        lastFrame->setRange(1, int(r.frames));
        lastFrame->setValue(int(r.lastFrame) + 1);
        form->addRow(QStringLiteral("From frame:"), firstFrame);
        form->addRow(QStringLiteral("To frame:"), lastFrame);
        if (!r.asOne.empty()) {
            asOne = new QCheckBox(QString::fromStdString(r.asOne), this);
            asOne->setObjectName(QStringLiteral("asOne"));
            asOne->setChecked(r.framesAsOne);
            form->addRow(QString(), asOne);
        }
    }
    problem = new QLabel(this);
    problem->setObjectName(QStringLiteral("problem"));
    problem->setWordWrap(true);
    form->addRow(problem);
    form->setRowVisible(problem, false); // until OK is refused
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    Enable();
    ShowPreview();
}

void CTransformDialog::ShowPreview() {
    if (request.preview)
        request.preview(Answers());
}

void CTransformDialog::Enable() {
    const bool on = option && option->isChecked();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const TransformField::When when = request.values[i].when;
        values[i]->setEnabled(when == TransformField::Always ||
                              (when == TransformField::OptionOn) == on);
    }
    if (option) {
        const int choice = choices ? choices->currentIndex() : 0;
        option->setEnabled(choice < 0 || choice >= 32 || (request.optionChoices >> choice) & 1);
    }
}

TransformRequest CTransformDialog::Answers() const {
    TransformRequest r = request;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (auto* whole = qobject_cast<QSpinBox*>(values[i]))
            r.values[i].value = whole->value();
        else
            r.values[i].value = static_cast<CNumberBox*>(values[i])->value();
    }
    if (option)
        r.checked = option->isChecked() && option->isEnabled();
    if (choices)
        r.choice = choices->currentIndex();
    if (first && last) {
        r.first = std::uint32_t(std::min(first->value(), last->value()));
        r.last = std::uint32_t(std::max(first->value(), last->value()));
    }
    if (firstFrame && lastFrame) {
        r.firstFrame = std::uint32_t(std::min(firstFrame->value(), lastFrame->value()) - 1);
        r.lastFrame = std::uint32_t(std::max(firstFrame->value(), lastFrame->value()) - 1);
    }
    if (asOne)
        r.framesAsOne = asOne->isChecked();
    return r;
}

void CTransformDialog::accept() {
    if (request.check)
        if (const std::string why = request.check(Answers()); !why.empty()) {
            problem->setText(QString::fromStdString(why));
            form->setRowVisible(problem, true);
            return;
        }
    QDialog::accept();
}

QString CTransformDialog::Problem() const {
    return problem->text();
}

bool RunTransformDialog(QWidget* parent, TransformRequest& r) {
    CTransformDialog dialog(parent, r);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    r = dialog.Answers();
    return true;
}
