#pragma once
// Runs a shell command for a test and keeps what it printed; reads a file whole.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

struct ShellRun {
    int status = -1; // the exit status, or -1 when killed
    std::string out;
};

// `command` as the shell runs it; `errors` is appended (" 2>&1" keeps them with the output).
inline ShellRun Shell(const std::string& command, const std::string& errors = " 2>&1") {
    ShellRun r;
    FILE* pipe = popen((command + errors).c_str(), "r");
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        r.out.append(buffer, n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

inline std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
