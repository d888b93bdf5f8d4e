// Paint after paint over a remembered fill, against the same paints over a fresh fill.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <random>
#include <vector>

#include "platform/SurfaceMemory.h"

namespace {

constexpr QRgb Fill = 0xFF20A040;

struct Painter {
    QImage& image;
    SurfaceMemory* memory;
    void Put(int x, int y, QRgb c) {
        if (image.valid(x, y))
            image.setPixel(x, y, c);
    }
    // Wholly written: marked as overwritten.
    void Row(int x0, int x1, int y, QRgb c) {
        if (memory)
            memory->Mark(x0, x1, y);
        for (int x = x0; x <= x1; ++x)
            Put(x, y, c);
    }
    void Column(int x, int y0, int y1, QRgb c) {
        if (memory)
            memory->MarkColumn(x, y0, y1);
        for (int y = y0; y <= y1; ++y)
            Put(x, y, c);
    }
    void Rect(long long l, long long t, long long r, long long b, QRgb c) {
        if (memory)
            memory->MarkRect(l, t, r, b);
        for (long long y = std::max(t, 0ll); y < std::min<long long>(b, image.height()); ++y)
            for (long long x = std::max(l, 0ll); x < std::min<long long>(r, image.width()); ++x)
                Put(int(x), int(y), c);
    }
    // Written in part: what is underneath shows between.
    void Checks(int l, int t, int r, int b, QRgb c) {
        if (memory)
            memory->Uncover(l, t, r, b);
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                if ((x + y) % 2)
                    Put(x, y, c);
    }
};

TEST(SurfaceMemory, RepaintsOverARememberedFillGiveWhatAFreshFillGives) {
    // Neither end on a word of the marks; a part over another, and a gap no part fills.
    const std::vector<SurfaceMemory::Part> parts = {{CRect(5, 3, 203, 45), Fill},
                                                    {CRect(60, 10, 141, 31), 0xFF8080F0},
                                                    {CRect(150, 46, 209, 50), 0xFFF0F040}};
    QImage kept(210, 50, QImage::Format_RGB32), fresh(210, 50, QImage::Format_RGB32);
    kept.fill(0xFF000000u);
    SurfaceMemory memory;
    memory.SetSurface(&kept);
    std::mt19937 random(11);
    for (int paint = 0; paint < 60; ++paint) {
        fresh = kept.copy();
        for (const SurfaceMemory::Part& part : parts)
            for (int y = part.rect.top; y < part.rect.bottom; ++y)
                for (int x = part.rect.left; x < part.rect.right; ++x)
                    fresh.setPixel(x, y, part.colour);
        if (memory.Remembers(parts)) {
            memory.FillAgain();
        } else {
            kept = fresh.copy();
            memory.Remember(parts);
        }
        Painter onKept{kept, &memory}, onFresh{fresh, nullptr};
        const int ops = int(random() % 12);
        for (int k = 0; k < ops; ++k) {
            const QRgb c = 0xFF000000u | QRgb(random() & 0xFFFFFF);
            const int x = int(random() % 240) - 20, y = int(random() % 70) - 10;
            const int w = int(random() % 120), h = int(random() % 30);
            const bool far = random() % 4 == 0;
            for (Painter* p : {&onKept, &onFresh})
                switch (k % 4) {
                case 0:
                    p->Row(x, x + w, y, c);
                    break;
                case 1:
                    p->Column(x, y, y + h, c);
                    break;
                case 2:
                    if (far)
                        p->Rect(-(1ll << 40), y, x, 1ll << 40, c);
                    else
                        p->Rect(x, y, x + w / 4, y + h, c);
                    break;
                default:
                    p->Checks(x, y, x + w / 3, y + h, c);
                }
        }
        memory.Settle();
        EXPECT_EQ(memory.Pending(), 0);
        ASSERT_EQ(kept, fresh) << "paint " << paint;
    }
}

TEST(SurfaceMemory, RemembersOnlyWhatLiesOnItsPicture) {
    using Parts = std::vector<SurfaceMemory::Part>;
    QImage picture(100, 40, QImage::Format_RGB32);
    SurfaceMemory memory;
    memory.Remember({{CRect(0, 0, 10, 10), Fill}});
    EXPECT_FALSE(memory.Remembers({{CRect(0, 0, 10, 10), Fill}})) << "no picture yet";
    memory.SetSurface(&picture);
    memory.Remember({{CRect(0, 0, 10, 10), Fill}, {CRect(90, 0, 101, 10), Fill}});
    EXPECT_FALSE(memory.Remembers({{CRect(0, 0, 10, 10), Fill}, {CRect(90, 0, 101, 10), Fill}}))
        << "wider than the picture";
    const Parts whole = {{CRect(0, 0, 100, 20), Fill}, {CRect(0, 20, 100, 40), Fill + 1}};
    memory.Remember(whole);
    EXPECT_TRUE(memory.Remembers(whole));
    EXPECT_FALSE(memory.Remembers({whole[1], whole[0]})) << "another order";
    EXPECT_FALSE(memory.Remembers({whole[0]})) << "fewer";
    memory.Mark(3, 90, 5);
    memory.FillAgain();
    EXPECT_EQ(memory.Pending(), 88);
    memory.Forget();
    EXPECT_FALSE(memory.Remembers(whole));
}

} // namespace
