#pragma once
// Writes a file so that it keeps its identity and, where possible, survives any failure.
// A character device (/dev/null) is written as it is.
// A symbolic link is followed and its target written (the link stays). An ordinary file is
// written into a temporary file in the same folder (unnamed until it is whole, where the file
// system allows, so that a killed save leaves nothing), flushed to disk and renamed over the
// target, with the old owner, group and mode. Where a rename cannot keep the file's identity
// (other hard links, a folder the user may not write, an owner that cannot be kept) the new
// content is written over the file in place, its length reserved on the disk first and what
// it overwrites kept aside, cut to its length and flushed to disk.

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>

// The file cannot be created or opened for writing at all.
class FileNotCreated : public std::runtime_error {
public:
    explicit FileNotCreated(const std::string& path) : std::runtime_error(path) {}
};

// Writing, flushing or renaming failed; `error` is errno's value.
class SafeWriteError : public std::runtime_error {
public:
    SafeWriteError(const std::string& path, int e) : std::runtime_error(path), error(e) {}
    int error;
};

// `write` returns false when a write failed. After a failed rename-save the target is
// untouched and no temporary file is left; after a failed in-place write the old content is
// put back (where even that fails, the error is the write's). A save that cannot keep a copy
// of what it would overwrite in place fails before it touches the file.
// `commit` runs at the point of no return: before the old content starts to be overwritten in
// place, or once the new content is whole on the disk, before it replaces the old. When it returns false the save stops there
// with ECANCELED and the old file as it was.
void WriteFileSafely(const std::string& path, const std::function<bool(std::FILE*)>& write,
                     const std::function<bool()>& commit = {});

// Where a path finally leads after following symbolic links (relative links are resolved
// against their own folder). The last target need not exist. Throws FileNotCreated for a
// loop or a chain too long to follow.
std::string ResolveLinks(const std::string& path);
