#pragma once
// Platform-internal: what a device context draws on.

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <memory>
#include <optional>
#include <vector>

#include "platform/DC.h"
#include "platform/SurfaceMemory.h"
#include "platform/TextCache.h"

struct CDC::State {
    CPen pen{PS_SOLID, 1, RGB(0, 0, 0)};
    CBrush brush{RGB(255, 255, 255)};
    CFont font;
    // The Qt font made from `font`; made (or found in the text cache) when first needed, so
    // a context that draws no text makes none.
    QFont qfont;
    bool qfontMade = false;
    int rop = R2_COPYPEN;
    int bkMode = OPAQUE;
    COLORREF bkColor = RGB(255, 255, 255);
    COLORREF textColor = RGB(0, 0, 0);
    CPoint position;
    std::optional<CRect> clip;
    CBitmap bitmap;
};

struct DCTarget {
    DCTarget();
    ~DCTarget();
    DCTarget(const DCTarget&) = delete;
    DCTarget& operator=(const DCTarget&) = delete;

    CDC::State state;
    std::vector<CDC::State> saved;
    // Exactly one of these is set: an image the platform keeps (a window surface),
    // the selected bitmap of a memory context (its image), or a printer.
    QImage* image = nullptr;
    QPrinter* printer = nullptr;
    std::unique_ptr<QPainter> painter;
    DeviceCaps caps = ScreenDeviceCaps();
    bool memory = false;
    bool pageStarted = false;
    bool clipKnown = false; // appliedClip is what the painter has
    std::optional<CRect> appliedClip;
    int pages = 0;
    // Shared by every context on the same window, kept from paint to paint.
    std::shared_ptr<TextCache> texts = std::make_shared<TextCache>();
    // Set on a window's surface: what every context writes there is marked in it.
    std::shared_ptr<SurfaceMemory> surfaceMemory;

    // Anything within l..r-1, t..b-1 is about to be drawn, over what is there.
    void Drawn(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) const {
        if (surfaceMemory)
            surfaceMemory->Uncover(l, t, r, b);
    }
    // Everything within l..r-1, t..b-1 is about to be written whole: nothing shows through.
    void Overwritten(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) const {
        if (surfaceMemory)
            surfaceMemory->MarkRect(l, t, r, b);
    }

    QPaintDevice* Device() const {
        return printer ? static_cast<QPaintDevice*>(printer) : static_cast<QPaintDevice*>(image);
    }
    bool IsRaster() const { return image != nullptr; }
};
