#pragma once
// The Wave menu: undo and redo, the transforms, Generate, Resample, Import and Export Table.
// Every change is one step of the history. The commands reach the document only through
// CWaveDocument, and keep the choices their dialogs remember for the rest of the run.

#include <string>
#include <vector>

#include "app/AppDialogs.h"
#include "app/WaveDocument.h"
#include "files/TableExport.h"
#include "wave/Generators.h"
#include "wave/Import.h"

class CWaveCommands {
public:
    CWaveCommands(CWaveDocument& document, CAppDialogs& dialogs);

    // Carries out a Wave menu command; false for any other.
    bool OnCommand(UINT id);
    // A sound file's first channel in place of the waveform, as Import takes it.
    void ImportSound(const std::string& path);

    const TableOptions& TableExportOptions() const { return tableOptions; }
    // Whether Export Table's options were chosen in this run (else they are the defaults).
    bool TableOptionsChosen() const { return tableChosen; }

private:
    void ExportTable();
    // A transform over a bank's frames, as one step; where one frame refuses, none changes.
    void TransformFrames(UINT id, const TransformRequest& request);
    // Each frame's samples, the one shown included, for the history's steps over frames.
    UndoHistory::FramePoints FramePoints();
    // In a bank, a waveform of `count` samples (0: Resample's, any other) cannot replace the
    // frame shown: says so and returns true.
    bool RefusedInBank(std::size_t count);
    void Undo(bool redo);
    void Transform(UINT id);
    void GenerateWave();
    // Generate over a bank's frames, as one step; where a frame cannot be made, none is.
    void GenerateFrames(GeneratorOptions options, std::uint32_t first, std::uint32_t last);
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
    // Runs `work`; where memory runs out, the history's oldest steps give way, one at a time,
    // before the failure is reported. `work` must change nothing when it fails.
    void GivingWay(const std::function<void()>& work);

    CWaveDocument& doc;
    CAppDialogs& dialogs;
    std::string tablePath;
    TableOptions tableOptions; // as last set, for the rest of the run
    bool tableChosen = false;
    GeneratorOptions generatorOptions; // likewise
    int resampleChoice = 1;            // Resample's method and option, likewise
    bool resampleCircular = false;
};
