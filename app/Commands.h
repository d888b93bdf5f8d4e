#pragma once
// Running a menu or toolbar command: the view first, then the frame; an exception that
// escapes a command is shown with the framework's standard text and the program goes on.

#include <functional>
#include <string>

#include "app/AppDialogs.h"
#include "platform/Archive.h"
#include "platform/Wnd.h"

// The name and extension of a path, without its folder, as titles and progress show it.
std::string FileName(const std::string& path);

// The framework's text for a file error, with the file's name in place of %1.
std::string FileErrorText(const CFileException& e);

// Runs `work` as a command runs: what escapes it is shown as the framework shows it.
void RunGuarded(CAppDialogs& dialogs, const std::function<void()>& work);

// True when someone handled the command.
bool RunCommand(CWnd& view, UINT id, CAppDialogs& dialogs,
                const std::function<bool(UINT)>& frame = {});
