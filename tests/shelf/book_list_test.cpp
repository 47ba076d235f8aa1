#include "catalog/libravon_doc.h"
#include "import/book_placement.h"
#include "shelf/book_annotation.h"
#include "shelf/book_list_rules.h"
#include "shelf/book_row_text.h"
#include "shelf/search_result.h"
#include "text/messages.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lbv;
using namespace Qt::StringLiterals;

namespace {

constexpr int kPrefetch = 4096;

QByteArray Fb2(const QString& annotation, const QString& body = QStringLiteral("<p>Text.</p>"))
{
    return (u"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
            u"<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\"><description>"
            u"<title-info><genre>sf</genre><author><first-name>Ivar</first-name>"
            u"<last-name>Kessel</last-name></author><book-title>Foundation</book-title>"
        + annotation + u"</title-info></description><body><section>" + body
        + u"</section></body></FictionBook>")
        .toUtf8();
}

const QString kTwoParagraphs
    = QStringLiteral("<annotation><p>First <emphasis>part</emphasis>.</p><empty-line/>"
                     "<p>Second.</p></annotation>");

class BookList : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        doc.path = dir.filePath(QStringLiteral("index.lvf"));
        doc.compressFiles = false;
    }
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    CBook* Add(const QString& title, const QString& file = {}, int compression = CompressionNone,
        const QString& last = QStringLiteral("Kessel"))
    {
        BookDescription h;
        h.firstName = QStringLiteral("Ivar");
        h.lastName = last;
        h.title = title;
        h.file = file;
        h.compression = compression;
        doc.AddBook(h, false);
        return doc.FindBook(h);
    }
    QTemporaryDir dir;
    CLibravonDoc doc;
};

QStringList Titles(const CGroup* group)
{
    QStringList titles;
    for (const auto& book : group->Books())
        titles << book->title;
    return titles;
}

} // namespace

TEST_F(BookList, SizeClassesChangeAtFiveAndHundredKilobytes)
{
    struct Case {
        qint64 bytes;
        BookSizeClass sizeClass;
        const char* text;
    };
    const Case cases[] = {{0, BookSizeClass::Short, "0"}, {5120, BookSizeClass::Short, "5120"},
        {5121, BookSizeClass::Normal, "5K"}, {102400, BookSizeClass::Normal, "100K"},
        {102401, BookSizeClass::Long, "100K"}};
    for (const Case& c : cases) {
        CBook* book = Add(QString::number(c.bytes),
            Write(QString::number(c.bytes) + u".fb2", QByteArray(c.bytes, 'x')));
        const BookSizeInfo size = BookSizeOf(*book, doc);
        EXPECT_EQ(size.sizeClass, c.sizeClass) << c.bytes;
        EXPECT_EQ(size.text, QLatin1String(c.text)) << c.bytes;
    }
    EXPECT_EQ(BookSizeOfBytes(5121).ForegroundIndex(), 1);
    EXPECT_EQ(BookSizeOfBytes(5121).BackgroundIndex(), 5);
    EXPECT_EQ(BookSizeOfBytes(102401).ForegroundIndex(), 2);
}

TEST_F(BookList, OfflineBooksAreNotAvailableAndArchivesSizeTheirMembers)
{
    const BookSizeInfo missing = BookSizeOf(*Add(u"gone"_s, dir.filePath(u"gone.fb2"_s)), doc);
    EXPECT_EQ(missing.sizeClass, BookSizeClass::NotAvailable);
    EXPECT_EQ(missing.text, u"N/A"_s);
    EXPECT_EQ(missing.ForegroundIndex(), 3);
    EXPECT_EQ(missing.BackgroundIndex(), 7);

    // No stored path: the standard place, which holds nothing here.
    EXPECT_EQ(BookSizeOf(*Add(u"nowhere"_s), doc).sizeClass, BookSizeClass::NotAvailable);

    // A plain book in a folder whose name holds "@" keeps its whole path.
    CBook* plain = Add(u"at"_s, Write(u"user@host/book.fb2"_s, QByteArray(6000, 'x')));
    EXPECT_EQ(BookSizeOf(*plain, doc).text, u"5K"_s);

    const QString member = dir.filePath(u"packed.fb2.zip"_s) + u"@packed.fb2";
    QString error;
    ASSERT_TRUE(WriteBookIntoArchive(member, Fb2(kTwoParagraphs), false, &error)) << error.toStdString();
    CBook* packed = Add(u"packed"_s, member, CompressionZip);
    EXPECT_EQ(BookSizeOf(*packed, doc).text,
        QString::number(QFileInfo(dir.filePath(u"packed.fb2.zip"_s)).size()));
}

TEST_F(BookList, DetailsLineNamesTheGroupOnlyOutsideTheDefaultOne)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    CBook* book = Add(u"Foundation"_s);
    book->added = 1584273600; // 2020-03-15 12:00 UTC: the same day in every nearby zone
    EXPECT_EQ(BookDetailsLine(*book, u"5K"_s), u"Ivar Kessel -- 5K (added 3/15/20)"_s);

    CGroup* series = doc.CreateGroup(book->Author(), u"Series"_s);
    ASSERT_TRUE(doc.MoveBookToGroup(book, series));
    EXPECT_EQ(BookDetailsLine(*book, u"N/A"_s), u"Ivar Kessel (Series) -- N/A (added 3/15/20)"_s);
    QLocale::setDefault(QLocale::system());

    EXPECT_EQ(BookYearText(0), QString());
    EXPECT_EQ(BookYearText(1951), u"1951"_s);
}

TEST_F(BookList, AnnotationIsReadOnceFromPlainBooksAndArchiveMembers)
{
    CBook* plain = Add(u"plain"_s, Write(u"plain.fb2"_s, Fb2(kTwoParagraphs)));
    EXPECT_TRUE(LoadAnnotation(*plain, doc, kPrefetch));
    EXPECT_TRUE(plain->annotationLoaded);
    EXPECT_EQ(plain->annotation, (QStringList {u"First part."_s, u"Second."_s}));
    // Loaded once: a changed file is not read again.
    Write(u"plain.fb2"_s, Fb2({}));
    EXPECT_TRUE(LoadAnnotation(*plain, doc, kPrefetch));
    EXPECT_EQ(plain->annotation.size(), 2);

    const QString member = dir.filePath(u"packed.fb2.zip"_s) + u"@packed.fb2";
    QString error;
    ASSERT_TRUE(WriteBookIntoArchive(member, Fb2(kTwoParagraphs), false, &error));
    CBook* packed = Add(u"packed"_s, member, CompressionZip);
    EXPECT_TRUE(LoadAnnotation(*packed, doc, kPrefetch));
    EXPECT_EQ(packed->annotation.value(1), u"Second."_s);
}

TEST_F(BookList, BooksWithoutAnnotationAreLoadedEmptyButUnreadableOnesAreRetried)
{
    CBook* none = Add(u"none"_s, Write(u"none.fb2"_s, Fb2({})));
    EXPECT_FALSE(LoadAnnotation(*none, doc, kPrefetch));
    EXPECT_TRUE(none->annotationLoaded);

    CBook* text = Add(u"text"_s, Write(u"text.txt"_s, "Plain text <annotation><p>x</p>"));
    text->format = FormatTxt;
    EXPECT_FALSE(LoadAnnotation(*text, doc, kPrefetch));
    EXPECT_TRUE(text->annotationLoaded);
    EXPECT_TRUE(text->annotation.isEmpty());

    const QString later = dir.filePath(u"later.fb2"_s);
    CBook* offline = Add(u"later"_s, later);
    EXPECT_FALSE(LoadAnnotation(*offline, doc, kPrefetch));
    EXPECT_FALSE(offline->annotationLoaded);
    Write(u"later.fb2"_s, Fb2(kTwoParagraphs));
    EXPECT_TRUE(LoadAnnotation(*offline, doc, kPrefetch));
}

TEST_F(BookList, MenuOffersEditingOnlyOutsideAutorunAndImportRuns)
{
    BookListState state;
    BookMenuEnabling menu = BookMenuEnablingFor(state);
    EXPECT_FALSE(menu.deleteBooks || menu.sort || menu.read || menu.properties);
    EXPECT_TRUE(menu.selectAll);

    state.selectedCount = 2;
    state.hasGroup = true;
    menu = BookMenuEnablingFor(state);
    EXPECT_TRUE(menu.deleteBooks && menu.sort && menu.read && menu.properties);

    for (const bool autorun : {true, false}) {
        state.autorun = autorun;
        state.importRunning = !autorun;
        menu = BookMenuEnablingFor(state);
        EXPECT_FALSE(menu.deleteBooks || menu.sort);
        EXPECT_TRUE(menu.read && menu.properties && menu.selectAll);
    }
}

TEST_F(BookList, DragsStartOnlyUnsortedAndWhereTheCatalogMayChange)
{
    BookListState state {1, true, false, false};
    EXPECT_EQ(CheckDragStart(state, false), DragStart::Allowed);
    EXPECT_EQ(CheckDragStart(state, true), DragStart::RefusedWhileSorted);
    state.autorun = true;
    EXPECT_EQ(CheckDragStart(state, false), DragStart::Refused);
    state = {1, false, false, false};
    EXPECT_EQ(CheckDragStart(state, false), DragStart::Refused);
}

TEST_F(BookList, DroppedBooksAreReorderedOrMovedWithinTheirAuthor)
{
    CBook* a = Add(u"a"_s);
    CBook* b = Add(u"b"_s);
    CBook* c = Add(u"c"_s);
    CGroup* group = a->group;
    doc.SetModified(false);
    EXPECT_FALSE(MoveBooksBefore(doc, {b}, b));
    EXPECT_FALSE(doc.IsModified());

    // a goes to b's place (after b, coming from above), then c to a's place (before a, coming
    // from below).
    EXPECT_TRUE(MoveBooksBefore(doc, {a, c}, b));
    EXPECT_EQ(Titles(group), (QStringList {u"b"_s, u"c"_s, u"a"_s}));

    CGroup* series = doc.CreateGroup(a->Author(), u"Series"_s);
    CBook* other = Add(u"other"_s, {}, CompressionNone, u"Adams"_s);
    EXPECT_EQ(MoveBooksToGroup(doc, {a, other}, series), 1);
    EXPECT_EQ(Titles(series), QStringList {u"a"_s});
    EXPECT_EQ(other->group->name, kDefaultGroupName);
}

TEST_F(BookList, DropOnAnAuthorCreatesItsDefaultGroupOnlyForItsOwnBooks)
{
    CBook* book = Add(u"a"_s);
    CGroup* series = doc.CreateGroup(book->Author(), u"Series"_s);
    ASSERT_TRUE(doc.MoveBookToGroup(book, series));
    ASSERT_TRUE(doc.RemoveGroup(book->Author()->FindGroup(kDefaultGroupName)));
    CBook* stranger = Add(u"s"_s, {}, CompressionNone, u"Adams"_s);
    doc.SetModified(false);

    EXPECT_EQ(DropTargetGroup(doc, book->Author(), {stranger}), nullptr);
    EXPECT_EQ(book->Author()->FindGroup(kDefaultGroupName), nullptr);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(CantDropHereText(*stranger),
        u"Can't drop here!\r\nThis book can only be dropped at subgroups of Adams Ivar"_s);

    // Rows of a search result stand for their catalog records.
    SearchAuthor resultAuthor(book->Author());
    CGroup* target = DropTargetGroup(doc, &resultAuthor, {book});
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->name, kDefaultGroupName);
    SearchGroup resultGroup(series);
    EXPECT_EQ(DropTargetGroup(doc, &resultGroup, {stranger}), series);
    EXPECT_EQ(DropTargetGroup(doc, nullptr, {book}), nullptr);
}

TEST_F(BookList, DeleteQuestionNamesOneBookOrCountsSeveral)
{
    CBook* a = Add(u"Foundation"_s);
    CBook* b = Add(u"Empire"_s);
    EXPECT_EQ(DeleteBooksQuestionText({a}), u"Are you sure want to delete book \"Foundation\"?"_s);
    EXPECT_EQ(DeleteBooksQuestionText({a, b}), u"Are you sure want to delete 2 selected books?"_s);
}
