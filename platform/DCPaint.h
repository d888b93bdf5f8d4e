#pragma once
// Platform-internal: how the device context's pens, brushes, colours and raster operations
// become Qt's, shared by the files that draw lines, shapes, text and copies.

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPen>
#include <QRect>

#include "platform/DC.h"
#include "platform/DCTarget.h"

namespace dcqt {

QColor ToQColor(COLORREF c);
QPainter::CompositionMode CompositionFor(int rop);
// The framework's 8 x 8 hatch patterns, most significant bit leftmost.
const uchar* HatchBits(int hatch);
QBrush HatchBrush(int hatch, const QColor& colour);
QBrush PatternBrush(const uchar bits[8], const QColor& colour);
// An 8 x 8 pattern as a picture of two colours, aligned to the device origin.
QBrush TwoColourBrush(const uchar bits[8], const QColor& set, const QColor& clear);

// On/off runs of the cosmetic pen styles, in pixels.
struct DashPattern {
    int count;
    int runs[6];
};
// Null for solid and null pens.
const DashPattern* DashFor(int style);

QRect ToQRect(const CRect& r);
// Where drawing can land: the clip, or the whole device.
QRect DeviceBounds(QPainter& p);
bool IsCosmetic(const CPen& pen);
QPen WidePen(const CPen& pen);
QBrush ToQBrush(const CBrush& b);
// Sets the painter's background for a brush fill and gives the brush to fill with.
QBrush FillBrush(QPainter& p, const CBrush& brush, int rop, int bkMode, COLORREF bk);

} // namespace dcqt

// Starts painting if needed; returns `ret` when there is nothing to paint on.
#define PAINTER_OR(ret)                                                                            \
    Flush();                                                                                       \
    if (!target || !target->painter || !target->painter->isActive())                               \
        return ret;                                                                                \
    QPainter& p = *target->painter;
