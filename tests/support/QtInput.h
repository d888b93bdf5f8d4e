#pragma once
// Real Qt input events delivered to a window's host widget, as the desktop would send them.

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "platform/Wnd.h"
#include "platform/WndHost.h"

namespace input {

inline void Mouse(CWnd& w, QEvent::Type type, CPoint p, Qt::MouseButton button,
                  Qt::MouseButtons held, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const QPointF local(p.x, p.y);
    QMouseEvent e(type, local, w.Host()->mapToGlobal(local), button, held, mods);
    QApplication::sendEvent(w.Host(), &e);
}
// The pointer arrives before the button goes down, as with a real mouse.
inline void Press(CWnd& w, CPoint p, Qt::MouseButton b = Qt::LeftButton) {
    Mouse(w, QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton);
    Mouse(w, QEvent::MouseButtonPress, p, b, b);
}
inline void Release(CWnd& w, CPoint p, Qt::MouseButton b = Qt::LeftButton) {
    Mouse(w, QEvent::MouseButtonRelease, p, b, Qt::NoButton);
}
inline void Move(CWnd& w, CPoint p, Qt::MouseButtons held = Qt::NoButton) {
    Mouse(w, QEvent::MouseMove, p, Qt::NoButton, held);
}
inline void DoubleClick(CWnd& w, CPoint p) {
    Press(w, p);
    Release(w, p);
    Mouse(w, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    Release(w, p);
}
inline void Drag(CWnd& w, CPoint from, CPoint to, int steps = 4) {
    Press(w, from);
    for (int i = 1; i <= steps; ++i)
        Move(w, CPoint(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps),
             Qt::LeftButton);
    Release(w, to);
}
inline void Wheel(CWnd& w, CPoint p, int delta, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const QPointF local(p.x, p.y);
    QWheelEvent e(local, w.Host()->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton,
                  mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.Host(), &e);
}
inline void Key(CWnd& w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent down(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(w.Host(), &down);
    QKeyEvent up(QEvent::KeyRelease, key, mods);
    QApplication::sendEvent(w.Host(), &up);
}

} // namespace input
