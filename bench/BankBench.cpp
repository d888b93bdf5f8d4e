// Banks: open, save and convert of a 256 x 2048 bank through the files the editor and
// tarvelin-table use, morph, an expression and mipmaps over all its frames, and a step to the
// next frame with its repaint at 256 x 65,536.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "app/Commands.h"
#include "app/Resources.h"
#include "app/WaveformView.h"
#include "files/DataFileWriter.h"
#include "files/SafeWrite.h"
#include "files/bank/BankPresets.h"
#include "wave/BankFile.h"
#include "wave/Generators.h"
#include "wave/Mipmaps.h"
#include "wave/Morph.h"

namespace {

// New Bank asks for 256 frames of 65,536; everything else answers OK.
struct Answers : CAppDialogs {
    int MessageBox(const std::string&, UINT) override { return IDYES; }
    bool NewData(std::uint32_t&) override { return false; }
    std::optional<FileDialogResult> FileDialog(const FileDialogRequest&) override { return {}; }
    bool ExportTable(TableOptions&, const DataPoint*, std::size_t) override { return false; }
    bool Generate(GeneratorOptions&, std::uint32_t&, const GeneratePreview&) override {
        return false;
    }
    bool Transform(TransformRequest& r) override {
        if (r.title == "New Bank") {
            r.values[0].value = 256;
            r.values[1].value = 65536;
        }
        return true;
    }
    std::string ClipboardText() override { return {}; }
    void About() override {}
};

// The median of `runs` timings of `work`, in milliseconds.
double Median(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Save(const std::string& path, const BankValues& bank, BankPreset preset) {
    BankSaveOptions options;
    options.preset = preset;
    WriteFileSafely(path,
                    [&](std::FILE* f) { return WriteBankPreset(FileSink(f), bank, options); });
}

} // namespace

int main(int argc, char** argv) {
    const char* folder = std::getenv("TARVELIN_BENCH_DIR");
    const std::string dir = folder ? folder : "/tmp";
    BankValues bank{2048, 256, {}};
    for (std::uint32_t i = 0; i < 256 * 2048; ++i)
        bank.values.push_back(double(i % 2048) / 1024 - 1 + double(i / 2048) / 512);
    const std::string wav = dir + "/bank.wav", converted = dir + "/bank.wt";
    std::printf("save    %7.2f ms (256 x 2048, float WAV, safe write, median of 11)\n",
                Median(11, [&] { Save(wav, bank, BankPreset::Serum); }));
    std::printf("open    %7.2f ms (median of 11)\n", Median(11, [&] { ReadBankFile(wav); }));
    std::printf("convert %7.2f ms (WAV to .wt, read and written, median of 11)\n",
                Median(11, [&] { Save(converted, ReadBankFile(wav).bank, BankPreset::SurgeWt); }));

    // Shaping every frame of a 256 x 2048 bank.
    std::printf("morph   %7.2f ms (254 frames between the first and the last, spectral)\n",
                Median(11, [&] {
                    MorphFrames(bank.values.data(), bank.values.data() + 255 * 2048, 2048, 254,
                                MorphMethod::Spectral);
                }));
    GeneratorOptions expression;
    expression.shape = Shape::Expression;
    expression.expression = "sin(2*pi*x) * (1-t) + sign(sin(2*pi*x)) * t";
    expression.frames = 256;
    std::printf("generate %6.2f ms (an expression over all 256 frames)\n", Median(11, [&] {
                    for (std::uint32_t k = 0; k < 256; ++k) {
                        expression.frame = k;
                        Generate(expression, 2048, nullptr, 0);
                    }
                }));
    std::printf("mipmaps %7.2f ms (every level of all 256 frames)\n", Median(11, [&] {
                    for (std::uint32_t k = 0; k < 256; ++k)
                        Mipmaps(bank.values.data() + std::size_t(k) * 2048, 2048,
                                MipmapLevels(2048), false);
                }));

    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    Answers dialogs;
    CWaveformView view(dialogs, [](const std::string&) {});
    view.Create();
    view.MoveWindow(CRect(0, 0, 1920, 1080));
    RunCommand(view, ID_BANK_NEW, dialogs);
    if (!view.OpenBank())
        return 1;
    view.Graph().UpdateWindow();
    int step = 0;
    std::printf("next    %7.2f ms (256 x 65,536, repaint included, median of 101)\n",
                Median(101, [&] {
                    RunCommand(view, ++step % 200 < 100 ? ID_BANK_NEXT : ID_BANK_PREVIOUS, dialogs);
                    view.Graph().UpdateWindow();
                }));
    return 0;
}
