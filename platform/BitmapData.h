#pragma once
// Platform-internal: what a bitmap handle holds.

#include <QImage>

struct BitmapData {
    QImage image;
    int bitsPixel = 32;
};
