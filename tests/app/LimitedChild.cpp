// Not a test by itself: the editor's view run by the memory limit tests under a limit. Asks
// for 100 million new samples, opens the file given, makes a small waveform, then inverts 10
// million samples twelve times; exits 0 when the first two said "Out of memory.", the third
// worked and every transform was done (the history giving way where memory ran out).
#include <QApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/Commands.h"
#include "app/Resources.h"
#include "app/WaveformView.h"
#include "tests/app/ScriptedDialogs.h"

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ScriptedDialogs dialogs;
    CWaveformView view(dialogs, [](const std::string&) {});
    view.Create();
    int failures = 0;
    auto expectOutOfMemory = [&](const char* what) {
        const bool said = !dialogs.messages.empty() && dialogs.messages.back() == "Out of memory.";
        std::printf("%s: %s\n", what, said ? "Out of memory." : "no message");
        failures += !said;
        dialogs.messages.clear();
    };
    dialogs.counts.push_back(100'000'000);
    RunCommand(view, ID_FILE_NEW, dialogs);
    expectOutOfMemory("New of 100 million samples");
    dialogs.files.push_back({argv[1], 1});
    RunCommand(view, ID_FILE_OPEN, dialogs);
    expectOutOfMemory("Open of the large file");
    dialogs.counts.push_back(1000);
    RunCommand(view, ID_FILE_NEW, dialogs);
    std::printf("then New of 1000: %u samples\n", view.SampleCount());
    failures += view.SampleCount() != 1000;
    dialogs.counts.push_back(10'000'000);
    dialogs.answers.push_back(IDYES);
    RunCommand(view, ID_FILE_NEW, dialogs);
    auto* samples = const_cast<DataPoint*>(view.Samples());
    for (std::uint32_t i = 0; samples && i < view.SampleCount(); ++i)
        samples[i].y = double(i % 1000);
    for (int k = 1; k <= 12; ++k) {
        dialogs.transforms.push_back([](TransformRequest&) {});
        RunCommand(view, ID_WAVE_INVERT, dialogs);
        const bool done = view.SampleCount() == 10'000'000 &&
                          view.Samples()[7].y == (k % 2 ? -7.0 : 7.0) && dialogs.messages.empty();
        std::printf("invert %d of 10 million: %s, history %zu steps, %zu MB\n", k,
                    done ? "done" : "NOT DONE", view.History().Steps(),
                    view.History().Bytes() >> 20);
        failures += !done;
        dialogs.messages.clear();
    }
    return failures ? 1 : 0;
}
