#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/CSourceExport.h"

namespace {

std::string Export(const std::vector<double>& ys, ExportForm form) {
    std::vector<DataPoint> points;
    for (double y : ys)
        points.push_back({99, y});
    std::string text;
    EXPECT_TRUE(ExportCSource(
        [&](const char* p, std::size_t n) {
            text.append(p, n);
            return true;
        },
        points.data(), points.size(), form));
    return text;
}

std::vector<double> Range(int n) {
    std::vector<double> ys;
    for (int i = 1; i <= n; ++i)
        ys.push_back(i);
    return ys;
}

TEST(CSourceExport, IntegerFormTenToALine) {
    EXPECT_EQ(Export({1.2, 2.5, -0.7}, ExportForm::Integer),
              "\r\nconst int Waveform[3] = {\r\n\t1, 3, 0\r\n};\r\n");
    EXPECT_EQ(Export(Range(10), ExportForm::Integer),
              "\r\nconst int Waveform[10] = {\r\n\t1, 2, 3, 4, 5, 6, 7, 8, 9, 10\r\n};\r\n");
    EXPECT_EQ(
        Export(Range(11), ExportForm::Integer),
        "\r\nconst int Waveform[11] = {\r\n\t1, 2, 3, 4, 5, 6, 7, 8, 9, 10,\r\n\t11\r\n};\r\n");
    EXPECT_EQ(Export(Range(20), ExportForm::Integer),
              "\r\nconst int Waveform[20] = {\r\n\t1, 2, 3, 4, 5, 6, 7, 8, 9, 10,\r\n"
              "\t11, 12, 13, 14, 15, 16, 17, 18, 19, 20\r\n};\r\n");
    EXPECT_EQ(Export({}, ExportForm::Integer), "\r\nconst int Waveform[0] = {\r\n\t};\r\n");
}

TEST(CSourceExport, FloatFormOneToALineEachWithItsComma) {
    EXPECT_EQ(Export({1.2, -2.5, 1234.5678901}, ExportForm::Float),
              "\r\nconst float Waveform[3] = {\r\n\t1.200000,\r\n\t-2.500000,\r\n"
              "\t1234.567890,\r\n};\r\n");
    EXPECT_EQ(Export({}, ExportForm::Float), "\r\nconst float Waveform[0] = {\r\n};\r\n");
}

TEST(CSourceExport, IntegerConversionAddsAHalfAndTruncates) {
    const std::pair<double, int> cases[] = {{2.5, 3},   {2.4, 2},         {-0.5, 0},  {-1.4, 0},
                                            {-1.5, -1}, {-2.4, -1},       {-2.6, -2}, {0.0, 0},
                                            {-0.0, 0},  {1e9, 1000000000}};
    for (auto [y, v] : cases)
        EXPECT_EQ(ExportInteger(y), v) << y;
}

TEST(CSourceExport, IntegerOutOfRangeSaturates) {
    EXPECT_EQ(ExportInteger(2147483646.6), 2147483647);
    EXPECT_EQ(ExportInteger(2147483647.5), 2147483647);
    EXPECT_EQ(ExportInteger(1e300), 2147483647);
    EXPECT_EQ(ExportInteger(-2147483648.4), -2147483647);
    EXPECT_EQ(ExportInteger(-2147483649.0), -2147483648);
    EXPECT_EQ(ExportInteger(-1e300), -2147483648);
    EXPECT_EQ(Export({1e300, -1e300}, ExportForm::Integer),
              "\r\nconst int Waveform[2] = {\r\n\t2147483647, -2147483648\r\n};\r\n");
}

TEST(CSourceExport, ReportsAFailingSink) {
    std::vector<DataPoint> points(3, DataPoint{0, 1});
    EXPECT_FALSE(ExportCSource([](const char*, std::size_t) { return false; }, points.data(),
                               points.size(), ExportForm::Float));
}

} // namespace
