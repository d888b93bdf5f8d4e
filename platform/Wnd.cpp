#include "platform/Wnd.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>

#include "platform/DCTarget.h"
#include "platform/WndHost.h"

void PostToHost(WndHost* host, const MSG& msg);

namespace {
CWnd* captureWnd = nullptr;
CWnd* focusWnd = nullptr;
} // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
    DestroyWindow();
}

BOOL CWnd::Create(const std::string& cls, const std::string& title, const CRect& rect,
                  CWnd* parentWnd, UINT childId) {
    if (host)
        return FALSE;
    className = cls;
    parent = parentWnd;
    id = childId;
    host = new WndHost(this, parentWnd && parentWnd->host ? parentWnd->host : nullptr);
    host->setObjectName(QString::fromStdString(cls));
    host->setWindowTitle(QString::fromStdString(title));
    host->setGeometry(rect.left, rect.top, std::max<LONG>(rect.Width(), 0),
                      std::max<LONG>(rect.Height(), 0));
    if (parentWnd)
        host->show();
    return TRUE;
}

void CWnd::DestroyWindow() {
    if (captureWnd == this)
        captureWnd = nullptr;
    if (focusWnd == this)
        focusWnd = nullptr;
    if (host) {
        WndHost* h = host;
        host = nullptr;
        delete h;
    }
}

void CWnd::GetClientRect(CRect* r) const {
    *r = GetClientRect();
}

CRect CWnd::GetClientRect() const {
    return host ? CRect(0, 0, host->width(), host->height()) : CRect();
}

void CWnd::MoveWindow(const CRect& r, BOOL repaint) {
    if (!host)
        return;
    host->setGeometry(r.left, r.top, std::max<LONG>(r.Width(), 0), std::max<LONG>(r.Height(), 0));
    // Qt holds back the resize of a hidden widget until it is shown; the window learns its
    // size now, as with the framework.
    if (!host->isVisible())
        WindowProc(WM_SIZE, 0, MAKELPARAM(host->width(), host->height()));
    if (repaint)
        Invalidate();
}

void CWnd::ShowWindow(bool show) {
    if (host)
        host->setVisible(show);
}

BOOL CWnd::IsWindowVisible() const {
    return host && host->isVisible();
}

void CWnd::SetWindowText(const std::string& text) {
    if (host)
        host->setWindowTitle(QString::fromStdString(text));
}

void CWnd::Invalidate(BOOL) {
    if (!host)
        return;
    host->dirty = true;
    host->update();
}

void CWnd::UpdateWindow() {
    if (host && host->dirty)
        host->Render();
}

void CWnd::HoldPicture(bool hold) {
    if (!host)
        return;
    host->held = hold;
    if (!hold && host->dirty)
        host->update();
}

std::unique_ptr<CDC> CWnd::GetDC() {
    if (!host)
        return std::make_unique<CDC>(std::make_shared<DCTarget>());
    if (host->Surface().size() != host->size())
        host->Render();
    return std::make_unique<CDC>(host->SurfaceTarget());
}

void CWnd::ReleaseDC(CDC* dc) {
    if (dc)
        dc->DeleteDC();
    if (host)
        host->update();
}

CWnd* CWnd::SetCapture() {
    CWnd* old = captureWnd;
    captureWnd = this;
    if (host && host->isVisible())
        host->grabMouse();
    return old;
}

void CWnd::ReleaseCapture() {
    if (captureWnd && captureWnd->host && captureWnd->host->isVisible())
        captureWnd->host->releaseMouse();
    captureWnd = nullptr;
}

CWnd* CWnd::GetCapture() {
    return captureWnd;
}

CWnd* CWnd::SetFocus() {
    CWnd* old = focusWnd;
    focusWnd = this;
    if (host)
        host->setFocus(Qt::OtherFocusReason);
    return old;
}

CWnd* CWnd::GetFocus() {
    return focusWnd;
}

void CWnd::SetCursor(int cursorId) {
    if (host)
        host->setCursor(CursorShapeFor(cursorId));
}

CPoint CWnd::GetCursorPosition() const {
    return host ? host->lastMouse : CPoint();
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowProc(message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!host)
        return FALSE;
    PostToHost(host, MSG{this, message, wParam, lParam});
    return TRUE;
}

bool CWnd::RunModalLoop(const std::function<bool(const MSG&)>& filter) {
    if (!host)
        return false;
    std::function<bool(const MSG&)> f = filter;
    QEventLoop loop;
    QPointer<WndHost> guard(host);
    host->filters.push_back(&f);
    host->loops.push_back(&loop);
    const int result = loop.exec();
    if (guard) {
        // The loop may have ended without the filter (the window is going away).
        auto& filters = guard->filters;
        if (!filters.empty() && filters.back() == &f) {
            filters.pop_back();
            guard->loops.pop_back();
        }
    }
    return guard && result == 0;
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    const UINT flags = UINT(wParam);
    switch (message) {
    case WM_LBUTTONDOWN:
        OnLButtonDown(flags, point);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(flags, point);
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(flags, point);
        return 0;
    case WM_RBUTTONDOWN:
        OnRButtonDown(flags, point);
        return 0;
    case WM_RBUTTONUP:
        OnRButtonUp(flags, point);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(flags, point);
        return 0;
    case WM_MOUSEWHEEL:
        return OnMouseWheel(GET_KEYSTATE_WPARAM(wParam), GET_WHEEL_DELTA_WPARAM(wParam), point);
    case WM_KEYDOWN:
        OnKeyDown(UINT(wParam), LOWORD(std::uintptr_t(lParam)), HIWORD(std::uintptr_t(lParam)));
        return 0;
    case WM_KEYUP:
        OnKeyUp(UINT(wParam), LOWORD(std::uintptr_t(lParam)), HIWORD(std::uintptr_t(lParam)));
        return 0;
    case WM_CHAR:
        OnChar(UINT(wParam), LOWORD(std::uintptr_t(lParam)), HIWORD(std::uintptr_t(lParam)));
        return 0;
    case WM_SETCURSOR:
        return OnSetCursor(this, LOWORD(std::uintptr_t(lParam)), HIWORD(std::uintptr_t(lParam)));
    case WM_SIZE:
        OnSize(UINT(wParam), LOWORD(std::uintptr_t(lParam)), HIWORD(std::uintptr_t(lParam)));
        return 0;
    case WM_SETFOCUS:
        OnSetFocus(nullptr);
        return 0;
    case WM_KILLFOCUS:
        OnKillFocus(nullptr);
        return 0;
    case WM_COMMAND:
        return OnCommand(wParam, lParam);
    default:
        return DefWindowProc(message, wParam, lParam);
    }
}

LRESULT CWnd::DefWindowProc(UINT, WPARAM, LPARAM) {
    return 0;
}

void CWnd::OnPaint(CDC&) {}
BOOL CWnd::OnEraseBkgnd(CDC& dc) {
    dc.FillSolidRect(GetClientRect(), GetSysColor(COLOR_WINDOW));
    return TRUE;
}
void CWnd::OnSize(UINT, int, int) {}
void CWnd::OnLButtonDown(UINT, CPoint) {}
void CWnd::OnLButtonUp(UINT, CPoint) {}
void CWnd::OnLButtonDblClk(UINT, CPoint) {}
void CWnd::OnRButtonDown(UINT, CPoint) {}
void CWnd::OnRButtonUp(UINT, CPoint) {}
void CWnd::OnMouseMove(UINT, CPoint) {}
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) {
    return FALSE;
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {}
void CWnd::OnKeyUp(UINT, UINT, UINT) {}
void CWnd::OnChar(UINT, UINT, UINT) {}
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) {
    return FALSE;
}
void CWnd::OnSetFocus(CWnd*) {}
void CWnd::OnKillFocus(CWnd*) {}
BOOL CWnd::OnCommand(WPARAM, LPARAM) {
    return FALSE;
}
