#include "gui/reader/qt_text_measurer.h"

#include <algorithm>
#include <limits>

namespace lbv {

namespace {

constexpr quint32 kUnknownGlyph = 0xFFFFFFFF;

QFont::StyleStrategy StrategyFor(LogicalFont::Quality quality)
{
    switch (quality) {
    case LogicalFont::Quality::NonAntialiased:
        return QFont::NoAntialias;
    case LogicalFont::Quality::Antialiased:
        return QFont::NoSubpixelAntialias;
    case LogicalFont::Quality::ClearType:
        break;
    }
    return QFont::PreferDefault;
}

} // namespace

QtTextMeasurer::QtTextMeasurer(const QString& face, int clearType, int fontCacheSize, int dpiX)
    : face_(face)
    , clearType_(clearType)
    , dpiX_(std::max(dpiX, 1))
    , cache_(fontCacheSize)
{
}

void QtTextMeasurer::Reset(const QString& face, int clearType, int fontCacheSize)
{
    face_ = face;
    clearType_ = clearType;
    cache_ = Cache(fontCacheSize);
}

QFont QtTextMeasurer::MakeFont(const FontKey& key) const
{
    const LogicalFont logical = LogicalFontFor(key, face_, clearType_);
    QFont font(logical.face);
    font.setPixelSize(std::max(-logical.height, 1));
    font.setWeight(QFont::Weight(logical.weight));
    font.setItalic(logical.italic);
    font.setUnderline(logical.underline);
    // Characters are placed one by one at the advances measured here, so Qt must not kern
    // between them or drawn words would drift from the laid-out ones.
    font.setKerning(false);
    font.setStyleStrategy(StrategyFor(logical.quality));
    return font;
}

QtTextMeasurer::Cache::Entry& QtTextMeasurer::EntryFor(const FontKey& key)
{
    return cache_.Get(key, [this](const FontKey& k) {
        Font font;
        font.font = MakeFont(k);
        font.metrics = std::make_shared<QFontMetrics>(font.font);
        font.advances = std::make_shared<std::vector<int16_t>>(
            std::size_t(std::numeric_limits<char16_t>::max()) + 1, int16_t(-1));
        font.raw = std::make_shared<QRawFont>(QRawFont::fromFont(font.font));
        font.glyphs = std::make_shared<std::vector<quint32>>(
            std::size_t(std::numeric_limits<char16_t>::max()) + 1, kUnknownGlyph);
        FontMetrics metrics;
        metrics.ascent = font.metrics->ascent();
        metrics.height
            = font.metrics->ascent() + font.metrics->descent() + std::max(font.metrics->leading(), 0);
        metrics.hyphenWidth = font.metrics->horizontalAdvance(QLatin1Char('-'));
        return std::pair{std::move(font), metrics};
    });
}

FontMetrics QtTextMeasurer::Metrics(const FontKey& font)
{
    return EntryFor(font).metrics;
}

QFont QtTextMeasurer::FontFor(const FontKey& key)
{
    return EntryFor(key).font.font;
}

const QRawFont& QtTextMeasurer::GlyphsFor(const FontKey& key, QStringView text, quint32* glyphs)
{
    Font& entry = EntryFor(key).font;
    std::vector<quint32>& cached = *entry.glyphs;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch.isSurrogate()) {
            glyphs[i] = 0;
            continue;
        }
        quint32& slot = cached[ch.unicode()];
        if (slot == kUnknownGlyph) {
            int count = 1;
            quint32 glyph = 0;
            if (!entry.raw->isValid() || !entry.raw->glyphIndexesForChars(&ch, 1, &glyph, &count)
                || count != 1)
                glyph = 0;
            slot = glyph;
        }
        glyphs[i] = slot;
    }
    return *entry.raw;
}

void QtTextMeasurer::Advances(const FontKey& font, QStringView text, int* advances)
{
    Font& entry = EntryFor(font).font;
    std::vector<int16_t>& cached = *entry.advances;
    const QFontMetrics& metrics = *entry.metrics;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            // The pair's advance goes to its first unit, the second gets none.
            advances[i] = metrics.horizontalAdvance(text.mid(i, 2).toString());
            advances[++i] = 0;
            continue;
        }
        if (ch.isLowSurrogate()) {
            advances[i] = 0;
            continue;
        }
        ++lookups_;
        int16_t& slot = cached[ch.unicode()];
        if (slot >= 0)
            ++hits_;
        else
            slot = int16_t(std::clamp(metrics.horizontalAdvance(ch), 0, 0x7FFF));
        advances[i] = slot;
    }
}

} // namespace lbv
