#include "app/WaveCommands.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/Commands.h"
#include "app/ExportTableDialog.h"
#include "app/Resources.h"
#include "app/SafeSave.h"
#include "files/DataFileWriter.h"
#include "files/MemoryGate.h"
#include "files/TableExport.h"
#include "wave/BankResample.h"
#include "wave/Generators.h"
#include "wave/Import.h"
#include "wave/Resample.h"
#include "wave/Transforms.h"
#include "wave/WavTable.h"

namespace {

double Value(const TransformRequest& r, std::size_t i) {
    return i < r.values.size() ? r.values[i].value : 0.0;
}

int WholeValue(const TransformRequest& r, std::size_t i) {
    return int(std::clamp(Value(r, i), -2147483648.0, 2147483647.0));
}

// A transform as the menu offers it: the dialog's title and fields, and what it does with them.
struct TransformSpec {
    UINT id;
    const char* title;
    std::vector<TransformField> fields;
    const char* option; // a check box when not empty
    // False when the values given cannot be used (nothing was changed then).
    bool (*apply)(SampleRange, const TransformRequest&);
    // Why the values given make no sense, asked before anything is done (empty: they do).
    std::string (*check)(const TransformRequest&) = nullptr;
};

std::string LowNotAboveHigh(const TransformRequest& r) {
    return Value(r, 0) > Value(r, 1) ? "Low must not lie above High." : "";
}

const std::vector<TransformSpec>& TransformSpecs() {
    using F = TransformField;
    static const std::vector<TransformSpec> specs = {
        {ID_WAVE_NORMALISE,
         "Normalise",
         {{.label = "Peak:", .value = 1, .when = F::OptionOff},
          {.label = "Range low:", .value = -1, .when = F::OptionOn},
          {.label = "Range high:", .value = 1, .when = F::OptionOn}},
         "Minimum and maximum onto the range instead",
         [](SampleRange s, const TransformRequest& r) {
             return r.checked ? NormaliseRange(s, Value(r, 1), Value(r, 2))
                              : NormalisePeak(s, Value(r, 0));
         }},
        {ID_WAVE_SCALE,
         "Scale and Offset",
         {{.label = "Scale:", .value = 1}, {.label = "Offset:", .value = 0}},
         "",
         [](SampleRange s, const TransformRequest& r) {
             return ScaleOffset(s, Value(r, 0), Value(r, 1));
         }},
        {ID_WAVE_REMOVE_DC,
         "Remove DC",
         {},
         "",
         [](SampleRange s, const TransformRequest&) { return RemoveDC(s); }},
        {ID_WAVE_INVERT,
         "Invert",
         {},
         "",
         [](SampleRange s, const TransformRequest&) {
             Invert(s);
             return true;
         }},
        {ID_WAVE_REVERSE,
         "Reverse",
         {},
         "",
         [](SampleRange s, const TransformRequest&) {
             Reverse(s);
             return true;
         }},
        {ID_WAVE_SMOOTH,
         "Smooth",
         {{.label = "Width (odd):", .value = 3, .integer = true, .min = 1, .max = 2147483647}},
         "Circular (the table repeats)",
         [](SampleRange s, const TransformRequest& r) {
             return Smooth(s, WholeValue(r, 0), r.checked);
         }},
        {ID_WAVE_QUANTISE,
         "Quantise",
         {{.label = "Bits:", .value = 8, .integer = true, .min = 1, .max = 52},
          {.label = "Low:", .value = -1},
          {.label = "High:", .value = 1}},
         "",
         [](SampleRange s, const TransformRequest& r) {
             return Quantise(s, WholeValue(r, 0), Value(r, 1), Value(r, 2));
         },
         [](const TransformRequest& r) -> std::string {
             return Value(r, 1) < Value(r, 2) ? "" : "Low must lie below High.";
         }},
        {ID_WAVE_CLIP,
         "Clip",
         {{.label = "Low:", .value = -1}, {.label = "High:", .value = 1}},
         "",
         [](SampleRange s, const TransformRequest& r) {
             Clip(s, Value(r, 0), Value(r, 1));
             return true;
         },
         LowNotAboveHigh},
    };
    return specs;
}

// A sound file, or a column of a delimited text file as the Import dialog describes it.
ImportResult ReadImport(const std::string& path, bool sound, const TransformRequest& r) {
    if (sound)
        return ImportWav(path, r.choice == 1);
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw CFileException(CFileException::CauseFromErrno(errno), path);
    static const char delimiters[] = {',', ';', '\t', ' '};
    DelimitedFormat format;
    format.column = std::size_t(std::max(1.0, Value(r, 0)));
    format.skip = std::size_t(std::max(0.0, Value(r, 1)));
    format.delimiter = delimiters[std::clamp(r.choice, 0, 3)];
    format.decimalComma = r.checked && format.delimiter != ',';
    return ImportDelimited(in, format);
}

std::vector<double> Ys(const DataPoint* points, std::size_t count) {
    AskForMemory(count, sizeof(double));
    std::vector<double> ys(count);
    for (std::size_t i = 0; i < count; ++i)
        ys[i] = points[i].y;
    return ys;
}

} // namespace

CWaveCommands::CWaveCommands(CWaveDocument& document, CAppDialogs& d) : doc(document), dialogs(d) {}

bool CWaveCommands::OnCommand(UINT id) {
    switch (id) {
    case ID_WAVE_EXPORT_TABLE:
        ExportTable();
        return true;
    case ID_WAVE_UNDO:
        Undo(false);
        return true;
    case ID_WAVE_REDO:
        Undo(true);
        return true;
    case ID_WAVE_GENERATE:
        GenerateWave();
        return true;
    case ID_WAVE_RESAMPLE:
        ResampleWave();
        return true;
    case ID_WAVE_IMPORT:
        Import(false);
        return true;
    case ID_WAVE_PASTE:
        Import(true);
        return true;
    default:
        for (const TransformSpec& spec : TransformSpecs())
            if (spec.id == id) {
                Transform(id);
                return true;
            }
        return false;
    }
}

bool CWaveCommands::RefusedInBank(std::size_t count) {
    const CWaveBank* bank = doc.Bank();
    if (!bank || count == bank->FrameSize())
        return false;
    dialogs.MessageBox(
        count ? "Every frame of the bank holds " + std::to_string(bank->FrameSize()) +
                    " samples, and this waveform would hold " + std::to_string(count) +
                    ".\nTake Frame as Waveform first, or make it of " +
                    std::to_string(bank->FrameSize()) + " samples."
              : "Every frame of the bank holds " + std::to_string(bank->FrameSize()) +
                    " samples: Resample applies to a waveform.\nTake Frame as Waveform first.",
        MB_OK | MB_ICONEXCLAMATION);
    return true;
}

void CWaveCommands::ExportTable() {
    const std::uint32_t count = doc.Samples() ? doc.SampleCount() : 0;
    if (!dialogs.ExportTable(tableOptions, doc.Samples(), count))
        return;
    tableChosen = true;
    if (const TablePlan plan = PlanTable(doc.Samples(), count, tableOptions);
        !plan.error.empty()) { // an empty view, say
        dialogs.MessageBox(plan.error, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::optional<FileDialogResult> chosen =
        dialogs.FileDialog(CExportTableDialog::SaveRequest(tableOptions.format, tablePath));
    if (!chosen)
        return;
    const std::string before = tablePath;
    tablePath = chosen->path;
    try { // no data change: title and modified state stay
        if (!doc.SaveLong("Exporting to ", tablePath, 8.0 * double(count),
                          [&](const TextSink& sink) {
                              return WriteTableForm(sink, doc.Samples(), count, tableOptions);
                          }))
            tablePath = before;
    } catch (const FileCreateError&) {
        dialogs.MessageBox("File save error!", MB_OK | MB_ICONSTOP);
    }
}

void CWaveCommands::Undo(bool redo) {
    if (!doc.Samples())
        return;
    UndoHistory& history = doc.History();
    history.Commit(doc.Samples()); // a drag whose release was never seen
    const bool frames = redo ? history.RedoChangesFrames() : history.UndoChangesFrames();
    if (doc.Bank() && !frames) // the step is shown on the frame it changed
        doc.ShowFrame(redo ? history.RedoFrame() : history.UndoFrame());
    const UndoHistory::Target target{doc.Samples(), doc.SampleCount(),
                                     [this, redo](std::vector<double>& ys) {
                                         return SwapWaveform(ys,
                                                             redo ? "Redoing..." : "Undoing...");
                                     },
                                     [this](UndoHistory::Document& d) { doc.SwapDocument(d); }};
    const UndoHistory::FrameChanges changes =
        [this](UndoHistory::FrameChange change, std::uint32_t at, std::uint32_t to,
               std::vector<double>& values) { return doc.ChangeFrames(change, at, to, values); };
    bool done = false;
    if (frames || (redo ? history.RedoReplaces() : history.UndoReplaces())) {
        // The copies go through the runner inside; the graph is rebuilt on this thread.
        done = redo ? history.Redo(target, changes, FramePoints())
                    : history.Undo(target, changes, FramePoints());
    } else { // samples swapped in place: no cancel, as a step is all or nothing
        doc.WorkOnSamples(redo ? "Redoing..." : "Undoing...", doc.SampleCount(),
                          [&](CProgress& progress) {
                              progress.SetCancellable(false);
                              done = redo ? history.Redo(target, {}, FramePoints())
                                          : history.Undo(target, {}, FramePoints());
                          });
    }
    if (!done)
        return;
    // Back at what the file holds is no change; anywhere else the close query asks again.
    doc.Graph().modified = !history.AtSaved();
    doc.KeepYInView();
    doc.Graph().Invalidate();
}

void CWaveCommands::GivingWay(const std::function<void()>& work) {
    for (;;) {
        try {
            work();
            return;
        } catch (const MemoryRefused& refused) {
            if (doc.Samples())
                doc.History().Commit(
                    doc.Samples()); // a step left open changed nothing: none is kept
            // The history goes only where all of it would make room enough: a refusal that
            // cannot be helped keeps what can still be undone.
            if (refused.availableBytes + doc.History().Bytes() < refused.bytes ||
                !doc.History().DropOldest())
                throw;
        } catch (const std::bad_alloc&) {
            if (doc.Samples())
                doc.History().Commit(
                    doc.Samples()); // a step left open changed nothing: none is kept
            if (!doc.History().DropOldest())
                throw;
        }
    }
}

bool CWaveCommands::SwapWaveform(std::vector<double>& ys, const std::string& what) {
    if (ys.empty() || ys.size() > 2147483647u)
        return false;
    SampleBuffer fresh = AllocateSamples(ys.size()); // before anything changes
    const std::size_t old = doc.Samples() ? doc.SampleCount() : 0;
    const std::uint32_t count = std::uint32_t(ys.size());
    if (ys.capacity() < old) { // the only allocation that may fail: still nothing changed
        AskForMemory(old, sizeof(double));
        ys.reserve(old);
    }
    // The copies run off the window thread for long waveforms; the document changes after them.
    doc.WorkOnSamples(what, std::max(ys.size(), old), [&](CProgress& progress) {
        progress.SetCancellable(false); // a step is all or nothing
        for (std::size_t i = 0; i < ys.size(); ++i)
            fresh[i] = DataPoint{double(std::int32_t(i)), ys[i]};
        ys.resize(old);
        for (std::size_t i = 0; i < old; ++i)
            ys[i] = doc.Samples()[i].y;
    });
    std::uint32_t exchanged = count;
    doc.ExchangeSamples(fresh, exchanged); // the graph lets go of the old samples first
    return true;
}

bool CWaveCommands::ReplaceAsStep(std::vector<double>& ys, const UndoHistory::Document& after,
                                  const std::string& what) {
    doc.History().Commit(doc.Samples());
    UndoHistory::Document before = doc.CurrentDocument();
    if (!SwapWaveform(ys, what))
        return false;
    doc.History().RecordReplace(std::move(ys), std::move(before));
    UndoHistory::Document next = after;
    doc.SwapDocument(next);
    return true;
}

void CWaveCommands::Transform(UINT id) {
    if (!doc.Samples() || doc.SampleCount() == 0)
        return;
    const auto& specs = TransformSpecs();
    const auto spec = std::find_if(specs.begin(), specs.end(),
                                   [id](const TransformSpec& s) { return s.id == id; });
    if (spec == specs.end())
        return;
    TransformRequest r;
    r.title = spec->title;
    r.values = spec->fields;
    r.option = spec->option;
    r.count = doc.SampleCount();
    r.last = doc.SampleCount() - 1;
    r.check = spec->check;                    // empty where there is nothing to check
    if (const CWaveBank* bank = doc.Bank()) { // the frame shown, or others too
        r.frames = bank->Frames();
        r.firstFrame = r.lastFrame = bank->Current();
        if (id == ID_WAVE_NORMALISE)
            r.asOne = "The frames as one (they keep their relative levels)";
    }
    if (!dialogs.Transform(r))
        return;
    if (r.check)
        if (const std::string why = r.check(r); !why.empty()) {
            dialogs.MessageBox(why, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    const std::uint32_t last = std::min(r.last, doc.SampleCount() - 1);
    if (r.first > last)
        return;
    if (doc.Bank() && (r.firstFrame != r.lastFrame || r.firstFrame != doc.Bank()->Current())) {
        TransformFrames(id, r);
        return;
    }
    const SampleRange range{doc.Samples() + r.first, std::size_t(last - r.first) + 1};
    bool done = false, finished = false;
    doc.History().Commit(doc.Samples());
    GivingWay([&] {
        finished = doc.WorkOnSamples(
            std::string(spec->title) + "...", range.count, [&](CProgress& progress) {
                doc.History().Touch(doc.Samples(), r.first, last); // one step
                if (!progress.Commit()) {
                    doc.History().Commit(doc.Samples()); // unchanged: no step
                    throw OperationCancelled();
                }
                done = spec->apply(range, r);
                doc.History().Commit(doc.Samples()); // nothing changed: no step
            });
    });
    if (!finished)
        return;
    if (!done) {
        dialogs.MessageBox("The samples were left as they were: the values given cannot be used "
                           "(an even width, no range, or results too large for a number).",
                           MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    doc.Graph().modified = true;
    doc.KeepYInView();
    doc.Graph().Invalidate();
}

UndoHistory::FramePoints CWaveCommands::FramePoints() {
    if (!doc.Bank()) // one waveform: the target's samples
        return {};
    return [this](std::uint32_t frame) { return doc.FramePoints(frame); };
}

void CWaveCommands::TransformFrames(UINT id, const TransformRequest& r) {
    const TransformSpec& spec = *std::find_if(TransformSpecs().begin(), TransformSpecs().end(),
                                              [id](const TransformSpec& s) { return s.id == id; });
    CWaveBank& bank = *doc.Bank();
    const std::uint32_t current = bank.Current();
    const std::uint32_t to = std::min(std::max(r.firstFrame, r.lastFrame), bank.Frames() - 1);
    const std::uint32_t first = std::min(std::min(r.firstFrame, r.lastFrame), to);
    const std::uint32_t last = std::min(r.last, doc.SampleCount() - 1);
    const std::size_t count = std::size_t(last - r.first) + 1;
    UndoHistory& history = doc.History();
    // Normalise over the frames as one: one gain (and offset) for all, from their extremes.
    bool asOne = spec.id == ID_WAVE_NORMALISE && r.framesAsOne;
    double scale = 1, offset = 0;
    if (asOne) {
        double low = INFINITY, high = -INFINITY, peak = 0;
        for (std::uint32_t k = first; k <= to; ++k) {
            const DataPoint* p = doc.FramePoints(k) + r.first;
            for (std::size_t i = 0; i < count; ++i) {
                low = std::min(low, p[i].y);
                high = std::max(high, p[i].y);
                peak = std::max(peak, std::fabs(p[i].y));
            }
        }
        if (r.checked) { // the extremes onto the range
            scale = (Value(r, 2) - Value(r, 1)) / (high - low);
            offset = Value(r, 1) - low * scale;
        } else {
            scale = Value(r, 0) / peak;
        }
        if (!std::isfinite(scale) || !std::isfinite(offset) || !(high > low)) {
            dialogs.MessageBox("The frames were left as they were: they hold one value, or the "
                               "values given cannot be used.",
                               MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    }
    const UndoHistory::Target target{doc.Samples(), doc.SampleCount(), {}, {}};
    bool done = true, finished = false;
    history.Commit(doc.Samples());
    GivingWay([&] {
        finished = doc.WorkOnSamples(
            std::string(spec.title) + "...", count * (to - first + 1), [&](CProgress& progress) {
                progress.SetCancellable(false); // one step over every frame: all or nothing
                history.SetFrame(first);        // undo shows the first frame changed
                history.BeginGroup();
                for (std::uint32_t k = first; k <= to && done; ++k) {
                    DataPoint* p = doc.FramePoints(k);
                    history.SetFrame(k);
                    history.Touch(p, r.first, last);
                    const SampleRange range{p + r.first, count};
                    done = asOne ? ScaleOffset(range, scale, offset) : spec.apply(range, r);
                    history.Commit(p);
                    progress.Report(double(k - first + 1) / (to - first + 1));
                }
                history.SetFrame(current);
                if (done)
                    history.EndGroup();
                else // a frame refused: the frames changed so far are put back
                    history.CancelGroup(target, {}, FramePoints());
            });
    });
    if (!finished)
        return;
    if (!done) {
        dialogs.MessageBox("The frames were left as they were: the values given cannot be used "
                           "on every frame (an even width, no range, or results too large for a "
                           "number).",
                           MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    doc.Graph().modified = true;
    doc.KeepYInView();
    doc.Graph().Invalidate();
}

void CWaveCommands::GenerateFrames(GeneratorOptions options, std::uint32_t first,
                                   std::uint32_t last) {
    CWaveBank& bank = *doc.Bank();
    const std::uint32_t n = bank.FrameSize(), current = bank.Current();
    last = std::min(last, bank.Frames() - 1);
    UndoHistory& history = doc.History();
    const UndoHistory::Target target{doc.Samples(), n, {}, {}};
    std::string error;
    bool finished = false;
    history.Commit(doc.Samples());
    GivingWay([&] {
        AskForMemory(std::uint64_t(n) * 24); // one frame made at a time, and its step
        finished = doc.WorkOnSamples(
            "Generating...", std::size_t(n) * (last - first + 1), [&](CProgress& progress) {
                history.SetFrame(first); // undo shows the first frame made
                history.BeginGroup();
                for (std::uint32_t k = first; k <= last; ++k) {
                    DataPoint* p = doc.FramePoints(k);
                    options.frame = k;
                    GeneratorResult made = Generate(options, n, p, n);
                    if (!made.error.empty()) {
                        error = "Frame " + std::to_string(k + 1) + ": " + made.error;
                        break;
                    }
                    history.SetFrame(k);
                    history.Touch(p, 0, n - 1);
                    for (std::uint32_t i = 0; i < n; ++i)
                        p[i].y = made.points[i].y;
                    history.Commit(p);
                    progress.Report(double(k - first + 1) / (last - first + 1));
                }
                history.SetFrame(current);
                if (error.empty())
                    history.EndGroup();
                else
                    history.CancelGroup(target, {}, FramePoints());
            });
    });
    if (!finished)
        return;
    if (!error.empty()) { // the frames made before it were put back
        dialogs.MessageBox(error, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    doc.Graph().modified = true;
    doc.KeepYInView();
    doc.Graph().Invalidate();
}

void CWaveCommands::GenerateWave() {
    const bool had = doc.Samples() && doc.SampleCount() > 0;
    std::uint32_t count = had ? doc.SampleCount() : 256;
    GeneratorOptions options = generatorOptions;
    if (const CWaveBank* bank = doc.Bank()) { // the expression's f, F and t
        options.frame = bank->Current();
        options.frames = bank->Frames();
    }
    std::vector<DataPoint> preview;
    // The preview is shown by pointing series 0 at it: the samples and the axes stay as they
    // are, so Cancel gives back exactly what was there.
    // The graph shows the samples again and the preview's memory is given back.
    auto letGoOfPreview = [&] {
        if (had) {
            doc.Graph().SeriesAt(0).points = doc.Samples();
            doc.Graph().SeriesAt(0).pointCount = std::int32_t(doc.SampleCount());
        } else {
            doc.Graph().ClearGraph();
        }
        preview = {};
        doc.Graph().Invalidate();
    };
    auto show = [&](const GeneratorOptions& o, std::uint32_t n) -> std::string {
        if (n == 0 || n > 2147483647u)
            return "The count must lie between 1 and 2147483647.";
        GeneratorResult made;
        try {                 // the dialog's own event: nothing may escape into the window system
            letGoOfPreview(); // its memory may be needed for the next
            GeneratorOptions shown = o; // the dialog knows nothing of frames: f, F, t here
            if (const CWaveBank* bank = doc.Bank()) {
                shown.frame = bank->Current();
                shown.frames = bank->Frames();
            }
            made = Generate(shown, n, doc.Samples(), had ? doc.SampleCount() : 0);
        } catch (const std::bad_alloc&) {
            return std::string(LoadString(IDS_OUT_OF_MEMORY));
        }
        if (!made.error.empty())
            return made.error;
        preview = std::move(made.points);
        if (doc.Graph().SeriesCount() == 0) {
            doc.Graph().SetSeriesData(preview.data(), int(n), 0, 0, 0, false);
        } else {
            doc.Graph().SeriesAt(0).points = preview.data();
            doc.Graph().SeriesAt(0).pointCount = std::int32_t(n);
        }
        doc.Graph().Invalidate();
        return {};
    };
    const bool ok = dialogs.Generate(options, count, show);
    letGoOfPreview();
    if (!ok || RefusedInBank(count))
        return;
    generatorOptions = options;
    if (const CWaveBank* bank = doc.Bank()) { // the dialog gives its own options back
        options.frame = bank->Current();
        options.frames = bank->Frames();
    }
    if (const CWaveBank* bank = doc.Bank(); bank && bank->Frames() > 1) {
        TransformRequest r; // which frames: the one shown, or others too
        r.title = "Generate";
        r.note = "The frames to make (the expression's f counts them from 0, t runs from 0 to 1 "
                 "over the bank).";
        r.range = false;
        r.frames = bank->Frames();
        r.firstFrame = r.lastFrame = bank->Current();
        if (!dialogs.Transform(r))
            return;
        if (r.firstFrame != r.lastFrame || r.firstFrame != bank->Current()) {
            GenerateFrames(options, std::min(r.firstFrame, r.lastFrame),
                           std::max(r.firstFrame, r.lastFrame));
            return;
        }
    }
    GeneratorResult made;
    bool finished = false;
    GivingWay([&] {
        // All the step takes, asked for first (see ResampleWave): the values made, then the
        // changed values kept for Undo, or a new waveform beside the old values.
        const std::uint64_t n = had ? doc.SampleCount() : 0, m = count;
        AskForMemory(had && m == n ? 24 * m : 24 * m + 8 * n);
        finished = dialogs.RunLong("Generating...", [&](CProgress& progress) {
            made = Generate(options, count, doc.Samples(), had ? doc.SampleCount() : 0, &progress);
        });
    });
    if (!finished)
        return;
    if (!made.error.empty()) {
        dialogs.MessageBox(made.error, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (had && count == doc.SampleCount()) { // one step of the changed values
        doc.History().Commit(doc.Samples());
        GivingWay([&] {
            doc.WorkOnSamples("Generating...", count, [&](CProgress& progress) {
                progress.SetCancellable(false); // made already: only put in place
                doc.History().Touch(doc.Samples(), 0, doc.SampleCount() - 1);
                for (std::uint32_t i = 0; i < count; ++i)
                    doc.Samples()[i].y = made.points[i].y;
                doc.History().Commit(doc.Samples());
            });
        });
        doc.ShowNewCount(); // axes fitted to the new values, with ticks as Open gives them
    } else if (had) {       // a new count: a step of both waveforms
        bool replaced = false;
        std::vector<double> ys = Ys(made.points.data(), made.points.size());
        made.points = {}; // its memory may be needed now
        GivingWay([&] { replaced = ReplaceAsStep(ys, doc.CurrentDocument(), "Generating..."); });
        if (!replaced)
            return;
    } else { // into an empty view: a new waveform, as New makes one
        SampleBuffer fresh = AllocateSamples(count);
        std::copy(made.points.begin(), made.points.end(), fresh.get());
        doc.StartWaveform(std::move(fresh), count);
        UndoHistory::Document next = doc.CurrentDocument();
        next.name = "new*";
        doc.SwapDocument(next);
    }
    doc.Graph().modified = true;
    doc.Graph().Invalidate();
}

void CWaveCommands::ResampleWave() {
    if (!doc.Samples() || doc.SampleCount() == 0)
        return;
    TransformRequest r;
    r.title = "Resample";
    r.count = doc.SampleCount();
    r.last = doc.SampleCount() - 1;
    r.values = {{.label = "Samples:",
                 .value = double(doc.SampleCount()),
                 .integer = true,
                 .min = 1,
                 .max = 2147483647}};
    r.choices = {"Linear", "Cubic", "Band-limited, best (libsoxr)", "Band-limited, fast (libsoxr)"};
    r.choice = resampleChoice; // as last chosen in this run
    r.option = "Circular (the table repeats)";
    r.checked = resampleCircular;
    r.range = false;
    if (!dialogs.Transform(r))
        return;
    resampleChoice = std::clamp(r.choice, 0, 3);
    resampleCircular = r.checked;
    const double wanted = r.values[0].value;
    if (!(wanted >= 1 && wanted <= 2147483647)) {
        dialogs.MessageBox("The count must lie between 1 and 2147483647.",
                           MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (CWaveBank* bank = doc.Bank()) { // every frame, as a cycle, one step
        if (wanted > MaxFrameSize || wanted < MinFrameSize) {
            dialogs.MessageBox("A frame holds 2 to 65536 samples.", MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        BankValues values = bank->Values(doc.Samples());
        const std::uint32_t size = values.frameSize;
        std::string why;
        if (!dialogs.RunLong("Resampling...", [&](CProgress& progress) {
                why = ResampleFrames(values, std::uint32_t(wanted),
                                     ResampleMethod(std::clamp(r.choice, 0, 3)), &progress);
            }))
            return;
        if (!why.empty()) {
            dialogs.MessageBox(why, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        std::vector<double> swapped = std::move(values.values);
        if (!doc.ChangeFrames(UndoHistory::FrameChange::Reshape, 0, std::uint32_t(wanted), swapped))
            return;
        doc.History().RecordFrames(UndoHistory::FrameChange::Reshape, 0, size, std::move(swapped));
        doc.Graph().modified = true;
        doc.Graph().Invalidate();
        return;
    }
    std::string error;
    std::vector<double> out;
    bool finished = false;
    GivingWay([&] {
        // The whole step is asked for first, so that the history gives way only where that
        // makes room for all of it: the copy, the converter's input and output, then the new
        // samples beside the old values the step keeps.
        const std::uint64_t n = doc.SampleCount(), m = std::uint64_t(wanted);
        AskForMemory(std::max(16 * n + 8 * m, 24 * m + 8 * n));
        const std::vector<double> ys = Ys(doc.Samples(), doc.SampleCount());
        finished = dialogs.RunLong("Resampling...", [&](CProgress& progress) {
            out = Resample(ys, std::size_t(wanted), ResampleMethod(std::clamp(r.choice, 0, 3)),
                           r.checked, error, &progress);
        });
    });
    if (!finished)
        return;
    if (out.empty()) {
        dialogs.MessageBox(error, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    bool replaced = false;
    GivingWay([&] { replaced = ReplaceAsStep(out, doc.CurrentDocument(), "Resampling..."); });
    if (!replaced)
        return;
    doc.Graph().modified = true;
    doc.Graph().Invalidate();
}

void CWaveCommands::Import(bool clipboard) {
    if (!doc.Bank() && !doc.ConfirmDiscard()) // in a bank it fills the frame, a step back
        return;
    ImportResult read;
    std::string name = "clipboard";
    if (clipboard) {
        const std::string text = dialogs.ClipboardText();
        // "1,5 2,25" is two numbers or four: never split silently.
        const bool decimalComma =
            ReadsAsDecimalCommas(text) &&
            dialogs.MessageBox("The pasted numbers have commas between digits, as in \"1,5\".\n"
                               "Read each of them as a decimal point (1,5 is 1.5)?\n"
                               "No reads them as separators (1,5 is 1 and 5).",
                               MB_YESNO | MB_ICONQUESTION) == IDYES;
        read = ImportPasted(text, decimalComma);
    } else {
        FileDialogRequest request;
        request.filter = "Sound file (*.WAV)|*.wav|Text file (*.CSV *.TXT)|*.csv *.txt||";
        const std::optional<FileDialogResult> chosen = dialogs.FileDialog(request);
        if (!chosen)
            return;
        name = FileName(chosen->path);
        const bool sound = IsSoundFile(chosen->path); // by the file, whatever filter was shown
        TransformRequest r;
        r.title = "Import";
        r.range = false;
        if (sound) {
            r.choiceLabel = "Channels:";
            r.choices = {"The first channel", "The mix of all channels"};
        } else {
            r.values = {{.label = "Column:", .value = 1, .integer = true, .min = 1, .max = 1000000},
                        {.label = "Header lines to skip:",
                         .value = 0,
                         .integer = true,
                         .min = 0,
                         .max = 2147483647}};
            r.choiceLabel = "Delimiter:";
            r.choices = {"Comma", "Semicolon", "Tab", "Blank"};
            r.option = "Decimal comma (1,5 for 1.5)";
            r.optionChoices = 0b1110; // not where the comma separates the columns
        }
        if (!dialogs.Transform(r))
            return;
        const bool finished = dialogs.RunLong("Importing " + name + "...", [&](CProgress&) {
            read = ReadImport(chosen->path, sound, r);
        });
        if (!finished)
            return;
    }
    TakeRead(std::move(read), name);
}

void CWaveCommands::ImportSound(const std::string& path) {
    ImportResult read;
    if (dialogs.RunLong("Importing " + FileName(path) + "...",
                        [&](CProgress&) { read = ImportWav(path, false); }))
        TakeRead(std::move(read), FileName(path));
}

void CWaveCommands::TakeRead(ImportResult read, const std::string& name) {
    if (read.error.empty() && read.values.empty())
        read.error = "There is no number to import.";
    if (read.error.empty() && read.values.size() > 2147483647u)
        read.error = "There are more numbers than a waveform can hold.";
    if (!read.error.empty()) { // the current waveform stays as it is
        dialogs.MessageBox(read.error, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!read.shortfall.empty() &&
        dialogs.MessageBox(read.shortfall + "\nImport the frames that are there?",
                           MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    TakeImported(std::move(read.values), name);
}

void CWaveCommands::TakeImported(std::vector<double> values, const std::string& name) {
    if (RefusedInBank(values.size()))
        return;
    // Save asks for a name, as after New; a bank keeps its own.
    const UndoHistory::Document imported =
        doc.Bank() ? doc.CurrentDocument() : UndoHistory::Document{name + "*", "", ""};
    if (doc.Samples()) {
        bool replaced = false;
        GivingWay([&] {
            const std::uint64_t n = doc.SampleCount(), m = values.size();
            AskForMemory(16 * m + 8 * (n > m ? n - m : 0)); // the new samples, the old values
            replaced = ReplaceAsStep(values, imported, "Importing...");
        });
        if (!replaced)
            return;
        doc.SetTool(ToolPan); // as Open leaves it
    } else {
        SampleBuffer fresh = AllocateSamples(values.size());
        for (std::size_t i = 0; i < values.size(); ++i)
            fresh[i] = DataPoint{double(std::int32_t(i)), values[i]};
        doc.StartWaveform(std::move(fresh), std::uint32_t(values.size()));
        UndoHistory::Document next = imported;
        doc.SwapDocument(next);
    }
    doc.Graph().modified = true;
}
