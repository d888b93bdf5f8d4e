#include "app/SafeSave.h"

#include <algorithm>
#include <cerrno>

#include "files/DataFileWriter.h"
#include "files/SafeWrite.h"
#include "platform/Archive.h"

namespace {

// The safe write, its failures as the framework reports them; a write the user cancelled as
// OperationCancelled.
void Save(const std::string& path, const std::function<bool(std::FILE*)>& write,
          CProgress* progress) {
    try {
        WriteFileSafely(path, write, [progress] { return !progress || progress->Commit(); });
    } catch (const FileNotCreated&) {
        throw FileCreateError(path);
    } catch (const SafeWriteError& e) {
        if (e.error == ECANCELED && progress && progress->Cancelled())
            throw OperationCancelled();
        throw CFileException(CFileException::CauseFromErrno(e.error), path);
    }
}

} // namespace

void SaveFileSafely(const std::string& path, const std::function<bool(std::FILE*)>& write) {
    Save(path, write, nullptr);
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
    Save(path, writeFile, progress);
}
