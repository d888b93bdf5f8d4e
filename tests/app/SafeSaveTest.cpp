// Saving keeps a file's identity: links, owner, group and mode, and writes in place where a
// rename could not keep them. Steps that need an ordinary user run in a child process that
// drops to `nobody` when the tests run as root.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <iterator>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/SafeSave.h"
#include "platform/Archive.h"

namespace {

namespace fs = std::filesystem;

constexpr uid_t Nobody = 65534;
constexpr gid_t NoGroup = 65534;

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Put(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

// 0 saved, 1 "cannot be created", 2 a file error, 3 anything else.
int Save(const std::string& path, const std::string& text) {
    try {
        SaveFileSafely(path, [&](std::FILE* f) {
            return std::fwrite(text.data(), 1, text.size(), f) == text.size();
        });
        return 0;
    } catch (const FileCreateError&) {
        return 1;
    } catch (const CFileException&) {
        return 2;
    } catch (...) {
        return 3;
    }
}

bool IsRoot() {
    return geteuid() == 0;
}

// Saves as an ordinary user: as `nobody` in a child process under root, else as ourselves.
int SaveAsUser(const std::string& path, const std::string& text) {
    const pid_t child = fork();
    if (child == 0) {
        if (IsRoot() && (setgroups(0, nullptr) != 0 || setgid(NoGroup) != 0 || setuid(Nobody) != 0))
            _exit(9);
        _exit(Save(path, text));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 10;
}

struct SaveTest : testing::Test {
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("tarvelin-save-" +
               std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::permissions(dir, fs::perms::all); // an ordinary user may enter and write
    }
    void TearDown() override {
        std::error_code ignored;
        for (auto& e : fs::recursive_directory_iterator(dir, ignored))
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir, ignored);
    }
    // Owned by `nobody` when we are root, so that the child may own it too.
    void GiveAway(const fs::path& p) {
        if (IsRoot()) {
            ASSERT_EQ(::chown(p.c_str(), Nobody, NoGroup), 0);
        }
    }
};

TEST_F(SaveTest, SymbolicLinksStayAndTheirTargetsAreWritten) {
    fs::create_directories(dir / "real");
    Put(dir / "real" / "wave.txt", "old");
    fs::create_symlink("real/wave.txt", dir / "link.txt");
    fs::create_symlink("link.txt", dir / "chain.txt");
    ASSERT_EQ(Save((dir / "chain.txt").string(), "new"), 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_TRUE(fs::is_symlink(dir / "chain.txt"));
    EXPECT_EQ(ReadAll(dir / "real" / "wave.txt"), "new");

    fs::create_symlink("real/fresh.txt", dir / "dangling.txt"); // the target is created
    ASSERT_EQ(Save((dir / "dangling.txt").string(), "made"), 0);
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.txt"));
    EXPECT_EQ(ReadAll(dir / "real" / "fresh.txt"), "made");

    fs::create_symlink("loop2", dir / "loop1");
    fs::create_symlink("loop1", dir / "loop2");
    EXPECT_EQ(Save((dir / "loop1").string(), "x"), 1);
}

TEST_F(SaveTest, HardLinksModeAndOwnerAreKept) {
    Put(dir / "a.txt", "old old old");
    fs::create_hard_link(dir / "a.txt", dir / "b.txt");
    struct stat before {};
    ::stat((dir / "a.txt").c_str(), &before);
    ASSERT_EQ(Save((dir / "a.txt").string(), "new"), 0);
    struct stat after {};
    ::stat((dir / "a.txt").c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino); // written in place, cut to the new length
    EXPECT_EQ(ReadAll(dir / "b.txt"), "new");

    Put(dir / "mode.txt", "old");
    fs::permissions(dir / "mode.txt", fs::perms(0640));
    ASSERT_EQ(Save((dir / "mode.txt").string(), "new"), 0);
    EXPECT_EQ(fs::status(dir / "mode.txt").permissions(), fs::perms(0640));

    if (!IsRoot())
        return; // only root can make a file belong to someone else
    Put(dir / "theirs.txt", "old");
    GiveAway(dir / "theirs.txt");
    ASSERT_EQ(Save((dir / "theirs.txt").string(), "new"), 0);
    struct stat owned {};
    ::stat((dir / "theirs.txt").c_str(), &owned);
    EXPECT_EQ(owned.st_uid, Nobody);
    EXPECT_EQ(owned.st_gid, NoGroup);
    EXPECT_EQ(ReadAll(dir / "theirs.txt"), "new");
}

TEST_F(SaveTest, AnOrdinaryUserWritesInPlaceWhereARenameCannotKeepTheFile) {
    // A writable file in a folder the user may not write.
    fs::create_directories(dir / "locked");
    Put(dir / "locked" / "w.txt", "old content");
    GiveAway(dir / "locked" / "w.txt");
    fs::permissions(dir / "locked", fs::perms(0755));
    if (!IsRoot())
        fs::permissions(dir / "locked", fs::perms(0555));
    EXPECT_EQ(SaveAsUser((dir / "locked" / "w.txt").string(), "new"), 0);
    EXPECT_EQ(ReadAll(dir / "locked" / "w.txt"), "new");

    // Another user's file the user may write: the owner stays.
    if (IsRoot()) {
        Put(dir / "roots.txt", "old");
        fs::permissions(dir / "roots.txt", fs::perms(0666));
        EXPECT_EQ(SaveAsUser((dir / "roots.txt").string(), "new"), 0);
        struct stat st {};
        ::stat((dir / "roots.txt").c_str(), &st);
        EXPECT_EQ(st.st_uid, 0u);
        EXPECT_EQ(ReadAll(dir / "roots.txt"), "new");
    }
}

TEST_F(SaveTest, WhatCannotBeWrittenIsAFileSaveErrorAndStaysAsItWas) {
    Put(dir / "readonly.txt", "keep");
    GiveAway(dir / "readonly.txt");
    fs::permissions(dir / "readonly.txt", fs::perms(0444));
    EXPECT_EQ(SaveAsUser((dir / "readonly.txt").string(), "new"), 1);
    EXPECT_EQ(ReadAll(dir / "readonly.txt"), "keep");

    fs::create_directories(dir / "closed");
    Put(dir / "closed" / "x.txt", "keep");
    fs::permissions(dir / "closed", fs::perms(0700)); // no search permission for others
    if (IsRoot()) {
        EXPECT_EQ(SaveAsUser((dir / "closed" / "x.txt").string(), "new"), 1);
    }

    EXPECT_EQ(Save((dir / "no-folder" / "x.txt").string(), "new"), 1);
    fs::create_directories(dir / "folder.txt");
    EXPECT_EQ(Save((dir / "folder.txt").string(), "new"), 1);
    ::mkfifo((dir / "pipe.txt").c_str(), 0666);
    EXPECT_EQ(Save((dir / "pipe.txt").string(), "new"), 1); // never blocks on a pipe
}

TEST_F(SaveTest, LongNamesAndFailedWritesLeaveNoTemporaryFile) {
    const std::string name = std::string(250, 'n') + ".txt"; // 254 bytes, the limit is 255
    ASSERT_EQ(Save((dir / name).string(), "long"), 0);
    EXPECT_EQ(ReadAll(dir / name), "long");

    Put(dir / "keep.txt", "old");
    const int failed = [&] {
        try {
            SaveFileSafely((dir / "keep.txt").string(), [](std::FILE*) {
                errno = ENOSPC;
                return false;
            });
        } catch (const CFileException& e) {
            return int(e.m_cause);
        }
        return -1;
    }();
    EXPECT_EQ(failed, CFileException::diskFull);
    EXPECT_EQ(ReadAll(dir / "keep.txt"), "old");
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().rfind(".tarvelin-", 0), std::string::npos);
}

} // namespace

namespace {

// A save killed half-way leaves neither a cut file nor a hidden temporary one.
TEST_F(SaveTest, AKilledSaveLeavesNothingBehind) {
    Put(dir / "wave.txt", "old");
    for (int round = 0; round < 3; ++round) {
        const pid_t child = fork();
        if (child == 0) {
            Save((dir / "wave.txt").string(), std::string(1 << 20, 'x')); // warm up
            SaveFileSafely((dir / "wave.txt").string(), [](std::FILE* f) {
                std::fwrite("new", 1, 3, f);
                std::fflush(f);
                ::kill(::getpid(), SIGKILL); // in the middle of the writing
                return true;
            });
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
    }
    EXPECT_EQ(ReadAll(dir / "wave.txt"), std::string(1 << 20, 'x')); // the last whole save
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().rfind(".tarvelin-", 0), std::string::npos)
            << entry.path();
}

// Written in place (another hard link keeps the file's identity), on a disk too full for the
// new content: the old content stays whole and the failure is "Disk full".
TEST_F(SaveTest, AFullDiskLeavesAFileWrittenInPlaceWhole) {
    const fs::path disk = dir / "small-disk";
    fs::create_directories(disk);
    if (!IsRoot() ||
        ::system(("mount -t tmpfs -o size=256k tmpfs " + disk.string() + " 2>/dev/null").c_str()) !=
            0)
        GTEST_SKIP() << "a small file system cannot be mounted here (needs root)";
    const std::string old(100 * 1024, 'o');
    Put(disk / "wave.txt", old);
    ASSERT_EQ(::link((disk / "wave.txt").c_str(), (disk / "other-name.txt").c_str()), 0);
    Put(disk / "filler", std::string(120 * 1024, 'f')); // leaves some 30 KiB
    const int result = [&] {
        try {
            SaveFileSafely((disk / "wave.txt").string(), [](std::FILE* f) {
                const std::string more(200 * 1024, 'n');
                return std::fwrite(more.data(), 1, more.size(), f) == more.size();
            });
        } catch (const CFileException& e) {
            return int(e.m_cause);
        }
        return -1;
    }();
    const std::string kept = ReadAll(disk / "wave.txt");
    ::system(("umount " + disk.string()).c_str());
    EXPECT_EQ(result, CFileException::diskFull);
    EXPECT_TRUE(kept == old) << "the old content was cut or mixed: " << kept.size() << " bytes";
}

} // namespace

namespace {

// A save as the editor runs it, cancelled at step `cancelAt` (counted as the progress sees
// them) or, with `whenWhole`, right after the writer's last byte: true when it counts as saved.
bool SaveCancelled(const fs::path& path, const std::string& text, int cancelAt, bool whenWhole,
                   int* taken = nullptr) {
    CProgress progress;
    int ignored = 0;
    int& steps = taken ? *taken : ignored;
    progress.watcher = [&](CProgress& p) {
        if (++steps == cancelAt)
            p.Cancel();
    };
    try {
        SaveFileSafely(
            path.string(),
            [&](const TextSink& sink) {
                for (std::size_t at = 0; at < text.size(); at += 1000)
                    if (!sink(text.data() + at, std::min<std::size_t>(1000, text.size() - at)))
                        return false;
                if (whenWhole)
                    progress.Cancel(); // as during the flush that follows
                return true;
            },
            &progress, double(text.size()));
    } catch (const OperationCancelled&) {
        return false;
    }
    return !(progress.Cancelled() && progress.Cancellable());
}

// Whatever the moment of a cancel, the save either stopped with the old file as it was or
// went past its point of no return and counts as saved: never a mix. Replacing, the point is
// reached once the new content is whole; in place, before the first byte is written over.
TEST_F(SaveTest, ACancelAtAnyMomentLeavesTheOldFileOrCountsAsSaved) {
    std::string fresh;
    for (int i = 0; fresh.size() < 50000; ++i)
        fresh += std::to_string(i) + "\r\n";
    for (bool inPlace : {false, true}) {
        const fs::path file = dir / (inPlace ? "linked.txt" : "plain.txt");
        Put(file, "old\r\n");
        if (inPlace)
            fs::create_hard_link(file, dir / "other-name.txt");
        int total = 0;
        ASSERT_TRUE(SaveCancelled(file, fresh, -1, false, &total));
        int savedFrom = 0;
        for (int at = 1; at <= total; ++at) {
            Put(file, "old\r\n");
            const bool saved = SaveCancelled(file, fresh, at, false);
            ASSERT_EQ(ReadAll(file), saved ? fresh : "old\r\n") << inPlace << " at step " << at;
            if (saved && !savedFrom)
                savedFrom = at;
            ASSERT_TRUE(saved || !savedFrom) << "once past the point, always past it";
        }
        Put(file, "old\r\n");
        const bool saved = SaveCancelled(file, fresh, 0, true);
        EXPECT_EQ(ReadAll(file), saved ? fresh : "old\r\n") << inPlace;
        EXPECT_FALSE(saved) << "the new content is whole, but has replaced nothing yet";
        if (inPlace)
            EXPECT_GT(savedFrom, 50) << "in place, cancel is taken until the dry run ends";
        else
            EXPECT_EQ(savedFrom, 0) << "replacing, every step before the rename takes a cancel";
        for (const auto& e : fs::directory_iterator(dir))
            EXPECT_EQ(e.path().filename().string().rfind(".tarvelin-", 0), std::string::npos);
    }
}

} // namespace
