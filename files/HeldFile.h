#pragma once
// A regular file's bytes mapped into memory while no one can change them. A read lease
// keeps writers out: another process that opens the file for writing or truncates it
// waits until the lease is let go (at most the kernel's lease-break time), so the mapped
// bytes never vanish under the reader. Where the lease cannot be had (the file is open for
// writing, belongs to someone else, or the file system has no leases) there is no mapping
// and the caller reads the file as usual.

#include <cstdint>

class HeldFile {
public:
    // `fd` stays the caller's; it must be open for reading only and outlive this.
    explicit HeldFile(int fd);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    // The file's bytes, or null when it could not be held and mapped.
    const char* Bytes() const { return bytes; }
    // Its size while it is held.
    std::uint64_t Size() const { return size; }
    // Bytes [from, to) will not be looked at again: their pages are let go now, on the
    // calling thread, rather than all at once when the file is let go. (Looked at again, they
    // come back from the system's cache.)
    void Done(std::uint64_t from, std::uint64_t to) const;

private:
    int fd;
    bool leased = false;
    const char* bytes = nullptr;
    std::uint64_t size = 0;
};
