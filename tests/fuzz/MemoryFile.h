#pragma once
// Bytes as a file in memory with a path, so that readers that take a path read them.

#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

class MemoryFile {
public:
    MemoryFile(const std::uint8_t* data, std::size_t size)
        : fd(memfd_create("tarvelin-fuzz", MFD_CLOEXEC)) {
        if (fd >= 0 && size && ::write(fd, data, size) != ssize_t(size)) {
            ::close(fd);
            fd = -1;
        }
    }
    ~MemoryFile() {
        if (fd >= 0)
            ::close(fd);
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    bool Made() const { return fd >= 0; }
    std::string Path() const { return "/proc/self/fd/" + std::to_string(fd); }

private:
    int fd;
};
