#pragma once
// Dialog answers given in advance; every question asked is recorded.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/AppDialogs.h"

struct ScriptedDialogs : CAppDialogs {
    std::deque<int> answers;                        // for message boxes with Yes and No
    std::deque<std::uint32_t> counts;               // New Data: empty means Cancel
    std::deque<FileDialogResult> files;             // file dialogs: empty means Cancel
    std::deque<std::vector<std::string>> manyFiles; // Open of several files: none is Cancel
    std::vector<std::string> messages;              // texts of every message box shown
    std::vector<FileDialogRequest> requests;        // every file dialog asked for
    std::deque<TableOptions> tables;                // Export Table: empty means Cancel
    // Transforms: the answer edits the request; none means Cancel.
    std::deque<std::function<void(TransformRequest&)>> transforms;
    std::vector<TransformRequest> transformRequests;
    // Generate: the answer may preview and edit; it returns false for Cancel.
    std::deque<std::function<bool(GeneratorOptions&, std::uint32_t&, const GeneratePreview&)>>
        generates;
    int abouts = 0;
    // Long work: cancelled at this step (0: before it starts); none or -1 runs it to its end.
    std::deque<int> cancels;
    std::vector<std::string> longWork; // what each one said it does
    int steps = 0;                     // the steps the last one took

    int MessageBox(const std::string& text, UINT type) override {
        messages.push_back(text);
        if ((type & 0xF) != MB_YESNO && (type & 0xF) != MB_YESNOCANCEL)
            return IDOK;
        if (answers.empty())
            return (type & 0xF) == MB_YESNO ? IDNO : IDCANCEL;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<std::string> OpenFiles(const FileDialogRequest& r) override {
        requests.push_back(r);
        if (manyFiles.empty())
            return {};
        std::vector<std::string> chosen = manyFiles.front();
        manyFiles.pop_front();
        return chosen;
    }
    bool NewData(std::uint32_t& count) override {
        if (counts.empty())
            return false;
        EXPECT_EQ(count, 256u); // the dialog opens with the default count
        count = counts.front();
        counts.pop_front();
        return true;
    }
    std::optional<FileDialogResult> FileDialog(const FileDialogRequest& r) override {
        requests.push_back(r);
        if (files.empty())
            return std::nullopt;
        FileDialogResult f = files.front();
        files.pop_front();
        return f;
    }
    bool ExportTable(TableOptions& options, const DataPoint*, std::size_t) override {
        if (tables.empty())
            return false;
        options = tables.front();
        tables.pop_front();
        return true;
    }
    bool Transform(TransformRequest& r) override {
        transformRequests.push_back(r);
        if (transforms.empty())
            return false;
        transforms.front()(r);
        transforms.pop_front();
        return true;
    }
    bool Generate(GeneratorOptions& o, std::uint32_t& count,
                  const GeneratePreview& preview) override {
        if (generates.empty())
            return false;
        auto answer = generates.front();
        generates.pop_front();
        return answer(o, count, preview);
    }
    std::string clipboard;
    std::string ClipboardText() override { return clipboard; }
    void About() override { ++abouts; }
    std::function<void()> whileLong; // runs beside each long work, as the window's thread does
    bool RunLong(const std::string& what, const std::function<void(CProgress&)>& work) override {
        longWork.push_back(what);
        if (whileLong)
            whileLong();
        const int at = cancels.empty() ? -1 : cancels.front();
        if (!cancels.empty())
            cancels.pop_front();
        CProgress progress;
        steps = 0;
        if (at == 0)
            progress.Cancel();
        progress.watcher = [this, at](CProgress& p) {
            if (++steps == at)
                p.Cancel();
        };
        try {
            work(progress);
        } catch (const OperationCancelled&) {
            return false;
        }
        return !(progress.Cancelled() && progress.Cancellable());
    }
};
