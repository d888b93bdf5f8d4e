// A program that names none of the chart's object classes, as the editor does, still reads
// every one of them from an archive.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "graph/Plot.h"

namespace {

TEST(ArchiveClasses, EveryClassIsKnownByNameToAProgramThatNamesNone) {
    CPlot graph; // what the editor holds
    for (const auto& [file, name] :
         {std::pair("notation.bin", "CPlotDataNotation"), std::pair("bitmap.bin", "CPlotBitmap"),
          std::pair("logaxis.bin", "CPlotLogAxis"), std::pair("bitmapex.bin", "CBitmapEx")}) {
        std::ifstream in(std::string(TARVELIN_TEST_DATA "/archives/") + file, std::ios::binary);
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
        ASSERT_FALSE(bytes.empty()) << file;
        CMemFile memory(std::move(bytes));
        CArchive ar(&memory, CArchive::load);
        std::shared_ptr<CObject> object;
        EXPECT_NO_THROW(object = ar.ReadObject()) << name;
        ASSERT_NE(object, nullptr) << name;
        EXPECT_STREQ(object->GetRuntimeClass()->className, name);
        EXPECT_NE(CRuntimeClass::FromName(name), nullptr);
    }
}

} // namespace
