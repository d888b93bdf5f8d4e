#include "files/SafeWrite.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

[[noreturn]] void Fail(int error, const std::string& path) {
    throw SafeWriteError(path, error ? error : EIO);
}

// Runs the writer on an open descriptor and flushes it to disk; the descriptor is closed.
// In place, the file is cut to what was written.
void WriteTo(int fd, bool inPlace, const std::function<bool(std::FILE*)>& write,
             const std::string& path, const std::function<void()>& cleanUp) {
    std::FILE* file = fdopen(fd, "wb"); // "w" on a descriptor does not truncate
    if (!file) {
        const int error = errno;
        ::close(fd);
        cleanUp();
        Fail(error, path);
    }
    auto fail = [&](int error) {
        std::fclose(file);
        cleanUp();
        Fail(error, path);
    };
    errno = 0;
    if (!write(file))
        fail(errno);
    if (std::fflush(file) != 0)
        fail(errno);
    if (inPlace) {
        const off_t length = ftello(file);
        if (length < 0 || ftruncate(fd, length) != 0)
            fail(errno);
    }
    if (fsync(fd) != 0)
        fail(errno);
    if (std::fclose(file) != 0) {
        const int error = errno;
        cleanUp();
        Fail(error, path);
    }
}

void WriteInPlace(const std::string& target, const std::string& shown,
                  const std::function<bool(std::FILE*)>& write) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        throw FileNotCreated(shown);
    WriteTo(fd, true, write, shown, [] {});
}

} // namespace

std::string ResolveLinks(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n < 0 || std::size_t(n) >= link.size())
            throw FileNotCreated(path);
        link.resize(std::size_t(n));
        current = link.front() == '/' ? link : FolderOf(current) + "/" + link;
    }
    throw FileNotCreated(path); // a loop
}

void WriteFileSafely(const std::string& path, const std::function<bool(std::FILE*)>& write) {
    const std::string target = ResolveLinks(path);
    const std::string folder = FolderOf(target);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        throw FileNotCreated(path); // a folder on the way that cannot be searched, say
    if (exists) {
        if (!S_ISREG(old.st_mode))
            throw FileNotCreated(path); // folders, pipes and devices are not saved into
        if (::access(target.c_str(), W_OK) != 0)
            throw FileNotCreated(path); // truncating it would fail too
        const uid_t me = geteuid();
        const bool keepsIdentity = old.st_nlink == 1 && (me == 0 || me == old.st_uid) &&
                                   ::access(folder.c_str(), W_OK | X_OK) == 0;
        if (!keepsIdentity) {
            WriteInPlace(target, path, write);
            return;
        }
    }

    // A short fixed name, so that a long file name still leaves room for it.
    std::string temporary = folder + "/.tarvelin-XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        if (exists)
            WriteInPlace(target, path, write);
        else
            throw FileNotCreated(path);
        return;
    }
    if (exists) {
        if (fchown(fd, old.st_uid, old.st_gid) != 0) { // a group the user is not in
            ::close(fd);
            ::unlink(temporary.c_str());
            WriteInPlace(target, path, write);
            return;
        }
        fchmod(fd, old.st_mode & 07777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    const auto removeTemporary = [&temporary] { ::unlink(temporary.c_str()); };
    WriteTo(fd, false, write, path, removeTemporary);
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        removeTemporary();
        Fail(error, path);
    }
}
