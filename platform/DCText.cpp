// Text: drawn and measured with the selected font; the box behind it is the context's own.
#include <QFontMetrics>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "platform/DCPaint.h"
#include "platform/TextCache.h"

using namespace dcqt;

namespace {

// `pixels` written into `image` with their corner at (x, y), all inside it.
void CopyInto(QImage& image, const QImage& pixels, int x, int y) {
    uchar* const first = image.bits(); // the surface is this window's own: no copy is made
    const qsizetype stride = image.bytesPerLine();
    const std::size_t bytes = std::size_t(pixels.width()) * 4;
    for (int row = 0; row < pixels.height(); ++row)
        std::memcpy(first + (y + row) * stride + std::size_t(x) * 4, pixels.constScanLine(row),
                    bytes);
}

} // namespace

CSize CDC::GetTextExtent(const std::string& text) const {
    const TextMeasure m = Measured(text);
    return CSize(m.width, m.ascent + m.descent);
}

LOGFONTA CDC::LogFontSelected() const {
    return S().font.IsNull() ? DefaultLogFont() : S().font.LogFont();
}

TextMeasure CDC::Measured(std::string_view text) const {
    return target->texts->Get(LogFontSelected(), QtFont(), target->Device(), text);
}

CDC::TextMetrics CDC::GetTextMetrics() const {
    QFontMetrics fm(QtFont(), target ? target->Device() : nullptr);
    TextMetrics tm{};
    tm.ascent = fm.ascent();
    tm.descent = fm.descent();
    tm.height = tm.ascent + tm.descent;
    tm.internalLeading = std::max(0, tm.height - QtFont().pixelSize());
    tm.aveCharWidth = fm.averageCharWidth();
    return tm;
}

BOOL CDC::TextOut(int x, int y, const std::string& text) {
    PAINTER_OR(FALSE)
    const QString s = QString::fromLatin1(text.data(), qsizetype(text.size()));
    const TextMeasure m = Measured(text);
    const int w = m.width;
    const int h = m.ascent + m.descent;
    const QRect device = DeviceBounds(p);
    const std::int64_t reach = std::int64_t(w) + h; // turned text reaches no further
    if (x + reach < device.left() || x - reach > device.right() || y + reach < device.top() ||
        y - reach > device.bottom())
        return TRUE;
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.translate(x, y);
    // Escapement is in tenths of a degree, counter-clockwise: 900 runs upward.
    const LONG esc = S().font.IsNull() ? 0 : S().font.LogFont().lfEscapement;
    // Glyphs may overhang their advance; turned text may go any way.
    if (esc % 3600 == 0)
        target->Drawn(std::int64_t(x) - h, std::int64_t(y) - 2, x + reach, y + std::int64_t(h) + 2);
    else
        target->Drawn(x - reach, y - reach, x + reach, y + reach);
    if (esc % 3600 != 0)
        p.rotate(-(esc % 3600) / 10.0);
    // Whatever drew before, the box is the DC's own background mode's business.
    p.setBackgroundMode(Qt::TransparentMode);
    if (S().bkMode == OPAQUE)
        p.fillRect(QRect(0, 0, w, h), ToQColor(S().bkColor));
    p.setFont(QtFont());
    p.setPen(ToQColor(S().textColor));
    p.drawText(QPoint(0, m.ascent), s);
    p.restore();
    return TRUE;
}

int CDC::DrawText(const std::string& text, CRect* rect, UINT format) {
    if (!rect)
        return 0;
    const TextMeasure font = Measured(std::string_view());
    const int lineHeight = font.ascent + font.descent;
    // The lines as views of the text; a single line keeps no line ends.
    std::string joined;
    std::string_view whole = text;
    if ((format & DT_SINGLELINE) && whole.find_first_of("\r\n") != std::string_view::npos) {
        for (char c : text)
            if (c != '\r' && c != '\n')
                joined += c;
        whole = joined;
    }
    auto forEachLine = [&](auto f) {
        if (text.empty())
            return;
        if (format & DT_SINGLELINE) {
            f(whole);
            return;
        }
        for (std::size_t start = 0; start < whole.size();) {
            const std::size_t nl = whole.find('\n', start);
            const std::size_t end = nl == std::string_view::npos ? whole.size() : nl;
            std::size_t stop = end;
            if (stop > start && whole[stop - 1] == '\r')
                --stop;
            f(whole.substr(start, stop - start));
            if (nl == std::string_view::npos)
                break;
            start = nl + 1;
        }
    };
    int widest = 0;
    std::int64_t count = 0;
    forEachLine([&](std::string_view line) {
        widest = std::max(widest, Measured(line).width);
        ++count;
    });
    const int total = SaturateInt(std::int64_t(lineHeight) * count);
    if (format & DT_CALCRECT) {
        rect->right = SatSum(rect->left, widest);
        rect->bottom = SatSum(rect->top, total);
        return total;
    }
    // Positions in 64 bits: a rectangle far outside the window stays there.
    std::int64_t top = rect->top;
    int result = total;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            top = rect->top + (std::int64_t(rect->Height()) - total) / 2;
        else if (format & DT_BOTTOM)
            top = std::int64_t(rect->bottom) - total;
        if (format & (DT_VCENTER | DT_BOTTOM))
            result = SaturateInt(top - rect->top + total);
    }
    PAINTER_OR(result)
    // The painter's state is set, not saved and restored: each operation sets what it uses,
    // and a font or pen already in place costs nothing to keep.
    if (!(format & DT_NOCLIP)) {
        QRect cut = ToQRect(*rect);
        if (S().clip)
            cut &= ToQRect(*S().clip);
        p.setClipRect(cut);
        target->clipKnown = false; // the context's own clip is put back by the next operation
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setBackgroundMode(Qt::TransparentMode); // the box is painted below when opaque
    if (p.font() != QtFont())
        p.setFont(QtFont());
    const QColor ink = ToQColor(S().textColor);
    if (p.pen().style() != Qt::SolidLine || p.pen().color() != ink ||
        p.pen().brush().style() != Qt::SolidPattern)
        p.setPen(ink);
    const QRect device = DeviceBounds(p);
    std::int64_t y64 = top;
    forEachLine([&](std::string_view line) {
        const std::int64_t at = y64;
        y64 += lineHeight;
        const int width = Measured(line).width;
        std::int64_t left = rect->left;
        if (format & DT_CENTER)
            left = rect->left + (std::int64_t(rect->Width()) - width) / 2;
        else if (format & DT_RIGHT)
            left = std::int64_t(rect->right) - width;
        if (left + width < device.left() || left > device.right() ||
            at + lineHeight < device.top() || at > device.bottom())
            return; // nowhere near the device
        const int y = int(at);
        // Glyphs may overhang their advance; clipped text stays inside its rectangle.
        std::int64_t l = left - lineHeight, t = at - 2, r = left + width + lineHeight,
                     b = at + lineHeight + 2;
        if (!(format & DT_NOCLIP)) {
            l = std::max<std::int64_t>(l, rect->left), t = std::max<std::int64_t>(t, rect->top);
            r = std::min<std::int64_t>(r, rect->right), b = std::min<std::int64_t>(b, rect->bottom);
        }
        // Clipped to its opaque box, a line's pixels owe nothing to what was there: they are
        // kept and copied the next time, at a small part of the cost of drawing its glyphs.
        const std::optional<CRect>& clip = S().clip;
        const bool copied = target->IsRaster() && S().bkMode == OPAQUE && !(format & DT_NOCLIP) &&
                            p.transform().type() == QTransform::TxNone && l >= left && t >= at &&
                            r <= left + width && b <= at + lineHeight &&
                            (!clip || (clip->left <= l && clip->top <= t && clip->right >= r &&
                                       clip->bottom >= b)) &&
                            l >= 0 && t >= 0 && l < r && t < b && r <= target->image->width() &&
                            b <= target->image->height();
        if (copied) // copied or drawn, the opaque box covers it all
            target->Overwritten(l, t, r, b);
        else
            target->Drawn(l, t, r, b);
        const TextCache::Look look{ink.rgb(),
                                   ToQColor(S().bkColor).rgb(),
                                   int(target->image ? target->image->format() : 0),
                                   int(l - left),
                                   int(t - at),
                                   int(r - left),
                                   int(b - at)};
        if (copied) {
            if (const QImage* kept = target->texts->Pixels(LogFontSelected(), line, look)) {
                CopyInto(*target->image, *kept, int(l), int(t));
                return;
            }
        }
        if (S().bkMode == OPAQUE) {
            p.fillRect(QRect(int(left), y, width, lineHeight), ToQColor(S().bkColor));
        }
        if (target->IsRaster()) { // shaped once, drawn from the glyphs kept
            p.drawStaticText(QPoint(int(left), y),
                             target->texts->Shaped(LogFontSelected(), QtFont(), line));
            if (copied)
                target->texts->KeepPixels(
                    LogFontSelected(), line, look,
                    target->image->copy(int(l), int(t), int(r - l), int(b - t)));
        } else
            p.drawText(QPoint(int(left), y + font.ascent),
                       QString::fromLatin1(line.data(), qsizetype(line.size())));
    });
    return result;
}
