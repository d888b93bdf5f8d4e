#include "app/WaveformView.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <new>

#include "app/Commands.h"
#include "app/Resources.h"
#include "app/SafeSave.h"
#include "files/CSourceExport.h"
#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"

namespace {

const char* const DataFilter = "Data file (*.TXT)|*.txt||";
const char* const HeaderFilter =
    "Header file as integer (*.H)|*.h| Header file as float (*.H)|*.h||";

} // namespace

std::string TitleWith(const std::string& part) {
    return std::string(LoadString(IDR_MAINFRAME)) + " - [" + part + "]";
}

CWaveformView::CWaveformView(CAppDialogs& d, TitleSetter t)
    : history([this] { return HistoryAllowance(); }), dialogs(d), setTitle(std::move(t)) {}

std::size_t CWaveformView::HistoryAllowance() const {
    const std::uint64_t available = AvailableBytes();
    const std::uint64_t free =
        available > UINT64_MAX - history.Bytes() ? UINT64_MAX : available + history.Bytes();
    return free / 4 > SIZE_MAX ? SIZE_MAX : std::size_t(free / 4);
}

CWaveformView::~CWaveformView() {
    waveformChanged = nullptr; // its owner may be going too
    graph.ClearGraph();        // no series may refer to the buffer once it is gone
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
    graph.edited = [this] { Changed(false); };
    graph.otherKey = [this](UINT key) {
        if (key == VK_SPACE && spacePressed)
            spacePressed();
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

void CWaveformView::Changed(bool document) {
    if (!waveformChanged)
        return;
    try {
        waveformChanged(document);
    } catch (const std::bad_alloc&) {
        // What follows the waveform waits for the next change.
    }
}

BOOL CWaveformView::OnCommand(WPARAM wParam, LPARAM) {
    // Whatever a command did, even when it failed half-way, those who follow the waveform
    // hear of it: a new document when the buffer was let go, else a change.
    struct Watch {
        CWaveformView& view;
        const DataPoint* before;
        bool document, wave;
        ~Watch() {
            if (document && view.buffer.get() != before)
                view.Changed(true);
            else if (wave)
                view.Changed(false);
        }
    } watch{*this, buffer.get(),
            LOWORD(wParam) == ID_FILE_NEW || LOWORD(wParam) == ID_FILE_OPEN ||
                LOWORD(wParam) == ID_BANK_NEW || LOWORD(wParam) == ID_BANK_OPEN,
            (LOWORD(wParam) >= ID_WAVE_EXPORT_TABLE && LOWORD(wParam) <= ID_WAVE_RESAMPLE) ||
                (LOWORD(wParam) >= ID_BANK_NEW && LOWORD(wParam) <= ID_BANK_TAKE_FRAME)};
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
        return commands.OnCommand(LOWORD(wParam)) || bankCommands.OnCommand(LOWORD(wParam));
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
    return dialogs.MessageBox(std::string(bank ? "Bank" : "Waveform") +
                                  " not saved.\nDo you want to continue?",
                              MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void CWaveformView::ReleaseBuffer() {
    history.Clear(); // a new waveform starts a fresh history
    history.SetFrame(0);
    buffer.reset();
    sampleCount = 0;
    if (bank) {
        bank.reset();
        bankPath.clear();
        if (bankChanged)
            bankChanged();
    }
}

void CWaveformView::StartBank(std::unique_ptr<CWaveBank> opened, const std::string& name,
                              const std::string& path) {
    graph.ClearGraph();
    ReleaseBuffer();
    bank = std::move(opened);
    bankPath = path;
    buffer = bank->Lend();
    sampleCount = bank->FrameSize();
    HandOver();
    DrawNeighbours();
    graph.modified = false;
    history.SetFrame(bank->Current());
    history.MarkSaved();
    ShowName(name);
    if (bankChanged)
        bankChanged();
}

void CWaveformView::ShowLent() {
    buffer = bank->Lend();
    graph.SeriesAt(0).points = buffer.get();
    graph.SeriesAt(0).pointCount = std::int32_t(sampleCount);
    history.SetFrame(bank->Current());
    DrawNeighbours();
    graph.Invalidate();
    if (bankChanged)
        bankChanged();
}

DataPoint* CWaveformView::FramePoints(std::uint32_t frame) {
    if (!bank || frame >= bank->Frames())
        return nullptr;
    return frame == bank->Current() ? buffer.get() : bank->Points(frame);
}

void CWaveformView::SelectFrame(std::uint32_t frame) {
    const DataPoint* before = buffer.get();
    ShowFrame(frame);
    if (buffer.get() != before)
        Changed(false);
}

void CWaveformView::ShowNeighbours(int reach) {
    neighbours = std::clamp(reach, 0, 3);
    DrawNeighbours();
}

void CWaveformView::DrawNeighbours() {
    graph.hitEditableOnly = bank != nullptr;
    graph.RemoveSeriesFrom(1);
    const bool shown = bank && neighbours && buffer && graph.SeriesCount() > 0;
    // One badge a series would crowd the axes' ends: none while neighbours are drawn.
    for (int a = 0; a < graph.XAxisCount(); ++a)
        graph.XAxisAt(a).showSeriesBadges = !shown;
    for (int a = 0; a < graph.YAxisCount(); ++a)
        graph.YAxisAt(a).showSeriesBadges = !shown;
    if (!shown)
        return;
    const std::int64_t c = bank->Current(), frames = bank->Frames();
    const std::int64_t reach = neighbours >= 3 ? frames : neighbours;
    int series = 1;
    for (std::int64_t k = std::max<std::int64_t>(0, c - reach);
         k <= std::min(frames - 1, c + reach); ++k) {
        if (k == c)
            continue;
        if (CPlotDataSeries* s = graph.SetSeriesData(bank->Points(std::uint32_t(k)),
                                                     int(sampleCount), series++, 0, 0, false)) {
            s->colour = RGB(192, 192, 192);
            s->markerSize = 0; // a line only, behind the frame shown
            s->editable = false;
        }
    }
    // The frame shown once more, on top of its neighbours; series 0 stays the one edited.
    if (CPlotDataSeries* top =
            graph.SetSeriesData(buffer.get(), int(sampleCount), series, 0, 0, false)) {
        const CPlotDataSeries& first = graph.SeriesAt(0);
        top->colour = first.colour;
        top->lineWidth = first.lineWidth;
        top->penStyle = first.penStyle;
        top->markerMode = first.markerMode;
        top->markerSymbol = first.markerSymbol;
        top->markerSize = first.markerSize;
        top->editable = false;
    }
    graph.Invalidate();
}

void CWaveformView::ShowFrame(std::uint32_t frame) {
    if (!bank || frame >= bank->Frames() || frame == bank->Current())
        return;
    history.Commit(buffer.get()); // a drag under way: its step ends on the frame it began
    bank->Return(std::move(buffer));
    bank->SetCurrent(frame);
    ShowLent();
}

bool CWaveformView::ChangeFrames(UndoHistory::FrameChange change, std::uint32_t at,
                                 std::uint32_t to, std::vector<double>& values) {
    if (!bank)
        return false;
    history.Commit(buffer.get());
    if (change == UndoHistory::FrameChange::Reshape)
        return ReshapeBank(to, values);
    bank->Return(std::move(buffer));
    bool done = false;
    try {
        done = change == UndoHistory::FrameChange::Insert   ? bank->Insert(at, values)
               : change == UndoHistory::FrameChange::Remove ? bank->Remove(at, values)
               : change == UndoHistory::FrameChange::Move   ? bank->Move(at, to)
                                                            : false;
    } catch (...) {
        ShowLent(); // the frames as they were
        throw;
    }
    ShowLent();
    return done;
}

bool CWaveformView::ReshapeBank(std::uint32_t frameSize, std::vector<double>& values) {
    if (!frameSize || values.size() % frameSize)
        return false;
    const BankValues next{frameSize, std::uint32_t(values.size() / frameSize), values};
    auto fresh = std::make_unique<CWaveBank>(next); // before anything changes
    BankValues old = bank->Values(buffer.get());
    const std::uint32_t current = std::min(bank->Current(), fresh->Frames() - 1);
    graph.RemoveSeriesFrom(1); // the neighbours point into the old frames
    graph.SeriesAt(0).points = nullptr;
    graph.SeriesAt(0).pointCount = 0;
    buffer.reset();
    bank = std::move(fresh);
    bank->SetCurrent(current);
    buffer = bank->Lend();
    sampleCount = frameSize;
    ShowNewCount(); // new axes for the new frame size, the neighbours again
    history.SetFrame(current);
    values = std::move(old.values);
    if (bankChanged)
        bankChanged();
    return true;
}

void CWaveformView::EndBank(const std::string& name) {
    if (!bank)
        return;
    history.Clear(); // its steps name frames that are gone
    history.SetFrame(0);
    bank.reset();
    bankPath.clear();
    dataPath.clear();
    savePath.clear();
    DrawNeighbours(); // none now
    ShowName(name);
    graph.modified = true;
    if (bankChanged)
        bankChanged();
}

void CWaveformView::HandOver() {
    graph.SetSeriesData(buffer.get(), int(sampleCount), 0, 0, 0, false);
    graph.XAxisAt(0).showGrid = true;
    graph.YAxisAt(0).title = "Y";
    graph.legendVisible = false;
    tool = ToolPan;
    graph.SendMessage(WM_COMMAND, ID_PLOT_PAN);
}

void CWaveformView::KeepYInView() {
    if (!buffer || sampleCount == 0 || graph.YAxisCount() == 0)
        return;
    double low = buffer[0].y, high = buffer[0].y;
    for (std::uint32_t i = 1; i < sampleCount; ++i) {
        low = std::min(low, buffer[i].y);
        high = std::max(high, buffer[i].y);
    }
    CPlotAxis& y = graph.YAxisAt(0);
    if (low >= y.viewMin && high <= y.viewMax)
        return;
    if (y.SetRange(low, high))
        y.ResetRange();
}

void CWaveformView::ExchangeSamples(SampleBuffer& fresh, std::uint32_t& count) {
    std::swap(buffer, fresh);
    std::swap(sampleCount, count);
    ShowNewCount(); // the graph lets go of the old samples before they are released
}

void CWaveformView::StartWaveform(SampleBuffer fresh, std::uint32_t count) {
    graph.ClearGraph();
    ReleaseBuffer();
    buffer = std::move(fresh);
    sampleCount = count;
    HandOver();
}

bool CWaveformView::WorkOnSamples(const std::string& what, std::size_t samples,
                                  const std::function<void(CProgress&)>& work) {
    if (samples <= inlineLimit)
        return CAppDialogs::RunHere(work);
    struct Held { // let go however the work ends
        CPlot& graph;
        explicit Held(CPlot& g) : graph(g) { graph.HoldPicture(true); }
        ~Held() { graph.HoldPicture(false); }
    } held(graph);
    return dialogs.RunLong(what, work);
}

void CWaveformView::ShowNewCount() {
    const bool modified = graph.modified;
    graph.ClearGraph();
    graph.SetSeriesData(buffer.get(), int(sampleCount), 0, 0, 0, false);
    graph.XAxisAt(0).showGrid = true;
    graph.YAxisAt(0).title = "Y";
    graph.legendVisible = false;
    graph.SendMessage(WM_COMMAND, ID_PLOT_PAN); // the scale settles as after Open
    if (tool != ToolPan)
        SetTool(tool);
    graph.modified = modified;
    DrawNeighbours();
}

void CWaveformView::ShowName(const std::string& name) {
    shownName = name;
    setTitle(name.empty() ? std::string(LoadString(IDR_MAINFRAME)) : TitleWith(name));
}

UndoHistory::Document CWaveformView::CurrentDocument() const {
    return {shownName, dataPath, savePath};
}

void CWaveformView::SwapDocument(UndoHistory::Document& other) {
    UndoHistory::Document current = CurrentDocument();
    dataPath = other.dataPath;
    savePath = other.savePath;
    ShowName(other.name);
    other = std::move(current);
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
    history.MarkSaved(); // nothing to lose yet
    ShowName("new*");
}

void CWaveformView::Open() {
    if (!ConfirmDiscard())
        return;
    FileDialogRequest request;
    request.defaultExtension = "txt";
    request.initialFolder = dataPath;
    request.filter = DataFilter;
    const std::optional<FileDialogResult> chosen = dialogs.FileDialog(request);
    if (chosen)
        OpenPath(chosen->path);
}

void CWaveformView::OpenPath(const std::string& path) {
    // Read beside the waveform there is: a cancelled Open leaves it as it was.
    DataFile file;
    try {
        if (!dialogs.RunLong("Opening " + FileName(path) + "...", [&](CProgress& progress) {
                file = ReadDataFile(path, &progress);
                if (file.count > 2147483647u) // more than a series can hold
                    throw std::bad_alloc();
            }))
            return;
    } catch (const DataFileChanged& e) { // what was read is not the file: nothing is taken
        dialogs.MessageBox(e.what(), MB_OK | MB_ICONEXCLAMATION);
        return;
    } catch (const DataFileReadError& e) {
        dataPath = path;
        graph.ClearGraph();
        ReleaseBuffer();
        ShowName(FileName(dataPath));
        throw CFileException(CFileException::CauseFromErrno(e.error), dataPath);
    }
    dataPath = path;
    graph.ClearGraph();
    ReleaseBuffer();
    if (file.count > 0) {
        buffer = std::move(file.points);
        sampleCount = file.count;
        HandOver();
    }
    history.MarkSaved();
    ShowName(FileName(dataPath));
    if (file.odd.count > 0) // read by the file's rule, but never silently
        dialogs.MessageBox(OddLinesText(file.odd), MB_OK | MB_ICONEXCLAMATION);
}

bool CWaveformView::SaveLong(const std::string& verb, const std::string& path, double bytes,
                             const std::function<bool(const TextSink&)>& write) {
    return dialogs.RunLong(verb + FileName(path) + "...", [&](CProgress& progress) {
        SaveFileSafely(path, write, &progress, bytes);
    });
}

void CWaveformView::Save() {
    if (bank && bank->Frames() > 1) {
        const int answer = dialogs.MessageBox(
            "This bank has " + std::to_string(bank->Frames()) + " frames; Save writes frame " +
                std::to_string(bank->Current() + 1) +
                " alone as a waveform.\nSave the whole bank instead?",
            MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL)
            return;
        if (answer == IDYES) {
            bankCommands.OnCommand(ID_BANK_SAVE);
            return;
        }
    }
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
    const std::string before = savePath;
    savePath = chosen->path;
    try {
        const std::size_t count = buffer ? sampleCount : 0;
        if (!SaveLong("Saving ", savePath, 10.0 * double(count), [&](const TextSink& sink) {
                return WriteDataFile(sink, buffer.get(), count);
            })) {
            savePath = before;
            return;
        }
    } catch (const FileCreateError&) {
        dialogs.MessageBox("File save error!", MB_OK | MB_ICONSTOP);
        return;
    }
    if (bank) // one frame saved: the bank is no more saved than it was
        return;
    if (graph.modified)
        ShowName(FileName(savePath));
    graph.modified = false;
    history.MarkSaved();
}

void CWaveformView::SaveCSource() {
    FileDialogRequest request;
    request.save = true;
    request.defaultExtension = "h";
    request.initialFile = exportPath;
    request.filter = HeaderFilter;
    request.filterIndex = exportFilter;
    const std::optional<FileDialogResult> chosen = dialogs.FileDialog(request);
    if (!chosen)
        return;
    const std::string before = exportPath;
    const int filterBefore = exportFilter;
    exportPath = chosen->path;
    exportFilter = chosen->filterIndex;
    const ExportForm form = chosen->filterIndex == 1 ? ExportForm::Integer : ExportForm::Float;
    try {
        const std::size_t count = buffer ? sampleCount : 0;
        if (!SaveLong("Saving ", exportPath,
                      (form == ExportForm::Integer ? 7.0 : 12.0) * double(count),
                      [&](const TextSink& sink) {
                          return ExportCSource(sink, buffer.get(), count, form);
                      })) {
            exportPath = before;
            exportFilter = filterBefore;
        }
    } catch (const FileCreateError&) {
        dialogs.MessageBox("File save error!", MB_OK | MB_ICONSTOP);
    }
}
