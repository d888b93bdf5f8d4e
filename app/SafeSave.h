#pragma once
// Saving for the editor: the safe write, with its failures as the framework reports them.

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>

#include "files/OutputBuffer.h"
#include "files/Progress.h"

// The file cannot be created or opened for writing: "File save error!".
class FileCreateError : public std::runtime_error {
public:
    explicit FileCreateError(const std::string& path) : std::runtime_error(path) {}
};

// Throws FileCreateError, or CFileException with errno's cause and the path.
void SaveFileSafely(const std::string& path, const std::function<bool(std::FILE*)>& write);

// The same for a writer into a text sink, stepping `progress` by the bytes written against
// `expectedBytes`. A cancel stops the writer and throws OperationCancelled, with the old file
// as it was, except past the point of no return of a write in place, which goes on to its end.
void SaveFileSafely(const std::string& path, const std::function<bool(const TextSink&)>& write,
                    CProgress* progress, double expectedBytes);
