#pragma once
// A child or top-level window with the framework's message handlers, hosted by a Qt widget.
// Input arrives as messages through WindowProc, so tests drive a window with SendMessage.

#include <functional>
#include <memory>
#include <string>

#include "platform/DC.h"
#include "platform/Messages.h"

class WndHost;

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Creates the window (not shown unless it is a child of a shown window or Show runs).
    BOOL Create(const std::string& className, const std::string& title, const CRect& rect,
                CWnd* parent, UINT id);
    void DestroyWindow();
    bool IsWindow() const { return host != nullptr; }
    const std::string& GetClassName() const { return className; }
    UINT GetDlgCtrlID() const { return id; }
    CWnd* GetParent() const { return parent; }

    void GetClientRect(CRect* r) const;
    CRect GetClientRect() const;
    void MoveWindow(const CRect& r, BOOL repaint = TRUE);
    void ShowWindow(bool show);
    BOOL IsWindowVisible() const;
    void SetWindowText(const std::string& text);

    // A full repaint runs OnPaint into the window's surface.
    void Invalidate(BOOL erase = TRUE);
    void UpdateWindow();
    // While held, the window shows its last picture and its paint handler does not run: what
    // it paints is being changed elsewhere. Letting go repaints what was asked for meanwhile.
    void HoldPicture(bool hold);
    // Draws on the surface between repaints; the result shows once the context is released.
    std::unique_ptr<CDC> GetDC();
    void ReleaseDC(CDC* dc);

    CWnd* SetCapture();
    static void ReleaseCapture();
    static CWnd* GetCapture();
    CWnd* SetFocus();
    static CWnd* GetFocus();
    void SetCursor(int cursorId);
    // Where the mouse was last seen over the window, in client coordinates.
    CPoint GetCursorPosition() const;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Queued through the event loop: handled after the caller has returned.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Runs a local message loop until `filter` returns false; the filter sees every message of
    // this window first. Returns false if the window went away meanwhile.
    bool RunModalLoop(const std::function<bool(const MSG&)>& filter);

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Sees keys before dispatch; true when the message was used up.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // Platform-internal.
    WndHost* Host() const { return host; }

protected:
    virtual void OnPaint(CDC& dc);
    virtual BOOL OnEraseBkgnd(CDC& dc);
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnLButtonDown(UINT flags, CPoint point);
    virtual void OnLButtonUp(UINT flags, CPoint point);
    virtual void OnLButtonDblClk(UINT flags, CPoint point);
    virtual void OnRButtonDown(UINT flags, CPoint point);
    virtual void OnRButtonUp(UINT flags, CPoint point);
    virtual void OnMouseMove(UINT flags, CPoint point);
    virtual BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
    virtual void OnKeyUp(UINT key, UINT repeat, UINT flags);
    virtual void OnChar(UINT ch, UINT repeat, UINT flags);
    virtual BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    virtual void OnSetFocus(CWnd* old);
    virtual void OnKillFocus(CWnd* next);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class WndHost;
    WndHost* host = nullptr;
    CWnd* parent = nullptr;
    std::string className;
    UINT id = 0;
};
