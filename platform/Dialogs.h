#pragma once
// The dialogs a window asks for, behind one small interface so tests script the answers.

#include <memory>
#include <string>

#include "platform/DC.h"

class CWnd;

class CDialogs {
public:
    virtual ~CDialogs() = default;
    // The print dialog (no selection, no page numbers, no print to file); a printer context,
    // or null when the user cancels.
    virtual std::unique_ptr<CDC> PrintDialog(CWnd* owner) = 0;
};

// The desktop's own dialogs.
CDialogs& StandardDialogs();
