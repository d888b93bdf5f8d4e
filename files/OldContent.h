#pragma once
// What a save in place is about to overwrite, kept until the new content is whole, so that a
// save that fails half-way can put the old content back. Kept where it costs least: a clone
// of the file's blocks where the file system shares them (no space, and the only copy that a
// full copy-on-write disk can still write back), else a copy in memory for small files, else
// a copy in an unnamed file whose space is taken before the copy starts.

#include <string>
#include <sys/types.h>
#include <vector>

class OldContent {
public:
    OldContent() = default;
    ~OldContent();
    OldContent(const OldContent&) = delete;
    OldContent& operator=(const OldContent&) = delete;

    // Keeps the content of `fd` (open for reading and writing); unnamed files go into
    // `folder`, or the temporary folder where that cannot hold one. False, with errno set,
    // when no copy could be kept: the file must not be touched then.
    bool Keep(int fd, const std::string& folder);
    // Writes the kept content back over `fd` and cuts the file to its old length; false, with
    // errno set, when it could not.
    bool PutBack(int fd) const;
    off_t Size() const { return size; }

    // Copies up to this size are kept in memory.
    static constexpr off_t MemoryCopyLimit = off_t(64) << 20;

private:
    bool KeepInFile(int fd, const std::string& folder);

    off_t size = 0;
    std::vector<char> bytes;
    int copy = -1; // the unnamed file, or -1
    bool cloned = false;
};
