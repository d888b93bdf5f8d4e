#include "files/SafeWrite.h"

#include <cerrno>
#include <climits>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/OldContent.h"

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

// Runs the writer on an open descriptor and flushes it to disk; `beforeClose` runs on the
// flushed file (false: it failed, errno says why); the descriptor is closed. In place, the
// file is cut to what was written.
void WriteTo(int fd, bool inPlace, const std::function<bool(std::FILE*)>& write,
             const std::string& path, const std::function<void()>& cleanUp,
             const std::function<bool()>& beforeClose = {}) {
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
    if (beforeClose && !beforeClose())
        fail(errno);
    if (std::fclose(file) != 0) {
        const int error = errno;
        cleanUp();
        Fail(error, path);
    }
}

// How many bytes the writer writes: a run into a stream that only counts. -1 when it fails.
off_t MeasuredLength(const std::function<bool(std::FILE*)>& write) {
    off_t length = 0;
    cookie_io_functions_t counting{};
    counting.write = [](void* cookie, const char*, std::size_t n) -> ssize_t {
        *static_cast<off_t*>(cookie) += off_t(n);
        return ssize_t(n);
    };
    std::FILE* sink = fopencookie(&length, "w", counting);
    if (!sink)
        return -1;
    const bool written = write(sink);
    const bool flushed = std::fclose(sink) == 0;
    return written && flushed ? length : -1;
}

// Over the file itself: the new length is reserved on the disk first, so that a full disk
// that can reserve refuses before anything is written; what is overwritten is kept, so that
// a failure half-way (a copy-on-write disk that fills up in spite of the reservation, say)
// puts the old content back. Where no copy can be kept the file is not touched.
void WriteInPlace(const std::string& target, const std::string& shown,
                  const std::function<bool(std::FILE*)>& write,
                  const std::function<bool()>& commit) {
    const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        throw FileNotCreated(shown);
    auto refuse = [&](int error) {
        ::close(fd);
        Fail(error, shown);
    };
    errno = 0;
    const off_t length = MeasuredLength(write);
    if (length < 0)
        refuse(errno);
    OldContent old;
    if (!old.Keep(fd, FolderOf(target)))
        refuse(errno);
    // What a reservation took beyond the old end is given back (a failed one may have taken
    // part); cutting at the same length lets go of blocks kept beyond it.
    auto giveBack = [&] {
        if (length > old.Size())
            ::fallocate(fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, old.Size(),
                        length - old.Size());
        if (::ftruncate(fd, old.Size()) != 0) {
            // the length stays as it was; only blocks beyond it stay taken
        }
    };
    if (length > 0 && fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, length) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS) {
        const int error = errno; // ENOSPC, EDQUOT, EFBIG: nothing was written
        giveBack();
        refuse(error);
    }
    if (commit && !commit()) {
        giveBack();
        refuse(ECANCELED);
    }
    const int writer = ::fcntl(fd, F_DUPFD_CLOEXEC, 0); // the writer closes its own
    if (writer < 0) {
        const int error = errno;
        giveBack();
        refuse(error);
    }
    WriteTo(writer, true, write, shown, [&] {
        const int error = errno;
        old.PutBack(fd);
        giveBack();
        ::close(fd);
        errno = error;
    });
    ::close(fd);
}

// A character device (/dev/null, a terminal) takes the bytes as they come, as it does from
// compilers and converters: nothing to keep, reserve, cut or rename.
void WriteToDevice(const std::string& target, const std::string& shown,
                   const std::function<bool(std::FILE*)>& write,
                   const std::function<bool()>& commit) {
    if (commit && !commit())
        Fail(ECANCELED, shown);
    std::FILE* file = std::fopen(target.c_str(), "wbe");
    if (!file)
        throw FileNotCreated(shown);
    errno = 0;
    const bool written = write(file) && std::fflush(file) == 0;
    const int error = errno;
    if (std::fclose(file) != 0 || !written)
        Fail(written ? errno : error, shown);
}

// An unnamed file in the folder: a save killed before it is named leaves nothing behind.
// -1 where the file system cannot make one.
int AnonymousFileIn(const std::string& folder) {
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
}

// Gives the unnamed file a fresh name in the folder, to be renamed over the target.
bool NameFile(int fd, const std::string& folder, std::string& name) {
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned seed = unsigned(getpid()) * 2654435761u ^ unsigned(fd) ^ unsigned(time(nullptr));
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int tries = 0; tries < 100; ++tries) {
        name = folder + "/.tarvelin-";
        for (int i = 0; i < 6; ++i) {
            seed = seed * 1103515245u + 12345u;
            name += letters[(seed >> 16) % (sizeof letters - 1)];
        }
        // Through /proc needs no privilege; AT_EMPTY_PATH where /proc is not there.
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
            (errno != EEXIST && linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0))
            return true;
        if (errno != EEXIST)
            break;
    }
    const int error = errno;
    name.clear(); // nothing of ours to remove
    errno = error;
    return false;
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

void WriteFileSafely(const std::string& path, const std::function<bool(std::FILE*)>& write,
                     const std::function<bool()>& commit) {
    const std::string target = ResolveLinks(path);
    const std::string folder = FolderOf(target);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        throw FileNotCreated(path); // a folder on the way that cannot be searched, say
    if (exists && S_ISCHR(old.st_mode)) {
        WriteToDevice(target, path, write, commit);
        return;
    }
    if (exists) {
        if (!S_ISREG(old.st_mode))
            throw FileNotCreated(path); // folders, pipes and block devices are not saved into
        if (::access(target.c_str(), W_OK) != 0)
            throw FileNotCreated(path); // truncating it would fail too
        const uid_t me = geteuid();
        const bool keepsIdentity = old.st_nlink == 1 && (me == 0 || me == old.st_uid) &&
                                   ::access(folder.c_str(), W_OK | X_OK) == 0;
        if (!keepsIdentity) {
            WriteInPlace(target, path, write, commit);
            return;
        }
    }

    // Unnamed until written where the file system allows; else a short fixed name, so that a
    // long file name still leaves room for it.
    std::string temporary;
    int fd = AnonymousFileIn(folder);
    const bool anonymous = fd >= 0;
    if (!anonymous) {
        temporary = folder + "/.tarvelin-XXXXXX";
        fd = mkostemp(temporary.data(), O_CLOEXEC);
    }
    if (fd < 0) {
        if (exists)
            WriteInPlace(target, path, write, commit);
        else
            throw FileNotCreated(path);
        return;
    }
    const auto removeTemporary = [&temporary] {
        if (!temporary.empty())
            ::unlink(temporary.c_str());
    };
    if (exists) {
        if (fchown(fd, old.st_uid, old.st_gid) != 0) { // a group the user is not in
            ::close(fd);
            removeTemporary();
            WriteInPlace(target, path, write, commit);
            return;
        }
        fchmod(fd, old.st_mode & 07777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    WriteTo(fd, false, write, path, removeTemporary, [&] {
        if (commit && !commit()) {
            errno = ECANCELED;
            return false;
        }
        return !anonymous || NameFile(fd, folder, temporary);
    });
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        removeTemporary();
        Fail(error, path);
    }
    // The new name reaches the disk too, so that a power cut after the save keeps it. The
    // file is in place by now: a folder that cannot be flushed does not undo the save.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}
