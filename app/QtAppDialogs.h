#pragma once
// The desktop's own message boxes and dialogs.

#include <QStringList>

#include "app/AppDialogs.h"

class QFileDialog;
class QWidget;

class CQtAppDialogs : public CAppDialogs {
public:
    QWidget* owner = nullptr;
    int MessageBox(const std::string& text, UINT type) override;
    bool NewData(std::uint32_t& count) override;
    std::optional<FileDialogResult> FileDialog(const FileDialogRequest& request) override;
    std::vector<std::string> OpenFiles(const FileDialogRequest& request) override;
    bool ExportTable(TableOptions& options, const DataPoint* points, std::size_t count) override;
    bool Transform(TransformRequest& request) override;
    bool Generate(GeneratorOptions& options, std::uint32_t& count,
                  const GeneratePreview& preview) override;
    std::string ClipboardText() override;
    void About() override;
    bool RunLong(const std::string& what, const std::function<void(CProgress&)>& work) override;
};

// "Name|pattern|Name|pattern||" as Qt's name filters.
QStringList QtNameFilters(const std::string& filter);

// The entry of the dialog's file type list that is chosen, from 0.
int SelectedFilterIndex(const QFileDialog& dialog);

// Points every settings file Qt would use where none can be read or written; called before
// any dialog is shown.
void KeepNoSettings();
