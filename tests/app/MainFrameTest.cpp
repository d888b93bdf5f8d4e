#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QToolBar>

#include "app/MainFrame.h"
#include "app/Resources.h"
#include "tests/app/ScriptedDialogs.h"

namespace {

TEST(MainFrame, MenuToolbarAndStatusBarCarryTheProgramsVocabulary) {
    ScriptedDialogs dialogs;
    CMainFrame frame(dialogs);
    EXPECT_EQ(frame.windowTitle(), "Tarvelin 1.7");
    QStringList titles;
    for (QAction* a : frame.menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Tool", "&Help"}));
    QStringList file;
    for (QAction* a : frame.menuBar()->actions()[0]->menu()->actions())
        file << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(file,
              (QStringList{"New", "Open...", "-", "Save...", "Save C Source...", "-", "E&xit"}));

    auto* bar = frame.findChild<QToolBar*>();
    ASSERT_NE(bar, nullptr);
    QList<UINT> ids;
    for (QAction* a : bar->actions())
        ids << (a->isSeparator() ? 0u : UINT([&] {
            for (UINT id : ToolbarButtons())
                if (id && frame.Action(id) == a)
                    return id;
            return 1u;
        }()));
    EXPECT_EQ(std::vector<UINT>(ids.begin(), ids.end()), ToolbarButtons());
    EXPECT_EQ(bar->iconSize(), QSize(16, 17));
    EXPECT_EQ(frame.Action(ID_FILE_NEW)->toolTip(), "New"); // Qt's fallback: no tip of its own
    EXPECT_EQ(frame.Action(ID_TOOL_ZOOM)->toolTip(), "Zoom");
    EXPECT_EQ(frame.Action(ID_FILE_SAVE_C)->statusTip(), "Save as C suorce");

    EXPECT_EQ(frame.MessagePane(), "Ready");
    QStatusTipEvent zoom(frame.Action(ID_TOOL_ZOOM)->statusTip());
    QApplication::sendEvent(&frame, &zoom);
    EXPECT_EQ(frame.MessagePane().trimmed(), ""); // an empty prompt
    QStatusTipEvent leave(QString{});
    QApplication::sendEvent(&frame, &leave);
    EXPECT_EQ(frame.MessagePane(), "Ready");
}

TEST(MainFrame, ToolChecksFollowTheViewAndTheCloseQueryAsks) {
    ScriptedDialogs dialogs;
    CMainFrame frame(dialogs);
    dialogs.counts.push_back(16);
    frame.Action(ID_FILE_NEW)->trigger();
    EXPECT_EQ(frame.windowTitle(), "Tarvelin 1.7 - [new*]");
    EXPECT_TRUE(frame.Action(ID_TOOL_PAN)->isChecked());
    frame.Action(ID_TOOL_EDIT)->trigger();
    EXPECT_TRUE(frame.Action(ID_TOOL_EDIT)->isChecked());
    EXPECT_FALSE(frame.Action(ID_TOOL_PAN)->isChecked());
    frame.Action(ID_APP_ABOUT)->trigger();
    EXPECT_EQ(dialogs.abouts, 1);

    EXPECT_TRUE(frame.QueryClose()); // nothing modified: no question
    EXPECT_TRUE(dialogs.messages.empty());
    frame.View().Graph().modified = true;
    EXPECT_FALSE(frame.QueryClose());
    EXPECT_EQ(dialogs.messages.back(), "Waveform not saved.\nClose anyway?");
    dialogs.answers.push_back(IDYES);
    EXPECT_TRUE(frame.QueryClose());
    frame.show();
    frame.Action(ID_APP_EXIT)->trigger(); // asks (No) and stays
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(frame.View().SampleCount(), 16u);
}

} // namespace
