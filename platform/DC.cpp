#include "platform/DC.h"

#include <QBitmap>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPolygon>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/BitmapData.h"
#include "platform/DCTarget.h"
#include "platform/FontMapping.h"
#include "platform/Raster.h"

namespace {

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

// The framework's 8 x 8 hatch patterns, most significant bit leftmost, aligned to the
// device origin.
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

// On/off runs of the cosmetic pen styles, in pixels.
struct DashPattern {
    int count;
    int runs[6];
};
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
    return QRect(r.left, r.top, r.Width(), r.Height());
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t nl = text.find('\n', start);
        std::size_t end = nl == std::string::npos ? text.size() : nl;
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r')
            --stop;
        lines.push_back(text.substr(start, stop - start));
        if (nl == std::string::npos)
            break;
        start = nl + 1;
    }
    return lines;
}

} // namespace

COLORREF GetSysColor(int index) {
    switch (index) {
    case COLOR_WINDOW:
        return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
        return RGB(0, 0, 0);
    case COLOR_BTNFACE:
        return RGB(240, 240, 240);
    default:
        return RGB(0, 0, 0);
    }
}

DeviceCaps ScreenDeviceCaps() {
    DeviceCaps caps;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (QScreen* s = QGuiApplication::primaryScreen()) {
            caps.logPixelsX = std::max(1, int(std::lround(s->logicalDotsPerInchX())));
            caps.logPixelsY = std::max(1, int(std::lround(s->logicalDotsPerInchY())));
            caps.horzRes = s->geometry().width();
            caps.vertRes = s->geometry().height();
        }
    }
    return caps;
}

DCTarget::DCTarget() {
    LOGFONTA lf = DefaultLogFont();
    state.font.CreateFontIndirectA(&lf);
    state.qfont = QFontFromLogFont(lf);
}

DCTarget::~DCTarget() {
    if (painter && painter->isActive())
        painter->end();
}

CDC::CDC() : target(std::make_shared<DCTarget>()) {}

CDC::CDC(std::shared_ptr<DCTarget> t) : target(std::move(t)) {}

CDC::~CDC() = default;

BOOL CDC::CreateCompatibleDC(CDC*) {
    target = std::make_shared<DCTarget>();
    target->memory = true;
    return TRUE;
}

BOOL CDC::DeleteDC() {
    if (!IsValid())
        return FALSE;
    if (target->painter && target->painter->isActive())
        target->painter->end();
    target = std::make_shared<DCTarget>();
    return TRUE;
}

void CDC::Attach(const CDC& other) {
    target = other.target;
}

void CDC::Detach() {
    target = std::make_shared<DCTarget>();
}

bool CDC::IsValid() const {
    return target->memory || target->image || target->printer;
}

CDC::State& CDC::S() const {
    return target->state;
}

void CDC::SetDeviceCaps(const DeviceCaps& caps) {
    if (target)
        target->caps = caps;
}

int CDC::GetDeviceCaps(int index) const {
    DeviceCaps caps = target ? target->caps : ScreenDeviceCaps();
    QPaintDevice* dev = target ? target->Device() : nullptr;
    switch (index) {
    case LOGPIXELSX:
        return caps.logPixelsX;
    case LOGPIXELSY:
        return caps.logPixelsY;
    case NUMCOLORS:
        return caps.numColors;
    case BITSPIXEL:
        return caps.bitsPixel;
    case HORZRES:
        return dev && !target->caps.horzRes ? dev->width() : caps.horzRes;
    case VERTRES:
        return dev && !target->caps.vertRes ? dev->height() : caps.vertRes;
    default:
        return 0;
    }
}

// Starts painting when a drawing operation first needs it and applies the clip.
void CDC::Flush() const {
    if (!target)
        return;
    QPaintDevice* dev = target->Device();
    if (!dev || (target->image && target->image->isNull()))
        return;
    if (!target->painter)
        target->painter = std::make_unique<QPainter>();
    QPainter& p = *target->painter;
    if (!p.isActive()) {
        if (target->printer && !target->pageStarted)
            return;
        p.begin(dev);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        target->clipKnown = false;
    }
    // Changing Qt's clip is not free: only when ours changed.
    if (!target->clipKnown || target->appliedClip != S().clip) {
        if (S().clip)
            p.setClipRect(ToQRect(*S().clip));
        else
            p.setClipping(false);
        target->appliedClip = S().clip;
        target->clipKnown = true;
    }
}

#define PAINTER_OR(ret)                                                                            \
    Flush();                                                                                       \
    if (!target || !target->painter || !target->painter->isActive())                               \
        return ret;                                                                                \
    QPainter& p = *target->painter;

CPen CDC::SelectObject(const CPen& pen) {
    CPen old = S().pen;
    S().pen = pen;
    return old;
}

CBrush CDC::SelectObject(const CBrush& brush) {
    CBrush old = S().brush;
    S().brush = brush;
    return old;
}

CFont CDC::SelectObject(const CFont& font) {
    CFont old = S().font;
    S().font = font;
    S().qfont = QFontFromLogFont(font.IsNull() ? DefaultLogFont() : font.LogFont());
    return old;
}

CBitmap CDC::SelectObject(const CBitmap& bitmap) {
    CBitmap old = S().bitmap;
    if (!target || !target->memory)
        return old;
    if (target->painter && target->painter->isActive())
        target->painter->end();
    S().bitmap = bitmap;
    target->image = bitmap.Data() ? &bitmap.Data()->image : nullptr;
    return old;
}

CPen CDC::GetCurrentPen() const {
    return S().pen;
}
CBrush CDC::GetCurrentBrush() const {
    return S().brush;
}
CFont CDC::GetCurrentFont() const {
    return S().font;
}
CBitmap CDC::GetCurrentBitmap() const {
    return S().bitmap;
}

int CDC::SetROP2(int rop) {
    return std::exchange(S().rop, rop);
}
int CDC::GetROP2() const {
    return S().rop;
}
int CDC::SetBkMode(int mode) {
    return std::exchange(S().bkMode, mode);
}
int CDC::GetBkMode() const {
    return S().bkMode;
}
COLORREF CDC::SetBkColor(COLORREF c) {
    return std::exchange(S().bkColor, c);
}
COLORREF CDC::GetBkColor() const {
    return S().bkColor;
}
COLORREF CDC::SetTextColor(COLORREF c) {
    return std::exchange(S().textColor, c);
}
COLORREF CDC::GetTextColor() const {
    return S().textColor;
}

CPoint CDC::MoveTo(int x, int y) {
    return std::exchange(S().position, CPoint(x, y));
}
CPoint CDC::GetCurrentPosition() const {
    return S().position;
}

namespace {

// A one-pixel line from a to b that leaves out b; the gaps of a styled pen take the
// background colour when the background is opaque.
void CosmeticLine(QPainter& p, CPoint a, CPoint b, const CPen& pen, int rop, int bkMode,
                  COLORREF bk) {
    if (a == b)
        return;
    p.setCompositionMode(CompositionFor(rop));
    const DashPattern* dash = DashFor(pen.style);
    const long long dx = std::llabs(static_cast<long long>(b.x) - a.x);
    const long long dy = std::llabs(static_cast<long long>(b.y) - a.y);
    if (!dash && (dx == 0 || dy == 0)) {
        QRect r = dx == 0 ? QRect(a.x, std::min(a.y, b.y + 1), 1, int(dy))
                          : QRect(std::min(a.x, b.x + 1), a.y, int(dx), 1);
        if (dx == 0 && b.y > a.y)
            r.moveTop(a.y);
        if (dy == 0 && b.x > a.x)
            r.moveLeft(a.x);
        p.fillRect(r, ToQColor(pen.colour));
        return;
    }
    // Only the part that can reach the device is walked.
    const QRect bounds = p.hasClipping() ? p.clipBoundingRect().toAlignedRect()
                                         : QRect(0, 0, p.device()->width(), p.device()->height());
    const int sx = b.x > a.x ? 1 : -1;
    const int sy = b.y > a.y ? 1 : -1;
    const long long n = std::max(dx, dy);
    const bool xMajor = dx >= dy;
    const QColor colour = ToQColor(pen.colour);
    QPolygon on, off;
    // A solid line is a few straight runs along its major axis: one fill per run.
    long long runStart = 0, runX = a.x, runY = a.y;
    auto flushRun = [&](long long length) {
        if (length <= 0)
            return;
        QRect r = xMajor ? QRect(int(sx > 0 ? runX : runX - length + 1), int(runY), int(length), 1)
                         : QRect(int(runX), int(sy > 0 ? runY : runY - length + 1), 1, int(length));
        r = r.intersected(bounds);
        if (!r.isEmpty())
            p.fillRect(r, colour);
    };
    long long x = a.x, y = a.y, err = (xMajor ? dx : dy) / 2;
    int run = 0, left = dash ? dash->runs[0] : 0;
    long long first = 0;
    // A start far before the bounds along the major axis: step there at once, with the error
    // term and the dash position the walk would have had.
    {
        const long long major = xMajor ? x : y;
        const int s = xMajor ? sx : sy;
        const long long lo = xMajor ? bounds.left() : bounds.top();
        const long long hi = xMajor ? bounds.right() : bounds.bottom();
        long long k = s > 0 ? lo - major : major - hi;
        if (k > 1 && k < n) {
            --k; // stop one short; the loop takes the last step
            const long long dMajor = xMajor ? dx : dy, dMinor = xMajor ? dy : dx;
            const __int128 taken = __int128(k) * dMinor - err;
            const long long m = taken > 0 ? (long long)((taken + dMajor - 1) / dMajor) : 0;
            err = (long long)(err - __int128(k) * dMinor + __int128(m) * dMajor);
            if (xMajor) {
                x += sx * k;
                y += sy * m;
            } else {
                y += sy * k;
                x += sx * m;
            }
            first = k;
            runStart = k;
            runX = x;
            runY = y;
            if (dash) {
                int total = 0;
                for (int r = 0; r < dash->count; ++r)
                    total += dash->runs[r];
                long long offset = k % total;
                run = 0;
                while (offset >= dash->runs[run]) {
                    offset -= dash->runs[run];
                    run = (run + 1) % dash->count;
                }
                left = dash->runs[run] - int(offset);
            }
        }
    }
    for (long long i = first; i < n; ++i) {
        if (!dash) {
            // Runs outside the bounds are cut by the fill; only their count matters here.
        } else {
            const bool drawOn = run % 2 == 0;
            if (x >= bounds.left() && x <= bounds.right() && y >= bounds.top() &&
                y <= bounds.bottom()) {
                if (drawOn)
                    on << QPoint(int(x), int(y));
                else if (bkMode == OPAQUE)
                    off << QPoint(int(x), int(y));
            }
            if (--left == 0) {
                run = (run + 1) % dash->count;
                left = dash->runs[run];
            }
        }
        bool minorStep = false;
        if (xMajor) {
            x += sx;
            err -= dy;
            if (err < 0) {
                y += sy;
                err += dx;
                minorStep = true;
            }
        } else {
            y += sy;
            err -= dx;
            if (err < 0) {
                x += sx;
                err += dy;
                minorStep = true;
            }
        }
        if (!dash && (minorStep || i + 1 == n)) {
            flushRun(i + 1 - runStart);
            runStart = i + 1;
            runX = x;
            runY = y;
        }
        // Far outside the bounds along the major axis the rest of the line cannot come back.
        if (xMajor ? (sx > 0 ? x > bounds.right() : x < bounds.left())
                   : (sy > 0 ? y > bounds.bottom() : y < bounds.top())) {
            if (!dash)
                flushRun(i + 1 - runStart);
            break;
        }
    }
    if (!on.isEmpty()) {
        p.setPen(QPen(colour, 1));
        p.drawPoints(on);
    }
    if (!off.isEmpty()) {
        p.setPen(QPen(ToQColor(bk), 1));
        p.drawPoints(off);
    }
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
constexpr std::int64_t RasterLimit = 4096;
bool Rasterisable(const CRect& bounds) {
    return std::int64_t(bounds.right) - bounds.left <= RasterLimit &&
           std::int64_t(bounds.bottom) - bounds.top <= RasterLimit;
}
bool Rasterisable(const CPoint* pts, int count) {
    std::int64_t x0 = pts[0].x, x1 = x0, y0 = pts[0].y, y1 = y0;
    for (int i = 1; i < count; ++i) {
        x0 = std::min<std::int64_t>(x0, pts[i].x), x1 = std::max<std::int64_t>(x1, pts[i].x);
        y0 = std::min<std::int64_t>(y0, pts[i].y), y1 = std::max<std::int64_t>(y1, pts[i].y);
    }
    return x1 - x0 <= RasterLimit && y1 - y0 <= RasterLimit;
}

void FillSpans(QPainter& p, const std::vector<PixelSpan>& spans, const QBrush& brush) {
    for (const PixelSpan& s : spans)
        p.fillRect(QRect(s.x0, s.y, s.x1 - s.x0 + 1, 1), brush);
}

} // namespace

BOOL CDC::LineTo(int x, int y) {
    CPoint from = S().position;
    S().position = CPoint(x, y);
    PAINTER_OR(FALSE)
    if (S().pen.style == PS_NULL)
        return TRUE;
    if (IsCosmetic(S().pen) && target->IsRaster()) {
        CosmeticLine(p, from, CPoint(x, y), S().pen, S().rop, S().bkMode, S().bkColor);
    } else {
        p.setCompositionMode(CompositionFor(S().rop));
        // Gaps of a styled pen take the background colour when it is opaque.
        p.setBackgroundMode(S().bkMode == OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode);
        p.setBackground(ToQColor(S().bkColor));
        p.setPen(WidePen(S().pen));
        p.drawLine(from.x, from.y, x, y);
    }
    return TRUE;
}

// Like LineTo, every segment leaves out its end; the current position stays.
BOOL CDC::Polyline(const CPoint* pts, int count) {
    if (!pts || count < 2)
        return FALSE;
    CPoint keep = S().position;
    MoveTo(pts[0]);
    for (int i = 1; i < count; ++i)
        LineTo(pts[i]);
    S().position = keep;
    return TRUE;
}

// The outline of a closed figure through its corners, every pixel once.
static void Outline(CDC& dc, const CPoint* pts, int count) {
    dc.MoveTo(pts[0]);
    for (int i = 1; i < count; ++i)
        dc.LineTo(pts[i]);
    dc.LineTo(pts[0]);
}

BOOL CDC::Rectangle(int l, int t, int r, int b) {
    CRect box(l, t, r, b);
    box.NormalizeRect();
    PAINTER_OR(FALSE)
    const bool nullPen = S().pen.style == PS_NULL;
    p.setCompositionMode(CompositionFor(S().rop));
    const QBrush brush = FillBrush(p, S().brush, S().rop, S().bkMode, S().bkColor);
    if (nullPen || (IsCosmetic(S().pen) && target->IsRaster())) {
        // A null pen leaves the right and bottom edges out of the fill as well.
        QRect fill = nullPen ? QRect(box.left, box.top, box.Width() - 1, box.Height() - 1)
                             : QRect(box.left + 1, box.top + 1, box.Width() - 2, box.Height() - 2);
        if (S().brush.kind != CBrush::Hollow && fill.width() > 0 && fill.height() > 0)
            p.fillRect(fill, brush);
        if (!nullPen && box.Width() > 0 && box.Height() > 0) {
            CPoint keep = S().position;
            CPoint corners[4] = {{box.left, box.top},
                                 {box.right - 1, box.top},
                                 {box.right - 1, box.bottom - 1},
                                 {box.left, box.bottom - 1}};
            if (box.Width() == 1 || box.Height() == 1) {
                p.fillRect(ToQRect(box), ToQColor(S().pen.colour));
            } else {
                Outline(*this, corners, 4);
            }
            S().position = keep;
        }
        return TRUE;
    }
    p.setBackgroundMode(Qt::TransparentMode);
    p.setPen(WidePen(S().pen));
    p.setBrush(brush);
    p.drawRect(QRect(box.left, box.top, box.Width() - 1, box.Height() - 1));
    return TRUE;
}

BOOL CDC::Ellipse(int l, int t, int r, int b) {
    CRect box(l, t, r, b);
    box.NormalizeRect();
    PAINTER_OR(FALSE)
    const QRect q(box.left, box.top, box.Width() - 1, box.Height() - 1);
    p.setCompositionMode(CompositionFor(S().rop));
    if (S().pen.style == PS_SOLID && IsCosmetic(S().pen) && target->IsRaster() &&
        Rasterisable(box)) {
        // Fill and outline from one rasterisation: the fill covers exactly the inside.
        const FigureSpans spans = EllipseSpans(box);
        if (S().brush.kind != CBrush::Hollow)
            FillSpans(p, spans.inside, FillBrush(p, S().brush, S().rop, S().bkMode, S().bkColor));
        p.setBackgroundMode(Qt::TransparentMode);
        FillSpans(p, spans.outline, QBrush(ToQColor(S().pen.colour)));
        return TRUE;
    }
    // Filled first, then outlined: Qt strokes differently over an opaque background.
    if (S().brush.kind != CBrush::Hollow) {
        p.setPen(Qt::NoPen);
        p.setBrush(FillBrush(p, S().brush, S().rop, S().bkMode, S().bkColor));
        p.drawEllipse(q);
    }
    if (S().pen.style != PS_NULL) {
        p.setBackgroundMode(Qt::TransparentMode);
        p.setPen(IsCosmetic(S().pen) ? QPen(ToQColor(S().pen.colour), 1) : WidePen(S().pen));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(q);
    }
    return TRUE;
}

BOOL CDC::Polygon(const CPoint* pts, int count) {
    if (!pts || count < 2)
        return FALSE;
    PAINTER_OR(FALSE)
    QPolygon poly;
    poly.reserve(count);
    for (int i = 0; i < count; ++i)
        poly << QPoint(pts[i].x, pts[i].y);
    p.setCompositionMode(CompositionFor(S().rop));
    const QBrush brush = FillBrush(p, S().brush, S().rop, S().bkMode, S().bkColor);
    const bool nullPen = S().pen.style == PS_NULL;
    if (S().pen.style == PS_SOLID && IsCosmetic(S().pen) && target->IsRaster() &&
        Rasterisable(pts, count) && IsConvex(pts, count)) {
        // Fill and outline from one rasterisation: the fill covers exactly the inside.
        const FigureSpans spans = ConvexPolygonSpans(pts, count);
        if (S().brush.kind != CBrush::Hollow)
            FillSpans(p, spans.inside, brush);
        p.setBackgroundMode(Qt::TransparentMode);
        FillSpans(p, spans.outline, QBrush(ToQColor(S().pen.colour)));
        return TRUE;
    }
    if (nullPen || (IsCosmetic(S().pen) && target->IsRaster())) {
        if (S().brush.kind != CBrush::Hollow) {
            p.setPen(Qt::NoPen);
            p.setBrush(brush);
            p.drawPolygon(poly, Qt::OddEvenFill);
        }
        if (!nullPen) {
            CPoint keep = S().position;
            Outline(*this, pts, count);
            S().position = keep;
        }
        return TRUE;
    }
    p.setBackgroundMode(Qt::TransparentMode);
    p.setPen(WidePen(S().pen));
    p.setBrush(brush);
    p.drawPolygon(poly, Qt::OddEvenFill);
    return TRUE;
}

void CDC::FillRect(const CRect& r, const CBrush& brush) {
    PAINTER_OR()
    if (brush.kind == CBrush::Hollow || r.IsRectEmpty())
        return;
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // Pattern brushes always paint their clear bits in the background colour.
    const bool opaque = S().bkMode == OPAQUE || brush.kind == CBrush::Pattern;
    p.setBackgroundMode(opaque ? Qt::OpaqueMode : Qt::TransparentMode);
    p.setBackground(ToQColor(S().bkColor));
    p.fillRect(ToQRect(r), ToQBrush(brush));
    p.setBackgroundMode(Qt::TransparentMode);
}

// Like the framework, this leaves the background colour set to `c`.
void CDC::FillSolidRect(const CRect& r, COLORREF c) {
    SetBkColor(c);
    PAINTER_OR()
    if (r.IsRectEmpty())
        return;
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.fillRect(ToQRect(r), ToQColor(c));
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF c) {
    FillSolidRect(CRect(x, y, x + cx, y + cy), c);
}

// Inverts every other pixel of the one-pixel border: drawing it twice restores the picture.
void CDC::DrawFocusRect(const CRect& rc) {
    PAINTER_OR()
    CRect r = rc;
    r.NormalizeRect();
    if (r.IsRectEmpty())
        return;
    QPolygon pts;
    auto add = [&](int x, int y) {
        if (((x + y) & 1) == 0)
            pts << QPoint(x, y);
    };
    for (int x = r.left; x < r.right; ++x) {
        add(x, r.top);
        if (r.bottom - 1 != r.top)
            add(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        add(r.left, y);
        if (r.right - 1 != r.left)
            add(r.right - 1, y);
    }
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 1));
    p.drawPoints(pts);
}

COLORREF CDC::SetPixel(int x, int y, COLORREF c) {
    PAINTER_OR(COLORREF(-1))
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.fillRect(QRect(x, y, 1, 1), ToQColor(c));
    return c;
}

COLORREF CDC::GetPixel(int x, int y) const {
    if (!target || !target->image || !target->image->valid(x, y))
        return COLORREF(-1);
    QRgb px = target->image->pixel(x, y);
    return RGB(qRed(px), qGreen(px), qBlue(px));
}

CSize CDC::GetTextExtent(const std::string& text) const {
    QFontMetrics fm(S().qfont, target ? target->Device() : nullptr);
    return CSize(fm.horizontalAdvance(QString::fromLatin1(text.data(), qsizetype(text.size()))),
                 fm.ascent() + fm.descent());
}

CDC::TextMetrics CDC::GetTextMetrics() const {
    QFontMetrics fm(S().qfont, target ? target->Device() : nullptr);
    TextMetrics tm{};
    tm.ascent = fm.ascent();
    tm.descent = fm.descent();
    tm.height = tm.ascent + tm.descent;
    tm.internalLeading = std::max(0, tm.height - S().qfont.pixelSize());
    tm.aveCharWidth = fm.averageCharWidth();
    return tm;
}

BOOL CDC::TextOut(int x, int y, const std::string& text) {
    PAINTER_OR(FALSE)
    const QString s = QString::fromLatin1(text.data(), qsizetype(text.size()));
    QFontMetrics fm(S().qfont, target->Device());
    const int w = fm.horizontalAdvance(s);
    const int h = fm.ascent() + fm.descent();
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.translate(x, y);
    // Escapement is in tenths of a degree, counter-clockwise: 900 runs upward.
    const LONG esc = S().font.IsNull() ? 0 : S().font.LogFont().lfEscapement;
    if (esc % 3600 != 0)
        p.rotate(-(esc % 3600) / 10.0);
    // Whatever drew before, the box is the DC's own background mode's business.
    p.setBackgroundMode(Qt::TransparentMode);
    if (S().bkMode == OPAQUE)
        p.fillRect(QRect(0, 0, w, h), ToQColor(S().bkColor));
    p.setFont(S().qfont);
    p.setPen(ToQColor(S().textColor));
    p.drawText(QPoint(0, fm.ascent()), s);
    p.restore();
    return TRUE;
}

int CDC::DrawText(const std::string& text, CRect* rect, UINT format) {
    if (!rect)
        return 0;
    QFontMetrics fm(S().qfont, target ? target->Device() : nullptr);
    const int lineHeight = fm.ascent() + fm.descent();
    std::vector<std::string> lines;
    if (format & DT_SINGLELINE) {
        std::string one;
        for (char c : text)
            if (c != '\r' && c != '\n')
                one += c;
        lines.push_back(one);
    } else {
        lines = SplitLines(text);
    }
    if (text.empty())
        lines.clear();
    std::vector<int> widths;
    int widest = 0;
    for (const auto& line : lines) {
        widths.push_back(
            fm.horizontalAdvance(QString::fromLatin1(line.data(), qsizetype(line.size()))));
        widest = std::max(widest, widths.back());
    }
    const int total = lineHeight * int(lines.size());
    if (format & DT_CALCRECT) {
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total;
        return total;
    }
    int top = rect->top;
    int result = total;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            top = rect->top + (rect->Height() - total) / 2;
        else if (format & DT_BOTTOM)
            top = rect->bottom - total;
        if (format & (DT_VCENTER | DT_BOTTOM))
            result = top - rect->top + total;
    }
    PAINTER_OR(result)
    p.save();
    if (!(format & DT_NOCLIP))
        p.setClipRect(ToQRect(*rect), Qt::IntersectClip);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setBackgroundMode(Qt::TransparentMode); // the box is painted below when opaque
    p.setFont(S().qfont);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        int left = rect->left;
        if (format & DT_CENTER)
            left = rect->left + (rect->Width() - widths[i]) / 2;
        else if (format & DT_RIGHT)
            left = rect->right - widths[i];
        const int y = top + int(i) * lineHeight;
        if (S().bkMode == OPAQUE)
            p.fillRect(QRect(left, y, widths[i], lineHeight), ToQColor(S().bkColor));
        p.setPen(ToQColor(S().textColor));
        p.drawText(QPoint(left, y + fm.ascent()),
                   QString::fromLatin1(lines[i].data(), qsizetype(lines[i].size())));
    }
    p.restore();
    return result;
}

int CDC::IntersectClipRect(const CRect& r) {
    CRect next = r;
    if (S().clip)
        next.IntersectRect(*S().clip, r);
    S().clip = next;
    return next.IsRectEmpty() ? 1 : 2;
}

int CDC::SelectClipRect(const CRect* r) {
    if (r)
        S().clip = *r;
    else
        S().clip.reset();
    return 2;
}

CRect CDC::GetClipBox() const {
    if (S().clip)
        return *S().clip;
    QPaintDevice* dev = target ? target->Device() : nullptr;
    return dev ? CRect(0, 0, dev->width(), dev->height()) : CRect();
}

int CDC::SaveDC() {
    target->saved.push_back(S());
    return int(target->saved.size());
}

BOOL CDC::RestoreDC(int which) {
    auto& saved = target->saved;
    int index = which < 0 ? int(saved.size()) + which : which - 1;
    if (index < 0 || index >= int(saved.size()))
        return FALSE;
    CBitmap before = S().bitmap;
    S() = saved[std::size_t(index)];
    saved.resize(std::size_t(index));
    if (target->memory && S().bitmap.Data() != before.Data()) {
        CBitmap keep = S().bitmap;
        S().bitmap = before;
        SelectObject(keep);
    }
    return TRUE;
}

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
    if (direct) // the common copy of a same-format picture: no intermediate image
        p.drawImage(to, whole, from);
    else
        p.drawImage(to, source);
    return TRUE;
}

int CDC::StartDoc(const std::string& docName) {
    if (!target || !target->printer)
        return -1;
    target->printer->setDocName(QString::fromStdString(docName));
    target->pages = 0;
    return 1;
}

int CDC::StartPage() {
    if (!target || !target->printer)
        return -1;
    if (target->pages > 0 && target->painter && target->painter->isActive())
        target->printer->newPage();
    target->pageStarted = true;
    ++target->pages;
    Flush();
    return target->painter && target->painter->isActive() ? 1 : -1;
}

int CDC::EndPage() {
    return target && target->printer ? 1 : -1;
}

int CDC::EndDoc() {
    if (!target || !target->printer)
        return -1;
    if (target->painter && target->painter->isActive())
        target->painter->end();
    target->pageStarted = false;
    return 1;
}
