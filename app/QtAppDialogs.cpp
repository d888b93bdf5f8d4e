#include "app/QtAppDialogs.h"

#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>

#include "app/ExportTableDialog.h"
#include "app/GenerateDialog.h"
#include "app/LongWork.h"
#include "app/NewDataDialog.h"
#include "app/Resources.h"
#include "app/ToolbarImages.h"
#include "app/TransformDialog.h"

QStringList QtNameFilters(const std::string& filter) {
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList names;
    // Each entry's text is shown as it stands; the dialog matches the pattern in its
    // parentheses in either case, as the system the filters were written for does.
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].trimmed().isEmpty())
            break;
        names << parts[i];
    }
    return names;
}

namespace {

// A file dialog whose chosen name need not exist, but whose folder must.
class PathMustExistDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

protected:
    void accept() override {
        const QStringList chosen = selectedFiles();
        if (!chosen.isEmpty()) {
            const QFileInfo info(chosen.front());
            if (!info.isDir() && !info.absoluteDir().exists()) {
                QMessageBox::warning(this, windowTitle(),
                                     QStringLiteral("%1\nPath does not exist.\nCheck the path "
                                                    "and try again.")
                                         .arg(info.absolutePath()));
                return;
            }
        }
        QFileDialog::accept();
    }
};

} // namespace

int SelectedFilterIndex(const QFileDialog& dialog) {
    if (const auto* list = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        list && list->currentIndex() >= 0)
        return list->currentIndex();
    return std::max(0, int(dialog.nameFilters().indexOf(dialog.selectedNameFilter())));
}

void KeepNoSettings() {
    // Qt's own dialogs remember folders and history in a settings file; the program keeps
    // none, so every settings path leads where nothing can be read or written.
    const QString nowhere = QStringLiteral("/dev/null/tarvelin-keeps-no-settings");
    for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (auto scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, nowhere);
}

int CQtAppDialogs::MessageBox(const std::string& text, UINT type) {
    QMessageBox box(owner);
    box.setWindowTitle(QString::fromLatin1(LoadString(IDS_APP_NAME)));
    box.setText(QString::fromStdString(text));
    switch (type & 0xF0) {
    case MB_ICONSTOP:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    default:
        break;
    }
    if ((type & 0xF) == MB_YESNOCANCEL) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        const int pressed = box.exec();
        return pressed == QMessageBox::Yes ? IDYES : pressed == QMessageBox::No ? IDNO : IDCANCEL;
    }
    if ((type & 0xF) == MB_YESNO) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton((type & MB_DEFBUTTON2) ? QMessageBox::No : QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? IDYES : IDNO;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return IDOK;
}

bool CQtAppDialogs::NewData(std::uint32_t& count) {
    return RunNewDataDialog(owner, count);
}

std::optional<FileDialogResult> CQtAppDialogs::FileDialog(const FileDialogRequest& r) {
    PathMustExistDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("file-dialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog); // the same dialog, with our checks
    dialog.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // Open: a name that does not exist reads empty
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    dialog.setDefaultSuffix(QString::fromStdString(r.defaultExtension));
    const QStringList filters = QtNameFilters(r.filter);
    dialog.setNameFilters(filters);
    if (r.filterIndex > 1 && r.filterIndex <= filters.size()) // as the dialog tidied its texts
        dialog.selectNameFilter(dialog.nameFilters().value(r.filterIndex - 1));
    if (!r.initialFolder.empty())
        dialog.setDirectory(QFileInfo(QString::fromStdString(r.initialFolder)).absolutePath());
    if (!r.initialFile.empty())
        dialog.selectFile(QString::fromStdString(r.initialFile));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    FileDialogResult result;
    result.path = dialog.selectedFiles().front().toStdString();
    // By position: Qt gives the chosen entry's text back tidied (no leading blank), so it
    // need not equal ours.
    result.filterIndex = SelectedFilterIndex(dialog) + 1;
    return result;
}

std::vector<std::string> CQtAppDialogs::OpenFiles(const FileDialogRequest& r) {
    QFileDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("files-dialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    dialog.setNameFilters(QtNameFilters(r.filter));
    if (!r.initialFolder.empty())
        dialog.setDirectory(QFileInfo(QString::fromStdString(r.initialFolder)).absolutePath());
    std::vector<std::string> paths;
    if (dialog.exec() == QDialog::Accepted)
        for (const QString& file : dialog.selectedFiles())
            paths.push_back(file.toStdString());
    return paths;
}

bool CQtAppDialogs::ExportTable(TableOptions& options, const DataPoint* points, std::size_t count) {
    CExportTableDialog dialog(owner, options, points, count);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = dialog.Options();
    return true;
}

bool CQtAppDialogs::Generate(GeneratorOptions& options, std::uint32_t& count,
                             const GeneratePreview& preview) {
    return RunGenerateDialog(owner, options, count, preview);
}

bool CQtAppDialogs::Transform(TransformRequest& request) {
    return RunTransformDialog(owner, request);
}

std::string CQtAppDialogs::ClipboardText() {
    return QGuiApplication::clipboard()->text().toStdString();
}

void CQtAppDialogs::About() {
    QDialog box(owner);
    box.setWindowTitle(QStringLiteral("About Tarvelin"));
    auto* icon = new QLabel;
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    auto* name = new QLabel(QStringLiteral("Tarvelin Version 1.7"));
    name->setTextFormat(Qt::PlainText);
    auto* line = new QLabel(QStringLiteral("Draw a waveform, keep it as a table."));
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
    auto* layout = new QGridLayout(&box);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(name, 0, 1);
    layout->addWidget(line, 1, 1);
    layout->addWidget(ok, 0, 2, Qt::AlignTop);
    box.exec();
}

bool CQtAppDialogs::RunLong(const std::string& what, const std::function<void(CProgress&)>& work) {
    return RunWithProgress(owner, QString::fromStdString(what), work);
}
