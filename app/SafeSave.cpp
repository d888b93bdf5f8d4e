#include "app/SafeSave.h"

#include <algorithm>
#include <cerrno>

#include "files/DataFileWriter.h"
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

void SaveFileSafely(const std::string& path, const std::function<bool(const TextSink&)>& write,
                    CProgress* progress, double expectedBytes) {
    auto writeFile = [&](std::FILE* f) {
        const TextSink file = FileSink(f);
        if (!progress)
            return write(file);
        double bytes = 0;
        // The writer sees a failed write where the user cancelled: the safe write then cleans
        // up as after any failure.
        return write([&](const char* text, std::size_t n) {
            bytes += double(n);
            if (!progress->Report(std::min(0.99, bytes / std::max(1.0, expectedBytes)))) {
                errno = ECANCELED;
                return false;
            }
            return file(text, n);
        });
    };
    try {
        WriteFileSafely(path, writeFile, [progress] {
            if (progress)
                progress->SetCancellable(false);
        });
    } catch (const FileNotCreated&) {
        throw FileCreateError(path);
    } catch (const SafeWriteError& e) {
        if (e.error == ECANCELED && progress && progress->Cancelled())
            throw OperationCancelled();
        throw CFileException(CFileException::CauseFromErrno(e.error), path);
    }
}
