// A whole-table step through the editor at 10 million samples: a transform, its undo and its
// redo, each as the Wave menu runs it, repaint included, and what the history keeps.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "app/Commands.h"
#include "app/Resources.h"
#include "app/WaveformView.h"

namespace {

// Every dialog answers OK with what it was given; New asks for 10 million samples.
struct Answers : CAppDialogs {
    int MessageBox(const std::string&, UINT) override { return IDYES; }
    bool NewData(std::uint32_t& count) override {
        count = 10'000'000;
        return true;
    }
    std::string file; // what the file dialogs choose, when set
    std::optional<FileDialogResult> FileDialog(const FileDialogRequest&) override {
        if (file.empty())
            return {};
        return FileDialogResult{file, 1};
    }
    bool ExportTable(TableOptions&, const DataPoint*, std::size_t) override { return false; }
    bool Generate(GeneratorOptions&, std::uint32_t&, const GeneratePreview&) override {
        return false;
    }
    bool Transform(TransformRequest&) override { return true; }
    std::string ClipboardText() override { return {}; }
    void About() override {}
};

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    Answers dialogs;
    CWaveformView view(dialogs, [](const std::string&) {});
    view.Create();
    view.MoveWindow(CRect(0, 0, 1920, 1080));
    RunCommand(view, ID_FILE_NEW, dialogs);
    auto* samples = const_cast<DataPoint*>(view.Samples());
    for (std::uint32_t i = 0; i < view.SampleCount(); ++i)
        samples[i].y = double(i % 4096) / 4096 - 0.5;
    const struct {
        const char* name;
        UINT id;
    } steps[] = {{"invert", ID_WAVE_INVERT}, {"undo", ID_WAVE_UNDO}, {"redo", ID_WAVE_REDO}};
    std::vector<double> times[3];
    for (int round = 0; round < 7; ++round) {
        for (int s = 0; s < 3; ++s) {
            const auto start = std::chrono::steady_clock::now();
            RunCommand(view, steps[s].id, dialogs);
            view.Graph().UpdateWindow();
            times[s].push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
        }
        RunCommand(view, ID_WAVE_UNDO, dialogs); // back to the start for the next round
        view.Graph().UpdateWindow();
    }
    for (int s = 0; s < 3; ++s) {
        std::sort(times[s].begin(), times[s].end());
        std::printf("%-7s %8.1f ms (median of 7, repaint included)\n", steps[s].name,
                    times[s][times[s].size() / 2]);
    }
    RunCommand(view, ID_WAVE_REDO, dialogs);
    std::printf("history %6.2f bytes a sample for one whole-table step\n",
                double(view.History().Bytes()) / view.SampleCount());

    // Save of the 10 million samples (the safe write: into a new file, flushed to the disk,
    // renamed over the old), then Open of that file up to the first paint of the new curve.
    const char* folder = std::getenv("TARVELIN_BENCH_DIR");
    dialogs.file = std::string(folder ? folder : "/tmp") + "/tarvelin-view-bench.txt";
    for (const auto& [name, id] :
         {std::pair{"save", ID_FILE_SAVE}, std::pair{"open", ID_FILE_OPEN}}) {
        std::vector<double> taken;
        for (int round = 0; round < 5; ++round) {
            const auto start = std::chrono::steady_clock::now();
            RunCommand(view, id, dialogs);
            view.Graph().UpdateWindow();
            taken.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
        }
        std::sort(taken.begin(), taken.end());
        std::printf("%-7s %8.1f ms (median of 5, 10 million samples, %s)\n", name, taken[2],
                    id == ID_FILE_SAVE ? "flushed to the disk" : "up to the first paint");
    }
    std::remove(dialogs.file.c_str());
    return 0;
}
