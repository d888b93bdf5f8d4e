#pragma once
// The main window: menu, toolbar and status bar around the Waveform view, the close query,
// and the routing of commands to the view first.

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>

#include "app/AppDialogs.h"
#include "app/LockKeys.h"
#include "app/WaveformView.h"

class QAction;
class QLabel;
class QSessionManager;

class CMainFrame : public QMainWindow {
public:
    explicit CMainFrame(CAppDialogs& dialogs);
    ~CMainFrame() override;

    CWaveformView& View() { return *view; }
    // Runs a command as its menu item or toolbar button does.
    void Command(UINT id);
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

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenu();
    void BuildToolbar();
    void BuildStatusBar();
    void UpdateChecks();
    bool FrameCommand(UINT id);
    void CommitData(QSessionManager& manager);

    CAppDialogs& dialogs;
    std::unique_ptr<CWaveformView> view;
    std::map<UINT, QAction*> actions;
    QLabel* message = nullptr;
    QLabel* lockLabels[3] = {};
};
