#include "platform/WndHost.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>
#include <sys/mman.h>

#include "platform/DCTarget.h"

namespace {

// A window-sized picture in large pages where the system offers them: a vertical line touches
// every row, and with small pages every row is another page to look up.
QImage NewSurface(QSize size) {
    constexpr std::size_t Large = std::size_t(2) << 20;
    const qsizetype stride = qsizetype(size.width()) * 4;
    const std::size_t bytes = std::size_t(stride) * std::size_t(size.height());
    if (bytes < Large)
        return QImage(size, QImage::Format_RGB32);
    void* memory = std::aligned_alloc(Large, (bytes + Large - 1) / Large * Large);
    if (!memory)
        return QImage(size, QImage::Format_RGB32);
    madvise(memory, bytes, MADV_HUGEPAGE); // only advice: without it the picture still works
    return QImage(
        static_cast<uchar*>(memory), size.width(), size.height(), stride, QImage::Format_RGB32,
        [](void* m) { std::free(m); }, memory);
}

struct MessageEvent : QEvent {
    explicit MessageEvent(const MSG& m) : QEvent(WndHost::PostedMessage), msg(m) {}
    MSG msg;
};

UINT MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    UINT flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        flags |= MK_MBUTTON;
    if (mods & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (mods & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

} // namespace

UINT VirtualKeyFromQt(int key, Qt::KeyboardModifiers mods) {
    const bool keypad = mods & Qt::KeypadModifier;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return UINT(key);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? UINT(0x60 + key - Qt::Key_0) : UINT(key);
    switch (key) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    // The main keyboard's + and - count as the keypad's: laptops have no keypad.
    case Qt::Key_Plus:
        return VK_ADD;
    case Qt::Key_Minus:
        return VK_SUBTRACT;
    case Qt::Key_Space:
        return VK_SPACE;
    default:
        return 0;
    }
}

Qt::CursorShape CursorShapeFor(int id) {
    switch (id) {
    case IDC_IBEAM:
        return Qt::IBeamCursor;
    case IDC_WAIT:
        return Qt::WaitCursor;
    case IDC_CROSS:
        return Qt::CrossCursor;
    case IDC_SIZENWSE:
        return Qt::SizeFDiagCursor;
    case IDC_SIZENESW:
        return Qt::SizeBDiagCursor;
    case IDC_SIZEWE:
        return Qt::SizeHorCursor;
    case IDC_SIZENS:
        return Qt::SizeVerCursor;
    case IDC_SIZEALL:
        return Qt::SizeAllCursor;
    case IDC_HAND:
        return Qt::PointingHandCursor;
    default:
        return Qt::ArrowCursor;
    }
}

WndHost::WndHost(CWnd* o, QWidget* parent) : QWidget(parent), owner(o) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

WndHost::~WndHost() {
    for (QEventLoop* loop : loops)
        loop->exit(1);
    if (owner)
        owner->host = nullptr;
    memory->SetSurface(nullptr); // a context kept past the window marks nothing
}

std::shared_ptr<DCTarget> WndHost::SurfaceTarget() {
    auto target = std::make_shared<DCTarget>();
    target->image = &surface;
    target->texts = texts;
    target->surfaceMemory = memory;
    return target;
}

void WndHost::Render() {
    if (held)
        return; // stays dirty
    const QSize size = this->size().expandedTo(QSize(1, 1));
    if (surface.size() != size) {
        surface = NewSurface(size);
        surface.fill(Qt::white);
        memory->SetSurface(&surface);
    }
    dirty = false;
    CDC dc(SurfaceTarget());
    owner->OnEraseBkgnd(dc);
    owner->OnPaint(dc);
    memory->Settle();
}

void WndHost::Deliver(const MSG& msg) {
    if (!filters.empty()) {
        auto* filter = filters.back();
        if (!(*filter)(msg)) {
            filters.pop_back();
            loops.back()->quit();
            loops.pop_back();
        }
        return;
    }
    MSG m = msg;
    if ((m.message == WM_KEYDOWN || m.message == WM_KEYUP) && owner->PreTranslateMessage(&m))
        return;
    owner->WindowProc(m.message, m.wParam, m.lParam);
}

bool WndHost::event(QEvent* e) {
    if (e->type() == PostedMessage) {
        Deliver(static_cast<MessageEvent*>(e)->msg);
        return true;
    }
    return QWidget::event(e);
}

void WndHost::paintEvent(QPaintEvent*) {
    if (!held && (dirty || surface.size() != size()))
        Render();
    QPainter p(this);
    p.drawImage(0, 0, surface);
}

void WndHost::resizeEvent(QResizeEvent*) {
    dirty = true;
    owner->WindowProc(WM_SIZE, 0, MAKELPARAM(width(), height()));
}

void WndHost::Mouse(UINT message, QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    lastMouse = CPoint(p.x(), p.y());
    MSG msg{owner, message, MouseFlags(e->buttons(), e->modifiers()), MAKELPARAM(p.x(), p.y())};
    if (message == WM_MOUSEMOVE && filters.empty() &&
        !owner->WindowProc(WM_SETCURSOR, 0, MAKELPARAM(1, WM_MOUSEMOVE)))
        setCursor(Qt::ArrowCursor);
    Deliver(msg);
}

void WndHost::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        Mouse(WM_LBUTTONDOWN, e);
    else if (e->button() == Qt::RightButton)
        Mouse(WM_RBUTTONDOWN, e);
}

void WndHost::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        Mouse(WM_LBUTTONUP, e);
    else if (e->button() == Qt::RightButton)
        Mouse(WM_RBUTTONUP, e);
}

void WndHost::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        Mouse(WM_LBUTTONDBLCLK, e);
    else
        mousePressEvent(e);
}

void WndHost::mouseMoveEvent(QMouseEvent* e) {
    Mouse(WM_MOUSEMOVE, e);
}

void WndHost::wheelEvent(QWheelEvent* e) {
    const int delta = std::clamp(e->angleDelta().y(), -32768, 32767);
    if (delta == 0)
        return;
    const QPoint global = e->globalPosition().toPoint();
    Deliver(MSG{owner, WM_MOUSEWHEEL,
                MAKEWPARAM(int(MouseFlags(e->buttons(), e->modifiers())), delta),
                MAKELPARAM(global.x(), global.y())});
}

void WndHost::Key(UINT message, QKeyEvent* e) {
    const UINT vk = VirtualKeyFromQt(e->key(), e->modifiers());
    if (!vk) {
        QWidget::keyPressEvent(e);
        return;
    }
    Deliver(MSG{owner, message, vk, LPARAM(1)});
    if (message == WM_KEYDOWN && !e->text().isEmpty() && filters.empty()) {
        const QChar ch = e->text().at(0);
        if (ch.unicode() < 0x100)
            owner->WindowProc(WM_CHAR, ch.unicode(), 1);
    }
}

void WndHost::keyPressEvent(QKeyEvent* e) {
    Key(WM_KEYDOWN, e);
}
void WndHost::keyReleaseEvent(QKeyEvent* e) {
    if (!e->isAutoRepeat())
        Key(WM_KEYUP, e);
}

void WndHost::focusInEvent(QFocusEvent*) {
    owner->WindowProc(WM_SETFOCUS, 0, 0);
}
void WndHost::focusOutEvent(QFocusEvent*) {
    owner->WindowProc(WM_KILLFOCUS, 0, 0);
}

// Posting keeps the message in Qt's queue until the caller has returned.
void PostToHost(WndHost* host, const MSG& msg) {
    QCoreApplication::postEvent(host, new MessageEvent(msg));
}
