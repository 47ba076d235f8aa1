#include "gui/common/font_color.h"
#include "gui/common/grid_delegate.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"

#include <gtest/gtest.h>

using namespace lbv;

TEST(FontColor, ColoursKeepTheirRedGreenBlueOrder)
{
    const QColor color = ToQColor(0xF78073);
    EXPECT_EQ(color, QColor(0x73, 0x80, 0xF7));
    EXPECT_EQ(ToColorRef(color), 0xF78073u);
}

TEST(FontColor, FontRecordsBecomeQtFontsAndBack)
{
    FontRecord record = DefaultFontRecord(10, 96);
    record.weight = 700;
    record.italic = 1;
    record.strikeOut = 1;
    record.SetFaceName(u"DejaVu Sans");
    const QFont font = ToQFont(record);
    EXPECT_EQ(font.pixelSize(), 13);
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_TRUE(font.italic());
    EXPECT_FALSE(font.underline());
    EXPECT_TRUE(font.strikeOut());
    EXPECT_EQ(font.family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(font.styleStrategy() & QFont::PreferAntialias, QFont::PreferAntialias);

    const FontRecord back = ToFontRecord(font, 96);
    EXPECT_EQ(back.height, -13);
    EXPECT_EQ(back.weight, 700);
    EXPECT_EQ(back.italic, 1);
    EXPECT_EQ(back.FaceName(), QStringLiteral("DejaVu Sans"));
}

TEST(FontColor, StoredNonsenseGivesAUsableFont)
{
    FontRecord record;
    record.height = std::numeric_limits<qint32>::min();
    record.weight = 123456;
    record.quality = 3;
    const QFont font = ToQFont(record);
    EXPECT_GT(font.pixelSize(), 0);
    EXPECT_LE(font.pixelSize(), 1000);
    EXPECT_LE(int(font.weight()), 1000);
    EXPECT_EQ(font.styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
    // Height zero keeps the default size.
    EXPECT_EQ(ToQFont(FontRecord {}).pixelSize(), QFont().pixelSize());
}

TEST(GridLines, EachListReadsItsOwnThreeKeys)
{
    SettingsStore store(std::make_unique<MemorySettingsBackend>());
    const QString section = QStringLiteral("BooksView");
    store.WriteProfileInt(section, QStringLiteral("AuthorTree_ShowVGrid"), 1);
    store.WriteProfileInt(section, QStringLiteral("ShowHGrid"), 0);
    EXPECT_EQ(ReadGridLines(store, u"AuthorTree_Grid"), (GridLines {false, true, false}));
    EXPECT_EQ(ReadGridLines(store, u"BooksView_Grid"), (GridLines {false, false, false}));
    // Unset options take the defaults the first start writes.
    EXPECT_EQ(ReadGridLines(store, u"LogView_Grid"), (GridLines {true, false, true}));
}
