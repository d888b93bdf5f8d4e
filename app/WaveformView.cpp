#include "app/WaveformView.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>

#include "app/Resources.h"
#include "app/SafeSave.h"
#include "files/CSourceExport.h"
#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"
#include "files/TableExport.h"
#include "wave/Generators.h"
#include "wave/Import.h"
#include "wave/Resample.h"
#include "wave/Transforms.h"

namespace {

const char* const DataFilter = "Data file (*.TXT)|*.txt||";
const char* const HeaderFilter =
    "Header file as integer (*.H)|*.h| Header file as float (*.H)|*.h||";

std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

} // namespace

std::string TitleWith(const std::string& part) {
    return std::string(LoadString(IDR_MAINFRAME)) + " - [" + part + "]";
}

namespace {

// A quarter of what the system can still provide, at most what a size_t can count.
std::size_t HistoryAllowance() {
    const std::uint64_t quarter = AvailableBytes() / 4;
    return quarter > SIZE_MAX ? SIZE_MAX : std::size_t(quarter);
}

} // namespace

CWaveformView::CWaveformView(CAppDialogs& d, TitleSetter t)
    : history(HistoryAllowance()), dialogs(d), setTitle(std::move(t)) {}

CWaveformView::~CWaveformView() {
    graph.ClearGraph(); // no series may refer to the buffer once it is gone
    ReleaseBuffer();
}

BOOL CWaveformView::Create(CWnd* parent) {
    if (!CWnd::Create("TarvelinView", "", CRect(), parent, ViewId))
        return FALSE;
    if (!graph.Create(this, CPlot::DefaultId))
        return FALSE;
    graph.cursorFlags = 14;
    graph.cursorSeriesLock = 0;
    // Each drag and each stroke on the waveform is one step of the history.
    graph.beforeEdit = [this](int series, int first, int last) {
        if (series == 0 && buffer && first >= 0 && std::uint32_t(last) < sampleCount)
            history.Touch(buffer.get(), std::size_t(first), std::size_t(last));
    };
    graph.editEnded = [this] {
        if (buffer)
            history.Commit(buffer.get());
    };
    return TRUE;
}

void CWaveformView::OnSize(UINT, int cx, int cy) {
    if (graph.IsWindow())
        graph.MoveWindow(CRect(0, 0, cx, cy), TRUE);
}

bool CWaveformView::IsChecked(UINT id) const {
    switch (id) {
    case ID_TOOL_ZOOM:
        return tool == ToolZoom;
    case ID_TOOL_PAN:
        return tool == ToolPan;
    case ID_TOOL_CURSOR:
        return tool == ToolCursor;
    case ID_TOOL_EDIT:
        return tool == ToolEdit;
    case ID_TOOL_EDIT_PLUS:
        return tool == ToolEditPlus;
    case ID_TOOL_FREEHAND:
        return tool == ToolFreehand;
    default:
        return false;
    }
}

BOOL CWaveformView::OnCommand(WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case ID_FILE_NEW:
        New();
        return TRUE;
    case ID_FILE_OPEN:
        Open();
        return TRUE;
    case ID_FILE_SAVE:
        Save();
        return TRUE;
    case ID_FILE_SAVE_C:
        SaveCSource();
        return TRUE;
    case ID_WAVE_EXPORT_TABLE:
        ExportTable();
        return TRUE;
    case ID_WAVE_UNDO:
        Undo(false);
        return TRUE;
    case ID_WAVE_REDO:
        Undo(true);
        return TRUE;
    case ID_WAVE_GENERATE:
        GenerateWave();
        return TRUE;
    case ID_WAVE_RESAMPLE:
        ResampleWave();
        return TRUE;
    case ID_WAVE_IMPORT:
        Import(false);
        return TRUE;
    case ID_WAVE_PASTE:
        Import(true);
        return TRUE;
    case ID_WAVE_NORMALISE:
    case ID_WAVE_SCALE:
    case ID_WAVE_REMOVE_DC:
    case ID_WAVE_INVERT:
    case ID_WAVE_REVERSE:
    case ID_WAVE_SMOOTH:
    case ID_WAVE_QUANTISE:
    case ID_WAVE_CLIP:
        Transform(LOWORD(wParam));
        return TRUE;
    case ID_TOOL_ZOOM:
        SetTool(ToolZoom);
        return TRUE;
    case ID_TOOL_PAN:
        SetTool(ToolPan);
        return TRUE;
    case ID_TOOL_CURSOR:
        SetTool(ToolCursor);
        return TRUE;
    case ID_TOOL_EDIT:
        SetTool(ToolEdit);
        return TRUE;
    case ID_TOOL_EDIT_PLUS:
        SetTool(ToolEditPlus);
        return TRUE;
    case ID_TOOL_FREEHAND:
        SetTool(ToolFreehand);
        return TRUE;
    case ID_TOOL_VIEW_RESET:
        graph.ResetView();
        return TRUE;
    default:
        return FALSE;
    }
}

void CWaveformView::SetTool(ToolMode mode) {
    if (mode == ToolCursor && graph.XAxisCount() == 0)
        return; // nothing at all without an X axis
    tool = mode;
    switch (mode) {
    case ToolZoom:
        graph.SendMessage(WM_COMMAND, ID_PLOT_ZOOM);
        break;
    case ToolPan:
        graph.SendMessage(WM_COMMAND, ID_PLOT_PAN);
        break;
    case ToolCursor:
        graph.SendMessage(WM_COMMAND, ID_PLOT_CURSOR);
        break;
    case ToolEdit:
        graph.SendMessage(WM_COMMAND, ID_PLOT_EDIT);
        break;
    case ToolEditPlus:
        graph.SetOperationMode(ModeEditPlus);
        break;
    case ToolFreehand:
        graph.SetOperationMode(ModeFreehand);
        break;
    default:
        break;
    }
}

bool CWaveformView::ConfirmDiscard() {
    if (!graph.modified)
        return true;
    return dialogs.MessageBox("Waveform not saved.\nDo you want to continue?",
                              MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void CWaveformView::ReleaseBuffer() {
    history.Clear(); // a new waveform starts a fresh history
    buffer.reset();
    sampleCount = 0;
}

void CWaveformView::HandOver() {
    graph.SetSeriesData(buffer.get(), int(sampleCount), 0, 0, 0, false);
    graph.XAxisAt(0).showGrid = true;
    graph.YAxisAt(0).title = "Y";
    graph.legendVisible = false;
    tool = ToolPan;
    graph.SendMessage(WM_COMMAND, ID_PLOT_PAN);
}

void CWaveformView::New() {
    if (!ConfirmDiscard())
        return;
    std::uint32_t count = 256;
    if (!dialogs.NewData(count))
        return;
    graph.ClearGraph();
    ReleaseBuffer();
    SampleBuffer fresh = AllocateSamples(count); // out of memory leaves the view empty
    for (std::uint32_t i = 0; i < count; ++i)
        fresh[i] = DataPoint{double(std::int32_t(i)), 0.0};
    buffer = std::move(fresh);
    sampleCount = count;
    HandOver();
    graph.modified = false;
    setTitle(TitleWith("new*"));
}

void CWaveformView::Open() {
    if (!ConfirmDiscard())
        return;
    FileDialogRequest request;
    request.defaultExtension = "txt";
    request.initialFolder = dataPath;
    request.filter = DataFilter;
    const std::optional<FileDialogResult> chosen = dialogs.FileDialog(request);
    if (!chosen)
        return;
    dataPath = chosen->path;
    graph.ClearGraph();
    ReleaseBuffer();
    DataFile file;
    try {
        file = ReadDataFile(dataPath);
    } catch (const DataFileReadError& e) {
        setTitle(TitleWith(FileName(dataPath)));
        throw CFileException(CFileException::CauseFromErrno(e.error), dataPath);
    }
    if (file.count > 2147483647u) // more than a series can hold
        throw std::bad_alloc();
    if (file.count > 0) {
        buffer = std::move(file.points);
        sampleCount = file.count;
        HandOver();
    }
    setTitle(TitleWith(FileName(dataPath)));
}

void CWaveformView::Save() {
    if (savePath.empty())
        savePath = dataPath;
    FileDialogRequest request;
    request.save = true;
    request.defaultExtension = "txt";
    request.initialFile = savePath;
    request.filter = DataFilter;
    const std::optional<FileDialogResult> chosen = dialogs.FileDialog(request);
    if (!chosen)
        return;
    savePath = chosen->path;
    try {
        SaveFileSafely(savePath, [this](std::FILE* f) {
            return WriteDataFile(f, buffer.get(), buffer ? sampleCount : 0);
        });
    } catch (const FileCreateError&) {
        dialogs.MessageBox("File save error!", MB_OK | MB_ICONSTOP);
        return;
    }
    if (graph.modified)
        setTitle(TitleWith(FileName(savePath)));
    graph.modified = false;
}

void CWaveformView::SaveCSource() {
    FileDialogRequest request;
    request.save = true;
    request.defaultExtension = "h";
    request.initialFile = exportPath;
    request.filter = HeaderFilter;
    const std::optional<FileDialogResult> chosen = dialogs.FileDialog(request);
    if (!chosen)
        return;
    exportPath = chosen->path;
    const ExportForm form = chosen->filterIndex == 1 ? ExportForm::Integer : ExportForm::Float;
    try {
        SaveFileSafely(exportPath, [this, form](std::FILE* f) {
            return ExportCSource(f, buffer.get(), buffer ? sampleCount : 0, form);
        });
    } catch (const FileCreateError&) {
        dialogs.MessageBox("File save error!", MB_OK | MB_ICONSTOP);
    }
}

void CWaveformView::ExportTable() {
    const std::uint32_t count = buffer ? sampleCount : 0;
    if (!dialogs.ExportTable(tableOptions, buffer.get(), count))
        return;
    FileDialogRequest request;
    request.save = true;
    request.defaultExtension = "h";
    request.initialFile = tablePath;
    request.filter = "Header file (*.h)|*.h||";
    const std::optional<FileDialogResult> chosen = dialogs.FileDialog(request);
    if (!chosen)
        return;
    tablePath = chosen->path;
    try { // no data change: title and modified state stay
        SaveFileSafely(tablePath, [&](std::FILE* f) {
            return WriteTable(FileSink(f), buffer.get(), count, tableOptions);
        });
    } catch (const FileCreateError&) {
        dialogs.MessageBox("File save error!", MB_OK | MB_ICONSTOP);
    }
}

void CWaveformView::Undo(bool redo) {
    if (!buffer)
        return;
    history.Commit(buffer.get()); // a drag whose release was never seen
    const UndoHistory::Target target{
        buffer.get(), sampleCount, [this](const std::vector<DataPoint>& w) { return Replace(w); }};
    if (!(redo ? history.Redo(target) : history.Undo(target)))
        return;
    graph.modified = true; // the close query and the discard question ask again
    graph.Invalidate();
}

void CWaveformView::Transform(UINT id) {
    if (!buffer || sampleCount == 0)
        return;
    TransformRequest r;
    r.count = sampleCount;
    r.last = sampleCount - 1;
    switch (id) {
    case ID_WAVE_NORMALISE:
        r.title = "Normalise";
        r.values = {{"Peak:", 1}, {"Range low:", -1}, {"Range high:", 1}};
        r.option = "Minimum and maximum onto the range instead";
        break;
    case ID_WAVE_SCALE:
        r.title = "Scale and Offset";
        r.values = {{"Scale:", 1}, {"Offset:", 0}};
        break;
    case ID_WAVE_REMOVE_DC:
        r.title = "Remove DC";
        break;
    case ID_WAVE_INVERT:
        r.title = "Invert";
        break;
    case ID_WAVE_REVERSE:
        r.title = "Reverse";
        break;
    case ID_WAVE_SMOOTH:
        r.title = "Smooth";
        r.values = {{"Width (odd):", 3}};
        r.option = "Circular (the table repeats)";
        break;
    case ID_WAVE_QUANTISE:
        r.title = "Quantise";
        r.values = {{"Bits:", 8}, {"Low:", -1}, {"High:", 1}};
        break;
    default:
        r.title = "Clip";
        r.values = {{"Low:", -1}, {"High:", 1}};
        break;
    }
    if (!dialogs.Transform(r))
        return;
    const std::uint32_t last = std::min(r.last, sampleCount - 1);
    if (r.first > last)
        return;
    const SampleRange range{buffer.get() + r.first, std::size_t(last - r.first) + 1};
    auto value = [&r](std::size_t i) { return i < r.values.size() ? r.values[i].second : 0.0; };
    history.Commit(buffer.get());
    history.Touch(buffer.get(), r.first, last); // the whole transform is one step
    bool done = true;
    switch (id) {
    case ID_WAVE_NORMALISE:
        done =
            r.checked ? NormaliseRange(range, value(1), value(2)) : NormalisePeak(range, value(0));
        break;
    case ID_WAVE_SCALE:
        done = ScaleOffset(range, value(0), value(1));
        break;
    case ID_WAVE_REMOVE_DC:
        done = RemoveDC(range);
        break;
    case ID_WAVE_INVERT:
        Invert(range);
        break;
    case ID_WAVE_REVERSE:
        Reverse(range);
        break;
    case ID_WAVE_SMOOTH:
        done = Smooth(range, int(value(0)), r.checked);
        break;
    case ID_WAVE_QUANTISE:
        done = Quantise(range, int(value(0)), value(1), value(2));
        break;
    default:
        Clip(range, value(0), value(1));
        break;
    }
    history.Commit(buffer.get()); // nothing changed: no step
    if (!done) {
        dialogs.MessageBox("The samples were left as they were: the values given cannot be used "
                           "(an even width, no range, or results too large for a number).",
                           MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    graph.modified = true;
    graph.Invalidate();
}

bool CWaveformView::Replace(const std::vector<DataPoint>& waveform) {
    if (waveform.empty() || waveform.size() > 2147483647u)
        return false;
    SampleBuffer fresh = AllocateSamples(waveform.size());
    std::copy(waveform.begin(), waveform.end(), fresh.get());
    // Series 0 moves to the new samples before the old ones are released.
    graph.SetSeriesData(fresh.get(), int(waveform.size()), 0, 0, 0, false);
    buffer = std::move(fresh);
    sampleCount = std::uint32_t(waveform.size());
    return true;
}

void CWaveformView::GenerateWave() {
    const bool had = buffer && sampleCount > 0;
    std::uint32_t count = had ? sampleCount : 256;
    GeneratorOptions options = generatorOptions;
    std::vector<DataPoint> preview;
    // The preview is shown by pointing series 0 at it: the samples and the axes stay as they
    // are, so Cancel gives back exactly what was there.
    auto show = [&](const GeneratorOptions& o, std::uint32_t n) -> std::string {
        if (n == 0 || n > 2147483647u)
            return "The count must lie between 1 and 2147483647.";
        GeneratorResult made = Generate(o, n, buffer.get(), had ? sampleCount : 0);
        if (!made.error.empty())
            return made.error;
        preview = std::move(made.points);
        if (graph.SeriesCount() == 0) {
            graph.SetSeriesData(preview.data(), int(n), 0, 0, 0, false);
        } else {
            graph.SeriesAt(0).points = preview.data();
            graph.SeriesAt(0).pointCount = std::int32_t(n);
        }
        graph.Invalidate();
        return {};
    };
    const bool ok = dialogs.Generate(options, count, show);
    if (had) {
        graph.SeriesAt(0).points = buffer.get();
        graph.SeriesAt(0).pointCount = std::int32_t(sampleCount);
    } else {
        graph.ClearGraph();
    }
    graph.Invalidate();
    if (!ok)
        return;
    generatorOptions = options;
    GeneratorResult made = Generate(options, count, buffer.get(), had ? sampleCount : 0);
    if (!made.error.empty()) {
        dialogs.MessageBox(made.error, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (had && count == sampleCount) { // one step of the changed values
        history.Commit(buffer.get());
        history.Touch(buffer.get(), 0, sampleCount - 1);
        for (std::uint32_t i = 0; i < count; ++i)
            buffer[i].y = made.points[i].y;
        history.Commit(buffer.get());
        graph.FitAxesToSeries(0, 0, 0);
    } else if (had) { // a new count: a step of both waveforms
        std::vector<DataPoint> before(buffer.get(), buffer.get() + sampleCount);
        if (!Replace(made.points))
            return;
        history.RecordReplace(std::move(before), std::move(made.points));
        graph.FitAxesToSeries(0, 0, 0);
    } else { // into an empty view: a new waveform, as New makes one
        graph.ClearGraph();
        ReleaseBuffer();
        SampleBuffer fresh = AllocateSamples(count);
        std::copy(made.points.begin(), made.points.end(), fresh.get());
        buffer = std::move(fresh);
        sampleCount = count;
        HandOver();
        setTitle(TitleWith("new*"));
    }
    graph.modified = true;
    graph.Invalidate();
}

void CWaveformView::ResampleWave() {
    if (!buffer || sampleCount == 0)
        return;
    TransformRequest r;
    r.title = "Resample";
    r.count = sampleCount;
    r.last = sampleCount - 1;
    r.values = {{"Samples:", double(sampleCount)}};
    r.choices = {"Linear", "Cubic", "Band-limited, best (libsamplerate)",
                 "Band-limited, fast (libsamplerate)"};
    r.choice = 1;
    r.option = "Circular (the table repeats)";
    r.range = false;
    if (!dialogs.Transform(r))
        return;
    const double wanted = r.values[0].second;
    if (!(wanted >= 1 && wanted <= 2147483647)) {
        dialogs.MessageBox("The count must lie between 1 and 2147483647.",
                           MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::vector<double> ys(sampleCount);
    for (std::uint32_t i = 0; i < sampleCount; ++i)
        ys[i] = buffer[i].y;
    std::string error;
    const std::vector<double> out = Resample(
        ys, std::size_t(wanted), ResampleMethod(std::clamp(r.choice, 0, 3)), r.checked, error);
    if (out.empty()) {
        dialogs.MessageBox(error, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::vector<DataPoint> before(buffer.get(), buffer.get() + sampleCount), after(out.size());
    for (std::size_t i = 0; i < out.size(); ++i)
        after[i] = {double(std::int32_t(i)), out[i]};
    history.Commit(buffer.get());
    if (!Replace(after))
        return;
    history.RecordReplace(std::move(before), std::move(after));
    graph.FitAxesToSeries(0, 0, 0);
    graph.modified = true;
    graph.Invalidate();
}

void CWaveformView::Import(bool clipboard) {
    if (!ConfirmDiscard())
        return;
    ImportResult read;
    std::string name = "clipboard";
    if (clipboard) {
        read = ImportPasted(dialogs.ClipboardText());
    } else {
        FileDialogRequest request;
        request.filter = "Sound file (*.WAV)|*.wav|Text file (*.CSV *.TXT)|*.csv *.txt||";
        const std::optional<FileDialogResult> chosen = dialogs.FileDialog(request);
        if (!chosen)
            return;
        name = FileName(chosen->path);
        const bool wav = chosen->filterIndex == 1 ||
                         (name.size() > 4 && (name.ends_with(".wav") || name.ends_with(".WAV")));
        TransformRequest r;
        r.title = "Import";
        r.range = false;
        if (wav) {
            r.choices = {"The first channel", "The mix of all channels"};
        } else {
            r.values = {{"Column:", 1}, {"Header lines to skip:", 0}};
            r.choices = {"Comma", "Semicolon", "Tab", "Blank"};
        }
        if (!dialogs.Transform(r))
            return;
        if (wav) {
            read = ImportWav(chosen->path, r.choice == 1);
        } else {
            std::ifstream in(chosen->path, std::ios::binary);
            if (!in)
                throw CFileException(CFileException::CauseFromErrno(errno), chosen->path);
            const std::string text((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
            static const char delimiters[] = {',', ';', '\t', ' '};
            read = ImportDelimited(text, std::size_t(std::max(1.0, r.values[0].second)),
                                   delimiters[std::clamp(r.choice, 0, 3)],
                                   std::size_t(std::max(0.0, r.values[1].second)));
        }
    }
    if (read.error.empty() && read.values.empty())
        read.error = "There is no number to import.";
    if (read.error.empty() && read.values.size() > 2147483647u)
        read.error = "There are more numbers than a waveform can hold.";
    if (!read.error.empty()) { // the current waveform stays as it is
        dialogs.MessageBox(read.error, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    TakeImported(read.values, name);
}

void CWaveformView::TakeImported(const std::vector<double>& values, const std::string& name) {
    std::vector<DataPoint> before;
    if (buffer)
        before.assign(buffer.get(), buffer.get() + sampleCount);
    std::vector<DataPoint> after(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        after[i] = {double(std::int32_t(i)), values[i]};
    SampleBuffer fresh = AllocateSamples(after.size()); // before anything is let go
    std::copy(after.begin(), after.end(), fresh.get());
    UndoHistory kept = std::move(history); // an import is a step, not a fresh start
    graph.ClearGraph();
    ReleaseBuffer();
    history = std::move(kept);
    buffer = std::move(fresh);
    sampleCount = std::uint32_t(after.size());
    HandOver();
    if (!before.empty())
        history.RecordReplace(std::move(before), std::move(after));
    graph.modified = true;
    // Save asks for a name, as after New.
    dataPath.clear();
    savePath.clear();
    setTitle(TitleWith(name + "*"));
}
