#pragma once
// The suite keeps no speed goals (scripts/bench.sh does): a time limit here only tells a hang,
// or work that grows with what cannot be seen, from a machine that is busy with other work.

#include <chrono>
#include <cstdio>
#include <cstdlib>

// Sanitizers and debug builds run many times slower and get room in proportion.
#if defined(__SANITIZE_ADDRESS__) || !defined(NDEBUG)
constexpr double TimeScale = 20;
#else
constexpr double TimeScale = 1;
#endif

// The limit for work that takes `quietSeconds` in an optimised build on a quiet machine.
constexpr double HangGuard(double quietSeconds) {
    return 20 * quietSeconds * TimeScale;
}

// TARVELIN_PRINT_TIMES=1 prints each figure, to set a guard from.
template <class Work> double SecondsOf(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const double s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (std::getenv("TARVELIN_PRINT_TIMES"))
        std::fprintf(stderr, "%.4f s\n", s);
    return s;
}
