#include "app/BankCommands.h"

#include <filesystem>

#include "app/Commands.h"
#include "app/ExportTableDialog.h"
#include "app/Resources.h"
#include "app/SafeSave.h"
#include "files/MemoryGate.h"
#include "wave/BankFile.h"
#include "wave/BankResample.h"
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
    if (id < ID_BANK_NEW || id > ID_BANK_TAKE_FRAME)
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
    FileDialogRequest request;
    request.save = true;
    request.defaultExtension = CExportTableDialog::ExtensionOf(options.format);
    request.initialFile =
        tablePath.empty()
            ? ""
            : std::filesystem::path(tablePath).replace_extension(request.defaultExtension).string();
    request.filter = CExportTableDialog::FilterOf(options.format);
    const std::optional<FileDialogResult> chosen = dialogs.FileDialog(request);
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
