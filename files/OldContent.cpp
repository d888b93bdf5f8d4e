#include "files/OldContent.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <linux/fs.h>
#include <new>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/AvailableMemory.h"

namespace {

std::string TemporaryFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

int UnnamedFileIn(const std::string& folder) {
    return ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
}

// `size` bytes of `data` written at `at`.
bool WriteBytes(int fd, const char* data, off_t size, off_t at = 0) {
    for (off_t done = 0; done < size;) {
        const ssize_t w = ::pwrite(fd, data + done, std::size_t(size - done), at + done);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        done += w;
    }
    return true;
}

// `size` bytes read from `at` into `data`; a file that ends early is EIO.
bool ReadBytes(int fd, char* data, off_t size, off_t at = 0) {
    for (off_t done = 0; done < size;) {
        const ssize_t r = ::pread(fd, data + done, std::size_t(size - done), at + done);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0) {
            if (r == 0)
                errno = EIO;
            return false;
        }
        done += r;
    }
    return true;
}

// `size` bytes from `from` at 0 to `to` at 0, by the kernel where it can.
bool CopyBytes(int from, int to, off_t size) {
    off_t in = 0, out = 0;
    while (in < size) {
        const ssize_t n = ::copy_file_range(from, &in, to, &out, std::size_t(size - in), 0);
        if (n > 0)
            continue;
        if (n == 0) {
            errno = EIO; // the file ended early
            return false;
        }
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != EINVAL && errno != EOPNOTSUPP && errno != ENOSYS)
            return false;
        // Through a block of our own where the kernel cannot copy between these files.
        std::vector<char> block(std::size_t(1) << 20);
        for (; in < size; in += off_t(block.size())) {
            const off_t n = std::min<off_t>(off_t(block.size()), size - in);
            if (!ReadBytes(from, block.data(), n, in) || !WriteBytes(to, block.data(), n, in))
                return false;
        }
    }
    return true;
}

} // namespace

OldContent::~OldContent() {
    if (copy >= 0)
        ::close(copy);
}

bool OldContent::Keep(int fd, const std::string& folder) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return false;
    size = st.st_size;
    if (size == 0)
        return true;
    for (const std::string& where : {folder, TemporaryFolder()}) {
        const int clone = UnnamedFileIn(where);
        if (clone >= 0 && ::ioctl(clone, FICLONE, fd) == 0) {
            copy = clone;
            cloned = true;
            return true;
        }
        if (clone >= 0)
            ::close(clone);
    }
    if (size <= MemoryCopyLimit && std::uint64_t(size) * 2 <= AvailableBytes()) {
        try {
            bytes.resize(std::size_t(size));
        } catch (const std::bad_alloc&) {
            bytes = {};
        }
        if (!bytes.empty())
            return ReadBytes(fd, bytes.data(), size);
    }
    int error = ENOSPC;
    for (const std::string& where : {folder, TemporaryFolder()}) {
        if (KeepInFile(fd, where))
            return true;
        error = errno;
    }
    errno = error;
    return false;
}

bool OldContent::KeepInFile(int fd, const std::string& folder) {
    const int file = UnnamedFileIn(folder);
    if (file < 0)
        return false;
    // The whole copy's room first: a disk too full for it refuses before anything is copied.
    if ((::fallocate(file, 0, 0, size) != 0 && errno != EOPNOTSUPP) || !CopyBytes(fd, file, size)) {
        const int error = errno;
        ::close(file);
        errno = error;
        return false;
    }
    copy = file;
    return true;
}

bool OldContent::PutBack(int fd) const {
    if (size == 0)
        return ::ftruncate(fd, 0) == 0 && ::fsync(fd) == 0;
    // A clone needs no room: on a full copy-on-write disk it is the one way back.
    bool back = cloned && ::ftruncate(fd, 0) == 0 && ::ioctl(fd, FICLONE, copy) == 0;
    if (!back)
        back = copy >= 0 ? CopyBytes(copy, fd, size) : WriteBytes(fd, bytes.data(), size);
    return back && ::ftruncate(fd, size) == 0 && ::fsync(fd) == 0;
}
