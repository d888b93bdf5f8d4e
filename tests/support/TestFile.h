#pragma once
// A file name in the temporary folder of this test's own: seed and test name keep runs and
// tests apart.

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

inline std::filesystem::path TestFilePath(const std::string& prefix,
                                          const std::string& suffix = "") {
    const testing::UnitTest& test = *testing::UnitTest::GetInstance();
    return std::filesystem::temp_directory_path() /
           (prefix + std::to_string(test.random_seed()) + "-" + test.current_test_info()->name() +
            suffix);
}
