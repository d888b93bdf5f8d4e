#pragma once
// The main window: menu, toolbar and status bar around the Waveform view, the close query,
// and the routing of commands to the view first.

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>

#include "app/AnalyseWindow.h"
#include "app/AppDialogs.h"
#include "app/AudioPlayer.h"
#include "app/LockKeys.h"
#include "app/WaveformView.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTimer;
class QToolBar;
class QMenu;
struct MenuItem;
class QSlider;
class CBankOverview;
class QSessionManager;

class CMainFrame : public QMainWindow {
public:
    explicit CMainFrame(CAppDialogs& dialogs);
    ~CMainFrame() override;

    CWaveformView& View() { return *view; }
    // Runs a command as its menu item or toolbar button does.
    void Command(UINT id);
    // What the program was started with: one path opens that file as Open does (a sound file
    // is imported); anything else is said and the window starts empty.
    void OpenGiven(const std::vector<std::string>& arguments);
    QAction* Action(UINT id) const;
    // The close query; false keeps the program running.
    bool QueryClose();
    QString MessagePane() const;
    // Whether the CAP, NUM or SCRL pane is lit.
    bool LockLit(int lock) const;
    // Where the lock keys' state comes from; the window system by default.
    std::function<std::optional<LockState>()> lockReader = ReadLockState;
    // Lights the lock panes as the reader says; unlit where it cannot tell.
    void RefreshLocks();

    // Where Play sends its sound; the system's output unless a test gives another.
    std::function<std::unique_ptr<CAudioOutput>()> audioOutput = SystemAudioOutput;
    CAnalyseWindow* Analysis() const { return analyse.get(); }
    CPlayer* Player() const { return player.get(); }
    QToolBar* PlayBar() const { return playBar; }
    QToolBar* BankBar() const { return bankBar; }
    CBankOverview* Overview() const { return overview; }
    // The play bar's fields: a frequency or a note, the volume, and the table as stored.
    void SetPlayFrequency(const QString& text);
    void SetPlayVolume(int decibels);
    void SetPlayStored(bool stored);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenu();
    void BuildToolbar();
    void BuildStatusBar();
    void UpdateChecks();
    // Undo and Redo are offered only where there is a step to take back or forth.
    void UpdateUndo();
    bool FrameCommand(UINT id);
    void CommitData(QSessionManager& manager);
    void BuildPlayBar();
    QAction* AddAction(QMenu* menu, const MenuItem& item);
    // The bank bar, shown while a bank is open: the frame shown, and the frame buttons.
    void BuildBankBar();
    // The bank bar and Wave > Bank as the bank stands.
    void UpdateBank();
    void WaveformChanged(bool document);
    void ShowAnalysis();
    void TogglePlay();
    void StopPlaying();
    // The table as the oscillator plays it: the waveform, or the table as Export Table
    // stores it, onto -1..1.
    std::vector<float> PlayTable() const;
    void PlayChanged();

    CAppDialogs& dialogs;
    std::unique_ptr<CWaveformView> view;
    std::map<UINT, QAction*> actions;
    QLabel* message = nullptr;
    QLabel* lockLabels[3] = {};
    std::unique_ptr<CAnalyseWindow> analyse;
    std::unique_ptr<CPlayer> player;
    QToolBar* playBar = nullptr;
    QToolBar* bankBar = nullptr;
    QLabel* frameLabel = nullptr;
    QSlider* frameSlider = nullptr;
    CBankOverview* overview = nullptr; // a dock, hidden until asked for
    QLineEdit* frequency = nullptr;
    QSpinBox* volume = nullptr;
    QCheckBox* asStored = nullptr;
    QTimer* playTimer = nullptr;  // lets the output go once a fade ends
    QTimer* playUpdate = nullptr; // a long table is handed over at most this often
};
