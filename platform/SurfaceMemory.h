#pragma once
// Platform-internal: what a window surface holds of a few rectangles once filled, each with
// its colour, at once. Every context on the surface marks the pixels it writes over them.
// When the next paint fills the same rectangles with the same colours again, nothing is
// written at first: the pixels the last paint drew become stale, and only those that this
// paint does not draw again are cleared, once it ends (or sooner, where something is drawn
// that lets them show through). A repaint of a picture that hardly changed then writes each
// pixel it draws once, and nothing else.

#include <QImage>
#include <QRgb>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/Types.h"

class SurfaceMemory {
public:
    // The picture the marks speak of; a new one is remembered nowhere.
    void SetSurface(QImage* picture);
    // The surface may have changed anywhere.
    void Forget() { valid = false; }
    // A rectangle and its colour; where they overlap, the later one shows.
    struct Part {
        CRect rect;
        QRgb colour;
        bool operator==(const Part& o) const { return rect == o.rect && colour == o.colour; }
    };
    bool Remembers(const std::vector<Part>& filled) const { return valid && filled == parts; }
    // The parts, none empty, were just filled.
    void Remember(const std::vector<Part>& filled);
    // The remembered parts are filled again: what was drawn over them is stale from now.
    void FillAgain();

    // Pixels x0..x1 of row y are overwritten.
    void Mark(int x0, int x1, int y);
    // Pixels y0..y1 of column x are overwritten.
    void MarkColumn(int x, int y0, int y1);
    // The pixels of row y at x + k, or of column x at y + k, for each bit k set in `bits`:
    // a styled line's 64 steps at a time.
    void MarkRowBits(int y, int x, std::uint64_t bits);
    void MarkColumnBits(int x, int y, std::uint64_t bits);
    // Everything within l..r-1, t..b-1 is overwritten.
    void MarkRect(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b);
    // Something is drawn within l..r-1, t..b-1 that may let what is underneath show: the stale
    // pixels there are cleared first.
    void Uncover(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b);
    // The paint is over: every stale pixel not drawn again is cleared.
    void Settle();

    // How many pixels are stale and not drawn again (for tests).
    long long Pending() const;

private:
    // `bits` from `at` cut to `size` places from 0; `at` becomes the first kept place.
    static std::uint64_t CutBits(int& at, int size, std::uint64_t bits);
    bool Cut(std::int64_t& l, std::int64_t& t, std::int64_t& r, std::int64_t& b) const;
    // The pixels of columns c0..c1 and rows r0..r1 (inclusive, from the rectangle's corner)
    // in every tile they touch: f(word, bits).
    template <class F> void Tiles(int c0, int c1, int r0, int r1, F f);
    // Where the marks of tile (tx, ty) are kept.
    std::size_t Word(int tx, int ty) const {
        return std::size_t(tx) * std::size_t(tilesDown) + std::size_t(ty);
    }
    // Writes the colour of the part that shows there to the pixels of `bits` in tile `word`;
    // a pixel that no part holds keeps what it has.
    void ClearStale(std::uint64_t bits, std::size_t word);

    QImage* surface = nullptr;
    bool valid = false;
    bool anyStale = false;
    std::vector<Part> parts;
    CRect rect; // around all the parts
    // Tiles of 8 x 8 pixels, a word each (row by row, a byte to a row), stored column of
    // tiles by column of tiles: a vertical line marks a word per 8 rows, all of them close
    // together; a horizontal line a word per 8 columns.
    int tilesDown = 0;
    std::vector<std::uint64_t> drawn, stale;
    // A bit for each 8 words (a cache line) of `drawn` and `stale` that may hold marks: the
    // end of a paint visits those alone, not the whole window's marks.
    std::vector<std::uint64_t> drawnLines, staleLines;
    void Touch(std::size_t word) { drawnLines[word >> 9] |= std::uint64_t(1) << (word >> 3 & 63); }
    void Set(std::size_t word, std::uint64_t bits) {
        drawn[word] |= bits;
        Touch(word);
    }
};
