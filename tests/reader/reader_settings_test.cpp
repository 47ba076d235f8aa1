#include "reader_test_support.h"

#include "reader/element_styles.h"
#include "reader/key_map.h"
#include "reader/reader_settings.h"

#include <gtest/gtest.h>

namespace lbv {
namespace {

TEST(ReaderSettings, RoundsTheFileBufferDownToAPowerOfTwoWithinLimits)
{
    EXPECT_EQ(ClampFileBufSize(0), 8192);
    EXPECT_EQ(ClampFileBufSize(8191), 8192);
    EXPECT_EQ(ClampFileBufSize(16384), 16384);
    EXPECT_EQ(ClampFileBufSize(30000), 16384);
    EXPECT_EQ(ClampFileBufSize(1048577), 1048576);
    EXPECT_EQ(ClampFileBufSize(-5), 8192);
    EXPECT_EQ(FileBufSizeFromKilobytes(100), 65536);
    EXPECT_EQ(FileBufSizeFromKilobytes(4), 8192);
    EXPECT_EQ(FileBufSizeFromKilobytes(5000), 1048576);
    EXPECT_EQ(ClampFontCacheSize(1), 2);
    EXPECT_EQ(ClampFontCacheSize(40), 32);
    EXPECT_DOUBLE_EQ(GammaFromSetting(2200000), 2.2);
    EXPECT_DOUBLE_EQ(GammaFromSetting(0), 1.0);
    EXPECT_DOUBLE_EQ(GammaFromSetting(9000000), 5.0);
}

TEST(ReaderSettings, ReadsParametersWithDefaultsAndClampsStoredValues)
{
    auto store = test::MemoryStore();
    ReaderParameters defaults = ReaderParameters::Load(*store);
    EXPECT_EQ(defaults.fontFace, u"Tahoma");
    EXPECT_EQ(defaults.fontSize, 12);
    EXPECT_EQ(defaults.progressBar, 5);
    EXPECT_EQ(defaults.defEncoding, -1);
    EXPECT_EQ(defaults.autoScrollDelay, 800000);
    EXPECT_EQ(defaults.fileBufSize, 16384);
    EXPECT_EQ(defaults.gamma, 2200000);

    store->WriteProfileInt(kParametersSection, u"FileBufSize"_qs, 100000);
    store->WriteProfileInt(kParametersSection, u"FontCacheSize"_qs, 99);
    store->WriteProfileInt(kParametersSection, u"Orientation"_qs, 450);
    store->WriteProfileInt(kParametersSection, u"Columns"_qs, 0);
    store->WriteProfileInt(kParametersSection, u"NumBookmarks"_qs, 0);
    store->WriteProfileInt(kParametersSection, u"AutoScrollDelay"_qs, 0);
    store->WriteProfileString(kParametersSection, u"FontFace"_qs, u"DejaVu Sans"_qs);
    const ReaderParameters read = ReaderParameters::Load(*store);
    EXPECT_EQ(read.fileBufSize, 65536);
    EXPECT_EQ(read.fontCacheSize, 32);
    EXPECT_EQ(read.orientation, 0);
    EXPECT_EQ(read.columns, 1);
    EXPECT_EQ(read.numBookmarks, 1); // pruning keeps at least the open book
    EXPECT_EQ(read.autoScrollDelay, kMinAutoScrollDelay);
    ReaderParameters careless = read;
    careless.numBookmarks = -3;
    const auto written = test::MemoryStore();
    careless.Store(*written);
    EXPECT_EQ(written->GetProfileInt(kParametersSection, u"NumBookmarks"_qs, 0), 1);
    EXPECT_EQ(read.fontFace, u"DejaVu Sans");

    ReaderParameters display = read;
    display.fontClearType = 2; // "Standard" smoothing
    display.margins = 7;
    display.gamma = 1;
    display.StoreDisplay(*store);
    EXPECT_EQ(store->GetProfileInt(kParametersSection, u"FontClearType"_qs, -1), 2);
    EXPECT_EQ(store->GetProfileInt(kParametersSection, u"Margins"_qs, -1), 7);
    EXPECT_EQ(store->GetProfileInt(kParametersSection, u"Gamma"_qs, -1), -1); // not display
}

TEST(ReaderSettings, AdvancedParametersClampAndWriteOnlyWhatChanged)
{
    auto store = test::MemoryStore();
    store->WriteProfileInt(kParametersSection, u"FontCacheSize"_qs, 40); // read as 32
    const AdvancedParameters shown = AdvancedParameters::From(ReaderParameters::Load(*store));
    EXPECT_EQ(shown.fontCacheSize, 32);
    EXPECT_EQ(shown.fileBufKilobytes, 16);
    EXPECT_TRUE(shown.allowOnlyOneInstance);

    // Left alone, nothing is written: the hand-edited 40 stays as it was.
    shown.StoreChanged(*store, shown);
    EXPECT_EQ(store->ValueNames(kParametersSection), QStringList {u"FontCacheSize"_qs});

    AdvancedParameters chosen = shown;
    chosen.fontCacheSize = 1;
    chosen.fileBufKilobytes = 100;
    chosen.numBookmarks = 0;
    chosen.saveToFiles = true;
    chosen.StoreChanged(*store, shown);
    EXPECT_EQ(store->GetProfileInt(kParametersSection, u"FontCacheSize"_qs, 0), 2);
    EXPECT_EQ(store->GetProfileInt(kParametersSection, u"FileBufSize"_qs, 0), 65536);
    EXPECT_EQ(store->GetProfileInt(kParametersSection, u"NumBookmarks"_qs, 0), 1);
    EXPECT_EQ(store->GetProfileInt(kParametersSection, u"SaveToFiles"_qs, 0), 1);
    EXPECT_EQ(store->ValueNames(kParametersSection).size(), 4);

    // A buffer that rounds to what is stored already is no change.
    auto fresh = test::MemoryStore();
    AdvancedParameters sameBuffer = shown;
    sameBuffer.fileBufKilobytes = 31; // 31 KB rounds down to 16 KB
    sameBuffer.fontCacheSize = shown.fontCacheSize;
    sameBuffer.StoreChanged(*fresh, shown);
    EXPECT_TRUE(fresh->ValueNames(kParametersSection).isEmpty());
}

TEST(ReaderSettings, ColoursHaveTheirNamesAndWriteOnlyWhatChanged)
{
    auto store = test::MemoryStore();
    const ReaderColors defaults;
    EXPECT_EQ(ReaderColors::Name(ReaderColor::HighlightedBackground), u"Highlighted Background");
    EXPECT_EQ(defaults[ReaderColor::Highlight2], 0x000081u);
    EXPECT_EQ(defaults[ReaderColor::UserInputBackground], 0xC7E0CBu);
    ReaderColors changed = defaults;
    changed.values[std::size_t(ReaderColor::Gauge)] = 0x123456;
    changed.StoreChanged(*store, defaults);
    EXPECT_EQ(store->ValueNames(kColorsSection), QStringList {u"Gauge"_qs});
    EXPECT_EQ(ReaderColors::Load(*store)[ReaderColor::Gauge], 0x123456u);
}

TEST(KeyMap, DefaultsNamesAndRotatedArrows)
{
    const KeyMap keys;
    EXPECT_EQ(keys.Command(0x22), int(ReaderCommand::PageForward)); // Page Down
    EXPECT_EQ(keys.Command(0x70), int(ReaderCommand::None)); // F1
    EXPECT_EQ(keys.Command(0x41), KeyMap::kNoCommand);
    EXPECT_EQ(keys.Command(300), KeyMap::kNoCommand);
    EXPECT_EQ(KeyName(195), u"Button 3");
    EXPECT_EQ(KeyName(0x41), u"Key 41");
    EXPECT_EQ(KeyName(0x0D), u"Enter/Action");
    EXPECT_EQ(ReaderActions().size(), 26);
    EXPECT_EQ(ReaderActions().front().name, u"Line forward");
    EXPECT_EQ(ReaderActions()[23].name, u"Faster AS (fine)");
    // Left (Back) turned a quarter becomes Up (Page backward).
    EXPECT_EQ(keys.CommandForKey(0x25, 900, true), int(ReaderCommand::PageBackward));
    EXPECT_EQ(keys.CommandForKey(0x28, 900, true), int(ReaderCommand::Back));
    EXPECT_EQ(keys.CommandForKey(0x25, 1800, true), int(ReaderCommand::Forward));
    EXPECT_EQ(keys.CommandForKey(0x25, 900, false), int(ReaderCommand::Back));
}

TEST(KeyMap, StoresChangedKeysAndIgnoresCodesOutside1To255)
{
    auto store = test::MemoryStore();
    KeyMap keys;
    keys.Assign(0x41, int(ReaderCommand::Find));
    keys.Assign(195, int(ReaderCommand::PageForward));
    keys.Store(*store);
    EXPECT_EQ(store->GetProfileString(kKeysSection, u"List"_qs), u"65,195");
    EXPECT_EQ(store->GetProfileInt(kKeysSection, u"65"_qs, 0), int(ReaderCommand::Find));

    store->WriteProfileString(kKeysSection, u"List"_qs, u"0,65,256,x,66"_qs);
    store->WriteProfileInt(kKeysSection, u"0"_qs, int(ReaderCommand::Exit));
    store->WriteProfileInt(kKeysSection, u"256"_qs, int(ReaderCommand::Exit));
    const KeyMap loaded = KeyMap::Load(*store);
    EXPECT_EQ(loaded.Command(0x41), int(ReaderCommand::Find));
    EXPECT_EQ(loaded.Command(0), KeyMap::kNoCommand);
    EXPECT_EQ(loaded.Command(0x42), KeyMap::kNoCommand); // listed without a value: no change
    EXPECT_EQ(loaded.Command(195), KeyMap::kNoCommand); // not in the list any more
}

TEST(ElementStyles, ReadsTheBuiltInTable)
{
    const ElementStyleTable& table = DefaultElementStyles();
    EXPECT_EQ(table.Row(0).name, u"");
    EXPECT_EQ(table.Row(0).behaviour, 0u);
    const ElementStyle& title = table.Row(table.Find("http://www.gribuser.ru/xml/fictionbook/2.0|title"));
    EXPECT_EQ(title.name, u"Title");
    EXPECT_EQ(title.size, 5);
    EXPECT_EQ(title.bold, 1);
    EXPECT_EQ(title.italic, kInherit);
    EXPECT_EQ(title.align, 2);
    EXPECT_EQ(title.behaviour, BehaviourFromLetters(u"qtfd"));
    EXPECT_EQ(table.Row(table.Find("|>link")).name, u"Hyperlink");
    EXPECT_EQ(table.Row(table.Find(">keyword")).name, u"Keyword");
    EXPECT_EQ(table.Row(table.Find("e")).name, u"Emphasis");
    EXPECT_EQ(table.Row(table.Find("|text-author")).name, u"Text author");
    EXPECT_EQ(table.Row(table.Find("urn:other|title")).name, u""); // another namespace
    const ElementStyle& cite = table.Row(table.FindStyleName(u"Cite"_qs));
    EXPECT_EQ(cite.leftIndent, -5);
    EXPECT_EQ(cite.rightIndent, -5);
    EXPECT_EQ(table.Row(table.Find("binary")).behaviour, uint32_t(kBehaviourBinary));
}

TEST(ElementStyles, ScansLinesAndSkipsCommentsAndShortOnes)
{
    const ElementStyleTable table = ElementStyleTable::FromText(
        u"\uFEFF# comment\n\tindented comment\n"
        "Big_One 150 + - x 9 R -200 * 7 pzq big,large\r\n"
        "Short 1 + - * 1 C\n"
        "Bad x + - * 1 C * * * f bad\n"_qs);
    ASSERT_EQ(table.RowCount(), 2);
    const ElementStyle& row = table.Row(1);
    EXPECT_EQ(row.name, u"Big One");
    EXPECT_EQ(row.size, 100);
    EXPECT_EQ(row.bold, 1);
    EXPECT_EQ(row.italic, 0);
    EXPECT_EQ(row.underline, kInherit);
    EXPECT_EQ(row.colour, 8);
    EXPECT_EQ(row.align, 1);
    EXPECT_EQ(row.leftIndent, -100);
    EXPECT_EQ(row.firstLineIndent, 7);
    EXPECT_EQ(row.behaviour, uint32_t(kBehaviourParagraph | kBehaviourEmptyLineAfter)); // z ignored
    EXPECT_EQ(table.Find("large"), 1);
    EXPECT_EQ(table.Find("bad"), 0);
}

TEST(ElementStyles, OverridesNeedAllNineNumbersAndRoundTrip)
{
    auto store = test::MemoryStore();
    store->WriteProfileString(kStylesSection, u"Emphasis"_qs, u"1,2,3,4,5,6,7,8"_qs);
    store->WriteProfileString(kStylesSection, u"Strong"_qs, u"3,0,1,127,7,4,-5,200,127"_qs);
    store->WriteProfileString(kStylesSection, u"Cite"_qs, u"1,1,1,1,1,1,1,1,x"_qs);
    ElementStyleTable table = ElementStyleTable::BuiltIn();
    table.ApplyOverrides(*store);
    const ElementStyle& emphasis = table.Row(table.FindStyleName(u"Emphasis"_qs));
    EXPECT_EQ(emphasis.colour, 5);
    EXPECT_EQ(emphasis.size, kInherit);
    EXPECT_EQ(table.Row(table.FindStyleName(u"Cite"_qs)).leftIndent, -5);
    const ElementStyle& strong = table.Row(table.FindStyleName(u"Strong"_qs));
    EXPECT_EQ(strong.size, 3);
    EXPECT_EQ(strong.bold, 0);
    EXPECT_EQ(strong.italic, 1);
    EXPECT_EQ(strong.colour, 7);
    EXPECT_EQ(strong.align, 4);
    EXPECT_EQ(strong.leftIndent, -5);
    EXPECT_EQ(strong.rightIndent, 100);
    EXPECT_EQ(strong.behaviour, BehaviourFromLetters(u"f")); // behaviour is never stored

    auto saved = test::MemoryStore();
    table.StoreOverrides(*saved);
    EXPECT_EQ(saved->GetProfileString(kStylesSection, u"Strong"_qs), u"3,0,1,127,7,4,-5,100,127");
    EXPECT_EQ(saved->GetProfileString(kStylesSection, u"Title"_qs),
        u"5,1,127,127,127,2,127,127,127");
    EXPECT_EQ(saved->ValueNames(kStylesSection).size(), table.RowCount() - 1);
}

} // namespace
} // namespace lbv
