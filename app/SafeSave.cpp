#include "app/SafeSave.h"

#include "files/SafeWrite.h"
#include "platform/Archive.h"

void SaveFileSafely(const std::string& path, const std::function<bool(std::FILE*)>& write) {
    try {
        WriteFileSafely(path, write);
    } catch (const FileNotCreated&) {
        throw FileCreateError(path);
    } catch (const SafeWriteError& e) {
        throw CFileException(CFileException::CauseFromErrno(e.error), path);
    }
}
