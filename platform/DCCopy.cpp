// Copies between contexts, stretched or mirrored.
#include <algorithm>
#include <cstdlib>

#include "platform/DCPaint.h"

using namespace dcqt;

BOOL CDC::BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop) {
    return StretchBlt(x, y, w, h, src, sx, sy, w, h, rop);
}

BOOL CDC::StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh,
                     DWORD rop) {
    if (!src || !src->target->image || w == 0 || h == 0 || sw == 0 || sh == 0)
        return FALSE;
    PAINTER_OR(FALSE)
    const QImage& whole = *src->target->image;
    const QRect from(std::min(sx, sx + sw), std::min(sy, sy + sh), std::abs(sw), std::abs(sh));
    // Negative extents mirror, as with the framework.
    const bool flipX = (w < 0) != (sw < 0);
    const bool flipY = (h < 0) != (sh < 0);
    const bool direct = !flipX && !flipY && whole.format() == QImage::Format_RGB32;
    QImage source;
    if (!direct) {
        source = whole.copy(from);
        if (flipX || flipY)
            source = source.mirrored(flipX, flipY);
        if (source.format() != QImage::Format_RGB32)
            source = source.convertToFormat(QImage::Format_RGB32);
    }
    switch (rop) {
    case SRCINVERT:
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        break;
    case SRCAND:
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        break;
    case SRCPAINT:
        p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        break;
    default:
        p.setCompositionMode(QPainter::CompositionMode_Source);
        break;
    }
    const QRect to(std::min(x, x + w), std::min(y, y + h), std::abs(w), std::abs(h));
    target->Drawn(to.left(), to.top(), std::int64_t(to.left()) + to.width(),
                  std::int64_t(to.top()) + to.height());
    if (direct) // the common copy of a same-format picture: no intermediate image
        p.drawImage(to, whole, from);
    else
        p.drawImage(to, source);
    return TRUE;
}
