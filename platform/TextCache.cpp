#include "platform/TextCache.h"

#include <QFontMetrics>
#include <cstring>

#include "platform/FontMapping.h"

namespace {

constexpr std::size_t MaxEntries = 8192; // a few windows of labels; then start afresh

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace

const std::string& TextCache::Key(const LOGFONTA& font, int extra, std::string_view text) {
    scratch.resize(sizeof font + sizeof extra + text.size()); // keeps its storage
    std::memcpy(scratch.data(), &font, sizeof font);
    std::memcpy(scratch.data() + sizeof font, &extra, sizeof extra);
    if (!text.empty())
        std::memcpy(scratch.data() + sizeof font + sizeof extra, text.data(), text.size());
    return scratch;
}

const QFont& TextCache::Font(const LOGFONTA& font) {
    const std::string& key = Key(font, 0, {});
    auto it = fonts.find(key);
    if (it != fonts.end())
        return it->second;
    if (fonts.size() >= MaxEntries)
        fonts.clear();
    return fonts.emplace(key, QFontFromLogFont(font)).first->second;
}

const QStaticText& TextCache::Shaped(const LOGFONTA& font, const QFont& qfont,
                                     std::string_view text) {
    const std::string& key = Key(font, 0, text);
    auto it = shaped.find(key);
    if (it != shaped.end())
        return it->second;
    if (shaped.size() >= MaxEntries)
        shaped.clear();
    QStaticText layout(Latin1(text));
    layout.setTextFormat(Qt::PlainText);
    layout.setPerformanceHint(QStaticText::AggressiveCaching);
    layout.prepare(QTransform(), qfont);
    return shaped.emplace(key, std::move(layout)).first->second;
}

const TextCache::Measure& TextCache::Get(const LOGFONTA& font, const QFont& qfont,
                                         QPaintDevice* device, std::string_view text) {
    const std::string& key = Key(font, device ? device->logicalDpiY() : 0, text);
    auto it = measures.find(key);
    if (it != measures.end())
        return it->second;
    if (measures.size() >= MaxEntries)
        measures.clear();
    const QFontMetrics fm(qfont, device);
    return measures
        .emplace(key, Measure{fm.horizontalAdvance(Latin1(text)), fm.ascent(), fm.descent()})
        .first->second;
}

const std::string& TextCache::Key(const LOGFONTA& font, const Look& look, std::string_view text) {
    Key(font, 0, text);
    scratch.append(reinterpret_cast<const char*>(&look), sizeof look);
    return scratch;
}

const QImage* TextCache::Pixels(const LOGFONTA& font, std::string_view text, const Look& look) {
    auto it = pixels.find(Key(font, look, text));
    return it == pixels.end() ? nullptr : &it->second;
}

void TextCache::KeepPixels(const LOGFONTA& font, std::string_view text, const Look& look,
                           QImage image) {
    if (pixels.size() >= MaxEntries / 8) // a few KiB each
        pixels.clear();
    pixels.insert_or_assign(Key(font, look, text), std::move(image));
}
