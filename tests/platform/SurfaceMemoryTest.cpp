#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>

#include "platform/SurfaceMemory.h"

namespace {

// Every pixel of the runs, one row and column at a time.
std::set<std::pair<int, int>> RunPixels(const SurfaceMemory& m) {
    std::set<std::pair<int, int>> pixels;
    m.ForEachRun([&](int x0, int x1, int y) {
        for (int x = x0; x <= x1; ++x)
            EXPECT_TRUE(pixels.insert({x, y}).second) << "runs overlap at " << x << "," << y;
    });
    return pixels;
}

TEST(SurfaceMemory, RunsCoverTheCellsOfEveryMarkCutToTheRectangle) {
    SurfaceMemory m;
    const CRect rect(5, 3, 203, 40); // neither end on a cell boundary
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        m.Remember(rect, 0xFF00FF);
        std::set<std::pair<int, int>> cells; // (cell, row) that must be rewritten
        auto expect = [&](long long x0, long long x1, long long y) {
            for (long long x = x0; x <= x1; ++x)
                if (x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom)
                    cells.insert({int(x >> SurfaceMemory::CellShift), int(y)});
        };
        for (int k = 0; k < 6; ++k) {
            const int x0 = int(random() % 240) - 20, w = int(random() % 150),
                      y = int(random() % 50);
            switch (random() % 3) {
            case 0:
                m.Mark(x0, x0 + w, y);
                expect(x0, x0 + w, y);
                break;
            case 1:
                m.MarkColumn(x0, y - w / 3, y);
                for (int r = y - w / 3; r <= y; ++r)
                    expect(x0, x0, r);
                break;
            default:
                m.MarkRect(x0, y - 5, x0 + w, y);
                for (int r = y - 5; r < y; ++r)
                    expect(x0, x0 + w - 1, r);
            }
        }
        std::set<std::pair<int, int>> wanted;
        for (auto [cell, y] : cells)
            for (int x = cell << SurfaceMemory::CellShift;
                 x < (cell + 1) << SurfaceMemory::CellShift; ++x)
                if (x >= rect.left && x < rect.right)
                    wanted.insert({x, y});
        EXPECT_EQ(RunPixels(m), wanted) << "round " << round;
    }
}

TEST(SurfaceMemory, FarMarksAndAForgottenSurface) {
    SurfaceMemory m;
    const CRect rect(0, 0, 1000, 4);
    m.Remember(rect, 1);
    m.MarkRect(-(1ll << 40), 2, 1ll << 40, 3); // one whole row, from far ends
    m.Mark(-5, -1, 1);                         // left of the rectangle
    m.MarkColumn(999, -1000000, 1000000);      // the last column, every row
    std::set<std::pair<int, int>> pixels = RunPixels(m);
    EXPECT_EQ(pixels.size(), 1000u + 3 * 8); // the row, and the last cell (992..999) of three more
    EXPECT_TRUE(m.Remembers(rect, 1));
    EXPECT_FALSE(m.Remembers(rect, 2));
    EXPECT_FALSE(m.Remembers(CRect(0, 0, 1000, 5), 1));
    m.Forget();
    EXPECT_FALSE(m.Remembers(rect, 1));
    m.Remember(rect, 1); // nothing written since
    EXPECT_TRUE(RunPixels(m).empty());
}

} // namespace
