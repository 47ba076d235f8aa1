#include "import_fixture.h"

using namespace lbv;
using namespace lbv::test;
using namespace Qt::StringLiterals;

namespace {

class ImportListTest : public ImportFixture { };

} // namespace

TEST_F(ImportListTest, AnArchiveWithThreeBooksGivesThreeRowsUnderTheArchive)
{
    const QString archive = QStringLiteral(LBV_TEST_DATA_DIR "/import/three-books.zip");
    ASSERT_EQ(Add(archive), 3);
    ASSERT_EQ(list_.Count(), 3);
    const QStringList names {u"first"_s, u"sub/second"_s, u"third"_s};
    for (qsizetype row = 0; row < 3; ++row) {
        const ImportRowView view = list_.Row(row);
        EXPECT_EQ(view.directory, archive);
        EXPECT_EQ(view.fileName, names[row]);
        EXPECT_EQ(view.extension, u".fb2");
        EXPECT_TRUE(view.checked);
        EXPECT_TRUE(view.status.isEmpty());
    }
    EXPECT_EQ(list_.HeaderCopy(1)->file, archive + u"@sub/second.fb2");
}

TEST_F(ImportListTest, FoldersGiveTheirBooksDepthFirstInFolderOrder)
{
    WriteBook(u"a.fb2"_s, TitleInfo(u"Anna"_s, u"A"_s, u"A"_s));
    WriteBook(u"sub/b.fb2"_s, TitleInfo(u"Anna"_s, u"B"_s, u"B"_s));
    WriteBook(u"sub/deeper/c.fb2"_s, TitleInfo(u"Anna"_s, u"C"_s, u"C"_s));
    WriteBook(u"z.fb2"_s, TitleInfo(u"Anna"_s, u"Z"_s, u"Z"_s));
    ASSERT_EQ(Add(Path(u"incoming")), 4);
    QStringList order;
    for (qsizetype row = 0; row < list_.Count(); ++row)
        order << list_.Row(row).fileName;
    EXPECT_EQ(order, (QStringList {u"a"_s, u"b"_s, u"c"_s, u"z"_s}));
    EXPECT_EQ(list_.Row(2).directory, Path(u"incoming/sub/deeper"));
}

TEST_F(ImportListTest, SizesShowBytesUpTo5120ThenWholeKilobytes)
{
    EXPECT_EQ(RowSizeText(0), u"0");
    EXPECT_EQ(RowSizeText(5120), u"5120");
    EXPECT_EQ(RowSizeText(5121), u"5K");
    EXPECT_EQ(RowSizeText(102399), u"99K");
    EXPECT_EQ(RowSizeText(3 * 1024 * 1024 + 1023), u"3072K");
    EXPECT_EQ(RowSizeClass(5120), 0);
    EXPECT_EQ(RowSizeClass(5121), 1);
    EXPECT_EQ(RowSizeClass(102400), 1);
    EXPECT_EQ(RowSizeClass(102401), 2);
}

TEST_F(ImportListTest, RowTextsOfPlainFilesSplitFolderNameAndLastExtension)
{
    CBookHeader header(u"/books/Ivar Kessel. Salt.and.Iron.fb2"_s, 9000);
    EXPECT_EQ(RowDirectory(header), u"/books");
    EXPECT_EQ(RowFileName(header), u"Ivar Kessel. Salt.and.Iron");
    EXPECT_EQ(RowExtension(header), u".fb2");
    header.file = u"/books.d/README"_s;
    EXPECT_EQ(RowFileName(header), u"README");
    EXPECT_EQ(RowExtension(header), u"");
    // Only an archive member is cut at its "@".
    header.file = u"/mail@home/book.fb2"_s;
    EXPECT_EQ(RowDirectory(header), u"/mail@home");
    EXPECT_EQ(RowFileName(header), u"book");
}

TEST_F(ImportListTest, RowsGoneMeanwhileAreToleratedAndAnActiveRunKeepsTheRows)
{
    WriteBook(u"a.fb2"_s, TitleInfo(u"Anna"_s, u"A"_s, u"A"_s));
    WriteBook(u"b.fb2"_s, TitleInfo(u"Anna"_s, u"B"_s, u"B"_s));
    ASSERT_EQ(Add(Path(u"incoming")), 2);
    // Indexes the GUI still holds after a run removed its rows.
    for (const qsizetype stale : {qsizetype(-1), qsizetype(2), qsizetype(100)}) {
        EXPECT_FALSE(list_.IsChecked(stale));
        EXPECT_FALSE(list_.SetChecked(stale, false));
        EXPECT_FALSE(list_.HeaderCopy(stale).has_value());
        list_.SetStatus(stale, u"Ok"_s);
        EXPECT_FALSE(list_.RemoveRow(stale));
        EXPECT_TRUE(list_.Row(stale).fileName.isEmpty());
    }
    EXPECT_EQ(list_.Count(), 2);

    list_.SetRunActive(true);
    EXPECT_FALSE(list_.RemoveRow(0));
    EXPECT_FALSE(list_.Clear());
    EXPECT_EQ(list_.Count(), 2);
    list_.SetRunActive(false);
    EXPECT_TRUE(list_.RemoveRow(0));
    EXPECT_EQ(list_.Row(0).fileName, u"b");
    EXPECT_TRUE(list_.Clear());
    EXPECT_EQ(list_.Count(), 0);
}

TEST_F(ImportListTest, RowsScannedElsewhereAreTakenOverInOrder)
{
    WriteBook(u"a.fb2"_s, TitleInfo(u"Anna"_s, u"A"_s, u"A"_s));
    ASSERT_EQ(Add(Path(u"incoming")), 1);
    ImportList scanned;
    scanned.AddHeader(std::make_unique<CBookHeader>(u"/in/b.fb2"_s, 10));
    scanned.AddHeader(std::make_unique<CBookHeader>(u"/in/c.fb2"_s, 10));
    EXPECT_EQ(list_.TakeRows(scanned), 2);
    EXPECT_EQ(list_.TakeRows(list_), 0);
    EXPECT_EQ(scanned.Count(), 0);
    ASSERT_EQ(list_.Count(), 3);
    EXPECT_EQ(list_.Row(0).fileName, u"a");
    EXPECT_EQ(list_.Row(2).fileName, u"c");
}
