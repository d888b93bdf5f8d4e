#include "platform/Bitmap.h"

#include <algorithm>
#include <cstring>

#include "platform/BitmapData.h"

namespace {

QImage::Format FormatFor(int bpp) {
    switch (bpp) {
    case 1:
        return QImage::Format_Mono;
    case 4: // one colour index a byte here; packed two to a byte in the device bits
    case 8:
        return QImage::Format_Indexed8;
    case 16:
        return QImage::Format_RGB555;
    case 24:
        return QImage::Format_BGR888;
    case 32:
        return QImage::Format_RGB32;
    default:
        return QImage::Format_Invalid;
    }
}

void SetColourTable(QImage& img, int bpp) {
    QList<QRgb> table;
    if (bpp == 1)
        table = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    else if (bpp == 4) // the system's sixteen colours
        table = {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
                 qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
                 qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
                 qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    else if (bpp == 8)
        for (int i = 0; i < 256; ++i)
            table.push_back(qRgb(i, i, i));
    if (!table.isEmpty())
        img.setColorTable(table);
}

} // namespace

CBitmap::CBitmap() = default;
CBitmap::~CBitmap() = default;
CBitmap::CBitmap(const CBitmap&) = default;
CBitmap& CBitmap::operator=(const CBitmap&) = default;

LONG CBitmap::WidthBytes(LONG width, int bpp) {
    return LONG(((std::int64_t(width) * bpp + 15) / 16) * 2);
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bpp, const void* bits) {
    BITMAP bm;
    bm.bmWidth = width;
    bm.bmHeight = height;
    bm.bmPlanes = WORD(planes);
    bm.bmBitsPixel = WORD(bpp);
    bm.bmWidthBytes = WidthBytes(width, int(bpp));
    bm.bmBits = bits;
    return CreateBitmapIndirect(&bm);
}

BOOL CBitmap::CreateBitmapIndirect(const BITMAP* bm) {
    if (!bm || bm->bmPlanes != 1 || bm->bmWidth <= 0 || bm->bmHeight <= 0)
        return FALSE;
    const int bpp = bm->bmBitsPixel;
    const QImage::Format format = FormatFor(bpp);
    if (format == QImage::Format_Invalid ||
        std::int64_t(bm->bmWidth) * bpp > (std::int64_t(1) << 31))
        return FALSE;
    const std::size_t rowBytes = std::size_t((std::int64_t(bm->bmWidth) * bpp + 7) / 8);
    if (bm->bmWidthBytes < 0 || std::size_t(bm->bmWidthBytes) < rowBytes)
        return FALSE;
    QImage img(bm->bmWidth, bm->bmHeight, format);
    if (img.isNull())
        return FALSE;
    SetColourTable(img, bpp);
    for (int y = 0; y < bm->bmHeight; ++y) {
        uchar* row = img.scanLine(y);
        const auto* source = bm->bmBits ? static_cast<const uchar*>(bm->bmBits) +
                                              std::size_t(y) * std::size_t(bm->bmWidthBytes)
                                        : nullptr;
        if (bpp == 4) {
            for (int x = 0; x < bm->bmWidth; ++x)
                row[x] = source ? (source[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F : 0;
        } else if (source) {
            std::memcpy(row, source, rowBytes);
        } else {
            std::memset(row, 0, rowBytes);
        }
    }
    auto d = std::make_shared<BitmapData>();
    d->image = std::move(img);
    d->bitsPixel = bpp;
    data = std::move(d);
    return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC*, int width, int height) {
    if (width <= 0 || height <= 0)
        return FALSE;
    QImage img(width, height, QImage::Format_RGB32);
    if (img.isNull())
        return FALSE;
    img.fill(Qt::black);
    auto d = std::make_shared<BitmapData>();
    d->image = std::move(img);
    d->bitsPixel = 32;
    data = std::move(d);
    return TRUE;
}

BOOL CBitmap::DeleteObject() {
    bool was = data != nullptr;
    data.reset();
    return was;
}

int CBitmap::GetObject(BITMAP* bm) const {
    if (!data || !bm)
        return 0;
    bm->bmType = 0;
    bm->bmWidth = data->image.width();
    bm->bmHeight = data->image.height();
    bm->bmWidthBytes = WidthBytes(bm->bmWidth, data->bitsPixel);
    bm->bmPlanes = 1;
    bm->bmBitsPixel = WORD(data->bitsPixel);
    bm->bmBits = nullptr; // device-dependent: no pixel memory to hand out
    return sizeof(BITMAP);
}

CSize CBitmap::GetSize() const {
    return data ? CSize(data->image.width(), data->image.height()) : CSize();
}

std::size_t CBitmap::BitsSize() const {
    if (!data)
        return 0;
    return std::size_t(WidthBytes(data->image.width(), data->bitsPixel)) *
           std::size_t(data->image.height());
}

long CBitmap::GetBitmapBits(std::size_t count, void* bits) const {
    if (!data || !bits)
        return 0;
    const QImage& img = data->image;
    const std::size_t stride = std::size_t(WidthBytes(img.width(), data->bitsPixel));
    const std::size_t rowBytes = std::size_t((std::int64_t(img.width()) * data->bitsPixel + 7) / 8);
    auto* out = static_cast<unsigned char*>(bits);
    std::size_t done = 0;
    for (int y = 0; y < img.height() && done < count; ++y) {
        std::size_t n = std::min(stride, count - done);
        std::memset(out + done, 0, n);
        if (data->bitsPixel == 4) {
            const uchar* row = img.constScanLine(y);
            for (int x = 0; x < img.width() && std::size_t(x / 2) < n; ++x)
                out[done + std::size_t(x / 2)] |= uchar((row[x] & 0x0F) << (x % 2 ? 0 : 4));
        } else {
            std::memcpy(out + done, img.constScanLine(y), std::min(n, rowBytes));
        }
        if (data->bitsPixel == 32) // the unused fourth byte reads as 0
            for (std::size_t i = 3; i < n; i += 4)
                out[done + i] = 0;
        done += n;
    }
    return long(done);
}

COLORREF CBitmap::GetPixel(int x, int y) const {
    if (!data || !data->image.valid(x, y))
        return 0xFFFFFFFF;
    QRgb p = data->image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}
