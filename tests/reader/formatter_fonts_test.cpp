// Which font a character's attributes select, and the font cache's order and bound.
#include "reader/document_source.h"
#include "reader/font_cache.h"

#include <gtest/gtest.h>

namespace lbv {
namespace {

TEST(FormatterFonts, AttributesSelectHeightStyleAndRotation)
{
    const FontBase base {12, false, 900};
    const FontKey plain = FontKeyFor(0, base);
    EXPECT_EQ(plain.pixelHeight, 12);
    EXPECT_EQ(plain.flags, 0);
    EXPECT_EQ(plain.rotation, 900);
    // Size step -2 is 0x3E in six bits; bold, italic and underline come from their bits.
    const FontKey styled
        = FontKeyFor(0x3E | kAttrBold | kAttrItalic | kAttrUnderline | (3 << 11), base);
    EXPECT_EQ(styled.pixelHeight, 10);
    EXPECT_EQ(styled.flags, FontKey::Bold | FontKey::Italic | FontKey::Underline);
    EXPECT_EQ(FontKeyFor(5, base).pixelHeight, 17);
    EXPECT_EQ(FontKeyFor(0x20, base).pixelHeight, 1); // -32 can't go below one pixel
    EXPECT_EQ(FontKeyFor(0, {12, true, 0}).flags, FontKey::Bold); // FontBold: all text bold
}

TEST(FormatterFonts, SpecFollowsTheSmoothingSetting)
{
    const FontKey key {14, FontKey::Bold, 2700};
    const FontSpec spec = FontSpecFor(key, QStringLiteral("Tahoma"), 1);
    EXPECT_EQ(spec.height, -14);
    EXPECT_EQ(spec.weight, 700);
    EXPECT_EQ(spec.escapement, 2700);
    EXPECT_EQ(spec.orientation, 2700);
    EXPECT_EQ(spec.face, QStringLiteral("Tahoma"));
    EXPECT_EQ(spec.quality, FontSpec::Quality::ClearType);
    EXPECT_EQ(FontSpecFor(key, {}, 2).quality, FontSpec::Quality::Antialiased);
    EXPECT_EQ(FontSpecFor(key, {}, 0).quality, FontSpec::Quality::NonAntialiased);
    EXPECT_EQ(FontSpecFor({14, 0, 0}, {}, 7).weight, 400);
}

TEST(FormatterFonts, CacheDropsTheLeastRecentlyUsedFontNobodyHolds)
{
    FontCache<int> cache(2);
    int made = 0;
    auto make = [&made](const FontKey& key) {
        ++made;
        return std::pair {
            key.pixelHeight * 100, FontMetrics {key.pixelHeight + 4, key.pixelHeight, 5}};
    };
    auto heights = [&cache] {
        std::vector<int> out;
        for (const FontKey& key : cache.Keys())
            out.push_back(key.pixelHeight);
        return out;
    };
    EXPECT_EQ(cache.Get({10, 0, 0}, make).font, 1000);
    cache.Get({11, 0, 0}, make);
    EXPECT_EQ(cache.Get({10, 0, 0}, make).metrics.height, 14); // a hit, now the newest
    EXPECT_EQ(made, 2);
    cache.Get({12, 0, 0}, make);
    EXPECT_EQ(heights(), (std::vector<int> {10, 12}));

    FontCache<int>::Entry& held = cache.Get({10, 0, 0}, make);
    cache.Hold(held);
    cache.Get({13, 0, 0}, make);
    cache.Get({14, 0, 0}, make);
    EXPECT_EQ(heights(), (std::vector<int> {10, 14})); // the held font outlives newer ones
    cache.SetCapacity(1);
    EXPECT_EQ(heights(), (std::vector<int> {10, 14}));
    cache.Release(cache.Get({10, 0, 0}, make));
    EXPECT_EQ(heights(), (std::vector<int> {10}));
}

} // namespace
} // namespace lbv
