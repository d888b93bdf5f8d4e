#pragma once
// What the Wave commands reach of the document they change: the samples and their history,
// the graph that shows them, and the few ways the view puts a new waveform in place.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/ToolMode.h"
#include "files/OutputBuffer.h"
#include "files/Progress.h"
#include "files/SampleBuffer.h"
#include "graph/Plot.h"
#include "wave/UndoHistory.h"
#include "wave/WaveBank.h"

class CWaveDocument {
public:
    virtual ~CWaveDocument() = default;

    // The samples, null without a waveform, and their count.
    virtual DataPoint* Samples() = 0;
    virtual std::uint32_t SampleCount() const = 0;
    virtual CPlot& Graph() = 0;
    virtual UndoHistory& History() = 0;
    virtual UndoHistory::Document CurrentDocument() const = 0;
    // Takes the other's name and paths, and gives the current ones back in it.
    virtual void SwapDocument(UndoHistory::Document& other) = 0;

    // The close query: true when nothing unsaved would be lost, or the user accepts it.
    virtual bool ConfirmDiscard() = 0;
    // Puts `fresh` (`count` samples) in place of the samples and gives the old ones back in
    // it; the graph shows the new count on fitted axes, the tool kept.
    virtual void ExchangeSamples(SampleBuffer& fresh, std::uint32_t& count) = 0;
    // Shows the samples on axes fitted as after Open, the tool kept.
    virtual void ShowNewCount() = 0;
    // A waveform in an empty view, as New makes one: a fresh history, the Pan tool.
    virtual void StartWaveform(SampleBuffer fresh, std::uint32_t count) = 0;
    virtual void SetTool(ToolMode mode) = 0;
    // Where changed samples left the shown Y range, Y is fitted to them all; X stays.
    virtual void KeepYInView() = 0;

    // A wavetable bank (null without one): its shown frame is lent to the samples above.
    virtual CWaveBank* Bank() = 0;
    // The bank in place of the document, its first frame shown, named `name` (saved to
    // `path`, empty for a new bank); nothing changed yet.
    virtual void StartBank(std::unique_ptr<CWaveBank> bank, const std::string& name,
                           const std::string& path) = 0;
    // Where the bank was last opened from or saved to.
    virtual const std::string& BankPath() const = 0;
    virtual void SetBankPath(const std::string& path) = 0;
    // A frame's samples: the one shown, or one the bank keeps; null without a bank.
    virtual DataPoint* FramePoints(std::uint32_t frame) = 0;
    // Shows another frame, the view kept; a drag under way ends its step first.
    virtual void ShowFrame(std::uint32_t frame) = 0;
    // Inserts, removes or moves frames as a history's step does, showing the frame changed.
    virtual bool ChangeFrames(UndoHistory::FrameChange change, std::uint32_t at, std::uint32_t to,
                              std::vector<double>& values) = 0;
    // Shows the frames beside the shown one, grey, behind it and never grabbed by the mouse:
    // 0 none, 1 or 2 on either side, 3 every frame.
    virtual void ShowNeighbours(int reach) = 0;
    virtual int Neighbours() const = 0;
    // Closes the bank, the shown frame left as the waveform named `name`.
    virtual void EndBank(const std::string& name) = 0;

    // Work that changes the samples in place: beyond the view's inline limit it runs off the
    // window's thread, the graph showing its last picture meanwhile; false when cancelled (the
    // work then changed nothing). Exceptions of the work come out here.
    virtual bool WorkOnSamples(const std::string& what, std::size_t samples,
                               const std::function<void(CProgress&)>& work) = 0;
    // A save through the safe write on a worker, with progress; false when cancelled (the
    // file is then as it was).
    virtual bool SaveLong(const std::string& verb, const std::string& path, double bytes,
                          const std::function<bool(const TextSink&)>& write) = 0;
};
