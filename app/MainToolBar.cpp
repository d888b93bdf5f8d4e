#include "app/MainToolBar.h"

#include <QStyle>
#include <QStyleOptionToolBar>

CMainToolBar::CMainToolBar(QWidget* parent) : QToolBar(parent) {
    setObjectName(QStringLiteral("toolbar-59392"));
    // Qt draws the gripper only on a bar that may move; held to the top and never floating,
    // it has nowhere to go.
    setMovable(true);
    setAllowedAreas(Qt::TopToolBarArea);
    setFloatable(false);
    setStyleSheet(QStringLiteral("QToolBar { background: rgb(240, 240, 240); }"));
}

QRect CMainToolBar::GripperRect() const {
    QStyleOptionToolBar option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_ToolBarHandle, &option, this);
}
