#include "app/Commands.h"

#include <filesystem>
#include <new>

#include "app/Resources.h"

std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::string FileErrorText(const CFileException& e) {
    const UINT id = 61856 + UINT(e.m_cause);
    const char* format = LoadString(id >= 61856 && id <= 61870 ? id : 61857); // unknown: generic
    std::string text = format;
    const auto at = text.find("%1");
    if (at != std::string::npos)
        text.replace(at, 2, e.m_strFileName);
    return text;
}

bool RunCommand(CWnd& view, UINT id, CAppDialogs& dialogs, const std::function<bool(UINT)>& frame) {
    bool handled = true;
    RunGuarded(dialogs,
               [&] { handled = view.SendMessage(WM_COMMAND, id, 0) || (frame && frame(id)); });
    return handled;
}

void RunGuarded(CAppDialogs& dialogs, const std::function<void()>& work) {
    try {
        work();
    } catch (const std::bad_alloc&) {
        dialogs.MessageBox(LoadString(IDS_OUT_OF_MEMORY),
                           MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
    } catch (const CFileException& e) {
        dialogs.MessageBox(FileErrorText(e), MB_OK | MB_ICONSTOP);
    } catch (const std::exception&) {
        dialogs.MessageBox(LoadString(IDS_COMMAND_FAILED), MB_OK | MB_ICONSTOP);
    }
}
