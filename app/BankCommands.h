#pragma once
// Wave > Bank: wavetable banks of many frames. New, Open, Save and Export of a bank, stepping
// through its frames, and adding, duplicating, deleting and moving them as steps of the
// history. The commands reach the document only through CWaveDocument.

#include <string>

#include "app/AppDialogs.h"
#include "app/WaveDocument.h"
#include "files/TableExport.h"
#include "files/bank/BankPresets.h"

class CBankCommands {
public:
    CBankCommands(CWaveDocument& document, CAppDialogs& dialogs);

    // Carries out a Wave > Bank command; false for any other.
    bool OnCommand(UINT id);

private:
    void NewBank();
    void OpenBank();
    void SaveBank();
    void ExportBankTable();
    void GoToFrame();
    // Inserts `values` after the shown frame, as one step.
    void AddFrame(std::vector<double> values);
    void DeleteFrame();
    void MoveFrame(int by);
    void TakeFrame();
    void MorphFrames();
    void FramesFromFiles();
    void SplitIntoFiles();
    void CyclesFromRecording();
    void ExportMipmaps();
    // A frame's values, the one shown included.
    std::vector<double> ValuesAt(std::uint32_t frame);
    // A change of the frames: made, recorded as a step, and the bank marked changed.
    void ChangeFrames(UndoHistory::FrameChange change, std::uint32_t at, std::uint32_t to,
                      std::vector<double> values);

    CWaveDocument& doc;
    CAppDialogs& dialogs;
    // As last chosen in this run.
    std::uint32_t newFrames = 64, newFrameSize = 2048;
    BankSaveOptions saveOptions;
    TableOptions tableOptions;
    bool rows = true;
    std::string tablePath;
};
