// A save that writes over a file in place and fails half-way puts the old content back and
// gives back the room it took; a save that renames makes the new name last.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <dlfcn.h>
#include <filesystem>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "files/OldContent.h"
#include "files/SafeWrite.h"
#include "tests/support/Shell.h"
#include "tests/support/SmallDisk.h"

namespace fs = std::filesystem;

// Folders flushed while watching: fsync is seen on its way to the C library.
namespace {
std::atomic<bool> watchingFlushes{false};
std::mutex flushedLock;
std::vector<std::string> flushedFolders;
} // namespace

extern "C" int fsync(int fd) {
    static const auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    struct stat st {};
    if (watchingFlushes && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        char target[PATH_MAX];
        const ssize_t n =
            ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), target, sizeof target);
        const std::lock_guard<std::mutex> lock(flushedLock);
        flushedFolders.emplace_back(target, n > 0 ? std::size_t(n) : 0);
    }
    return real(fd);
}

namespace {

// Bytes that tell every position apart, so that a mix of old and new shows.
std::string Pattern(std::size_t n, char seed) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = char(seed + (i * 7 + i / 4093) % 26);
    return s;
}

void Put(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

// Saves `text`; the real run (after the measuring one) fails after `failAfter` bytes when
// that is less than the text. 0 saved, else the error.
int Save(const fs::path& path, const std::string& text, std::size_t failAfter = SIZE_MAX) {
    int run = 0;
    try {
        WriteFileSafely(path.string(), [&](std::FILE* f) {
            const bool measuring = run++ == 0;
            const std::size_t n = measuring ? text.size() : std::min(failAfter, text.size());
            if (std::fwrite(text.data(), 1, n, f) != n)
                return false;
            if (n < text.size()) {
                std::fflush(f);
                errno = EIO;
                return false;
            }
            return true;
        });
    } catch (const SafeWriteError& e) {
        return e.error;
    } catch (const FileNotCreated&) {
        return -1;
    }
    return 0;
}

struct InPlace : testing::Test {
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() /
              testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    // A second hard link: a rename would part the two names, so the save writes in place.
    fs::path Linked(const fs::path& folder, const std::string& content) {
        const fs::path file = folder / "wave.txt";
        Put(file, content);
        fs::create_hard_link(file, folder / "other-name.txt");
        return file;
    }
};

// In memory for small files, in an unnamed copy (or a clone of the blocks) for large ones;
// either way the failed save leaves the very bytes and length the file had.
TEST_F(InPlace, AWriteThatFailsHalfWayPutsTheOldContentBack) {
    for (std::size_t oldSize :
         {std::size_t(0), std::size_t(100'000), std::size_t(OldContent::MemoryCopyLimit) + 12345}) {
        const std::string old = Pattern(oldSize, 'a');
        const fs::path file = Linked(dir, old);
        for (std::size_t newSize : {oldSize / 2, oldSize + 50'000}) {
            if (newSize == 0)
                continue; // nothing to fail half-way
            EXPECT_EQ(Save(file, Pattern(newSize, 'A'), newSize / 3), EIO);
            EXPECT_EQ(fs::file_size(file), oldSize);
            EXPECT_TRUE(ReadAll(file) == old) << oldSize << " -> " << newSize;
            EXPECT_EQ(fs::hard_link_count(file), 2u);
        }
        const std::string fresh = Pattern(oldSize + 3, 'A');
        ASSERT_EQ(Save(file, fresh), 0);
        EXPECT_TRUE(ReadAll(dir / "other-name.txt") == fresh) << "written in place";
        fs::remove(file);
        fs::remove(dir / "other-name.txt");
    }
    for (const auto& e : fs::directory_iterator(fs::temp_directory_path()))
        EXPECT_EQ(e.path().filename().string().rfind(".tarvelin-", 0), std::string::npos);
}

// Full disks as each file system fills: a save either writes the whole new content or fails
// with the old content whole and the room it reserved given back. On a copy-on-write disk the
// reservation does not cover writing over blocks the file already has: that save fails after
// it has begun, and the kept clone puts the old content back.
TEST_F(InPlace, AFullDiskLeavesTheOldContentAndItsRoom) {
    constexpr std::size_t MiB = 1 << 20;
    for (const std::string type : {"tmpfs", "ext4", "btrfs"}) {
        SmallDisk disk(type, type == "btrfs" ? 160 : 48);
        if (!disk.Made()) {
            std::printf("skipped on %s: %s\n", type.c_str(), disk.Why().c_str());
            continue;
        }
        const std::string old = Pattern(8 * MiB, 'a');
        const fs::path file = Linked(disk.Path(), old);
        Shell("sync");
        const std::uint64_t spare = 4 * MiB;
        ASSERT_GT(disk.Free(), spare) << type;
        Shell("fallocate -l " + std::to_string(disk.Free() - spare) + " " +
              (disk.Path() / "filler").string());
        Shell("sync");
        int failures = 0;
        for (std::size_t newSize : {10 * MiB, 20 * MiB}) {
            const std::uint64_t before = disk.Free();
            const int error = Save(file, Pattern(newSize, 'A'));
            Shell("sync");
            if (error == 0) {
                EXPECT_EQ(fs::file_size(file), newSize) << type;
                Put(file, old); // for the next size
                Shell("sync");
                continue;
            }
            ++failures;
            EXPECT_EQ(error, ENOSPC) << type;
            EXPECT_TRUE(ReadAll(file) == old)
                << type << ", " << newSize << ": the old content was cut or mixed";
            EXPECT_GE(disk.Free() + 256 * 1024, before)
                << type << ", " << newSize << ": the room a failed save reserved is kept";
        }
        EXPECT_GE(failures, 1) << type << ": the disk was never full";
    }
}

TEST(Rename, TheFolderIsFlushedSoTheNewNameLasts) {
    const fs::path dir = fs::temp_directory_path() / "flushed";
    fs::create_directories(dir);
    Put(dir / "wave.txt", "old");
    flushedFolders.clear();
    watchingFlushes = true;
    const int saved = Save(dir / "wave.txt", "new");
    watchingFlushes = false;
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(ReadAll(dir / "wave.txt"), "new");
    EXPECT_EQ(flushedFolders, std::vector<std::string>{fs::canonical(dir).string()});
    fs::remove_all(dir);
}

} // namespace
