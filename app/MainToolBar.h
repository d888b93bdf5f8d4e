#pragma once
// The main toolbar: at the top on the button-face colour, with its gripper. It can go nowhere
// else and never floats.

#include <QToolBar>

class CMainToolBar : public QToolBar {
public:
    explicit CMainToolBar(QWidget* parent = nullptr);
    // Where the gripper is drawn.
    QRect GripperRect() const;
};
