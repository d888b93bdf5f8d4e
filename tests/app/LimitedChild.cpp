// Not a test by itself: the editor's view run by the memory limit tests under a limit. Asks
// for 100 million new samples, opens the file given, makes a small waveform, then inverts 10
// million samples twelve times; exits 0 when the first two said "Out of memory.", the third
// worked and every transform was done (the history giving way where memory ran out).
// Given a sound file and a text file as well, it runs every Wave command, Import and Open on
// 10 and 20 million samples instead: each is done, or says "Out of memory." and leaves the
// waveform as it was.
#include <QApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "app/Commands.h"
#include "app/Resources.h"
#include "app/WaveformView.h"
#include "tests/app/ScriptedDialogs.h"

namespace {

// What tells one waveform from another: its count and every Y, bit for bit.
std::uint64_t Fingerprint(const CWaveformView& view) {
    std::uint64_t h = 1469598103934665603u ^ view.SampleCount();
    for (std::uint32_t i = 0; i < view.SampleCount(); ++i) {
        std::uint64_t bits;
        std::memcpy(&bits, &view.Samples()[i].y, sizeof bits);
        h = (h ^ bits) * 1099511628211u;
    }
    return h;
}

int EveryCommand(CWaveformView& view, ScriptedDialogs& dialogs, const char* large,
                 const char* sound, const char* text) {
    std::setvbuf(stdout, nullptr, _IONBF, 0); // all that was done, however it ends
    int failures = 0;
    auto run = [&](const char* what, UINT id, bool keeps = true) {
        const std::uint64_t before = Fingerprint(view);
        dialogs.messages.clear();
        RunCommand(view, id, dialogs);
        std::erase(dialogs.messages, std::string("Waveform not saved.\nDo you want to continue?"));
        const bool refused =
            !dialogs.messages.empty() && dialogs.messages.back() == "Out of memory.";
        const bool intact = !refused || !keeps || Fingerprint(view) == before;
        std::printf("%s at %u samples: %s%s\n", what, view.SampleCount(),
                    refused                    ? "Out of memory."
                    : dialogs.messages.empty() ? "done"
                                               : "said ",
                    refused || dialogs.messages.empty()
                        ? (intact ? "" : ", BUT THE WAVEFORM CHANGED")
                        : dialogs.messages.back().c_str());
        failures += !intact;
        dialogs.messages.clear();
        dialogs.files.clear(); // what one command left unasked is not the next one's
        dialogs.answers.clear();
        dialogs.generates.clear();
    };
    auto transform = [&](const char* what, UINT id, std::function<void(TransformRequest&)> set) {
        dialogs.transforms.push_back(std::move(set));
        run(what, id);
        if (!dialogs.transforms.empty())
            std::printf("%s asked nothing\n", what);
        dialogs.transforms.clear();
    };
    auto all = [](TransformRequest&) {};
    for (std::uint32_t count : {10'000'000u, 20'000'000u}) {
        dialogs.counts.push_back(count);
        dialogs.answers.push_back(IDYES);
        run("New", ID_FILE_NEW, false); // the old waveform goes first, as the user said
        if (view.SampleCount() != count)
            continue;
        auto* samples = const_cast<DataPoint*>(view.Samples());
        for (std::uint32_t i = 0; samples && i < view.SampleCount(); ++i)
            samples[i].y = double(i % 1000) / 1000;
        transform("An edit (Scale of 100 samples)", ID_WAVE_SCALE, [](TransformRequest& r) {
            r.first = 100;
            r.last = 199;
            r.values[0].value = 2;
        });
        transform("Normalise", ID_WAVE_NORMALISE, all);
        dialogs.generates.push_back([](GeneratorOptions& o, std::uint32_t&, auto&) {
            o.add = true;
            return true;
        });
        run("Generate (add)", ID_WAVE_GENERATE);
        transform("Scale and Offset on a range", ID_WAVE_SCALE, [](TransformRequest& r) {
            r.first = 1000;
            r.last = r.count - 1000;
            r.values[0].value = 0.5;
            r.values[1].value = 0.25;
        });
        transform("Invert", ID_WAVE_INVERT, all);
        transform("Remove DC", ID_WAVE_REMOVE_DC, all);
        transform("Reverse", ID_WAVE_REVERSE, all);
        transform("Smooth", ID_WAVE_SMOOTH, [](TransformRequest& r) { r.values[0].value = 5; });
        transform("Quantise", ID_WAVE_QUANTISE, all);
        transform("Clip", ID_WAVE_CLIP, all);
        const std::uint64_t beforeInvert = Fingerprint(view);
        transform("Invert", ID_WAVE_INVERT, all);
        const std::size_t steps = view.History().Steps();
        for (int choice : {0, 2})
            transform("Resample to twice", ID_WAVE_RESAMPLE, [choice](TransformRequest& r) {
                r.values[0].value = 2.0 * r.count;
                r.choice = choice;
            });
        // A refusal that dropping the history could not have helped keeps the history.
        if (view.SampleCount() == count && steps > 0) {
            run("Undo", ID_WAVE_UNDO);
            const bool back = Fingerprint(view) == beforeInvert;
            std::printf("Undo after the refusals: %s\n",
                        back ? "the Invert is undone" : "NOTHING TO UNDO, THE HISTORY WAS LOST");
            failures += !back;
            run("Redo", ID_WAVE_REDO);
        }
        run("Undo", ID_WAVE_UNDO);
        run("Undo", ID_WAVE_UNDO);
        run("Redo", ID_WAVE_REDO);
        for (const char* file : {sound, text}) {
            dialogs.answers.push_back(IDYES); // the unsaved waveform may go
            dialogs.files.push_back({file, 1});
            dialogs.transforms.push_back(all);
            run(file == sound ? "Import of the long sound file" : "Import of the long text file",
                ID_WAVE_IMPORT);
        }
        dialogs.answers.push_back(IDYES);
        dialogs.files.push_back({large, 1});
        run("Open of the large file", ID_FILE_OPEN);
    }
    return failures ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4)
        return 2;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ScriptedDialogs dialogs;
    CWaveformView view(dialogs, [](const std::string&) {});
    view.Create();
    if (argc == 4)
        return EveryCommand(view, dialogs, argv[1], argv[2], argv[3]);
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
