// Every test program works in a temporary folder of its own (TMPDIR for it and the programs it
// starts), so that two runs of the suite at once, two builds say, never share a file.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct OwnTempFolder {
    std::string path;
    OwnTempFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string folder = std::string(base && *base ? base : "/tmp") + "/tarvelin-tests-XXXXXX";
        if (!mkdtemp(folder.data()))
            return; // the shared folder, as before
        ::chmod(folder.c_str(), 0755); // a test acting as another user passes through
        path = folder;
        setenv("TMPDIR", path.c_str(), 1);
    }
    ~OwnTempFolder() {
        std::error_code ignored;
        if (!path.empty())
            std::filesystem::remove_all(path, ignored);
    }
} own;

} // namespace
