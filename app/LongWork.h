#pragma once
// Long work off the window's thread: the editor keeps painting but takes no input, and after
// half a second a progress dialog says what is being done and how far, with Cancel.

#include <QString>
#include <functional>

#include "files/Progress.h"

class QWidget;

// False when cancelled; an exception of the work is thrown again here. `owner` is the
// window the dialog belongs to.
bool RunWithProgress(QWidget* owner, const QString& what,
                     const std::function<void(CProgress&)>& work);

// How long the work may run before the dialog shows (Qt's own convention).
constexpr int ProgressDelayMs = 500;
