#include <gtest/gtest.h>

#include "app/NewDataDialog.h"

namespace {

TEST(NewDataDialog, CountRules) {
    for (const char* zero :
         {"0", "", "   ", "-5", "abc", "12abc", "+7", "4294967296", "99999999999", "  12 ", "12\t"})
        EXPECT_EQ(CheckDataCount(zero).message, "Data count canot be 0!") << zero;
    EXPECT_EQ(CheckDataCount("3000000000").message,
              "Please enter an integer between 1 and 2147483647.");
    EXPECT_EQ(CheckDataCount("4294967295").message,
              "Please enter an integer between 1 and 2147483647.");
    for (auto [text, value] : {std::pair("256", 256u), std::pair("  12", 12u),
                               std::pair("2147483647", 2147483647u), std::pair("007", 7u)}) {
        const DataCountCheck c = CheckDataCount(text);
        EXPECT_TRUE(c.ok) << text;
        EXPECT_EQ(c.value, value);
    }
}

} // namespace
