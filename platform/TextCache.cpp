#include "platform/TextCache.h"

#include <QFontMetrics>
#include <cstring>

#include "platform/FontMapping.h"

namespace {

constexpr std::size_t MaxEntries = 8192; // a few windows of labels; then start afresh

std::string FontKey(const LOGFONTA& font) {
    return std::string(reinterpret_cast<const char*>(&font), sizeof font);
}

std::string TextKey(const LOGFONTA& font, const QString& text) {
    std::string key = FontKey(font);
    key.append(reinterpret_cast<const char*>(text.utf16()), std::size_t(text.size()) * 2);
    return key;
}

} // namespace

const QFont& TextCache::Font(const LOGFONTA& font) {
    std::string key = FontKey(font);
    auto it = fonts.find(key);
    if (it != fonts.end())
        return it->second;
    if (fonts.size() >= MaxEntries)
        fonts.clear();
    return fonts.emplace(std::move(key), QFontFromLogFont(font)).first->second;
}

const QStaticText& TextCache::Shaped(const LOGFONTA& font, const QFont& qfont,
                                     const QString& text) {
    std::string key = TextKey(font, text);
    auto it = shaped.find(key);
    if (it != shaped.end())
        return it->second;
    if (shaped.size() >= MaxEntries)
        shaped.clear();
    QStaticText layout(text);
    layout.setTextFormat(Qt::PlainText);
    layout.setPerformanceHint(QStaticText::AggressiveCaching);
    layout.prepare(QTransform(), qfont);
    return shaped.emplace(std::move(key), std::move(layout)).first->second;
}

const TextCache::Measure& TextCache::Get(const LOGFONTA& font, const QFont& qfont,
                                         QPaintDevice* device, const QString& text) {
    std::string key(sizeof font + sizeof(int) + std::size_t(text.size()) * 2, '\0');
    std::memcpy(key.data(), &font, sizeof font);
    const int dpi = device ? device->logicalDpiY() : 0;
    std::memcpy(key.data() + sizeof font, &dpi, sizeof dpi);
    std::memcpy(key.data() + sizeof font + sizeof dpi, text.utf16(), std::size_t(text.size()) * 2);
    auto it = measures.find(key);
    if (it != measures.end())
        return it->second;
    if (measures.size() >= MaxEntries)
        measures.clear();
    const QFontMetrics fm(qfont, device);
    return measures
        .emplace(std::move(key), Measure{fm.horizontalAdvance(text), fm.ascent(), fm.descent()})
        .first->second;
}
