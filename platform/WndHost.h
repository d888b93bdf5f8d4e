#pragma once
// Platform-internal: the Qt widget behind a CWnd. It turns Qt's events into the framework's
// messages and keeps the window's surface, into which the owner paints.

#include <QEvent>
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "platform/SurfaceMemory.h"
#include "platform/TextCache.h"
#include "platform/Wnd.h"

class QEventLoop;
struct DCTarget;

class WndHost : public QWidget {
public:
    WndHost(CWnd* owner, QWidget* parent);
    ~WndHost() override;

    // Runs the owner's paint handler into the surface now, shown or not.
    void Render();
    QImage& Surface() { return surface; }
    // What a context drawing on the surface draws on: the picture, the window's text cache and
    // its surface memory.
    std::shared_ptr<DCTarget> SurfaceTarget();
    // Text measured on this window, kept from paint to paint.
    std::shared_ptr<TextCache> texts = std::make_shared<TextCache>();
    // What the surface holds of the last plain fill, shared by every context drawing on it.
    std::shared_ptr<SurfaceMemory> memory = std::make_shared<SurfaceMemory>();
    bool dirty = true;
    bool held = false; // the last picture is shown as it stands (CWnd::HoldPicture)
    CPoint lastMouse;

    // Delivers a message: to the innermost modal filter if one runs, else to the owner.
    void Deliver(const MSG& msg);
    std::vector<std::function<bool(const MSG&)>*> filters;
    std::vector<QEventLoop*> loops;

    static constexpr QEvent::Type PostedMessage = QEvent::Type(QEvent::User + 1);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void Mouse(UINT message, QMouseEvent* e);
    void Key(UINT message, QKeyEvent* e);
    CWnd* owner;
    QImage surface;
};

// Keys and cursors in the framework's numbering.
UINT VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers);
Qt::CursorShape CursorShapeFor(int cursorId);
