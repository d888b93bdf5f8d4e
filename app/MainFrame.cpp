#include "app/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSessionManager>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <sys/stat.h>

#include "app/BankOverview.h"
#include "app/Commands.h"
#include "app/MainToolBar.h"
#include "app/Resources.h"
#include "app/ToolbarImages.h"
#include "platform/WndHost.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>
#include <QToolBar>

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
    BuildPlayBar();
    BuildBankBar();
    view->bankChanged = [this] { UpdateBank(); };
    UpdateBank();
    view->waveformChanged = [this](bool document) { WaveformChanged(document); };
    UpdateUndo(); // nothing to take back yet
    view->spacePressed = [this] { Command(ID_WAVE_PLAY); };
    // Space plays and stops wherever the focus is in the window, but in a text field.
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), this);
    space->setContext(Qt::WindowShortcut);
    connect(space, &QShortcut::activated, this, [this] { Command(ID_WAVE_PLAY); });
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager& manager) { CommitData(manager); });
    qApp->installEventFilter(this);
    resize(900, 600);
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
    // The play bar's fields outlive this part of the window and report their last edit (the
    // focus leaving them) as they go: no longer to it.
    for (QObject* field : std::initializer_list<QObject*>{frequency, volume, asStored})
        QObject::disconnect(field, nullptr, this, nullptr);
    view->waveformChanged = nullptr;
    view->bankChanged = nullptr;
    analyse.reset();
    player.reset();      // the output stops pulling before the oscillator goes
    takeCentralWidget(); // the view's window belongs to the view
}

QAction* CMainFrame::Action(UINT id) const {
    auto it = actions.find(id);
    return it == actions.end() ? nullptr : it->second;
}

void CMainFrame::BuildMenu() {
    auto add = [this](QMenu* menu, const MenuItem& item) {
        if (!item.text) {
            menu->addSeparator();
            return;
        }
        if (item.id == ID_WAVE_BANK) { // a submenu of its own
            QMenu* bank = menu->addMenu(QString::fromLatin1(item.text));
            for (const MenuItem& inner : BankMenu()) {
                if (!inner.text) {
                    bank->addSeparator();
                    continue;
                }
                QAction* action = AddAction(bank, inner);
                if (inner.id == ID_BANK_PREVIOUS)
                    action->setShortcut(QKeySequence(Qt::Key_PageUp));
                else if (inner.id == ID_BANK_NEXT)
                    action->setShortcut(QKeySequence(Qt::Key_PageDown));
            }
            return;
        }
        QAction* action = AddAction(menu, item);
        const bool tool = item.id == ID_TOOL_ZOOM || item.id == ID_TOOL_PAN ||
                          item.id == ID_TOOL_CURSOR || item.id == ID_TOOL_EDIT ||
                          item.id == ID_TOOL_EDIT_PLUS || item.id == ID_TOOL_FREEHAND;
        action->setCheckable(tool);
        if (item.id == ID_WAVE_UNDO)
            action->setShortcuts(
                {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
        else if (item.id == ID_WAVE_REDO)
            action->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    };
    for (const MenuPopup& popup : MainMenu()) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(popup.title));
        for (const MenuItem& item : popup.items)
            add(menu, item);
        // Undo and Redo as the history stands when the menu opens (an edit with the mouse
        // may have ended since).
        connect(menu, &QMenu::aboutToShow, this, [this] { UpdateUndo(); });
    }
}

QAction* CMainFrame::AddAction(QMenu* menu, const MenuItem& item) {
    auto* action = new QAction(QString::fromLatin1(item.text), this);
    // An empty prompt still replaces "Ready" while the item is under the pointer.
    const std::string prompt = CommandPrompt(item.id);
    action->setStatusTip(QString::fromStdString(prompt.empty() ? " " : prompt));
    if (HasCommandString(item.id))
        action->setToolTip(QString::fromStdString(CommandTip(item.id)));
    const UINT id = item.id;
    connect(action, &QAction::triggered, this, [this, id] { Command(id); });
    menu->addAction(action);
    actions[id] = action;
    return action;
}

void CMainFrame::BuildBankBar() {
    bankBar = new QToolBar(QStringLiteral("Bank"), this);
    bankBar->setObjectName(QStringLiteral("bankBar"));
    // Short words on the bar; the menu keeps the items' full names.
    const std::pair<UINT, const char*> shortNames[] = {
        {ID_BANK_PREVIOUS, "\u25C0"},     {ID_BANK_NEXT, "\u25B6"},   {ID_BANK_ADD, "Add"},
        {ID_BANK_DUPLICATE, "Duplicate"}, {ID_BANK_DELETE, "Delete"}, {ID_BANK_EARLIER, "Earlier"},
        {ID_BANK_LATER, "Later"}};
    for (const auto& [id, text] : shortNames)
        actions[id]->setIconText(QString::fromUtf8(text));
    bankBar->addAction(actions[ID_BANK_PREVIOUS]);
    frameLabel = new QLabel(bankBar);
    frameLabel->setMinimumWidth(80);
    frameLabel->setAlignment(Qt::AlignCenter);
    bankBar->addWidget(frameLabel);
    bankBar->addAction(actions[ID_BANK_NEXT]);
    frameSlider = new QSlider(Qt::Horizontal, bankBar);
    frameSlider->setMinimumWidth(160);
    frameSlider->setToolTip(QStringLiteral("The frame shown"));
    bankBar->addWidget(frameSlider);
    for (UINT id : {ID_BANK_ADD, ID_BANK_DUPLICATE, ID_BANK_DELETE, ID_BANK_EARLIER, ID_BANK_LATER})
        bankBar->addAction(actions[id]);
    overview = new CBankOverview(this);
    addDockWidget(Qt::BottomDockWidgetArea, overview);
    overview->hide();
    overview->frameChosen = [this](std::uint32_t frame) {
        view->SelectFrame(frame);
        UpdateChecks();
    };
    addToolBarBreak(Qt::TopToolBarArea); // a row of its own: the frame buttons stay in view
    addToolBar(Qt::TopToolBarArea, bankBar);
    bankBar->hide(); // shown while a bank is open
    connect(frameSlider, &QSlider::valueChanged, this, [this](int frame) {
        if (frame >= 1)
            view->SelectFrame(std::uint32_t(frame - 1));
        UpdateChecks();
    });
}

void CMainFrame::UpdateBank() {
    const CWaveBank* bank = view->OpenBank();
    if (bankBar)
        bankBar->setVisible(bank != nullptr);
    if (overview && overview->isVisible()) { // drawn only while it is in view
        if (bank)
            overview->Show(*bank, view->Samples());
        else
            overview->Clear();
    }
    const std::uint32_t frames = bank ? bank->Frames() : 0, at = bank ? bank->Current() : 0;
    const std::pair<UINT, bool> states[] = {{ID_BANK_SAVE, bank},
                                            {ID_BANK_EXPORT_TABLE, bank},
                                            {ID_BANK_PREVIOUS, bank && at > 0},
                                            {ID_BANK_NEXT, bank && at + 1 < frames},
                                            {ID_BANK_GO_TO, bank && frames > 1},
                                            {ID_BANK_ADD, bank && frames < MaxBankFrames},
                                            {ID_BANK_DUPLICATE, bank && frames < MaxBankFrames},
                                            {ID_BANK_DELETE, bank && frames > 1},
                                            {ID_BANK_EARLIER, bank && at > 0},
                                            {ID_BANK_LATER, bank && at + 1 < frames},
                                            {ID_BANK_TAKE_FRAME, bank},
                                            {ID_BANK_MORPH, bank && frames > 1},
                                            {ID_BANK_NEIGHBOURS, bank && frames > 1},
                                            {ID_BANK_SPLIT, bank},
                                            {ID_BANK_OVERVIEW, bank},
                                            {ID_BANK_MIPMAPS, view->SampleCount() >= 4}};
    for (const auto& [id, enabled] : states)
        if (QAction* action = Action(id))
            action->setEnabled(enabled);
    if (!bank || !frameLabel)
        return;
    frameLabel->setText(QStringLiteral("%1 / %2").arg(at + 1).arg(frames));
    const QSignalBlocker quiet(frameSlider);
    frameSlider->setRange(1, int(frames));
    frameSlider->setValue(int(at + 1));
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
        if (action->isCheckable() && id != ID_WAVE_PLAY) // Play shows whether it sounds
            action->setChecked(view->IsChecked(id));
    UpdateUndo();
    UpdateBank();
}

void CMainFrame::UpdateUndo() {
    const UndoHistory& history = view->History();
    if (QAction* undo = Action(ID_WAVE_UNDO))
        undo->setEnabled(history.CanUndo() || history.HasOpenStep());
    if (QAction* redo = Action(ID_WAVE_REDO))
        redo->setEnabled(history.CanRedo());
}

void CMainFrame::Command(UINT id) {
    RunCommand(*view, id, dialogs, [this](UINT other) { return FrameCommand(other); });
    UpdateChecks();
}

void CMainFrame::OpenGiven(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        return;
    if (arguments.size() > 1 || arguments[0].starts_with('-')) {
        dialogs.MessageBox("Tarvelin opens the one file whose path it is given, and takes no "
                           "options.\nIt starts with no waveform.",
                           MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::string& path = arguments[0];
    RunGuarded(dialogs, [&] {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) // Open's dialog lets only existing files through
            throw CFileException(CFileException::CauseFromErrno(errno), path);
        if (IsSoundFile(path))
            view->ImportSound(path);
        else
            view->OpenPath(path);
    });
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
    case ID_WAVE_ANALYSE:
        ShowAnalysis();
        return true;
    case ID_WAVE_PLAY:
        TogglePlay();
        return true;
    case ID_BANK_OVERVIEW:
        overview->setVisible(!overview->isVisible());
        UpdateBank();
        return true;
    default:
        return false;
    }
}

bool CMainFrame::QueryClose() {
    if (!view->IsModified())
        return true;
    return dialogs.MessageBox(view->OpenBank() ? "Bank not saved.\nClose anyway?"
                                               : "Waveform not saved.\nClose anyway?",
                              MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    if (QueryClose()) {
        e->accept();
        StopPlaying();
        analyse.reset();
    } else
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

namespace {
const QString FrequencyTip = QStringLiteral("Hz, kHz or a note such as A3 or C#4");
} // namespace

void CMainFrame::BuildPlayBar() {
    playBar = new QToolBar(QStringLiteral("Play"), this);
    playBar->setObjectName(QStringLiteral("playBar"));
    frequency = new QLineEdit(QStringLiteral("220 Hz"), playBar);
    frequency->setToolTip(FrequencyTip);
    frequency->setMaximumWidth(90);
    volume = new QSpinBox(playBar);
    volume->setRange(-60, 0);
    volume->setValue(-12);
    volume->setSuffix(QStringLiteral(" dBFS"));
    asStored = new QCheckBox(QStringLiteral("As stored by Export Table"), playBar);
    asStored->setEnabled(false); // until a type is chosen there
    playBar->addWidget(new QLabel(QStringLiteral(" Frequency: "), playBar));
    playBar->addWidget(frequency);
    playBar->addWidget(new QLabel(QStringLiteral(" Volume: "), playBar));
    playBar->addWidget(volume);
    playBar->addWidget(asStored);
    addToolBar(Qt::TopToolBarArea, playBar);
    playBar->hide(); // shown by Play
    actions[ID_WAVE_PLAY]->setCheckable(true);
    connect(frequency, &QLineEdit::editingFinished, this,
            [this] { SetPlayFrequency(frequency->text()); });
    connect(frequency, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (ReadPlayFrequency(text.toStdString()).hertz) // red no longer once it reads
            frequency->setStyleSheet(QString());
    });
    connect(volume, &QSpinBox::valueChanged, this, [this](int db) {
        if (player)
            player->SetVolumeDb(db);
    });
    connect(asStored, &QCheckBox::toggled, this, [this] { PlayChanged(); });
    playTimer = new QTimer(this);
    playTimer->setInterval(50);
    connect(playTimer, &QTimer::timeout, this, [this] {
        if (!player || !player->Poll()) {
            playTimer->stop();
            actions[ID_WAVE_PLAY]->setChecked(false);
            if (player && !player->Problem().empty())
                dialogs.MessageBox(player->Problem(), MB_OK | MB_ICONEXCLAMATION);
        }
    });
    playUpdate = new QTimer(this);
    playUpdate->setSingleShot(true);
    playUpdate->setInterval(50);
    connect(playUpdate, &QTimer::timeout, this, [this] {
        if (player && player->Playing())
            player->Update(PlayTable());
    });
}

void CMainFrame::SetPlayFrequency(const QString& text) {
    frequency->setText(text);
    const PlayFrequency read = ReadPlayFrequency(text.toStdString());
    if (read.hertz) {
        frequency->setStyleSheet(QString());
        frequency->setToolTip(FrequencyTip);
        if (player && (!player->Playing() || *read.hertz < player->Rate() / 2))
            player->SetFrequency(*read.hertz);
    } else { // the sound keeps its frequency; Play refuses until the field reads
        frequency->setStyleSheet(QStringLiteral("color: #c00000"));
        frequency->setToolTip(QString::fromStdString(read.problem));
    }
}

void CMainFrame::SetPlayVolume(int decibels) {
    volume->setValue(decibels);
}

void CMainFrame::SetPlayStored(bool stored) {
    asStored->setChecked(stored);
}

std::vector<float> CMainFrame::PlayTable() const {
    const DataPoint* points = view->Samples();
    const std::size_t count = points ? view->SampleCount() : 0;
    if (count == 0)
        return {};
    if (asStored->isChecked() && view->TableOptionsChosen()) {
        const StoredTable stored = StoreTable(points, count, view->TableExportOptions());
        if (stored.error.empty())
            return Normalised(stored.stored.data(), count);
    }
    return Normalised(&points[0].y, count, 2);
}

void CMainFrame::PlayChanged() {
    if (!player || !player->Playing())
        return;
    if (view->SampleCount() <= CAnalyseWindow::ImmediateLimit)
        player->Update(PlayTable()); // heard in the same event
    else if (!playUpdate->isActive())
        playUpdate->start(); // a long table: at most every 50 ms, not on every mouse move
}

void CMainFrame::TogglePlay() {
    if (player && player->Playing()) {
        StopPlaying();
        return;
    }
    actions[ID_WAVE_PLAY]->setChecked(false);
    if (!view->Samples() || view->SampleCount() == 0)
        return;
    if (!player)
        player = std::make_unique<CPlayer>(audioOutput());
    playBar->show();
    const PlayFrequency read = ReadPlayFrequency(frequency->text().toStdString());
    if (!read.hertz) {
        dialogs.MessageBox(read.problem, MB_OK | MB_ICONEXCLAMATION);
        frequency->setFocus();
        return;
    }
    player->SetFrequency(*read.hertz);
    player->SetVolumeDb(volume->value());
    const std::string error = player->Play(PlayTable());
    if (!error.empty()) {
        dialogs.MessageBox(error, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    actions[ID_WAVE_PLAY]->setChecked(true);
    playTimer->start();
}

void CMainFrame::StopPlaying() {
    if (player)
        player->Stop(); // a short fade; the output goes once it is silent
    actions[ID_WAVE_PLAY]->setChecked(false);
}

void CMainFrame::ShowAnalysis() {
    if (!analyse)
        analyse = std::make_unique<CAnalyseWindow>(
            [this] {
                CAnalyseWindow::Source s;
                s.points = view->Samples();
                s.count = s.points ? view->SampleCount() : 0;
                s.options = view->TableExportOptions();
                s.storedChosen = view->TableOptionsChosen();
                return s;
            },
            this);
    analyse->show();
    analyse->raise();
    analyse->activateWindow();
}

void CMainFrame::WaveformChanged(bool document) {
    UpdateUndo();
    if (document) { // New or Open: the analysis and the sound belong to the old waveform
        StopPlaying();
        analyse.reset();
        return;
    }
    asStored->setEnabled(view->TableOptionsChosen());
    if (analyse)
        analyse->Update();
    PlayChanged();
}
