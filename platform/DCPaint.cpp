#include "platform/DCPaint.h"

#include <QBitmap>
#include <QImage>
#include <algorithm>
#include <cstdint>

namespace dcqt {

QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

QPainter::CompositionMode CompositionFor(int rop) {
    switch (rop) {
    case R2_NOTXORPEN:
        return QPainter::RasterOp_NotSourceXorDestination;
    case R2_XORPEN:
        return QPainter::RasterOp_SourceXorDestination;
    case R2_NOT:
        return QPainter::RasterOp_NotDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

QBrush PatternBrush(const uchar bits[8], const QColor& colour) {
    return QBrush(colour, QBitmap::fromData(QSize(8, 8), bits, QImage::Format_Mono));
}

const uchar* HatchBits(int hatch) {
    static const uchar patterns[6][8] = {
        {0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x00}, // horizontal
        {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08}, // vertical
        {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // forward diagonal
        {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // backward diagonal
        {0x08, 0x08, 0x08, 0xff, 0x08, 0x08, 0x08, 0x08}, // cross
        {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // diagonal cross
    };
    return patterns[hatch >= 0 && hatch < 6 ? hatch : 0];
}

QBrush HatchBrush(int hatch, const QColor& colour) {
    return QBrush(colour, QBitmap::fromData(QSize(8, 8), HatchBits(hatch), QImage::Format_Mono));
}

// An 8 x 8 pattern as a picture of two colours, aligned to the device origin.
QBrush TwoColourBrush(const uchar bits[8], const QColor& set, const QColor& clear) {
    QImage tile(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.setPixel(x, y, ((bits[y] >> (7 - x)) & 1 ? set : clear).rgb());
    return QBrush(tile);
}

const DashPattern* DashFor(int style) {
    static const DashPattern dash{2, {18, 6}};
    static const DashPattern dot{2, {3, 3}};
    static const DashPattern dashDot{4, {9, 6, 3, 6}};
    static const DashPattern dashDotDot{6, {9, 3, 3, 3, 3, 3}};
    switch (style) {
    case PS_DASH:
        return &dash;
    case PS_DOT:
        return &dot;
    case PS_DASHDOT:
        return &dashDot;
    case PS_DASHDOTDOT:
        return &dashDotDot;
    default:
        return nullptr;
    }
}

QRect ToQRect(const CRect& r) {
    // Held to a range far beyond any device, where Qt's own arithmetic cannot overflow; what
    // lies on a device is unchanged.
    auto hold = [](LONG v) { return int(std::clamp<std::int64_t>(v, -(1 << 24), 1 << 24)); };
    const int left = hold(r.left), top = hold(r.top);
    return QRect(left, top, hold(r.right) - left, hold(r.bottom) - top);
}

QRect DeviceBounds(QPainter& p) {
    return p.hasClipping() ? p.clipBoundingRect().toAlignedRect()
                           : QRect(0, 0, p.device()->width(), p.device()->height());
}

bool IsCosmetic(const CPen& pen) {
    return pen.width <= 1;
}

QPen WidePen(const CPen& pen) {
    QPen q(ToQColor(pen.colour), pen.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (pen.style) {
    case PS_DASH:
        q.setStyle(Qt::DashLine);
        break;
    case PS_DOT:
        q.setStyle(Qt::DotLine);
        break;
    case PS_DASHDOT:
        q.setStyle(Qt::DashDotLine);
        break;
    case PS_DASHDOTDOT:
        q.setStyle(Qt::DashDotDotLine);
        break;
    case PS_NULL:
        q.setStyle(Qt::NoPen);
        break;
    default:
        break;
    }
    return q;
}

QBrush ToQBrush(const CBrush& b) {
    switch (b.kind) {
    case CBrush::Hollow:
        return Qt::NoBrush;
    case CBrush::Hatched:
        return HatchBrush(b.hatch, ToQColor(b.colour));
    case CBrush::Pattern:
        return PatternBrush(b.pattern, ToQColor(b.colour));
    default:
        return QBrush(ToQColor(b.colour));
    }
}

// How a brush fills: a hatch's clear bits take the background colour when it is opaque and
// leave the picture as it was when transparent. Qt runs a raster operation on transparent
// bits too, so under the XOR-like operations they are painted in the one colour that leaves
// a pixel unchanged.
QBrush FillBrush(QPainter& p, const CBrush& brush, int rop, int bkMode, COLORREF bk) {
    p.setBackgroundMode(bkMode == OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode);
    p.setBackground(ToQColor(bk));
    const bool patterned = brush.kind == CBrush::Hatched || brush.kind == CBrush::Pattern;
    if (!patterned || bkMode == OPAQUE || (rop != R2_NOTXORPEN && rop != R2_XORPEN))
        return ToQBrush(brush);
    const uchar* bits = brush.kind == CBrush::Hatched ? HatchBits(brush.hatch) : brush.pattern;
    return TwoColourBrush(bits, ToQColor(brush.colour),
                          rop == R2_NOTXORPEN ? Qt::white : Qt::black); // ~(white ^ d) = d
}

// Small enough to rasterise pixel by pixel here; larger figures go to Qt.

} // namespace dcqt
