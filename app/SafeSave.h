#pragma once
// Saving for the editor: the safe write, with its failures as the framework reports them.

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>

// The file cannot be created or opened for writing: "File save error!".
class FileCreateError : public std::runtime_error {
public:
    explicit FileCreateError(const std::string& path) : std::runtime_error(path) {}
};

// Throws FileCreateError, or CFileException with errno's cause and the path.
void SaveFileSafely(const std::string& path, const std::function<bool(std::FILE*)>& write);
