#include "app/ExportTableDialog.h"

#include <filesystem>

#include "app/AnalyseWindow.h"
#include "app/AnalysisText.h"

#include "wave/WavTable.h"

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
#include <QTabWidget>
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

const struct {
    TableFormat format;
    const char* label;
    const char* extension;
    const char* filter;
} FormatChoices[] = {
    {TableFormat::C, "C header", "h", "Header file (*.h)|*.h||"},
    {TableFormat::Cpp, "C++ header (constexpr std::array)", "hpp", "C++ header (*.hpp)|*.hpp||"},
    {TableFormat::Rust, "Rust (a static array)", "rs", "Rust file (*.rs)|*.rs||"},
    {TableFormat::Mem, "Verilog $readmemh (.mem)", "mem", "Memory file (*.mem)|*.mem||"},
    {TableFormat::MemB, "Verilog $readmemb (.mem)", "mem", "Memory file (*.mem)|*.mem||"},
    {TableFormat::Coe, "Xilinx coefficients (.coe)", "coe", "Coefficient file (*.coe)|*.coe||"},
    {TableFormat::Mif, "Intel memory initialisation (.mif)", "mif",
     "Memory initialisation file (*.mif)|*.mif||"},
    {TableFormat::IHex, "Intel HEX image", "hex", "Intel HEX (*.hex)|*.hex||"},
    {TableFormat::Bin, "Raw binary image", "bin", "Binary image (*.bin)|*.bin||"},
    {TableFormat::Vhdl, "VHDL package", "vhd", "VHDL file (*.vhd)|*.vhd||"},
    {TableFormat::Wav, "WAV, one looping cycle", "wav", "Sound file (*.wav)|*.wav||"},
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
    format = new QComboBox(this);
    format->setObjectName(QStringLiteral("format"));
    for (const auto& choice : FormatChoices) {
        format->addItem(QString::fromLatin1(choice.label), int(choice.format));
        if (choice.format == o.format)
            format->setCurrentIndex(format->count() - 1);
    }
    width = new QSpinBox(this);
    width->setObjectName(QStringLiteral("width"));
    width->setRange(1, 32);
    width->setValue(o.width);
    widthSigned = new QCheckBox(QStringLiteral("Signed (two's complement)"), this);
    widthSigned->setObjectName(QStringLiteral("signed"));
    widthSigned->setChecked(o.widthSigned);
    radix = new QComboBox(this);
    radix->setObjectName(QStringLiteral("radix"));
    radix->addItems({QStringLiteral("16"), QStringLiteral("10"), QStringLiteral("2")});
    radix->setCurrentIndex(o.radix == 10 ? 1 : o.radix == 2 ? 2 : 0);
    endian = new QComboBox(this);
    endian->setObjectName(QStringLiteral("endian"));
    endian->addItems({QStringLiteral("Little endian"), QStringLiteral("Big endian")});
    endian->setCurrentIndex(o.bigEndian ? 1 : 0);
    base = Field(this, "base", QStringLiteral("0x%1").arg(o.base, 0, 16), QStringLiteral("0x0"));
    recordBytes = new QComboBox(this);
    recordBytes->setObjectName(QStringLiteral("record-bytes"));
    recordBytes->addItems({QStringLiteral("16"), QStringLiteral("32")});
    recordBytes->setCurrentIndex(o.recordBytes == 32 ? 1 : 0);
    guardPoint =
        new QCheckBox(QStringLiteral("Guard point (the first sample again at the end)"), this);
    guardPoint->setObjectName(QStringLiteral("guard-point"));
    guardPoint->setChecked(o.guardPoint);
    vhdlType = new QComboBox(this);
    vhdlType->setObjectName(QStringLiteral("vhdl-type"));
    vhdlType->addItems({QStringLiteral("std_logic_vector"), QStringLiteral("signed"),
                        QStringLiteral("unsigned"), QStringLiteral("integer")});
    vhdlType->setCurrentIndex(int(o.vhdlType));
    wavetable = new QCheckBox(QStringLiteral("Wavetable frame (resampled to 2048)"), this);
    wavetable->setObjectName(QStringLiteral("wavetable"));
    wavetable->setChecked(o.wavetable);
    quarterWave = new QCheckBox(QStringLiteral("Quarter-wave table"), this);
    quarterWave->setObjectName(QStringLiteral("quarter-wave"));
    quarterWave->setChecked(o.quarterWave);
    rate = new QSpinBox(this);
    rate->setObjectName(QStringLiteral("rate"));
    rate->setRange(1, 1000000);
    rate->setValue(o.rate);
    sampleFormat = new QComboBox(this);
    sampleFormat->setObjectName(QStringLiteral("sample-format"));
    sampleFormat->addItems({QStringLiteral("PCM 8 bits"), QStringLiteral("PCM 16 bits"),
                            QStringLiteral("PCM 24 bits"), QStringLiteral("PCM 32 bits"),
                            QStringLiteral("Float 32 bits")});
    sampleFormat->setCurrentIndex(o.wavFloat ? 4 : std::clamp(o.wavBits / 8 - 1, 0, 3));

    auto* forms = new QGroupBox(QStringLiteral("Form"), this);
    auto* formForm = new QFormLayout(forms);
    formForm->addRow(QStringLiteral("Format:"), format);
    auto* widthRow = new QHBoxLayout;
    widthRow->addWidget(width);
    widthRow->addWidget(widthSigned);
    formForm->addRow(QStringLiteral("Word width (bits):"), widthRow);
    formForm->addRow(QStringLiteral("Radix:"), radix);
    formForm->addRow(QStringLiteral("Byte order:"), endian);
    auto* hexRow = new QHBoxLayout;
    hexRow->addWidget(base);
    hexRow->addWidget(new QLabel(QStringLiteral("bytes a record:"), this));
    hexRow->addWidget(recordBytes);
    formForm->addRow(QStringLiteral("Base address:"), hexRow);
    auto* wavRow = new QHBoxLayout;
    wavRow->addWidget(rate);
    wavRow->addWidget(sampleFormat);
    formForm->addRow(QStringLiteral("Rate (Hz), samples:"), wavRow);
    formForm->addRow(QString(), wavetable);
    formForm->addRow(QStringLiteral("VHDL elements:"), vhdlType);
    formForm->addRow(QString(), guardPoint);
    formForm->addRow(QString(), quarterWave);

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

    // The three groups as tabs beside the preview: the dialog fits a 1280 x 720 screen.
    auto* pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("pages"));
    for (QGroupBox* group : {forms, values, layout}) {
        pages->addTab(group, group->title());
        group->setTitle(QString());
        group->setFlat(true);
    }
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(pages);
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
    for (QComboBox* box : {type, mapping, eol, format, radix, endian, recordBytes, sampleFormat})
        connect(box, &QComboBox::currentIndexChanged, this, later);
    for (QSpinBox* box : {width, rate})
        connect(box, &QSpinBox::valueChanged, this, later);
    for (QCheckBox* box : {widthSigned, guardPoint, quarterWave, wavetable})
        connect(box, &QCheckBox::toggled, this, later);
    connect(base, &QLineEdit::textChanged, this, later);
    for (QComboBox* box : {format, type, mapping, sampleFormat})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { Enable(); });
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
    o.format = TableFormat(format->currentData().toInt());
    const bool words = IsWordFormat(o.format);
    o.type = TableType(type->currentData().toInt());
    o.width = width->value();
    o.widthSigned = widthSigned->isChecked();
    o.radix = radix->currentText().toInt();
    o.bigEndian = endian->currentIndex() == 1;
    bool read = false;
    const unsigned long address = base->text().trimmed().toULong(&read, 0);
    o.base = read && address <= 0xFFFFFFFFul ? std::uint32_t(address) : 0;
    o.recordBytes = recordBytes->currentText().toInt();
    o.guardPoint = guardPoint->isChecked();
    o.quarterWave = quarterWave->isChecked() && quarterWave->isEnabled();
    o.rate = rate->value();
    o.vhdlType = VhdlType(vhdlType->currentIndex());
    o.wavetable = wavetable->isChecked() && o.format == TableFormat::Wav;
    o.wavFloat = sampleFormat->currentIndex() == 4;
    o.wavBits = 8 * std::min(sampleFormat->currentIndex() + 1, 4);
    // What is greyed out for the type is not used.
    const bool integer = words || (o.type != TableType::Float && o.type != TableType::Double);
    const bool fractional = !words && (o.type == TableType::Q15 || o.type == TableType::Q31);
    o.scaled = mapping->currentIndex() == 1 && integer && !fractional;
    bool bad = false;
    o.sourceMin = NumberIn(sourceMin, bad);
    o.sourceMax = NumberIn(sourceMax, bad);
    o.targetMin = NumberIn(targetMin, bad);
    o.targetMax = NumberIn(targetMax, bad);
    o.hex = hex->isChecked() && integer && !words;
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

// Only what applies to the chosen form and type can be changed.
void CExportTableDialog::Enable() {
    const TableOptions o = Options();
    const TableFormat f = o.format;
    const bool words = IsWordFormat(f), wav = f == TableFormat::Wav;
    const bool integer = words || (o.type != TableType::Float && o.type != TableType::Double);
    const bool fractional = !words && (o.type == TableType::Q15 || o.type == TableType::Q31);
    type->setEnabled(!words);
    mapping->setEnabled(integer && !fractional && !(wav && o.wavFloat));
    hex->setEnabled(integer && !words);
    width->setEnabled(words && !wav);
    widthSigned->setEnabled(words && !wav);
    radix->setEnabled(f == TableFormat::Coe || f == TableFormat::Mif);
    endian->setEnabled(f == TableFormat::Bin || f == TableFormat::IHex);
    base->setEnabled(f == TableFormat::IHex);
    recordBytes->setEnabled(f == TableFormat::IHex);
    rate->setEnabled(wav);
    sampleFormat->setEnabled(wav);
    wavetable->setEnabled(wav);
    vhdlType->setEnabled(f == TableFormat::Vhdl);
    name->setEnabled(f != TableFormat::IHex && f != TableFormat::Bin && !wav); // no name there
    for (QWidget* c : {static_cast<QWidget*>(before), static_cast<QWidget*>(after),
                       static_cast<QWidget*>(stdint)})
        c->setEnabled(f == TableFormat::C);
    guard->setEnabled(f == TableFormat::C || f == TableFormat::Cpp);
    lengthMacro->setEnabled(f == TableFormat::C || f == TableFormat::Cpp);
    perLine->setEnabled(!words || f == TableFormat::Mem || f == TableFormat::MemB ||
                        f == TableFormat::Coe || f == TableFormat::Vhdl);
    eol->setEnabled(f != TableFormat::Bin && !wav);
    const bool ranges = integer && !fractional && o.scaled;
    for (QLineEdit* edit : {sourceMin, sourceMax, targetMin, targetMax})
        edit->setEnabled(ranges);
}

void CExportTableDialog::Refresh() {
    Enable();
    const TableOptions o = Options();
    const bool wav = o.format == TableFormat::Wav;
    const bool integer =
        IsWordFormat(o.format) || (o.type != TableType::Float && o.type != TableType::Double);
    const QString problem = Problem();
    if (!problem.isEmpty()) {
        preview->setPlainText(QString());
        status->setText(problem);
        return;
    }
    const TablePlan plan = PlanTable(points, count, o);
    // Offered only where the rounded waveform has the symmetry, with how far it is from it.
    TableOptions whole = o;
    whole.quarterWave = false;
    const TablePlan symmetry = o.quarterWave ? plan : PlanTable(points, count, whole);
    quarterWave->setEnabled(symmetry.quarterWaveOffered && !o.guardPoint);
    quarterWave->setText(
        symmetry.quarterWaveDeviation < 0
            ? QStringLiteral("Quarter-wave table")
            : QStringLiteral("Quarter-wave table (%1 samples; largest deviation %2)")
                  .arg(count / 4 + 1)
                  .arg(symmetry.quarterWaveDeviation));
    preview->setPlainText(
        wav ? QStringLiteral("One cycle of %1 frames at %2 Hz, looped by a sampler%3.")
                  .arg(WrittenCount(count, o))
                  .arg(o.rate)
                  .arg(count == 2048 || o.wavetable
                           ? QStringLiteral("; a 2048-sample wavetable frame")
                           : QString())
            : QString::fromStdString(TablePreview(points, count, o, 6)));
    std::size_t bytes = 0;
    WriteTableForm(
        [&bytes](const char*, std::size_t n) {
            bytes += n;
            return true;
        },
        points, count, o);
    QString text = QStringLiteral("%1 values held at the limits. Table: %2 bytes; file: %3 bytes.")
                       .arg(plan.saturated)
                       .arg(plan.tableBytes)
                       .arg(bytes);
    // How clean the stored table is, where that is quick to tell.
    if (count <= CAnalyseWindow::ImmediateLimit)
        text = QString::fromStdString(StoredSummary(AnalyseStored(points, count, o), count, o)) +
               QStringLiteral(".\n") + text;
    if (!plan.warning.empty())
        text = QString::fromStdString(plan.warning) + QStringLiteral("\n") + text;
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

std::string CExportTableDialog::FilterOf(TableFormat f) {
    for (const auto& choice : FormatChoices)
        if (choice.format == f)
            return choice.filter;
    return "Header file (*.h)|*.h||";
}

FileDialogRequest CExportTableDialog::SaveRequest(TableFormat format, const std::string& lastPath) {
    FileDialogRequest request;
    request.save = true;
    request.defaultExtension = ExtensionOf(format);
    request.initialFile =
        lastPath.empty()
            ? lastPath
            : std::filesystem::path(lastPath).replace_extension(request.defaultExtension).string();
    request.filter = FilterOf(format);
    return request;
}

std::string CExportTableDialog::ExtensionOf(TableFormat f) {
    for (const auto& choice : FormatChoices)
        if (choice.format == f)
            return choice.extension;
    return "h";
}
