// Every input the fuzzers ever kept, and every one that once crashed or hung, replayed
// through the same entries the fuzzers call.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/fuzz/FuzzTargets.h"
#include "tests/support/Timing.h"

namespace {

namespace fs = std::filesystem;

void Replay(const std::string& target) {
    const fs::path dir = fs::path(TARVELIN_TEST_DATA) / "corpus" / target;
    ASSERT_TRUE(fs::is_directory(dir)) << dir;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                              std::istreambuf_iterator<char>());
        const double seconds =
            SecondsOf([&] { RunFuzzTarget(target, bytes.data(), bytes.size()); });
        EXPECT_LT(seconds, HangGuard(0.25)) << entry.path().filename() << " takes too long";
        ++files;
    }
    EXPECT_GT(files, 0);
}

TEST(FuzzCorpus, Reader) {
    Replay("reader");
}
TEST(FuzzCorpus, Archive) {
    Replay("archive");
}
TEST(FuzzCorpus, Chart) {
    Replay("chart");
}
TEST(FuzzCorpus, TickFormat) {
    Replay("tickformat");
}
TEST(FuzzCorpus, Expression) {
    Replay("expression");
}
TEST(FuzzCorpus, Bank) {
    Replay("bank");
}
TEST(FuzzCorpus, Import) {
    Replay("import");
}
TEST(FuzzCorpus, Wav) {
    Replay("wav");
}
TEST(FuzzCorpus, Table) {
    Replay("table");
}

} // namespace
