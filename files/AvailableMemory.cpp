#include "files/AvailableMemory.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <vector>

namespace {

constexpr std::uint64_t Unknown = std::numeric_limits<std::uint64_t>::max();

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> Split(const std::string& text, char at) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    for (std::string part; std::getline(stream, part, at);)
        parts.push_back(part);
    return parts;
}

// A whole decimal number in a file of one line; nothing for "max", a missing file or text.
std::uint64_t NumberIn(const std::string& path) {
    std::ifstream in(path);
    std::string text;
    if (!(in >> text) || text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return Unknown;
    try {
        return std::stoull(text);
    } catch (...) {
        return Unknown; // beyond 64 bits: no limit worth the name
    }
}

// "name value" from a memory.stat file.
std::uint64_t StatIn(const std::string& path, const std::string& name) {
    for (const std::string& line : Lines(path)) {
        const std::vector<std::string> f = Split(line, ' ');
        if (f.size() == 2 && f[0] == name && f[1].find_first_not_of("0123456789") == f[1].npos)
            return std::stoull(f[1]);
    }
    return 0;
}

std::uint64_t FromMeminfo(const std::string& root) {
    std::uint64_t available = Unknown, swapFree = 0;
    for (const std::string& line : Lines(root + "/proc/meminfo")) {
        unsigned long long kib;
        if (std::sscanf(line.c_str(), "MemAvailable: %llu kB", &kib) == 1)
            available = kib * 1024;
        else if (std::sscanf(line.c_str(), "SwapFree: %llu kB", &kib) == 1)
            swapFree = kib * 1024;
    }
    return available == Unknown ? Unknown : available + swapFree;
}

// Mount points in /proc/self/mountinfo write a blank as \040.
std::string Unescaped(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string octal = field.substr(i + 1, 3);
            if (octal.size() == 3 && octal.find_first_not_of("01234567") == std::string::npos) {
                out += char(std::stoi(octal, nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

struct Mount {
    std::string root, point; // the part of the hierarchy mounted, and where
};

// The mount of the v2 hierarchy (`controller` empty) or of the v1 hierarchy holding it.
bool FindMount(const std::string& root, const std::string& controller, Mount& found) {
    for (const std::string& line : Lines(root + "/proc/self/mountinfo")) {
        const std::size_t dash = line.find(" - ");
        if (dash == std::string::npos)
            continue;
        const std::vector<std::string> before = Split(line.substr(0, dash), ' ');
        const std::vector<std::string> after = Split(line.substr(dash + 3), ' ');
        if (before.size() < 5 || after.size() < 3)
            continue;
        const bool match =
            controller.empty()
                ? after[0] == "cgroup2"
                : after[0] == "cgroup" && std::ranges::count(Split(after[2], ','), controller) > 0;
        if (match) {
            found = {Unescaped(before[3]), Unescaped(before[4])};
            return true;
        }
    }
    return false;
}

// What the groups from `path` up to the mount still allow, each read with its own files.
std::uint64_t AlongPath(const std::string& root, const Mount& mount, std::string path,
                        const char* limitFile, const char* usageFile, const char* cachePrefix) {
    if (mount.root != "/" && path.rfind(mount.root, 0) == 0)
        path = path.substr(mount.root.size());
    else if (mount.root != "/")
        return Unknown; // the process lies outside what is mounted here
    std::uint64_t least = Unknown;
    for (;;) {
        const std::string dir = root + mount.point + (path == "/" ? "" : path);
        const std::uint64_t limit = NumberIn(dir + "/" + limitFile);
        if (limit != Unknown) {
            std::uint64_t used = NumberIn(dir + "/" + usageFile);
            if (used == Unknown)
                used = 0;
            // The clean file cache, which the group gives up before it kills: both lists.
            const std::string stat = dir + "/memory.stat", prefix = cachePrefix;
            const std::uint64_t file =
                StatIn(stat, prefix + "inactive_file") + StatIn(stat, prefix + "active_file");
            const std::uint64_t dirty = StatIn(stat, prefix.empty() ? "file_dirty" : "total_dirty");
            const std::uint64_t cache = file > dirty ? file - dirty : 0;
            used = used > cache ? used - cache : 0;
            least = std::min(least, limit > used ? limit - used : 0);
        }
        if (path.empty() || path == "/")
            break;
        const std::size_t slash = path.find_last_of('/');
        path = slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
    }
    return least;
}

std::uint64_t FromControlGroups(const std::string& root) {
    std::uint64_t least = Unknown;
    for (const std::string& line : Lines(root + "/proc/self/cgroup")) {
        // "hierarchy:controllers:path"; the path may itself hold colons.
        const std::size_t first = line.find(':');
        const std::size_t second = first == std::string::npos ? first : line.find(':', first + 1);
        if (second == std::string::npos)
            continue;
        const std::string id = line.substr(0, first);
        const std::string controllers = line.substr(first + 1, second - first - 1);
        const std::string path = line.substr(second + 1);
        Mount mount;
        if (id == "0" && controllers.empty()) {
            if (FindMount(root, "", mount))
                least = std::min(least,
                                 AlongPath(root, mount, path, "memory.max", "memory.current", ""));
        } else if (std::ranges::count(Split(controllers, ','), std::string("memory")) > 0) {
            if (FindMount(root, "memory", mount))
                least = std::min(least, AlongPath(root, mount, path, "memory.limit_in_bytes",
                                                  "memory.usage_in_bytes", "total_"));
        }
    }
    return least;
}

} // namespace

std::uint64_t AvailableBytesUnder(const std::string& root) {
    return std::min(FromMeminfo(root), FromControlGroups(root));
}

std::uint64_t AvailableBytes() {
    return AvailableBytesUnder("");
}
