#include "draw/BitmapEx.h"

#include <vector>

IMPLEMENT_SERIAL(CBitmapEx, CObject, 1)

void CBitmapEx::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        BITMAP bm;
        if (!GetObject(&bm))
            bm = BITMAP{}; // an empty bitmap stores a header of zeros
        ar << std::int32_t(bm.bmType) << std::int32_t(bm.bmWidth) << std::int32_t(bm.bmHeight)
           << std::int32_t(bm.bmWidthBytes) << std::uint16_t(bm.bmPlanes)
           << std::uint16_t(bm.bmBitsPixel);
        const std::size_t size = BitsSize();
        if (size) {
            std::vector<unsigned char> bits(size);
            GetBitmapBits(size, bits.data());
            ar.Write(bits.data(), size);
        }
        return;
    }

    std::int32_t type, width, height, widthBytes;
    std::uint16_t planes, bitsPixel;
    ar >> type >> width >> height >> widthBytes >> planes >> bitsPixel;
    if (width < 0 || height < 0 || widthBytes < 0)
        throw CArchiveException(CArchiveException::genericException,
                                "bitmap with a negative size in archive");
    const std::int64_t size = std::int64_t(widthBytes) * height;
    if (size > INT32_MAX)
        throw CArchiveException(CArchiveException::genericException, "bitmap too large in archive");
    ar.Require(std::uint64_t(size));
    if (width == 0 || height == 0) {
        std::vector<unsigned char> skip(static_cast<std::size_t>(size));
        ar.Read(skip.data(), skip.size());
        DeleteObject();
        return;
    }
    const std::int64_t rowBytes = (std::int64_t(width) * bitsPixel + 7) / 8;
    if (planes != 1 || rowBytes > widthBytes)
        throw CArchiveException(CArchiveException::genericException,
                                "bitmap with inconsistent planes or scan lines in archive");
    std::vector<unsigned char> bits(static_cast<std::size_t>(size));
    ar.Read(bits.data(), bits.size());
    BITMAP bm;
    bm.bmType = type;
    bm.bmWidth = width;
    bm.bmHeight = height;
    bm.bmWidthBytes = widthBytes;
    bm.bmPlanes = planes;
    bm.bmBitsPixel = bitsPixel;
    bm.bmBits = bits.data();
    CBitmap loaded;
    if (!loaded.CreateBitmapIndirect(&bm))
        throw CArchiveException(CArchiveException::genericException,
                                "bitmap of an unsupported format in archive");
    CBitmap::operator=(loaded); // the old bitmap, if any, is released
}
