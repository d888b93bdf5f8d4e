#pragma once
// A small file system of its own for a test: tmpfs, or an ext4 or btrfs image on a loop
// device, mounted in a fresh folder and taken away at the end. Needs root and the mkfs tools;
// `Why()` says what was missing when it could not be made.

#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/statvfs.h>
#include <unistd.h>

#include "tests/support/Shell.h"

class SmallDisk {
public:
    SmallDisk(const std::string& type, int mebibytes) {
        namespace fs = std::filesystem;
        const fs::path base = fs::temp_directory_path() / ("disk-" + type + "-XXXXXX");
        std::string folder = base.string();
        if (!mkdtemp(folder.data())) {
            why = "no temporary folder";
            return;
        }
        root = folder;
        mount = root / "mnt";
        fs::create_directories(mount);
        if (geteuid() != 0) {
            why = "mounting needs root";
            return;
        }
        const std::string size = std::to_string(mebibytes) + "M";
        std::string command;
        if (type == "tmpfs") {
            command = "mount -t tmpfs -o size=" + size + " tmpfs " + mount.string();
        } else {
            const std::string image = (root / "image").string();
            command = "truncate -s " + size + " " + image + " && mkfs." + type + " -q " +
                      (type == "ext4" ? "-F " : "-f ") + image + " && mount -o loop " + image +
                      " " + mount.string();
        }
        const ShellRun run = Shell(command);
        if (run.status != 0) {
            why = type + " cannot be made here: " + run.out;
            return;
        }
        mounted = true;
    }
    ~SmallDisk() {
        if (mounted)
            Shell("umount " + mount.string());
        std::error_code ignored;
        if (!root.empty())
            std::filesystem::remove_all(root, ignored);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Made() const { return mounted; }
    const std::string& Why() const { return why; }
    std::filesystem::path Path() const { return mount; }
    // Bytes an ordinary write may still take.
    std::uint64_t Free() const {
        struct statvfs s {};
        statvfs(mount.c_str(), &s);
        return std::uint64_t(s.f_bavail) * s.f_frsize;
    }

private:
    std::filesystem::path root, mount;
    bool mounted = false;
    std::string why;
};
