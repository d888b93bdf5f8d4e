// What the process may still allocate, read from a made-up /proc and control group tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "files/AvailableMemory.h"

namespace {

namespace fs = std::filesystem;

struct FakeSystem {
    fs::path root = fs::temp_directory_path() /
                    ("tarvelin-fake-system-" +
                     std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    FakeSystem() {
        fs::remove_all(root);
        Put("proc/meminfo", "MemTotal:       24000000 kB\nMemAvailable:    8000000 kB\n"
                            "SwapFree:        1000000 kB\n");
    }
    ~FakeSystem() { fs::remove_all(root); }
    void Put(const std::string& file, const std::string& text) {
        fs::create_directories((root / file).parent_path());
        std::ofstream(root / file) << text;
    }
    std::uint64_t Available() const { return AvailableBytesUnder(root.string()); }
};

constexpr std::uint64_t MiB = 1 << 20;

TEST(AvailableMemory, TheLeastOfTheSystemAndEveryGroupOnThePath) {
    FakeSystem s;
    EXPECT_EQ(s.Available(), 9000000ull * 1024); // no groups: free memory and free swap

    // v2: a container of 1 GiB, inside it a unit of 600 MiB with 100 MiB used of which 40 MiB
    // is file cache it can drop.
    s.Put("proc/self/cgroup", "0::/box/unit\n");
    s.Put("proc/self/mountinfo",
          "29 23 0:26 / /sys/fs/cgroup rw,nosuid - cgroup2 cgroup2 rw,nsdelegate\n");
    s.Put("sys/fs/cgroup/box/memory.max", std::to_string(1024 * MiB) + "\n");
    s.Put("sys/fs/cgroup/box/memory.current", std::to_string(700 * MiB) + "\n");
    s.Put("sys/fs/cgroup/box/unit/memory.max", std::to_string(600 * MiB) + "\n");
    s.Put("sys/fs/cgroup/box/unit/memory.current", std::to_string(100 * MiB) + "\n");
    s.Put("sys/fs/cgroup/box/unit/memory.stat",
          "anon 62914560\ninactive_file " + std::to_string(40 * MiB) + "\n");
    EXPECT_EQ(s.Available(), 324 * MiB); // the box: 1024 - 700; the unit allows 540
    s.Put("sys/fs/cgroup/box/memory.max", "max\n");
    EXPECT_EQ(s.Available(), 540 * MiB);
    s.Put("sys/fs/cgroup/box/unit/memory.current", std::to_string(700 * MiB) + "\n");
    EXPECT_EQ(s.Available(), 0u) << "over its limit: nothing more";

    // v1, mounted from a part of the hierarchy, with a blank in the mount point.
    s.Put("proc/self/cgroup", "12:pids:/x\n4:cpu,memory:/outer/job\n1:name=systemd:/\n");
    s.Put("proc/self/mountinfo",
          "31 23 0:28 / /sys/fs/cgroup rw - tmpfs tmpfs rw\n"
          "35 31 0:32 /outer /sys/fs/my\\040groups rw - cgroup cgroup rw,cpu,memory\n");
    s.Put("sys/fs/my groups/memory.limit_in_bytes", "9223372036854771712\n");
    s.Put("sys/fs/my groups/job/memory.limit_in_bytes", std::to_string(512 * MiB) + "\n");
    s.Put("sys/fs/my groups/job/memory.usage_in_bytes", std::to_string(200 * MiB) + "\n");
    s.Put("sys/fs/my groups/job/memory.stat", "cache 1\ntotal_inactive_file 0\n");
    EXPECT_EQ(s.Available(), 312 * MiB);

    s.Put("proc/meminfo", "MemAvailable:      100 kB\n"); // the system is the least now
    EXPECT_EQ(s.Available(), 100u * 1024);
}

TEST(AvailableMemory, NothingReadableMeansNoLimit) {
    FakeSystem s;
    fs::remove_all(s.root);
    EXPECT_EQ(s.Available(), UINT64_MAX);
    s.Put("proc/self/cgroup", "garbage\n0::\n::\n");
    s.Put("proc/self/mountinfo", "nonsense - \n1 2 3\n");
    EXPECT_EQ(s.Available(), UINT64_MAX);
    EXPECT_GT(AvailableBytes(), 0u); // this machine
}

} // namespace
