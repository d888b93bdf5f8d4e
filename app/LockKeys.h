#pragma once
// The state of the keyboard's three lock keys, as the window system reports it.

#include <array>
#include <optional>

// Caps, Num and Scroll Lock, in the status bar's order.
using LockState = std::array<bool, 3>;

// What the X server's keyboard indicators say; nothing where the platform does not tell
// (Wayland, offscreen).
std::optional<LockState> ReadLockState();
