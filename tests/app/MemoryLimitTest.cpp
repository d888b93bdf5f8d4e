// The editor under memory limits: in a control group of 512 MiB, as a container or a systemd
// unit would hold it, and with its address space limited. What does not fit is "Out of
// memory.", the history gives way before an edit fails, and the program goes on. The control
// group needs root and a writable memory hierarchy; skipped where there is none.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr long long Limit = 512ll << 20;

bool Write(const fs::path& file, const std::string& text) {
    std::ofstream out(file);
    out << text;
    out.flush();
    return bool(out);
}

// A new group with the limit, v2 or v1; empty when none can be made here.
fs::path MakeGroup(std::string& why) {
    const std::string name = "tarvelin-limit-" + std::to_string(getpid());
    const fs::path v2 = "/sys/fs/cgroup";
    std::error_code e;
    if (fs::exists(v2 / "cgroup.controllers")) {
        const fs::path group = v2 / name;
        if (fs::create_directory(group, e) && Write(group / "memory.max", std::to_string(Limit))) {
            Write(group / "memory.swap.max", "0");
            return group;
        }
        fs::remove(group, e);
    }
    for (const fs::path& v1 : {fs::path("/sys/fs/cgroup/memory"), fs::path("/sys/fs/cgroup")}) {
        if (!fs::exists(v1 / "memory.limit_in_bytes"))
            continue;
        const fs::path group = v1 / name;
        if (fs::create_directory(group, e) &&
            Write(group / "memory.limit_in_bytes", std::to_string(Limit))) {
            Write(group / "memory.memsw.limit_in_bytes", std::to_string(Limit));
            return group;
        }
        fs::remove(group, e);
    }
    why = "no control group with a memory limit can be made here (not root, or no writable "
          "memory controller)";
    return {};
}

// 100 million lines: 1.6 GB of samples, far beyond either limit.
fs::path LargeFile() {
    const fs::path file = fs::temp_directory_path() / "tarvelin-limit-large.txt";
    {
        std::string block;
        for (int i = 0; i < 1 << 20; ++i)
            block += "1\n";
        std::ofstream out(file, std::ios::binary);
        for (int i = 0; i < 96; ++i)
            out << block;
    }
    return file;
}

struct ChildRun {
    int status = 0;
    std::string said;
};

// A mono 16-bit WAV of `frames` frames of silence, its data left as a hole on the disk.
fs::path LongSoundFile(std::uint32_t frames) {
    const fs::path file = fs::temp_directory_path() / "tarvelin-limit-long.wav";
    const std::uint32_t data = frames * 2;
    auto le32 = [](std::uint32_t v) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    };
    std::string header = "RIFF" + le32(36 + data) + "WAVEfmt " + le32(16);
    header += std::string{1, 0, 1, 0} + le32(48000) + le32(96000) + std::string{2, 0, 16, 0};
    header += "data" + le32(data);
    {
        std::ofstream out(file, std::ios::binary);
        out << header;
    }
    fs::resize_file(file, header.size() + data);
    return file;
}

// The child program, started after `limit` has run in the new process.
ChildRun RunLimited(const fs::path& file, const std::function<bool()>& limit,
                    const std::vector<std::string>& more = {}) {
    ChildRun run;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {-1, "no pipe"};
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        if (!limit())
            _exit(20);
        if (more.size() == 2)
            execl(TARVELIN_LIMITED_CHILD, TARVELIN_LIMITED_CHILD, file.c_str(), more[0].c_str(),
                  more[1].c_str(), nullptr);
        else
            execl(TARVELIN_LIMITED_CHILD, TARVELIN_LIMITED_CHILD, file.c_str(), nullptr);
        _exit(21);
    }
    close(pipeEnds[1]);
    char buffer[512];
    ssize_t n;
    while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        run.said.append(buffer, std::size_t(n));
    close(pipeEnds[0]);
    waitpid(child, &run.status, 0);
    return run;
}

// The child run inside `group`, which is taken away afterwards.
ChildRun RunInGroup(const fs::path& group, const fs::path& file,
                    const std::vector<std::string>& more = {}) {
    const ChildRun run = RunLimited(
        file, [&] { return Write(group / "cgroup.procs", std::to_string(getpid())); }, more);
    std::error_code e;
    fs::remove(group, e);
    return run;
}

TEST(MemoryLimit, InASmallControlGroupWhatDoesNotFitIsOutOfMemory) {
    std::string why;
    const fs::path group = MakeGroup(why);
    if (group.empty())
        GTEST_SKIP() << why;
    const fs::path file = LargeFile();
    const ChildRun run = RunInGroup(group, file);
    fs::remove(file);
    ASSERT_TRUE(WIFEXITED(run.status)) << "killed by signal " << WTERMSIG(run.status) << "\n"
                                       << run.said;
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.said;
}

// Every Wave command, Import and Open at 10 and 20 million samples in 512 MiB: each is done
// or says "Out of memory." with the waveform as it was, and the program lives through all.
TEST(MemoryLimit, EveryCommandOnTensOfMillionsOfSamplesIsDoneOrRefused) {
    std::string why;
    const fs::path group = MakeGroup(why);
    if (group.empty())
        GTEST_SKIP() << why;
    const fs::path file = LargeFile(), sound = LongSoundFile(150'000'000);
    const ChildRun run = RunInGroup(group, file, {sound.string(), file.string()});
    fs::remove(file);
    fs::remove(sound);
    ASSERT_TRUE(WIFEXITED(run.status)) << "killed by signal " << WTERMSIG(run.status) << "\n"
                                       << run.said;
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.said;
    EXPECT_NE(run.said.find("Invert at 10000000 samples: done"), std::string::npos) << run.said;
    if (std::getenv("TARVELIN_PRINT_TIMES"))
        std::printf("%s", run.said.c_str());
}

// With the address space limited (prlimit --as), allocations fail outright: the history gives
// way, step by step, before an edit does.
TEST(MemoryLimit, WithLittleAddressSpaceTheHistoryGivesWayFirst) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs far more address space than the limit";
#else
    const fs::path file = LargeFile();
    const ChildRun run = RunLimited(file, [] {
        const rlimit limit{1200000000, 1200000000}; // prlimit --as=1.2G
        return setrlimit(RLIMIT_AS, &limit) == 0;
    });
    fs::remove(file);
    ASSERT_TRUE(WIFEXITED(run.status)) << "killed by signal " << WTERMSIG(run.status) << "\n"
                                       << run.said;
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.said;
#endif
}

} // namespace
