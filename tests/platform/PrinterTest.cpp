#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/Printer.h"

namespace {

TEST(Printer, OnePageDocumentAtThePrinterResolution) {
    const auto path = std::filesystem::temp_directory_path() / "tarvelin-printer-test.pdf";
    std::filesystem::remove(path);
    {
        CPrinterDC dc(path.string(), 600);
        EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 600);
        EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), 600);
        EXPECT_GT(dc.GetDeviceCaps(HORZRES), 4000); // a page is several inches wide
        EXPECT_GT(dc.GetDeviceCaps(VERTRES), dc.GetDeviceCaps(HORZRES));
        EXPECT_EQ(dc.StartDoc("Graph"), 1);
        EXPECT_EQ(dc.StartPage(), 1);
        dc.SelectObject(CPen(PS_SOLID, 6, RGB(0, 0, 0)));
        dc.MoveTo(100, 100);
        dc.LineTo(3000, 2000);
        dc.Rectangle(200, 200, 800, 600);
        dc.TextOut(300, 300, "Graph");
        EXPECT_EQ(dc.EndPage(), 1);
        EXPECT_EQ(dc.EndDoc(), 1);
    }
    std::ifstream in(path, std::ios::binary);
    std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
    EXPECT_NE(pdf.find("/Count 1"), std::string::npos);
    using namespace std::string_literals;
    EXPECT_NE(pdf.find("/Title (\xFE\xFF\0G\0r\0a\0p\0h)"s), std::string::npos);
    std::filesystem::remove(path);
}

} // namespace
