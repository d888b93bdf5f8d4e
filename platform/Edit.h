#pragma once
// A child text editor placed over part of a window, as the framework's edit control.

#include <memory>
#include <string>

#include "platform/Types.h"

class CWnd;

constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_WANTRETURN = 0x1000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_CHILD = 0x40000000;

class CEdit {
public:
    CEdit();
    ~CEdit();
    CEdit(const CEdit&) = delete;
    CEdit& operator=(const CEdit&) = delete;

    BOOL Create(DWORD style, const CRect& rect, CWnd* parent, UINT id);
    void DestroyWindow();
    bool IsWindow() const;
    UINT GetDlgCtrlID() const { return id; }
    DWORD GetStyle() const { return style; }
    CRect GetWindowRect() const;

    void SetFont(const LOGFONTA& font);
    // Line breaks are "\r\n" both ways, as the framework's edit control has them.
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    // Selects characters start..end; end -1 means to the end.
    void SetSel(int start, int end);
    std::string GetSelectedText() const;
    void ScrollCaret();
    void ShowWindow(bool show);
    void SetFocus();

    // Types text at the caret, as a user would.
    void TypeText(const std::string& text);

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
    DWORD style = 0;
    UINT id = 0;
};
