#include "app/LockKeys.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
// After Qt: Xlib defines names Qt uses.
#include <X11/XKBlib.h>

std::optional<LockState> ReadLockState() {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    // By name, not by indicator number: keymaps number their indicators differently.
    static const char* const names[3] = {"Caps Lock", "Num Lock", "Scroll Lock"};
    LockState state{};
    for (int i = 0; i < 3; ++i) {
        const Atom atom = XInternAtom(display, names[i], True);
        Bool on = False;
        if (atom != None && XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
            state[std::size_t(i)] = on;
    }
    return state;
}
