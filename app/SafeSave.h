#pragma once
// Writes a file so that the old one survives any failure: into a temporary file in the same
// folder, flushed to disk, then renamed over the target.

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>

// The target's folder does not take a new file at all.
class FileCreateError : public std::runtime_error {
public:
    explicit FileCreateError(const std::string& path) : std::runtime_error(path) {}
};

// `write` returns false when a write failed. Throws FileCreateError when nothing could be
// created, CFileException (with errno's cause and the target's path) when writing, flushing
// or renaming failed; the temporary file is gone and the target untouched then.
void SaveFileSafely(const std::string& path, const std::function<bool(std::FILE*)>& write);
