#pragma once
// The reader's measurer on a Qt surface: the font of a key is the reader's face at the key's
// pixel height, with the key's style and the FontClearType quality. Advances are cached per font
// and UTF-16 unit, because asking Qt for each character of every laid-out line is slow.
#include "reader/font_cache.h"
#include "reader/text_measurer.h"

#include <QFont>
#include <QFontMetrics>
#include <QRawFont>
#include <cstdint>
#include <memory>
#include <vector>

namespace lbv {

class QtTextMeasurer : public TextMeasurer {
public:
    // dpiX: the logical horizontal DPI of the surface the text is drawn on.
    QtTextMeasurer(const QString& face, int clearType, int fontCacheSize, int dpiX);

    // A new face, quality or cache size drops every font made so far.
    void Reset(const QString& face, int clearType, int fontCacheSize);

    FontMetrics Metrics(const FontKey& font) override;
    void Advances(const FontKey& font, QStringView text, int* advances) override;
    int DpiX() const override { return dpiX_; }

    // The font to draw a key's characters with (rotation is the painter's business).
    QFont FontFor(const FontKey& key);

    // The font's glyph of each UTF-16 unit of text (0 where the font has none, and for
    // surrogates), cached like the advances: drawing glyphs skips Qt's text shaping, which is
    // most of a page's painting time.
    const QRawFont& GlyphsFor(const FontKey& key, QStringView text, quint32* glyphs);

    // Advance look-ups answered from the cache, of all made.
    int64_t AdvanceHits() const { return hits_; }
    int64_t AdvanceLookups() const { return lookups_; }
    int FontCacheSize() const { return cache_.Capacity(); }

private:
    struct Font {
        QFont font;
        std::shared_ptr<QFontMetrics> metrics;
        // One slot per UTF-16 unit, -1 until measured; shared so the cache can copy entries.
        std::shared_ptr<std::vector<int16_t>> advances;
        std::shared_ptr<QRawFont> raw;
        std::shared_ptr<std::vector<quint32>> glyphs; // kUnknownGlyph until looked up
    };
    using Cache = FontCache<Font>;

    Cache::Entry& EntryFor(const FontKey& key);
    QFont MakeFont(const FontKey& key) const;

    QString face_;
    int clearType_;
    int dpiX_;
    Cache cache_;
    int64_t hits_ = 0;
    int64_t lookups_ = 0;
};

} // namespace lbv
