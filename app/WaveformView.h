#pragma once
// The editor's one view: it owns the waveform (the sample buffer) and the graph that shows
// it, and carries New, Open, Save, Save C Source, the six tools and View Reset.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/AppDialogs.h"
#include "app/BankCommands.h"
#include "app/ToolMode.h"
#include "app/WaveCommands.h"
#include "app/WaveDocument.h"
#include "files/DataFileReader.h"
#include "files/SampleBuffer.h"
#include "graph/Plot.h"
#include "wave/Import.h"
#include "wave/UndoHistory.h"

class CWaveformView : public CWnd, private CWaveDocument {
public:
    // Opens the file as Open does once it is chosen (no question, no dialog).
    void OpenPath(const std::string& path);
    // A sound file's first channel in place of the waveform, as Import takes it.
    void ImportSound(const std::string& path) { commands.ImportSound(path); }
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

    CPlot& Graph() override { return graph; }
    const DataPoint* Samples() const { return buffer.get(); }
    DataPoint* Samples() override { return buffer.get(); }
    std::uint32_t SampleCount() const override { return sampleCount; }
    ToolMode Tool() const { return tool; }
    const std::string& DataPath() const { return dataPath; }
    const std::string& SavePath() const { return savePath; }
    const std::string& ExportPath() const { return exportPath; }
    const TableOptions& TableExportOptions() const { return commands.TableExportOptions(); }
    // Whether Export Table's options were chosen in this run (else they are the defaults).
    bool TableOptionsChosen() const { return commands.TableOptionsChosen(); }
    const UndoHistory& History() const { return history; }
    UndoHistory& History() override { return history; }
    // Wave commands on more samples than this run off the window's thread.
    std::size_t inlineLimit = std::size_t(1) << 20;
    // After every command that may have changed the samples, or the Export Table options
    // (false), and when a document was closed or replaced by New or Open (true).
    std::function<void(bool document)> waveformChanged;
    // After a bank was opened or closed, or its frames or the shown frame changed.
    std::function<void()> bankChanged;
    const CWaveBank* OpenBank() const { return bank.get(); }
    // Shows frame `frame` of the bank, as the bank bar's slider does.
    void SelectFrame(std::uint32_t frame);
    // The space bar in the graph.
    std::function<void()> spacePressed;

protected:
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnEraseBkgnd(CDC&) override { return TRUE; }

private:
    // What the Wave commands reach.
    UndoHistory::Document CurrentDocument() const override;
    void SwapDocument(UndoHistory::Document& other) override;
    bool ConfirmDiscard() override;
    void ExchangeSamples(SampleBuffer& fresh, std::uint32_t& count) override;
    void StartWaveform(SampleBuffer fresh, std::uint32_t count) override;
    void SetTool(ToolMode mode) override;
    void KeepYInView() override;
    void ShowNewCount() override;
    bool WorkOnSamples(const std::string& what, std::size_t samples,
                       const std::function<void(CProgress&)>& work) override;
    CWaveBank* Bank() override { return bank.get(); }
    void StartBank(std::unique_ptr<CWaveBank> bank, const std::string& name,
                   const std::string& path) override;
    const std::string& BankPath() const override { return bankPath; }
    void SetBankPath(const std::string& path) override { bankPath = path; }
    void ShowFrame(std::uint32_t frame) override;
    DataPoint* FramePoints(std::uint32_t frame) override;
    bool ChangeFrames(UndoHistory::FrameChange change, std::uint32_t at, std::uint32_t to,
                      std::vector<double>& values) override;
    void EndBank(const std::string& name) override;
    // Every frame given another size: `values` the whole new bank, given back as the old.
    bool ReshapeBank(std::uint32_t frameSize, std::vector<double>& values);
    void ShowNeighbours(int reach) override;
    int Neighbours() const override { return neighbours; }
    // The neighbour frames' series as the bank stands.
    void DrawNeighbours();
    // The graph shows the bank's current frame (lent to `buffer`).
    void ShowLent();
    bool SaveLong(const std::string& verb, const std::string& path, double bytes,
                  const std::function<bool(const TextSink&)>& write) override;

    void Changed(bool document);
    void ReleaseBuffer();
    void HandOver();
    // Sets the title to "Tarvelin 1.7 - [name]" and remembers the name.
    void ShowName(const std::string& name);
    void New();
    void Open();
    void Save();
    void SaveCSource();
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
    UndoHistory history;
    std::unique_ptr<CWaveBank> bank; // null without a bank; its shown frame is in `buffer`
    std::string bankPath;
    int neighbours = 0; // frames shown beside the current one: 0, 1, 2, or 3 for all
    CAppDialogs& dialogs;
    TitleSetter setTitle;
    CWaveCommands commands{*this, dialogs};
    CBankCommands bankCommands{*this, dialogs};
};

// "Tarvelin 1.7 - [name]" and the rest of the title rules.
std::string TitleWith(const std::string& part);
