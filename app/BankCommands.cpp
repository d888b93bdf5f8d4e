#include "app/BankCommands.h"

#include <filesystem>

#include "app/Commands.h"
#include "app/ExportTableDialog.h"
#include "app/Resources.h"
#include "app/SafeSave.h"
#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"
#include "files/MemoryGate.h"
#include "wave/BankFile.h"
#include "wave/BankResample.h"
#include "wave/Cycles.h"
#include "wave/Import.h"
#include "wave/MipmapTable.h"
#include "wave/Mipmaps.h"
#include "wave/Morph.h"
#include "wave/WavTable.h"

namespace {

using FrameChange = UndoHistory::FrameChange;

std::string Counted(std::uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

CBankCommands::CBankCommands(CWaveDocument& document, CAppDialogs& d) : doc(document), dialogs(d) {}

bool CBankCommands::OnCommand(UINT id) {
    if (id == ID_BANK_NEW) {
        NewBank();
        return true;
    }
    if (id == ID_BANK_OPEN) {
        OpenBank();
        return true;
    }
    if (id == ID_BANK_MIPMAPS) { // of the waveform too
        ExportMipmaps();
        return true;
    }
    if (id == ID_BANK_FROM_FILES) { // into the bank, or a new one
        FramesFromFiles();
        return true;
    }
    if (id == ID_BANK_CYCLES) { // a new bank
        CyclesFromRecording();
        return true;
    }
    if (id < ID_BANK_NEW || id > ID_BANK_SPLIT)
        return false;
    CWaveBank* bank = doc.Bank();
    if (!bank) { // the menu offers none of these without a bank
        dialogs.MessageBox("Open a bank, or make one with New Bank, first.",
                           MB_OK | MB_ICONEXCLAMATION);
        return true;
    }
    const std::uint32_t current = bank->Current();
    switch (id) {
    case ID_BANK_SAVE:
        SaveBank();
        break;
    case ID_BANK_EXPORT_TABLE:
        ExportBankTable();
        break;
    case ID_BANK_PREVIOUS:
        if (current > 0)
            doc.ShowFrame(current - 1);
        break;
    case ID_BANK_NEXT:
        if (current + 1 < bank->Frames())
            doc.ShowFrame(current + 1);
        break;
    case ID_BANK_GO_TO:
        GoToFrame();
        break;
    case ID_BANK_ADD:
        AddFrame(std::vector<double>(bank->FrameSize(), 0.0));
        break;
    case ID_BANK_DUPLICATE: {
        const DataPoint* shown = doc.Samples();
        std::vector<double> copy(bank->FrameSize());
        for (std::size_t i = 0; i < copy.size(); ++i)
            copy[i] = shown[i].y;
        AddFrame(std::move(copy));
        break;
    }
    case ID_BANK_DELETE:
        DeleteFrame();
        break;
    case ID_BANK_EARLIER:
        MoveFrame(-1);
        break;
    case ID_BANK_LATER:
        MoveFrame(1);
        break;
    case ID_BANK_TAKE_FRAME:
        TakeFrame();
        break;
    case ID_BANK_MORPH:
        MorphFrames();
        break;
    case ID_BANK_SPLIT:
        SplitIntoFiles();
        break;
    case ID_BANK_NEIGHBOURS: {
        TransformRequest r;
        r.title = "Show Neighbour Frames";
        r.range = false;
        r.note = "Grey, behind the frame shown; the mouse never grabs them.";
        r.choiceLabel = "Show:";
        r.choices = {"None", "The frame on either side", "Two frames on either side",
                     "Every frame"};
        r.choice = doc.Neighbours();
        if (dialogs.Transform(r))
            doc.ShowNeighbours(r.choice);
        break;
    }
    default:
        break;
    }
    return true;
}

void CBankCommands::NewBank() {
    if (!doc.ConfirmDiscard())
        return;
    TransformRequest r;
    r.title = "New Bank";
    r.range = false;
    r.values = {{.label = "Frames:",
                 .value = double(newFrames),
                 .integer = true,
                 .min = 1,
                 .max = MaxBankFrames},
                {.label = "Samples a frame:",
                 .value = double(newFrameSize),
                 .integer = true,
                 .min = MinFrameSize,
                 .max = MaxFrameSize}};
    if (!dialogs.Transform(r))
        return;
    newFrames = std::uint32_t(r.values[0].value);
    newFrameSize = std::uint32_t(r.values[1].value);
    if (const std::string e = CheckBankShape(newFrames, newFrameSize); !e.empty()) {
        dialogs.MessageBox(e, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // The values and the frames made of them, asked for first: out of memory changes nothing.
    AskForMemory(std::uint64_t(newFrames) * newFrameSize, sizeof(double) + sizeof(DataPoint));
    BankValues silent{newFrameSize, newFrames, {}};
    silent.values.assign(std::size_t(newFrames) * newFrameSize, 0.0);
    doc.StartBank(std::make_unique<CWaveBank>(silent), "new bank*", "");
}

void CBankCommands::OpenBank() {
    if (!doc.ConfirmDiscard())
        return;
    FileDialogRequest request;
    request.initialFolder = doc.BankPath();
    request.filter = "Wavetable bank (*.WAV *.WT *.CSV)|*.wav *.wt *.csv|All files (*.*)|*.*||";
    const std::optional<FileDialogResult> chosen = dialogs.FileDialog(request);
    if (!chosen)
        return;
    const std::string name = FileName(chosen->path);
    BankFileRead read;
    if (!dialogs.RunLong("Opening " + name + "...",
                         [&](CProgress&) { read = ReadBankFile(chosen->path); }))
        return;
    if (read.error.empty() && read.channels > 1) { // the first channel, or the mix of all
        TransformRequest r;
        r.title = "Open Bank";
        r.range = false;
        r.choiceLabel = "Channels:";
        r.choices = {"The first channel", "The mix of all channels"};
        if (!dialogs.Transform(r))
            return;
        if (r.choice == 1 && !dialogs.RunLong("Opening " + name + "...", [&](CProgress&) {
                read = ReadBankFile(chosen->path, {true, 0});
            }))
            return;
    }
    if (read.error.empty() && read.frameSizeFrom == "guess") {
        // Nothing in the file gives the frame size: the user confirms the proposal or gives
        // another, with the reason in view.
        TransformRequest r;
        r.title = "Frame Size";
        r.range = false;
        const std::size_t total = read.bank.values.size();
        r.note = read.guessReason;
        r.values = {{.label = "Samples a frame:",
                     .value = double(read.bank.frameSize ? read.bank.frameSize : 2048),
                     .integer = true,
                     .min = MinFrameSize,
                     .max = MaxFrameSize}};
        r.check = [total](const TransformRequest& asked) {
            return CheckFrameSize(total, std::uint64_t(asked.values[0].value));
        };
        if (!dialogs.Transform(r))
            return;
        SettleFrameSize(read, std::uint32_t(r.values[0].value));
    }
    if (!read.error.empty()) { // the document stays as it is
        dialogs.MessageBox(read.error, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!read.shortfall.empty() &&
        dialogs.MessageBox(read.shortfall + "\nOpen the frames that are there?",
                           MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    if (read.interpolation >= 0) // saved again as it came
        saveOptions.interpolation = std::min(read.interpolation, 2);
    auto bank = std::make_unique<CWaveBank>(read.bank);
    read = {}; // its memory back before the view takes the bank
    doc.StartBank(std::move(bank), name, chosen->path);
}

void CBankCommands::SaveBank() {
    CWaveBank& bank = *doc.Bank();
    TransformRequest r;
    r.title = "Save Bank";
    r.range = false;
    r.choiceLabel = "Form:";
    for (BankPreset p : BankPresets())
        r.choices.push_back(BankPresetTitle(p));
    r.choice = int(saveOptions.preset);
    r.option = "16-bit samples, not float";
    r.checked = saveOptions.format == BankSampleFormat::Pcm16;
    r.optionChoices = 1u << int(BankPreset::Serum) | 1u << int(BankPreset::SurgeWt);
    r.values = {{.label = "Sample rate:",
                 .value = double(saveOptions.rate),
                 .integer = true,
                 .min = 1,
                 .max = 1000000},
                {.label = "Interpolation (0 none, 1 crossfade, 2 spectral):",
                 .value = double(saveOptions.interpolation),
                 .integer = true,
                 .min = 0,
                 .max = 2}};
    if (!dialogs.Transform(r))
        return;
    saveOptions.preset = BankPresets().at(std::size_t(std::clamp(r.choice, 0, 5)));
    saveOptions.format = r.checked ? BankSampleFormat::Pcm16 : BankSampleFormat::Float32;
    saveOptions.rate = int(r.values[0].value);
    saveOptions.interpolation = int(r.values[1].value);
    BankValues values = bank.Values(doc.Samples());
    std::string warnings;
    // A form of a fixed frame size: every frame resampled to it, as a cycle, and said.
    if (const std::uint32_t n = PresetFrameSize(saveOptions.preset, values.frameSize);
        n != values.frameSize) {
        warnings = std::string(BankPresetTitle(saveOptions.preset)) + " reads frames of " +
                   std::to_string(n) + " samples: each frame is resampled from " +
                   std::to_string(values.frameSize) + " (band-limited, as a cycle).\n";
        std::string error;
        if (!dialogs.RunLong("Resampling...", [&](CProgress& progress) {
                error = ResampleFrames(values, n, ResampleMethod::BandLimited, &progress);
            }))
            return;
        if (!error.empty()) {
            dialogs.MessageBox(error, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    }
    const BankSavePlan plan = PlanBankSave(values, saveOptions);
    if (!plan.error.empty()) {
        dialogs.MessageBox(plan.error, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    for (const std::string& w : plan.warnings)
        warnings += w + "\n";
    if (!warnings.empty() && dialogs.MessageBox(warnings + "Save the bank so all the same?",
                                                MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const std::string extension = BankPresetExtension(saveOptions.preset);
    FileDialogRequest request;
    request.save = true;
    request.defaultExtension = extension;
    request.initialFile =
        doc.BankPath().empty()
            ? ""
            : std::filesystem::path(doc.BankPath()).replace_extension(extension).string();
    request.filter = std::string(BankPresetTitle(saveOptions.preset)) + " (*." + extension +
                     ")|*." + extension + "||";
    const std::optional<FileDialogResult> chosen = dialogs.FileDialog(request);
    if (!chosen)
        return;
    try {
        if (!doc.SaveLong(
                "Saving ", chosen->path, double(values.values.size()) * 4,
                [&](const TextSink& sink) { return WriteBankPreset(sink, values, saveOptions); }))
            return;
    } catch (const FileCreateError&) {
        dialogs.MessageBox("File save error!", MB_OK | MB_ICONSTOP);
        return;
    }
    doc.SetBankPath(chosen->path);
    UndoHistory::Document named = doc.CurrentDocument();
    named.name = FileName(chosen->path);
    doc.SwapDocument(named);
    doc.Graph().modified = false;
    doc.History().MarkSaved();
}

void CBankCommands::ExportBankTable() {
    CWaveBank& bank = *doc.Bank();
    const BankValues values = bank.Values(doc.Samples());
    std::vector<DataPoint> points(values.values.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i] = {double(i), values.values[i]};
    if (!dialogs.ExportTable(tableOptions, points.data(), points.size()))
        return;
    if (tableOptions.format == TableFormat::Wav) {
        dialogs.MessageBox("Export Bank Table writes tables; Save Bank writes banks as WAV files.",
                           MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    TableOptions options = tableOptions;
    if (!IsWordFormat(options.format)) {
        const int answer = dialogs.MessageBox(
            "Write the bank as " + Counted(bank.Frames(), "row", "rows") + " of " +
                std::to_string(bank.FrameSize()) + " ([" + std::to_string(bank.Frames()) + "][" +
                std::to_string(bank.FrameSize()) + "])?\nNo writes one run of all the values.",
            MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL)
            return;
        rows = answer == IDYES;
    }
    options.bankFrames = rows ? bank.Frames() : 0;
    if (const TablePlan plan = PlanTable(points.data(), points.size(), options);
        !plan.error.empty()) {
        dialogs.MessageBox(plan.error, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::optional<FileDialogResult> chosen =
        dialogs.FileDialog(CExportTableDialog::SaveRequest(options.format, tablePath));
    if (!chosen)
        return;
    try { // no data change: title and modified state stay
        if (doc.SaveLong("Exporting to ", chosen->path, 8.0 * double(points.size()),
                         [&](const TextSink& sink) {
                             return WriteTableForm(sink, points.data(), points.size(), options);
                         }))
            tablePath = chosen->path;
    } catch (const FileCreateError&) {
        dialogs.MessageBox("File save error!", MB_OK | MB_ICONSTOP);
    }
}

void CBankCommands::GoToFrame() {
    CWaveBank& bank = *doc.Bank();
    TransformRequest r;
    r.title = "Go to Frame";
    r.range = false;
    r.values = {{.label = "Frame (1 to " + std::to_string(bank.Frames()) + "):",
                 .value = double(bank.Current() + 1),
                 .integer = true,
                 .min = 1,
                 .max = double(bank.Frames())}};
    if (!dialogs.Transform(r))
        return;
    const double frame = r.values[0].value;
    if (frame >= 1 && frame <= bank.Frames())
        doc.ShowFrame(std::uint32_t(frame) - 1);
}

void CBankCommands::ChangeFrames(FrameChange change, std::uint32_t at, std::uint32_t to,
                                 std::vector<double> values) {
    std::vector<double> kept;
    if (!doc.ChangeFrames(change, at, to, change == FrameChange::Remove ? kept : values))
        return;
    doc.History().RecordFrames(change, at, to, std::move(kept));
    doc.Graph().modified = true;
}

void CBankCommands::AddFrame(std::vector<double> values) {
    CWaveBank& bank = *doc.Bank();
    if (bank.Frames() >= MaxBankFrames) {
        dialogs.MessageBox("A bank holds at most 4096 frames.", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ChangeFrames(FrameChange::Insert, bank.Current() + 1, 0, std::move(values));
}

void CBankCommands::DeleteFrame() {
    CWaveBank& bank = *doc.Bank();
    if (bank.Frames() == 1) {
        dialogs.MessageBox("A bank keeps at least one frame.", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ChangeFrames(FrameChange::Remove, bank.Current(), 0, {});
}

void CBankCommands::MoveFrame(int by) {
    CWaveBank& bank = *doc.Bank();
    const std::int64_t to = std::int64_t(bank.Current()) + by;
    if (to < 0 || to >= bank.Frames())
        return;
    ChangeFrames(FrameChange::Move, bank.Current(), std::uint32_t(to), {});
}

void CBankCommands::MorphFrames() {
    CWaveBank& bank = *doc.Bank();
    const std::uint32_t frames = bank.Frames(), current = bank.Current();
    TransformRequest r;
    r.title = "Morph Frames";
    r.range = false;
    r.note = "From one frame to another: the frames between them are made anew, or new ones "
             "are put between them.";
    r.values = {{.label = "From frame:",
                 .value = double(current + 1),
                 .integer = true,
                 .min = 1,
                 .max = double(frames)},
                {.label = "To frame:",
                 .value = double(std::min(current + 2, frames)),
                 .integer = true,
                 .min = 1,
                 .max = double(frames)},
                {.label = "New frames between them:",
                 .value = 0,
                 .integer = true,
                 .min = 0,
                 .max = MaxBankFrames,
                 .when = TransformField::OptionOn}};
    r.option = "Put new frames between them (else make those between anew)";
    r.choices = {"Spectral (each harmonic's level and phase)", "Linear"};
    r.check = [frames](const TransformRequest& asked) -> std::string {
        const auto a = std::uint32_t(asked.values[0].value),
                   b = std::uint32_t(asked.values[1].value);
        if (a == b)
            return "Morph from one frame to another.";
        if (asked.checked && frames + std::uint64_t(asked.values[2].value) > MaxBankFrames)
            return "A bank holds at most 4096 frames.";
        if (asked.checked && asked.values[2].value < 1)
            return "Put at least one frame between them.";
        if (!asked.checked && (a > b ? a - b : b - a) < 2)
            return "There is no frame between them to make anew.";
        return {};
    };
    // A preview on the graph while choosing: the frames to be made, blue, over the one shown.
    std::vector<std::vector<DataPoint>> previewed;
    const auto check = r.check;
    r.preview = [&](const TransformRequest& asked) {
        CPlot& graph = doc.Graph();
        doc.ShowNeighbours(doc.Neighbours()); // the last preview's series go
        previewed.clear();
        if (!check(asked).empty())
            return;
        try { // the dialog's own event: nothing may escape into the window system
            const auto a = std::uint32_t(asked.values[0].value) - 1,
                       b = std::uint32_t(asked.values[1].value) - 1;
            const std::uint32_t lo = std::min(a, b), hi = std::max(a, b), n = bank.FrameSize();
            const std::size_t count =
                asked.checked ? std::size_t(asked.values[2].value) : std::size_t(hi - lo - 1);
            const std::size_t drawn = std::min<std::size_t>(count, 16);
            const std::vector<double> from = ValuesAt(lo), to = ValuesAt(hi);
            CFrameMorph morph(from.data(), to.data(), n,
                              asked.choice == 1 ? MorphMethod::Linear : MorphMethod::Spectral);
            std::vector<double> frame(n);
            for (std::size_t k = 1; k <= drawn; ++k) {
                morph.At(double(k) / double(drawn + 1), frame.data());
                std::vector<DataPoint> points(n);
                for (std::uint32_t i = 0; i < n; ++i)
                    points[i] = {double(i), frame[i]};
                previewed.push_back(std::move(points));
                if (CPlotDataSeries* s = graph.SetSeriesData(previewed.back().data(), int(n),
                                                             graph.SeriesCount(), 0, 0, false)) {
                    s->colour = RGB(40, 120, 230);
                    s->markerSize = 0;
                    s->editable = false;
                }
            }
        } catch (const std::bad_alloc&) {
            previewed.clear(); // no preview; OK still works
        }
        graph.Invalidate();
    };
    const bool chosen = dialogs.Transform(r);
    doc.ShowNeighbours(doc.Neighbours()); // the preview goes
    previewed.clear();
    if (!chosen)
        return;
    if (const std::string why = r.check(r); !why.empty()) {
        dialogs.MessageBox(why, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::uint32_t a = std::uint32_t(r.values[0].value) - 1,
                        b = std::uint32_t(r.values[1].value) - 1;
    const std::uint32_t low = std::min(a, b), high = std::max(a, b);
    const std::size_t made = r.checked ? std::size_t(r.values[2].value) : high - low - 1;
    const std::uint32_t n = bank.FrameSize();
    // From the lower frame to the higher, in the order they stand.
    const std::vector<double> from = ValuesAt(low), to = ValuesAt(high);
    std::vector<double> between;
    if (!dialogs.RunLong("Morphing...", [&](CProgress&) {
            between = ::MorphFrames(from.data(), to.data(), n, made,
                                    r.choice == 1 ? MorphMethod::Linear : MorphMethod::Spectral);
        }))
        return;
    UndoHistory& history = doc.History();
    history.Commit(doc.Samples());
    history.SetFrame(low + 1); // undo shows the first frame made
    history.BeginGroup();
    for (std::size_t k = 0; k < made; ++k) {
        std::vector<double> frame(between.begin() + std::ptrdiff_t(k * n),
                                  between.begin() + std::ptrdiff_t((k + 1) * n));
        const std::uint32_t at = low + 1 + std::uint32_t(k);
        if (r.checked) { // inserted, one after another
            std::vector<double> none;
            if (doc.ChangeFrames(UndoHistory::FrameChange::Insert, at, 0, frame))
                history.RecordFrames(UndoHistory::FrameChange::Insert, at, 0, std::move(none));
            continue;
        }
        DataPoint* p = doc.FramePoints(at);
        history.SetFrame(at);
        history.Touch(p, 0, n - 1);
        for (std::uint32_t i = 0; i < n; ++i)
            p[i].y = frame[i];
        history.Commit(p);
    }
    history.SetFrame(doc.Bank()->Current());
    history.EndGroup();
    if (!r.checked)
        doc.ShowFrame(low + 1);
    doc.Graph().modified = true;
    doc.Graph().Invalidate();
}

std::vector<double> CBankCommands::ValuesAt(std::uint32_t frame) {
    const DataPoint* p = doc.FramePoints(frame);
    std::vector<double> values(doc.Bank()->FrameSize());
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = p[i].y;
    return values;
}

void CBankCommands::ExportMipmaps() {
    const DataPoint* shown = doc.Samples();
    const std::uint32_t n = doc.SampleCount();
    if (!shown || n < 4) {
        dialogs.MessageBox("Mipmaps need a waveform of at least 4 samples.",
                           MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CWaveBank* bank = doc.Bank();
    const int most = MipmapLevels(n);
    TransformRequest r;
    r.title = "Export Mipmaps";
    r.range = false;
    r.note = "Level k keeps the harmonics below N / 2^(k+1): a table played up to its level's top "
             "note does not alias.";
    r.values = {{.label = "Levels:",
                 .value = double(most),
                 .integer = true,
                 .min = 1,
                 .max = double(most)}};
    r.option = "Halve each level (N / 2^k samples; a C table)";
    if (bank) {
        r.choiceLabel = "Of:";
        r.choices = {"The frame shown", "Every frame"};
    }
    if (!dialogs.Transform(r))
        return;
    const int levels = std::clamp(int(r.values[0].value), 1, most);
    const bool every = bank && r.choice == 1, halve = r.checked;
    FileDialogRequest request;
    request.save = true;
    request.defaultExtension = halve ? "h" : "wav";
    request.filter = halve ? "C header (*.H)|*.h||"
                           : "Wavetable bank (*.WAV)|*.wav|C header (*.H)|*.h|Text bank "
                             "(*.CSV)|*.csv||";
    const std::optional<FileDialogResult> chosen = dialogs.FileDialog(request);
    if (!chosen)
        return;
    const std::uint32_t frames = every ? bank->Frames() : 1;
    std::vector<std::vector<double>> tables;
    for (std::uint32_t k = 0; k < frames; ++k) {
        const DataPoint* frame = every ? doc.FramePoints(k) : shown;
        std::vector<double> ys(n);
        for (std::uint32_t i = 0; i < n; ++i)
            ys[i] = frame[i].y;
        for (auto& t : Mipmaps(ys.data(), n, levels, halve))
            tables.push_back(std::move(t));
    }
    const std::string& path = chosen->path;
    const bool header = path.size() > 2 && path.compare(path.size() - 2, 2, ".h") == 0;
    if (!header && halve) {
        dialogs.MessageBox("Halved levels differ in length: they go to a C header (.h).",
                           MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    BankValues levelsBank{n, std::uint32_t(tables.size()), {}};
    if (!header) {
        if (const std::string e = CheckBankShape(levelsBank.frames, n); !e.empty()) {
            dialogs.MessageBox(e, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        for (const auto& t : tables)
            levelsBank.values.insert(levelsBank.values.end(), t.begin(), t.end());
    }
    BankSaveOptions options;
    options.preset = BankPresetFromPath(path).value_or(BankPreset::Serum);
    try { // no data change: title and modified state stay
        doc.SaveLong("Exporting to ", path, 4.0 * double(n) * double(tables.size()),
                     [&](const TextSink& sink) {
                         return header ? WriteMipmapTable(sink, tables, frames, levels, n, halve)
                                       : WriteBankPreset(sink, levelsBank, options);
                     });
    } catch (const FileCreateError&) {
        dialogs.MessageBox("File save error!", MB_OK | MB_ICONSTOP);
    }
}

void CBankCommands::FramesFromFiles() {
    FileDialogRequest request;
    request.filter = "Data or sound file (*.TXT *.WAV)|*.txt *.wav|All files (*.*)|*.*||";
    const std::vector<std::string> paths = dialogs.OpenFiles(request);
    if (paths.empty())
        return;
    CWaveBank* bank = doc.Bank();
    if (!bank && !doc.ConfirmDiscard())
        return;
    std::vector<std::vector<double>> frames;
    std::string error;
    std::uint32_t n = bank ? bank->FrameSize() : 0;
    if (!dialogs.RunLong(
            "Reading " + std::to_string(paths.size()) + " files...", [&](CProgress& progress) {
                for (std::size_t k = 0; k < paths.size() && error.empty(); ++k) {
                    const std::string& path = paths[k];
                    std::vector<double> ys;
                    if (IsSoundFile(path)) {
                        ImportResult read = ImportWav(path, false);
                        error = read.error;
                        ys = std::move(read.values);
                    } else {
                        DataFile file = ReadDataFile(path);
                        for (std::uint32_t i = 0; i < file.count; ++i)
                            ys.push_back(file.points[i].y);
                    }
                    if (!n) // a new bank takes the first file's length
                        n = std::uint32_t(std::min<std::size_t>(ys.size(), MaxFrameSize));
                    if (error.empty() && ys.size() != n) { // as a cycle
                        std::string why;
                        ys = Resample(ys, n, ResampleMethod::BandLimited, true, why);
                        if (ys.empty())
                            error = FileName(path) + ": " + why;
                    }
                    frames.push_back(std::move(ys));
                    progress.Step(double(k + 1) / paths.size());
                }
            }))
        return;
    if (error.empty() &&
        (n < MinFrameSize || (bank ? bank->Frames() : 0) + frames.size() > MaxBankFrames))
        error = n < MinFrameSize ? "A frame holds 2 to 65536 samples."
                                 : "A bank holds at most 4096 frames.";
    if (!error.empty()) {
        dialogs.MessageBox(error, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!bank) { // a new bank of them
        BankValues values{n, std::uint32_t(frames.size()), {}};
        for (const auto& f : frames)
            values.values.insert(values.values.end(), f.begin(), f.end());
        doc.StartBank(std::make_unique<CWaveBank>(values), "new bank*", "");
        doc.Graph().modified = true;
        return;
    }
    // After the frame shown, in the order chosen, as one step.
    UndoHistory& history = doc.History();
    history.Commit(doc.Samples());
    history.SetFrame(bank->Current() + 1); // undo shows the first frame added
    history.BeginGroup();
    std::uint32_t at = bank->Current() + 1;
    for (auto& f : frames)
        if (doc.ChangeFrames(UndoHistory::FrameChange::Insert, at, 0, f))
            history.RecordFrames(UndoHistory::FrameChange::Insert, at++, 0);
    history.EndGroup();
    doc.Graph().modified = true;
}

void CBankCommands::CyclesFromRecording() {
    TransformRequest r;
    r.title = "Cycles from a Recording";
    r.range = false;
    r.note = "The cycles of a recording (a WAV file, or the waveform shown) made the frames of a "
             "new bank, each resampled to the frame size.";
    r.choiceLabel = "Cut:";
    r.choices = {"Following the pitch", "At rising zero crossings", "Every period of samples"};
    r.values = {
        {.label = "Period (samples):", .value = 100, .min = 2, .max = 1e9},
        {.label = "Samples a frame:",
         .value = doc.Bank() ? double(doc.Bank()->FrameSize()) : 2048,
         .integer = true,
         .min = MinFrameSize,
         .max = MaxFrameSize},
        {.label = "Every how many cycles:", .value = 1, .integer = true, .min = 1, .max = 1e6},
        {.label = "At most frames:",
         .value = 256,
         .integer = true,
         .min = 1,
         .max = MaxBankFrames}};
    r.option = "From a WAV file (else the waveform shown)";
    r.checked = true;
    // Cutting the waveform shown: a preview marks the cut points on it.
    CPlot& graph = doc.Graph();
    const int series = graph.SeriesCount();
    std::vector<DataPoint> cuts;
    r.preview = [&](const TransformRequest& asked) {
        graph.RemoveSeriesFrom(series);
        cuts.clear();
        const DataPoint* shown = doc.Samples();
        if (asked.checked || !shown || series == 0)
            return;
        try {
            std::vector<double> ys(doc.SampleCount());
            for (std::size_t i = 0; i < ys.size(); ++i)
                ys[i] = shown[i].y;
            CycleOptions cut;
            cut.by = asked.choice == 1   ? CycleCut::ZeroCrossings
                     : asked.choice == 2 ? CycleCut::Period
                                         : CycleCut::Pitch;
            cut.period = asked.values[0].value;
            const std::vector<double> starts = CycleStarts(ys, cut);
            const std::size_t every = std::max<std::size_t>(1, std::size_t(asked.values[2].value));
            for (std::size_t k = 0; k < starts.size(); k += every)
                cuts.push_back({starts[k], 0.0});
        } catch (const std::bad_alloc&) {
            cuts.clear();
        }
        if (CPlotDataSeries* s =
                graph.SetSeriesData(cuts.data(), int(cuts.size()), series, 0, 0, false)) {
            s->colour = RGB(0, 150, 0);
            s->pointStyle = 1; // a ring at each cut, no line between them
            s->lineWidth = 4;
            s->markerSize = 0;
            s->editable = false;
        }
        graph.Invalidate();
    };
    const bool chosen = dialogs.Transform(r);
    graph.RemoveSeriesFrom(series); // the marks go
    cuts.clear();
    if (!chosen)
        return;
    std::vector<double> recording;
    std::string name = "cycles*";
    if (r.checked) {
        FileDialogRequest request;
        request.filter = "Sound file (*.WAV)|*.wav|All files (*.*)|*.*||";
        const std::optional<FileDialogResult> chosen = dialogs.FileDialog(request);
        if (!chosen)
            return;
        ImportResult read;
        if (!dialogs.RunLong("Importing " + FileName(chosen->path) + "...",
                             [&](CProgress&) { read = ImportWav(chosen->path, true); }))
            return;
        if (!read.error.empty()) {
            dialogs.MessageBox(read.error, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        recording = std::move(read.values);
        name = std::filesystem::path(chosen->path).stem().string() + " cycles*";
    } else if (const DataPoint* shown = doc.Samples()) {
        for (std::uint32_t i = 0; i < doc.SampleCount(); ++i)
            recording.push_back(shown[i].y);
    }
    CycleOptions options;
    options.by = r.choice == 1   ? CycleCut::ZeroCrossings
                 : r.choice == 2 ? CycleCut::Period
                                 : CycleCut::Pitch;
    options.period = r.values[0].value;
    std::string error;
    BankValues frames;
    if (!dialogs.RunLong("Cutting cycles...", [&](CProgress&) {
            frames = CyclesToFrames(
                recording, CycleStarts(recording, options), std::uint32_t(r.values[1].value),
                std::uint32_t(r.values[2].value), std::uint32_t(r.values[3].value), error);
        }))
        return;
    if (!error.empty()) {
        dialogs.MessageBox(error, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!doc.ConfirmDiscard())
        return;
    doc.StartBank(std::make_unique<CWaveBank>(frames), name, "");
    doc.Graph().modified = true;
}

void CBankCommands::SplitIntoFiles() {
    CWaveBank& bank = *doc.Bank();
    FileDialogRequest request;
    request.save = true;
    request.defaultExtension = "txt";
    request.filter = "Data file (*.TXT)|*.txt||";
    const std::optional<FileDialogResult> chosen = dialogs.FileDialog(request);
    if (!chosen)
        return;
    // name-00.txt, name-01.txt, ...: the chosen name and each frame's number, from 0.
    const std::filesystem::path base(chosen->path);
    const int digits = int(std::to_string(bank.Frames() - 1).size());
    const std::uint32_t n = bank.FrameSize();
    try {
        for (std::uint32_t k = 0; k < bank.Frames(); ++k) {
            char number[16];
            std::snprintf(number, sizeof number, "-%0*u", digits, unsigned(k));
            const std::string path =
                (base.parent_path() / (base.stem().string() + number + ".txt")).string();
            const DataPoint* frame = doc.FramePoints(k);
            if (!doc.SaveLong("Saving ", path, 10.0 * n,
                              [&](const TextSink& sink) { return WriteDataFile(sink, frame, n); }))
                return;
        }
    } catch (const FileCreateError&) {
        dialogs.MessageBox("File save error!", MB_OK | MB_ICONSTOP);
    }
}

void CBankCommands::TakeFrame() {
    CWaveBank& bank = *doc.Bank();
    const std::uint32_t frame = bank.Current() + 1;
    if (bank.Frames() > 1 && doc.Graph().modified &&
        dialogs.MessageBox("Bank not saved.\nKeep frame " + std::to_string(frame) +
                               " as the waveform and close the other " +
                               Counted(bank.Frames() - 1, "frame", "frames") + "?",
                           MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    doc.EndBank("frame " + std::to_string(frame) + "*");
}
