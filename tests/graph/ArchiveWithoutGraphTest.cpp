// A program that reads chart archives and never makes a graph: no class needs registering by
// hand, and the lookup may be asked from several threads at once.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "graph/objects/PlotObject.h"
#include "platform/Archive.h"

namespace {

std::vector<std::uint8_t> Bytes(const char* file) {
    std::ifstream in(std::string(TARVELIN_TEST_DATA "/archives/") + file, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
}

TEST(ArchiveWithoutGraph, EveryClassIsFoundTheFirstTimeItIsAskedFor) {
    const struct {
        const char* file;
        const char* name;
    } records[] = {{"notation.bin", "CPlotDataNotation"},
                   {"bitmap.bin", "CPlotBitmap"},
                   {"logaxis.bin", "CPlotLogAxis"},
                   {"bitmapex.bin", "CBitmapEx"}};
    std::vector<std::thread> readers;
    std::vector<std::string> found(4 * 4);
    for (int t = 0; t < 4; ++t)
        readers.emplace_back([&, t] {
            for (int i = 0; i < 4; ++i) {
                CMemFile memory(Bytes(records[i].file));
                CArchive ar(&memory, CArchive::load);
                try {
                    const std::shared_ptr<CObject> object = ar.ReadObject();
                    found[std::size_t(t * 4 + i)] =
                        object ? object->GetRuntimeClass()->className : "null";
                } catch (const CArchiveException& e) {
                    found[std::size_t(t * 4 + i)] = e.what();
                }
            }
        });
    for (std::thread& t : readers)
        t.join();
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(found[std::size_t(t * 4 + i)], records[i].name);
    EXPECT_TRUE(RUNTIME_CLASS(CPlotObject)->IsDerivedFrom(RUNTIME_CLASS(CObject)));
}

} // namespace
