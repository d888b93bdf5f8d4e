#pragma once
// Platform-internal: text measured once per font, device resolution and text, and kept for
// the next paint. Tick labels and titles are the same from one repaint to the next; shaping
// them again each time would cost more than the rest of a repaint.

#include <QFont>
#include <QImage>
#include <QPaintDevice>
#include <QStaticText>
#include <QString>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/DC.h"

class TextCache {
public:
    using Measure = TextMeasure;
    // `font` is the font as selected (its record), `qfont` the Qt font made from it; `text` is
    // Latin-1. Found again without allocating: the keys are built in one reused buffer.
    const Measure& Get(const LOGFONTA& font, const QFont& qfont, QPaintDevice* device,
                       std::string_view text);
    // The Qt font made from a font record, made once.
    const QFont& Font(const LOGFONTA& font);
    // The text shaped once, ready to be drawn again and again.
    const QStaticText& Shaped(const LOGFONTA& font, const QFont& qfont, std::string_view text);

    // How a line of text was drawn on an opaque box: its ink, the box's colour, the picture's
    // format, and the part of the box drawn, about the text's origin.
    struct Look {
        QRgb ink, box;
        int format, left, top, right, bottom;
    };
    // The pixels such a line left, kept to be copied there the next time; null until kept.
    const QImage* Pixels(const LOGFONTA& font, std::string_view text, const Look& look);
    void KeepPixels(const LOGFONTA& font, std::string_view text, const Look& look, QImage pixels);

private:
    // The key of a font record, an int and a text, in `scratch`.
    const std::string& Key(const LOGFONTA& font, int extra, std::string_view text);
    const std::string& Key(const LOGFONTA& font, const Look& look, std::string_view text);

    std::string scratch;
    std::unordered_map<std::string, Measure> measures;
    std::unordered_map<std::string, QFont> fonts;
    std::unordered_map<std::string, QStaticText> shaped;
    std::unordered_map<std::string, QImage> pixels;
};
