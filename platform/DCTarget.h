#pragma once
// Platform-internal: what a device context draws on.

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <memory>

#include "platform/DC.h"

struct DCTarget {
    // Exactly one of these is set: an image the platform keeps (a window surface),
    // the selected bitmap of a memory context (its image), or a printer.
    QImage* image = nullptr;
    QPrinter* printer = nullptr;
    std::unique_ptr<QPainter> painter;
    DeviceCaps caps = ScreenDeviceCaps();
    bool memory = false;
    bool pageStarted = false;
    int pages = 0;

    QPaintDevice* Device() const {
        return printer ? static_cast<QPaintDevice*>(printer) : static_cast<QPaintDevice*>(image);
    }
    bool IsRaster() const { return image != nullptr; }
};
