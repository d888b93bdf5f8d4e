// Objects read from an archive join a graph and paint there.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "graph/ArchiveClasses.h"
#include "graph/axes/PlotLogAxis.h"
#include "graph/objects/PlotBitmap.h"
#include "graph/objects/PlotDataNotation.h"
#include "tests/graph/GraphFixture.h"
#include "tests/support/ArchiveBytes.h"

namespace {

Bytes Archived(const CObject& object) {
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    ar.WriteObject(&object);
    return file.Bytes();
}

TEST(LoadedObjects, ALabelANotationAndABitmapComeThroughAnArchiveIntoAGraph) {
    GraphFixture g;
    g.Load(Samples({0, 5, 10}));
    g.plot.legendVisible = false;
    g.PaintAndFreeze();

    CPlotLabel label;
    label.text = "loaded";
    label.rectangle = CRect(40, 40, 140, 80);
    CPlotDataNotation notation;
    notation.text = "peak";
    notation.point = {2, 10};
    notation.rectangle = CRect(200, 100, 260, 130);
    CBitmapEx picture;
    const std::uint32_t red[4] = {0x00FF0000, 0x00FF0000, 0x00FF0000, 0x00FF0000};
    picture.CreateBitmap(2, 2, 1, 32, red);
    CPlotBitmap bitmap;
    bitmap.image = &picture;
    bitmap.rectangle = CRect(300, 200, 340, 240);

    for (const CPlotObject* source :
         std::initializer_list<const CPlotObject*>{&label, &notation, &bitmap}) {
        CMemFile file(Archived(*source));
        CArchive ar(&file, CArchive::load);
        std::shared_ptr<CPlotObject> loaded = ReadPlotObject(ar);
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->graph, nullptr);
        CPlotObject* added = g.plot.AddObject(loaded);
        EXPECT_EQ(added, loaded.get());
        EXPECT_EQ(added->graph, &g.plot);
        EXPECT_EQ(g.plot.AddObject(loaded), added); // once only
    }
    EXPECT_EQ(g.plot.Objects().size(), 4u); // the readout label and the three
    g.Paint();
    std::unique_ptr<CDC> dc = g.plot.GetDC();
    EXPECT_EQ(dc->GetPixel(320, 220), RGB(255, 0, 0)); // the picture
    EXPECT_EQ(dc->GetPixel(300, 200), RGB(0, 0, 0));   // its frame
    int inked = 0;
    for (int y = 40; y < 80; ++y)
        for (int x = 40; x < 140; ++x)
            inked += dc->GetPixel(x, y) != RGB(240, 240, 240);
    EXPECT_GT(inked, 20) << "the label's text";
}

// Writes the archives that the program-level test reads (run by hand after a format change).
TEST(LoadedObjects, DISABLED_WriteArchiveFiles) {
    const std::filesystem::path dir = TARVELIN_TEST_DATA "/archives";
    std::filesystem::create_directories(dir);
    auto write = [&](const char* name, const CObject& object) {
        const Bytes bytes = Archived(object);
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    };
    CPlotDataNotation notation;
    notation.text = "peak";
    write("notation.bin", notation);
    CBitmapEx picture;
    const std::uint32_t pixels[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF};
    picture.CreateBitmap(2, 2, 1, 32, pixels);
    CPlotBitmap bitmap;
    bitmap.image = &picture;
    write("bitmap.bin", bitmap);
    write("bitmapex.bin", picture);
    CPlotLogAxis axis;
    write("logaxis.bin", axis);

    // Seeds of the chart fuzzer: eight bytes of settings, a series, two axes, some objects.
    const std::filesystem::path seeds = TARVELIN_TEST_DATA "/corpus/chart";
    std::filesystem::create_directories(seeds);
    std::vector<DataPoint> sine;
    for (int i = 0; i <= 100; ++i)
        sine.push_back({double(i), std::sin(i * 0.0628)});
    const std::uint8_t settings[][8] = {{60, 50, 0, 128, 128, 0, 4, 0},
                                        {100, 80, 6, 128, 250, 4, 5, 0},
                                        {20, 20, 10, 0, 255, 6, 0, 0}};
    for (int k = 0; k < 3; ++k) {
        CMemFile file;
        CArchive ar(&file, CArchive::store);
        CPlotDataSeries series;
        series.SetPoints(sine.data(), int(sine.size()), true);
        series.showMarkers = k == 1;
        series.markerMode = 1;
        series.filled = k == 2;
        series.Serialize(ar);
        CPlotAxis x, y;
        x.orientation = CPlotAxis::Horizontal;
        y.orientation = CPlotAxis::Vertical;
        x.SetRange(0, 100);
        y.SetRange(-1, 1);
        x.Serialize(ar);
        y.Serialize(ar);
        CPlotLabel label;
        label.text = "label";
        label.rectangle = CRect(20, 20, 120, 60);
        ar.WriteObject(&label);
        if (k > 0) {
            ar.WriteObject(&notation);
            ar.WriteObject(&bitmap);
        }
        Bytes bytes(settings[k], settings[k] + 8);
        bytes.insert(bytes.end(), file.Bytes().begin(), file.Bytes().end());
        std::ofstream(seeds / ("seed-" + std::to_string(k)), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
}

} // namespace
