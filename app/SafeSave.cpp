#include "app/SafeSave.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Archive.h"

void SaveFileSafely(const std::string& path, const std::function<bool(std::FILE*)>& write) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    if (fs::is_directory(target))
        throw FileCreateError(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string name = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(name.data());
    if (fd < 0)
        throw FileCreateError(path);
    // Keep the old file's permissions; a new file gets the usual ones.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0)
        fchmod(fd, old.st_mode & 07777);
    else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    std::FILE* file = fdopen(fd, "wb");
    if (!file) {
        const int error = errno;
        ::close(fd);
        ::unlink(name.c_str());
        throw CFileException(CFileException::CauseFromErrno(error), path);
    }
    auto fail = [&](int error) {
        std::fclose(file);
        ::unlink(name.c_str());
        throw CFileException(CFileException::CauseFromErrno(error ? error : EIO), path);
    };
    errno = 0;
    if (!write(file))
        fail(errno);
    if (std::fflush(file) != 0 || fsync(fileno(file)) != 0)
        fail(errno);
    if (std::fclose(file) != 0) {
        const int error = errno;
        ::unlink(name.c_str());
        throw CFileException(CFileException::CauseFromErrno(error), path);
    }
    if (std::rename(name.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(name.c_str());
        throw CFileException(CFileException::CauseFromErrno(error), path);
    }
}
