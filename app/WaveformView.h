#pragma once
// The editor's one view: it owns the waveform (the sample buffer) and the graph that shows
// it, and carries New, Open, Save, Save C Source, the six tools and View Reset.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/AppDialogs.h"
#include "files/DataFileReader.h"
#include "files/SampleBuffer.h"
#include "graph/Plot.h"
#include "wave/Import.h"
#include "wave/UndoHistory.h"

enum ToolMode {
    ToolNone = 0,
    ToolZoom = 1,
    ToolPan = 2,
    ToolEdit = 3,
    ToolCursor = 4,
    ToolEditPlus = 5,
    ToolFreehand = 6,
};

class CWaveformView : public CWnd {
public:
    // Opens the file as Open does once it is chosen (no question, no dialog).
    void OpenPath(const std::string& path);
    // A sound file's first channel in place of the waveform, as Import takes it.
    void ImportSound(const std::string& path);
    using TitleSetter = std::function<void(const std::string&)>;
    CWaveformView(CAppDialogs& dialogs, TitleSetter setTitle);
    ~CWaveformView() override;

    // Creates the view and its graph (id 1001, cursor flags 14, cursor locked to series 0).
    BOOL Create(CWnd* parent = nullptr);
    // Handles the view's commands; false for any other.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // The update handlers: which tool command shows checked.
    bool IsChecked(UINT id) const;
    bool IsModified() const { return graph.modified; }

    CPlot& Graph() { return graph; }
    const DataPoint* Samples() const { return buffer.get(); }
    std::uint32_t SampleCount() const { return sampleCount; }
    ToolMode Tool() const { return tool; }
    const std::string& DataPath() const { return dataPath; }
    const std::string& SavePath() const { return savePath; }
    const std::string& ExportPath() const { return exportPath; }
    const TableOptions& TableExportOptions() const { return tableOptions; }
    // Whether Export Table's options were chosen in this run (else they are the defaults).
    bool TableOptionsChosen() const { return tableChosen; }
    const UndoHistory& History() const { return history; }
    // Wave commands on more samples than this run off the window's thread.
    std::size_t inlineLimit = std::size_t(1) << 20;
    // After every command that may have changed the samples, or the Export Table options
    // (false), and when a document was closed or replaced by New or Open (true).
    std::function<void(bool document)> waveformChanged;
    // The space bar in the graph.
    std::function<void()> spacePressed;

protected:
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnEraseBkgnd(CDC&) override { return TRUE; }

private:
    bool ConfirmDiscard();
    void Changed(bool document);
    void ReleaseBuffer();
    void HandOver();
    // Shows series 0 over the buffer on new axes, as the hand-over does, keeping the tool.
    void ShowNewCount();
    // Where changed samples left the shown Y range, Y is fitted to them all as View Reset
    // fits it; X stays.
    void KeepYInView();
    void SetTool(ToolMode mode);
    // Sets the title to "Tarvelin 1.7 - [name]" and remembers the name.
    void ShowName(const std::string& name);
    void New();
    void Open();
    void Save();
    void SaveCSource();
    void ExportTable();
    // A save through the safe write on a worker, with progress; false when cancelled (the
    // file is then as it was).
    bool SaveLong(const std::string& verb, const std::string& path, double bytes,
                  const std::function<bool(const TextSink&)>& write);
    // The Wave menu (WaveCommands.cpp).
    bool OnWaveCommand(UINT id);
    void Undo(bool redo);
    void Transform(UINT id);
    void GenerateWave();
    void ResampleWave();
    void Import(bool clipboard);
    // What an import read: its error said, or its values taken (after asking about frames
    // the file does not hold).
    void TakeRead(ImportResult read, const std::string& name);
    // Puts imported values in place of the waveform, as Open does, as one step back.
    void TakeImported(std::vector<double> values, const std::string& name);
    // Puts a waveform of these Y values in place of the samples (the count may change) and
    // gives the old ones back in `ys`; false when it cannot. The copies are long work that
    // shows `what`.
    bool SwapWaveform(std::vector<double>& ys, const std::string& what);
    // A new waveform of these values replaces the samples as one step (and takes `ys`);
    // false when it cannot. When memory runs out `ys` is left as it was, to try again.
    bool ReplaceAsStep(std::vector<double>& ys, const UndoHistory::Document& after,
                       const std::string& what);
    UndoHistory::Document CurrentDocument() const;
    void SwapDocument(UndoHistory::Document& other);
    // Runs `work`; where memory runs out, the history's oldest steps give way, one at a time,
    // before the failure is reported. `work` must change nothing when it fails.
    void GivingWay(const std::function<void()>& work);
    // Work that changes the samples in place: beyond `inlineLimit` samples it runs off the
    // window's thread, the graph showing its last picture meanwhile; false when cancelled
    // (the work then changed nothing). Exceptions of the work come out here.
    bool WorkOnSamples(const std::string& what, std::size_t samples,
                       const std::function<void(CProgress&)>& work);
    // Quarter of the memory that is still free, counting what the history holds as free.
    std::size_t HistoryAllowance() const;

    CPlot graph;
    std::uint32_t sampleCount = 0;
    SampleBuffer buffer;
    ToolMode tool = ToolNone;
    std::string dataPath;
    std::string savePath;
    std::string exportPath;
    int exportFilter = 1;  // Save C Source's form, as last chosen in this run
    std::string shownName; // in the title's brackets; empty before any waveform
    std::string tablePath;
    TableOptions tableOptions; // as last set, for the rest of the run
    bool tableChosen = false;
    UndoHistory history;
    GeneratorOptions generatorOptions; // as last set, for the rest of the run
    int resampleChoice = 1;            // Resample's method and option, likewise
    bool resampleCircular = false;
    CAppDialogs& dialogs;
    TitleSetter setTitle;
};

// "Tarvelin 1.7 - [name]" and the rest of the title rules.
std::string TitleWith(const std::string& part);
// The name and extension of a path, without its folder.
std::string FileName(const std::string& path);
