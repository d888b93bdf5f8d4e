#include "app/ExportTableDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <charconv>
#include <cmath>

namespace {

const struct {
    TableType type;
    const char* label;
} TypeChoices[] = {
    {TableType::Int8, "int8_t"},       {TableType::UInt8, "uint8_t"},
    {TableType::Int16, "int16_t"},     {TableType::UInt16, "uint16_t"},
    {TableType::Int32, "int32_t"},     {TableType::UInt32, "uint32_t"},
    {TableType::Float, "float"},       {TableType::Double, "double"},
    {TableType::Q15, "Q15 (int16_t)"}, {TableType::Q31, "Q31 (int32_t)"},
};

// Empty: not given. A text that is no number: `bad` is set.
std::optional<double> NumberIn(const QLineEdit* field, bool& bad) {
    const std::string text = field->text().trimmed().toStdString();
    if (text.empty())
        return std::nullopt;
    double v;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v)) {
        bad = true;
        return std::nullopt;
    }
    return v;
}

QString Text(const std::optional<double>& v) {
    return v ? QString::number(*v, 'g', 17) : QString();
}

QLineEdit* Field(QWidget* parent, const char* id, const QString& text,
                 const QString& placeholder = {}) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(id));
    edit->setPlaceholderText(placeholder);
    return edit;
}

} // namespace

CExportTableDialog::CExportTableDialog(QWidget* parent, const TableOptions& o, const DataPoint* p,
                                       std::size_t n)
    : QDialog(parent), points(p), count(n) {
    setWindowTitle(QStringLiteral("Export Table"));
    type = new QComboBox(this);
    type->setObjectName(QStringLiteral("type"));
    for (const auto& choice : TypeChoices) {
        type->addItem(QString::fromLatin1(choice.label), int(choice.type));
        if (choice.type == o.type)
            type->setCurrentIndex(type->count() - 1);
    }
    mapping = new QComboBox(this);
    mapping->setObjectName(QStringLiteral("mapping"));
    mapping->addItems({QStringLiteral("As the samples are (rounded, held at the type's limits)"),
                       QStringLiteral("Scaled from a source range onto a target range")});
    mapping->setCurrentIndex(o.scaled ? 1 : 0);
    sourceMin =
        Field(this, "source-min", Text(o.sourceMin), QStringLiteral("the waveform's minimum"));
    sourceMax =
        Field(this, "source-max", Text(o.sourceMax), QStringLiteral("the waveform's maximum"));
    targetMin = Field(this, "target-min", Text(o.targetMin), QStringLiteral("the type's minimum"));
    targetMax = Field(this, "target-max", Text(o.targetMax), QStringLiteral("the type's maximum"));
    hex = new QCheckBox(QStringLiteral("Hexadecimal (0x; a negative value as -0x)"), this);
    hex->setObjectName(QStringLiteral("hex"));
    hex->setChecked(o.hex);
    perLine = new QSpinBox(this);
    perLine->setObjectName(QStringLiteral("per-line"));
    perLine->setRange(1, 10000);
    perLine->setValue(o.perLine);
    name = Field(this, "name", QString::fromStdString(o.name));
    before =
        Field(this, "before", QString::fromStdString(o.before), QStringLiteral("static const"));
    after = Field(this, "after", QString::fromStdString(o.after), QStringLiteral("PROGMEM"));
    stdint = new QCheckBox(QStringLiteral("#include <stdint.h> for fixed-width types"), this);
    stdint->setObjectName(QStringLiteral("stdint"));
    stdint->setChecked(o.includeStdint);
    guard = Field(this, "guard", QString::fromStdString(o.guard), QStringLiteral("none"));
    lengthMacro =
        Field(this, "length-macro", QString::fromStdString(o.lengthMacro), QStringLiteral("none"));
    eol = new QComboBox(this);
    eol->setObjectName(QStringLiteral("eol"));
    eol->addItems({QStringLiteral("LF"), QStringLiteral("CRLF")});
    eol->setCurrentIndex(o.crlf ? 1 : 0);

    auto* values = new QGroupBox(QStringLiteral("Values"), this);
    auto* valueForm = new QFormLayout(values);
    valueForm->addRow(QStringLiteral("Element type:"), type);
    valueForm->addRow(QStringLiteral("Mapping:"), mapping);
    auto* source = new QHBoxLayout;
    source->addWidget(sourceMin);
    source->addWidget(new QLabel(QStringLiteral("to"), this));
    source->addWidget(sourceMax);
    valueForm->addRow(QStringLiteral("Source range:"), source);
    auto* target = new QHBoxLayout;
    target->addWidget(targetMin);
    target->addWidget(new QLabel(QStringLiteral("to"), this));
    target->addWidget(targetMax);
    valueForm->addRow(QStringLiteral("Target range:"), target);
    valueForm->addRow(QString(), hex);

    auto* layout = new QGroupBox(QStringLiteral("Declaration"), this);
    auto* layoutForm = new QFormLayout(layout);
    layoutForm->addRow(QStringLiteral("Array name:"), name);
    layoutForm->addRow(QStringLiteral("Before the type:"), before);
    layoutForm->addRow(QStringLiteral("After the name:"), after);
    layoutForm->addRow(QStringLiteral("Values per line:"), perLine);
    layoutForm->addRow(QString(), stdint);
    layoutForm->addRow(QStringLiteral("Header guard:"), guard);
    layoutForm->addRow(QStringLiteral("Length macro:"), lengthMacro);
    layoutForm->addRow(QStringLiteral("Line ends:"), eol);

    preview = new QPlainTextEdit(this);
    preview->setObjectName(QStringLiteral("preview"));
    preview->setReadOnly(true);
    preview->setLineWrapMode(QPlainTextEdit::NoWrap); // a table's lines stay lines
    preview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    preview->setMinimumSize(520, 200);
    status = new QLabel(this);
    status->setObjectName(QStringLiteral("status"));
    status->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Export..."));
    connect(buttons, &QDialogButtonBox::accepted, this, &CExportTableDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(values);
    left->addWidget(layout);
    left->addStretch();
    columns->addLayout(left);
    auto* right = new QVBoxLayout;
    right->addWidget(preview, 1);
    right->addWidget(status);
    columns->addLayout(right, 1);
    auto* whole = new QVBoxLayout(this);
    whole->addLayout(columns);
    whole->addWidget(buttons);

    // The preview follows every change, a moment later: the byte size reads every sample.
    refresh = new QTimer(this);
    refresh->setSingleShot(true);
    refresh->setInterval(120);
    connect(refresh, &QTimer::timeout, this, &CExportTableDialog::Refresh);
    auto later = [this] { refresh->start(); };
    for (QComboBox* box : {type, mapping, eol})
        connect(box, &QComboBox::currentIndexChanged, this, later);
    for (QLineEdit* edit :
         {sourceMin, sourceMax, targetMin, targetMax, name, before, after, guard, lengthMacro})
        connect(edit, &QLineEdit::textChanged, this, later);
    for (QCheckBox* box : {hex, stdint})
        connect(box, &QCheckBox::toggled, this, later);
    connect(perLine, &QSpinBox::valueChanged, this, later);
    Refresh();
}

TableOptions CExportTableDialog::Options() const {
    TableOptions o;
    o.type = TableType(type->currentData().toInt());
    // What is greyed out for the type is not used.
    const bool integer = o.type != TableType::Float && o.type != TableType::Double;
    const bool fractional = o.type == TableType::Q15 || o.type == TableType::Q31;
    o.scaled = mapping->currentIndex() == 1 && integer && !fractional;
    bool bad = false;
    o.sourceMin = NumberIn(sourceMin, bad);
    o.sourceMax = NumberIn(sourceMax, bad);
    o.targetMin = NumberIn(targetMin, bad);
    o.targetMax = NumberIn(targetMax, bad);
    o.hex = hex->isChecked() && integer;
    o.perLine = perLine->value();
    o.name = name->text().trimmed().toStdString();
    o.before = before->text().trimmed().toStdString();
    o.after = after->text().trimmed().toStdString();
    o.includeStdint = stdint->isChecked();
    o.guard = guard->text().trimmed().toStdString();
    o.lengthMacro = lengthMacro->text().trimmed().toStdString();
    o.crlf = eol->currentIndex() == 1;
    return o;
}

QString CExportTableDialog::Problem() const {
    bool bad = false;
    for (const QLineEdit* field : {sourceMin, sourceMax, targetMin, targetMax})
        NumberIn(field, bad);
    if (bad)
        return QStringLiteral("A range end is not a number.");
    return QString::fromStdString(PlanTable(points, count, Options()).error);
}

QString CExportTableDialog::PreviewText() const {
    return preview->toPlainText();
}

void CExportTableDialog::Refresh() {
    const TableOptions o = Options();
    const bool integer = o.type != TableType::Float && o.type != TableType::Double;
    const bool fractional = o.type == TableType::Q15 || o.type == TableType::Q31;
    mapping->setEnabled(integer && !fractional);
    hex->setEnabled(integer);
    const bool ranges = integer && !fractional && o.scaled;
    for (QLineEdit* edit : {sourceMin, sourceMax, targetMin, targetMax})
        edit->setEnabled(ranges);
    const QString problem = Problem();
    if (!problem.isEmpty()) {
        preview->setPlainText(QString());
        status->setText(problem);
        return;
    }
    const TablePlan plan = PlanTable(points, count, o);
    preview->setPlainText(QString::fromStdString(TablePreview(points, count, o, 6)));
    std::size_t bytes = 0;
    WriteTable(
        [&bytes](const char*, std::size_t n) {
            bytes += n;
            return true;
        },
        points, count, o);
    QString text = QStringLiteral("%1 values held at the limits. Table: %2 bytes; file: %3 bytes.")
                       .arg(plan.saturated)
                       .arg(plan.tableBytes)
                       .arg(bytes);
    if (o.hex && o.type != TableType::UInt8 && o.type != TableType::UInt16 &&
        o.type != TableType::UInt32)
        text += QStringLiteral(" Negative values are written as -0x and their magnitude, so the "
                               "table compiles as C and C++.");
    if (!integer)
        text += QStringLiteral(" Floating values are written with %1 significant digits, so they "
                               "read back exactly.")
                    .arg(o.type == TableType::Float ? 9 : 17);
    status->setText(text);
}

void CExportTableDialog::accept() {
    if (!Problem().isEmpty()) {
        Refresh();
        return; // the reason is shown in place of the preview
    }
    QDialog::accept();
}
