#include "app/GenerateDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/NewDataDialog.h"
#include "app/NumberBox.h"

namespace {

const struct {
    Shape shape;
    const char* label;
} Shapes[] = {
    {Shape::Sine, "Sine"},           {Shape::Cosine, "Cosine"},
    {Shape::Square, "Square"},       {Shape::Triangle, "Triangle"},
    {Shape::SawUp, "Sawtooth up"},   {Shape::SawDown, "Sawtooth down"},
    {Shape::Pulse, "Pulse"},         {Shape::Noise, "White noise"},
    {Shape::Harmonics, "Harmonics"}, {Shape::Expression, "Expression"},
};

QDoubleSpinBox* Number(QWidget* parent, const char* id, double value, double min, double max) {
    auto* box = new CNumberBox(parent, value, min, max);
    box->setObjectName(QString::fromLatin1(id));
    return box;
}

} // namespace

CGenerateDialog::CGenerateDialog(QWidget* parent, const GeneratorOptions& o, std::uint32_t n,
                                 CAppDialogs::GeneratePreview p)
    : QDialog(parent), preview(std::move(p)), keptCount(n) {
    setWindowTitle(QStringLiteral("Generate"));
    shape = new QComboBox(this);
    shape->setObjectName(QStringLiteral("shape"));
    for (const auto& s : Shapes) {
        shape->addItem(QString::fromLatin1(s.label), int(s.shape));
        if (s.shape == o.shape)
            shape->setCurrentIndex(shape->count() - 1);
    }
    cycles = Number(this, "cycles", o.cycles, 0, 1e9);
    amplitude = Number(this, "amplitude", o.amplitude, -1e12, 1e12);
    offset = Number(this, "offset", o.offset, -1e12, 1e12);
    phase = Number(this, "phase", o.phase, -36000, 36000);
    duty = Number(this, "duty", o.duty, 0, 100);
    symmetry = Number(this, "symmetry", o.symmetry, 0, 100);
    seed = new QSpinBox(this);
    seed->setObjectName(QStringLiteral("seed"));
    seed->setRange(0, 2147483647);
    seed->setValue(int(o.seed % 2147483648u));
    expression = new QLineEdit(QString::fromStdString(o.expression), this);
    expression->setObjectName(QStringLiteral("expression"));
    expression->setToolTip(
        QStringLiteral("Variables: i (sample index), n (count), x = i / n, y (the current "
                       "value), pi; and muParser's functions"));
    harmonics = new QTableWidget(32, 2, this);
    harmonics->setObjectName(QStringLiteral("harmonics"));
    harmonics->setHorizontalHeaderLabels(
        {QStringLiteral("Amplitude"), QStringLiteral("Phase (°)")});
    harmonics->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    harmonics->setMinimumHeight(160);
    for (int h = 0; h < 32; ++h) {
        harmonics->setItem(
            h, 0, new QTableWidgetItem(QString::number(o.harmonicAmplitude[std::size_t(h)])));
        harmonics->setItem(h, 1,
                           new QTableWidgetItem(QString::number(o.harmonicPhase[std::size_t(h)])));
    }
    newCount = new QCheckBox(QStringLiteral("New count:"), this);
    newCount->setObjectName(QStringLiteral("new-count"));
    count = new QLineEdit(QString::number(n), this);
    count->setObjectName(QStringLiteral("count"));
    count->setEnabled(false);
    mode = new QComboBox(this);
    mode->setObjectName(QStringLiteral("mode"));
    mode->addItems({QStringLiteral("Replace the waveform"), QStringLiteral("Add to the waveform")});
    mode->setCurrentIndex(o.add ? 1 : 0);
    problem = new QLabel(this);
    problem->setObjectName(QStringLiteral("problem"));
    problem->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Shape:"), shape);
    form->addRow(QStringLiteral("Cycles:"), cycles);
    form->addRow(QStringLiteral("Amplitude:"), amplitude);
    form->addRow(QStringLiteral("Offset:"), offset);
    form->addRow(QStringLiteral("Phase (°):"), phase);
    form->addRow(QStringLiteral("Duty cycle (%):"), duty);
    form->addRow(QStringLiteral("Symmetry (%):"), symmetry);
    form->addRow(QStringLiteral("Noise seed:"), seed);
    form->addRow(QStringLiteral("Expression:"), expression);
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(newCount);
    countRow->addWidget(count);
    form->addRow(QStringLiteral("Samples:"), countRow);
    form->addRow(QString(), mode);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    columns->addLayout(form);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Harmonics:"), this));
    right->addWidget(harmonics);
    columns->addLayout(right);
    layout->addLayout(columns);
    layout->addWidget(problem);
    layout->addWidget(buttons);

    connect(newCount, &QCheckBox::toggled, count, &QWidget::setEnabled);
    settle = new QTimer(this);
    settle->setSingleShot(true);
    settle->setInterval(SettleMilliseconds);
    connect(settle, &QTimer::timeout, this, [this] { Preview(); });
    auto refresh = [this] { Refresh(); };
    connect(shape, &QComboBox::currentIndexChanged, this, refresh);
    connect(mode, &QComboBox::currentIndexChanged, this, refresh);
    for (QDoubleSpinBox* box : {cycles, amplitude, offset, phase, duty, symmetry})
        connect(box, &QDoubleSpinBox::valueChanged, this, refresh);
    connect(seed, &QSpinBox::valueChanged, this, refresh);
    connect(expression, &QLineEdit::textChanged, this, refresh);
    connect(count, &QLineEdit::textChanged, this, refresh);
    connect(newCount, &QCheckBox::toggled, this, refresh);
    connect(harmonics, &QTableWidget::itemChanged, this, refresh);
    connect(shape, &QComboBox::currentIndexChanged, this, [this] { EnableForShape(); });
    EnableForShape();
    Preview();
}

// Only what the chosen shape uses can be changed.
void CGenerateDialog::EnableForShape() {
    const Shape s = Shape(shape->currentData().toInt());
    const bool periodic = s != Shape::Noise && s != Shape::Expression;
    cycles->setEnabled(periodic);
    phase->setEnabled(periodic);
    duty->setEnabled(s == Shape::Square || s == Shape::Pulse);
    symmetry->setEnabled(s == Shape::Triangle);
    seed->setEnabled(s == Shape::Noise);
    expression->setEnabled(s == Shape::Expression);
    harmonics->setEnabled(s == Shape::Harmonics);
}

GeneratorOptions CGenerateDialog::Options() const {
    GeneratorOptions o;
    o.shape = Shape(shape->currentData().toInt());
    o.cycles = cycles->value();
    o.amplitude = amplitude->value();
    o.offset = offset->value();
    o.phase = phase->value();
    o.duty = duty->value();
    o.symmetry = symmetry->value();
    o.seed = std::uint64_t(seed->value());
    o.expression = expression->text().toStdString();
    for (int h = 0; h < 32; ++h) {
        const QTableWidgetItem* a = harmonics->item(h, 0);
        const QTableWidgetItem* p = harmonics->item(h, 1);
        o.harmonicAmplitude[std::size_t(h)] = a ? a->text().toDouble() : 0;
        o.harmonicPhase[std::size_t(h)] = p ? p->text().toDouble() : 0;
    }
    o.add = mode->currentIndex() == 1;
    return o;
}

std::uint32_t CGenerateDialog::Count() const {
    if (!newCount->isChecked())
        return keptCount;
    const DataCountCheck check = CheckDataCount(count->text().toStdString());
    return check.ok ? check.value : 0;
}

QString CGenerateDialog::Problem() const {
    return problem->text();
}

// A long waveform takes a noticeable time to make: while values are typed, it is made once
// they pause, and OK waits for the latest.
void CGenerateDialog::Refresh() {
    if (Count() >= SettleFrom) {
        settle->start();
        return;
    }
    Preview();
}

void CGenerateDialog::accept() {
    if (settle->isActive()) {
        settle->stop();
        Preview();
    }
    if (ok->isEnabled())
        QDialog::accept();
}

void CGenerateDialog::Preview() {
    QString why;
    if (newCount->isChecked()) {
        const DataCountCheck check = CheckDataCount(count->text().toStdString());
        if (!check.ok)
            why = QString::fromStdString(check.message);
    }
    if (why.isEmpty() && preview)
        why = QString::fromStdString(preview(Options(), Count()));
    problem->setText(why);
    ok->setEnabled(why.isEmpty());
}

bool RunGenerateDialog(QWidget* parent, GeneratorOptions& options, std::uint32_t& count,
                       const CAppDialogs::GeneratePreview& preview) {
    CGenerateDialog dialog(parent, options, count, preview);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = dialog.Options();
    count = dialog.Count();
    return true;
}
