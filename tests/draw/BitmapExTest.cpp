#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "draw/BitmapEx.h"
#include "platform/DC.h"
#include "tests/support/ArchiveBytes.h"

namespace {

Bytes Header(std::int32_t w, std::int32_t h, std::int32_t wb, std::uint16_t planes,
             std::uint16_t bpp) {
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    ar << std::int32_t(0) << w << h << wb << planes << bpp;
    return file.Bytes();
}

TEST(BitmapEx, RoundTripKeepsSizeDepthAndPixels) {
    CBitmapEx source;
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    ASSERT_TRUE(source.CreateCompatibleBitmap(&dc, 5, 3));
    dc.SelectObject(source);
    dc.FillSolidRect(CRect(0, 0, 5, 3), RGB(10, 20, 30));
    dc.SetPixel(4, 2, RGB(200, 100, 50));
    dc.SelectObject(CBitmap());

    Bytes record = StoreRecord(source);
    ASSERT_EQ(record.size(), 20u + 5 * 4 * 3);
    EXPECT_EQ(record[4], 5);   // width
    EXPECT_EQ(record[8], 3);   // height
    EXPECT_EQ(record[12], 20); // bytes per scan line
    EXPECT_EQ(record[16], 1);  // planes
    EXPECT_EQ(record[18], 32); // bits per pixel
    EXPECT_EQ(record[20], 30); // blue, green, red, unused
    EXPECT_EQ(record[23], 0);

    CBitmapEx copy;
    LoadRecord(copy, record);
    BITMAP bm;
    ASSERT_TRUE(copy.GetObject(&bm));
    EXPECT_EQ(bm.bmWidth, 5);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(copy.GetPixel(4, 2), RGB(200, 100, 50));
    EXPECT_EQ(copy.GetPixel(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(StoreRecord(copy), record);
}

TEST(BitmapEx, MonochromeRowsAreWordAligned) {
    const std::uint8_t bits[] = {0xA0, 0x00, 0x50, 0x00}; // 3 x 2, two bytes a row
    CBitmapEx mono;
    ASSERT_TRUE(mono.CreateBitmap(3, 2, 1, 1, bits));
    Bytes record = StoreRecord(mono);
    ASSERT_EQ(record.size(), 20u + 4);
    EXPECT_EQ(record[12], 2);
    CBitmapEx back;
    LoadRecord(back, record);
    EXPECT_EQ(back.GetPixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(back.GetPixel(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(back.GetPixel(1, 1), RGB(255, 255, 255));
}

TEST(BitmapEx, SixteenColourRecordsReadAndWriteBack) {
    // 3 x 2, two pixels a byte with the left one high, rows padded to two bytes.
    Bytes record = Header(3, 2, 2, 1, 4);
    record.insert(record.end(), {0x9C, 0xF0, 0x07, 0x10});
    CBitmapEx image;
    LoadRecord(image, record);
    ASSERT_EQ(image.GetSize(), CSize(3, 2));
    EXPECT_EQ(image.GetPixel(0, 0), RGB(255, 0, 0));     // 9
    EXPECT_EQ(image.GetPixel(1, 0), RGB(0, 0, 255));     // 12
    EXPECT_EQ(image.GetPixel(2, 0), RGB(255, 255, 255)); // 15
    EXPECT_EQ(image.GetPixel(1, 1), RGB(192, 192, 192)); // 7
    EXPECT_EQ(image.GetPixel(2, 1), RGB(128, 0, 0));     // 1
    EXPECT_EQ(StoreRecord(image), record) << "the same bits come back";
}

TEST(BitmapEx, LoadingReplacesTheHeldBitmap) {
    CBitmapEx image;
    image.CreateBitmap(8, 8, 1, 32, nullptr);
    CBitmap other = image; // a second handle sees the old bitmap live on
    Bytes small = Header(2, 1, 4, 1, 16);
    small.insert(small.end(), {0x1F, 0x00, 0x00, 0x7C});
    LoadRecord(image, small);
    EXPECT_EQ(image.GetSize(), CSize(2, 1));
    EXPECT_EQ(image.GetPixel(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(image.GetPixel(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(other.GetSize(), CSize(8, 8));
    LoadRecord(image, Header(0, 0, 0, 0, 0));
    EXPECT_TRUE(image.IsNull());
}

// Every file of the corpus is a malformed record that must fail cleanly.
TEST(BitmapEx, MalformedRecordsAreArchiveErrors) {
    const std::vector<Bytes> cases = {
        Header(-1, 4, 4, 1, 32),
        Header(4, -1, 16, 1, 32),
        Header(4, 4, -16, 1, 32),
        Header(0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 1, 32), // product overflows
        Header(1000, 1000, 4000, 1, 32),                   // pixels missing
        Header(4, 1, 2, 1, 32),                            // scan line too short
        Header(1, 1, 4, 0, 32),                            // no planes
        Header(1, 1, 4, 1, 7),                             // no such depth
        Bytes{0, 0, 0},
    };
    std::vector<Bytes> all = cases;
    for (const auto& entry : std::filesystem::directory_iterator(TARVELIN_TEST_DATA "/bitmaps")) {
        std::ifstream in(entry.path(), std::ios::binary);
        all.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ASSERT_GT(all.size(), cases.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        CBitmapEx image;
        image.CreateBitmap(2, 2, 1, 32, nullptr);
        EXPECT_THROW(LoadRecord(image, all[i]), CArchiveException) << i;
    }
}

} // namespace
