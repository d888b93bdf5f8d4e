#include "platform/DC.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "platform/BitmapData.h"
#include "platform/DCPaint.h"
#include "platform/FontMapping.h"

using namespace dcqt;

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
}

DCTarget::~DCTarget() {
    if (painter && painter->isActive())
        painter->end();
    // A context drawn outside a paint (an embedder redrawing at once) leaves no stale pixels:
    // what its fill made stale and it did not draw again is cleared as it goes.
    if (surfaceMemory)
        surfaceMemory->Settle();
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

bool CDC::DrawsOnPicture() const {
    return target && target->image && !target->image->isNull();
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

const QFont& CDC::QtFont() const {
    State& s = S();
    if (!s.qfontMade) {
        s.qfont = target->texts->Font(LogFontSelected());
        s.qfontMade = true;
    }
    return s.qfont;
}

CFont CDC::SelectObject(const CFont& font) {
    CFont old = S().font;
    S().font = font;
    S().qfontMade = false;
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
