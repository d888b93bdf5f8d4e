#include "app/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QSessionManager>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>

#include "app/Commands.h"
#include "app/MainToolBar.h"
#include "app/Resources.h"
#include "app/ToolbarImages.h"
#include "platform/WndHost.h"

CMainFrame::CMainFrame(CAppDialogs& d) : dialogs(d) {
    setWindowTitle(QString::fromLatin1(LoadString(IDR_MAINFRAME)));
    setWindowIcon(ProgramIcon());
    view = std::make_unique<CWaveformView>(dialogs, [this](const std::string& title) {
        setWindowTitle(QString::fromStdString(title));
    });
    view->Create(nullptr);
    setCentralWidget(view->Host());
    setFocusProxy(view->Host());
    BuildMenu();
    BuildToolbar();
    BuildStatusBar();
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager& manager) { CommitData(manager); });
    qApp->installEventFilter(this);
    resize(900, 600);
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
    takeCentralWidget(); // the view's window belongs to the view
}

QAction* CMainFrame::Action(UINT id) const {
    auto it = actions.find(id);
    return it == actions.end() ? nullptr : it->second;
}

void CMainFrame::BuildMenu() {
    for (const MenuPopup& popup : MainMenu()) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(popup.title));
        for (const MenuItem& item : popup.items) {
            if (!item.text) {
                menu->addSeparator();
                continue;
            }
            auto* action = new QAction(QString::fromLatin1(item.text), this);
            // An empty prompt still replaces "Ready" while the item is under the pointer.
            const std::string prompt = CommandPrompt(item.id);
            action->setStatusTip(QString::fromStdString(prompt.empty() ? " " : prompt));
            if (HasCommandString(item.id))
                action->setToolTip(QString::fromStdString(CommandTip(item.id)));
            const bool tool = item.id == ID_TOOL_ZOOM || item.id == ID_TOOL_PAN ||
                              item.id == ID_TOOL_CURSOR || item.id == ID_TOOL_EDIT ||
                              item.id == ID_TOOL_EDIT_PLUS || item.id == ID_TOOL_FREEHAND;
            action->setCheckable(tool);
            if (item.id == ID_WAVE_UNDO)
                action->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z),
                                      QKeySequence(Qt::ALT | Qt::Key_Backspace)});
            else if (item.id == ID_WAVE_REDO)
                action->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y),
                                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
            const UINT id = item.id;
            connect(action, &QAction::triggered, this, [this, id] { Command(id); });
            menu->addAction(action);
            actions[id] = action;
        }
    }
}

void CMainFrame::BuildToolbar() {
    auto* bar = new CMainToolBar(this);
    bar->setWindowTitle(QStringLiteral("Standard"));
    addToolBar(Qt::TopToolBarArea, bar);
    bar->setIconSize(QSize(ToolbarButtonWidth, ToolbarButtonHeight));
    for (UINT id : ToolbarButtons()) {
        if (id == ID_SEPARATOR) {
            bar->addSeparator();
            continue;
        }
        QAction* action = actions[id];
        action->setIcon(QIcon(ToolbarImage(id)));
        bar->addAction(action);
    }
}

void CMainFrame::BuildStatusBar() {
    message = new QLabel(QString::fromLatin1(LoadString(IDS_READY)));
    statusBar()->addWidget(message, 1);
    const UINT ids[3] = {IDS_CAPS, IDS_NUM, IDS_SCROLL};
    for (int i = 0; i < 3; ++i) {
        lockLabels[i] = new QLabel(QString::fromLatin1(LoadString(ids[i])));
        statusBar()->addPermanentWidget(lockLabels[i]);
    }
    RefreshLocks(); // a lock may be on from the start
}

QString CMainFrame::MessagePane() const {
    return message->text();
}

bool CMainFrame::event(QEvent* e) {
    if (e->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(e)->tip();
        message->setText(tip.isEmpty() ? QString::fromLatin1(LoadString(IDS_READY)) : tip);
        return true;
    }
    return QMainWindow::event(e);
}

bool CMainFrame::LockLit(int lock) const {
    return lockLabels[lock]->isEnabled();
}

void CMainFrame::RefreshLocks() {
    const std::optional<LockState> state = lockReader ? lockReader() : std::nullopt;
    for (int i = 0; i < 3; ++i)
        lockLabels[i]->setEnabled(state && (*state)[std::size_t(i)]);
}

// The panes show the keyboard's real state, read again whenever a lock key may have changed
// it (whichever window has the keyboard) and when the window comes back to the front.
bool CMainFrame::eventFilter(QObject* watched, QEvent* e) {
    if ((e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) &&
        watched->isWidgetType()) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
            RefreshLocks();
    } else if (e->type() == QEvent::WindowActivate && watched == this) {
        RefreshLocks();
    }
    return QMainWindow::eventFilter(watched, e);
}

void CMainFrame::UpdateChecks() {
    for (auto& [id, action] : actions)
        if (action->isCheckable())
            action->setChecked(view->IsChecked(id));
}

void CMainFrame::Command(UINT id) {
    RunCommand(*view, id, dialogs, [this](UINT other) { return FrameCommand(other); });
    UpdateChecks();
}

bool CMainFrame::FrameCommand(UINT id) {
    switch (id) {
    case ID_APP_EXIT:
        close();
        return true;
    case ID_APP_ABOUT:
        dialogs.About();
        return true;
    default:
        return false;
    }
}

bool CMainFrame::QueryClose() {
    if (!view->IsModified())
        return true;
    return dialogs.MessageBox("Waveform not saved.\nClose anyway?",
                              MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    if (QueryClose())
        e->accept();
    else
        e->ignore();
}

void CMainFrame::CommitData(QSessionManager& manager) {
    if (manager.allowsInteraction()) {
        const bool close = QueryClose();
        manager.release();
        if (!close)
            manager.cancel();
    }
}
