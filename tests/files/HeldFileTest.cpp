// A file held for reading: nobody truncates it under the reader, and where it cannot be held
// the reader is told so.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

#include "files/HeldFile.h"
#include "tests/support/TestFile.h"

namespace {

namespace fs = std::filesystem;

class HeldFileTest : public testing::Test {
protected:
    fs::path path = TestFilePath("tarvelin-held-");
    void SetUp() override { std::ofstream(path, std::ios::binary) << std::string(100000, '7'); }
    void TearDown() override { fs::remove(path); }
};

TEST_F(HeldFileTest, ATruncationWaitsUntilTheFileIsLetGo) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    std::atomic<bool> truncated{false};
    std::thread writer;
    {
        const HeldFile held(fd);
        if (!held.Bytes())
            GTEST_SKIP() << "this file system gives no leases";
        ASSERT_EQ(held.Size(), 100000u);
        writer = std::thread([&] {
            EXPECT_EQ(::truncate(path.c_str(), 10), 0);
            truncated = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_FALSE(truncated);
        // Every byte is still there to be read.
        EXPECT_EQ(held.Bytes()[99999], '7');
    }
    writer.join();
    EXPECT_TRUE(truncated);
    EXPECT_EQ(fs::file_size(path), 10u);
    ::close(fd);
}

TEST_F(HeldFileTest, PagesLetGoEarlyAreStillThereToRead) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    {
        const HeldFile held(fd);
        if (!held.Bytes())
            GTEST_SKIP() << "this file system gives no leases";
        held.Done(10, 90000);
        held.Done(0, 100000);
        held.Done(99000, 200000); // past the end: nothing
        EXPECT_EQ(std::string(held.Bytes(), 100000), std::string(100000, '7'));
    }
    ::close(fd);
}

TEST_F(HeldFileTest, AFileOpenForWritingIsNotHeld) {
    const int writing = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(writing, 0);
    ASSERT_GE(fd, 0);
    {
        const HeldFile held(fd);
        EXPECT_EQ(held.Bytes(), nullptr);
        EXPECT_EQ(held.Size(), 0u);
    }
    ::close(fd);
    ::close(writing);
}

} // namespace
