// A file that another program cuts or rewrites while it is read: the reader never faults,
// never holds the other program up, and tells a change instead of taking what it read.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "files/DataFileReader.h"
#include "tests/support/Shell.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/Timing.h"

namespace {

namespace fs = std::filesystem;

// Every line the same number: a version of the file is told by any whole line of it.
std::string Lines(const std::string& line, std::size_t bytes) {
    std::string text;
    text.reserve(bytes + line.size());
    while (text.size() < bytes)
        text += line;
    return text;
}

void Put(const fs::path& p, const std::string& text) {
    const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (std::size_t at = 0; at < text.size();) {
        const ssize_t n = ::write(fd, text.data() + at, text.size() - at);
        if (n <= 0)
            break;
        at += std::size_t(n);
    }
    ::close(fd);
}

// While a read is under way another program opens the file without waiting and cuts it:
// it is let in at once, and the read says the file changed.
TEST(ChangingFile, AnotherProgramCutsTheFileWithoutWaiting) {
    const fs::path file = fs::temp_directory_path() / "cut-while-read.txt";
    for (std::size_t bytes : {std::size_t(4000), std::size_t(8) << 20}) {
        Put(file, Lines("0.125\n", bytes));
        CProgress progress;
        ShellRun cut;
        bool once = false;
        progress.watcher = [&](CProgress&) {
            if (!once) {
                once = true;
                cut = Shell("timeout 5 truncate -s 0 " + file.string());
            }
        };
        EXPECT_THROW(ReadDataFile(file.string(), &progress), DataFileChanged) << bytes;
        EXPECT_TRUE(once);
        EXPECT_EQ(cut.status, 0) << cut.out;
        EXPECT_EQ(fs::file_size(file), 0u);
    }
    fs::remove(file);
}

// Another process cuts and rewrites the file at random moments while it is read over and
// over, through the short path and the one in parts on two threads: every read ends with the
// samples of one whole version of the file (or a part of one being written), or says it
// changed. Where the test can make them, on tmpfs, ext4 and a FUSE mount too.
// Through FUSE the kernel may keep a file's pages and length for a while (`exact` false): a
// read there need only end, without a fault.
void ReadWhileRewritten(const fs::path& folder, const fs::path& written, const std::string& where,
                        bool exact = true) {
    const std::string a = Lines("1.5\n", 3000), b = Lines("2.25\n", 2500);
    const std::string longA = Lines("1.5\n", 3 << 20), longB = Lines("2.25\n", 2 << 20);
    for (bool parts : {false, true}) {
        const fs::path file = folder / "changing.txt";
        Put(written, parts ? longA : a);
        struct Rewriter { // stopped however the reads end
            pid_t pid = fork();
            ~Rewriter() {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
        } rewriter;
        if (rewriter.pid == 0) {
            std::mt19937 rng{unsigned(::getpid())};
            for (int i = 0;; ++i) {
                std::this_thread::sleep_for(
                    std::chrono::microseconds(rng() % (parts ? 60000 : 2000)));
                Put(written, i % 2 ? (parts ? longA : a) : (parts ? longB : b));
            }
        }
        int changed = 0, whole = 0, empty = 0;
        // Fewer where sanitizers slow the reader twentyfold: the same moments, sampled less.
        const int reads = int((parts ? 150 : 3000) / TimeScale) + 10;
        for (int i = 0; i < reads; ++i) {
            try {
                const DataFile f = ReadDataFile(file.string());
                if (f.count == 0) {
                    ++empty;
                    continue;
                }
                if (!exact)
                    continue;
                const double y = f.points[0].y;
                ASSERT_TRUE(y == 1.5 || y == 2.25 || f.count == 1) << where << ": " << y;
                for (std::uint32_t k = 1; k + 1 < f.count; ++k)
                    ASSERT_EQ(f.points[k].y, y) << where << ": sample " << k;
                whole += f.count == (y == 1.5 ? (parts ? longA : a).size() / 4
                                              : (parts ? longB : b).size() / 5);
            } catch (const DataFileChanged&) {
                ++changed;
            }
        }
        // A busy machine may stretch the writer's every rewrite over many reads: only a run
        // that never met the file's content at all tells nothing.
        if (exact) {
            EXPECT_GT(whole + changed, 0) << where << (parts ? ", in parts" : "") << ": only "
                                          << empty << " empty reads";
        }
    }
}

TEST(ChangingFile, RewrittenAtRandomMomentsItIsReadWholeOrToldChanged) {
    const fs::path here = fs::temp_directory_path() / "rewritten";
    fs::create_directories(here);
    ReadWhileRewritten(here, here / "changing.txt", "the temporary folder");
    fs::remove_all(here);
    for (const std::string type : {"tmpfs", "ext4"}) {
        SmallDisk disk(type, 64);
        if (!disk.Made()) {
            std::printf("skipped on %s: %s\n", type.c_str(), disk.Why().c_str());
            continue;
        }
        ReadWhileRewritten(disk.Path(), disk.Path() / "changing.txt", type);
    }
    // Through FUSE, the file cut at its source as another machine would cut a shared one.
    SmallDisk backing("tmpfs", 64);
    const fs::path view = fs::temp_directory_path() / "fuse-view";
    fs::create_directories(view);
    if (!backing.Made() ||
        Shell("bindfs --no-allow-other " + backing.Path().string() + " " + view.string()).status !=
            0) {
        std::printf("skipped on FUSE: bindfs cannot mount here\n");
    } else {
        ReadWhileRewritten(view, backing.Path() / "changing.txt", "FUSE", false);
        Shell("fusermount -u " + view.string() + " || umount " + view.string());
    }
    fs::remove_all(view);
}

} // namespace
