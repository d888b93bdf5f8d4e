#pragma once
// A device-dependent bitmap as the framework hands it out: a handle that copies share.

#include <cstddef>
#include <memory>

#include "platform/Types.h"

struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 0;
    WORD bmBitsPixel = 0;
    const void* bmBits = nullptr;
};

class CDC;
struct BitmapData;

class CBitmap {
public:
    CBitmap();
    virtual ~CBitmap();
    CBitmap(const CBitmap&);
    CBitmap& operator=(const CBitmap&);

    // Bits per pixel 1, 8, 16, 24 or 32 with one plane; rows of `bits` are word-aligned.
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    // Like CreateBitmap, with rows `bm.bmWidthBytes` apart in `bm.bmBits`.
    BOOL CreateBitmapIndirect(const BITMAP* bm);
    // Colour bitmap in the screen's format (32 bits), initially black.
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    BOOL DeleteObject();

    bool IsNull() const { return data == nullptr; }
    int GetObject(BITMAP* bm) const;
    CSize GetSize() const;
    // Word-aligned rows, as the framework returns them; returns the bytes copied.
    long GetBitmapBits(std::size_t count, void* bits) const;
    std::size_t BitsSize() const;
    COLORREF GetPixel(int x, int y) const;

    // Platform-internal access for device contexts.
    const std::shared_ptr<BitmapData>& Data() const { return data; }

    static LONG WidthBytes(LONG width, int bitsPerPixel);

protected:
    std::shared_ptr<BitmapData> data;
};
