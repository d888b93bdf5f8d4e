// libFuzzer's entry for one target, named at build time.
#include <QApplication>
#include <cstdlib>

#include "tests/fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication app(*argc, *argv); // fonts and images for painting
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RunFuzzTarget(TARVELIN_FUZZ_TARGET, data, size);
    return 0;
}
