#pragma once
// A parent window that records the notifications its children post to it.

#include <QCoreApplication>
#include <vector>

#include "platform/Wnd.h"

class Parent : public CWnd {
public:
    std::vector<MSG> received;
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override {
        if (m >= WM_USER)
            received.push_back(MSG{this, m, w, l});
        return CWnd::WindowProc(m, w, l);
    }
    // The message numbers received so far, after the queue has run; forgets them.
    std::vector<UINT> Messages() {
        QCoreApplication::processEvents();
        std::vector<UINT> out;
        for (const MSG& m : received)
            out.push_back(m.message);
        received.clear();
        return out;
    }
};
