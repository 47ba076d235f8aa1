#include "catalog/libravon_doc.h"
#include "text/case_fold.h"

#include <gtest/gtest.h>

using namespace lbv;

namespace {

BookDescription Header(const QString& first, const QString& last, const QString& title,
    const QString& file = {}, int year = 0, const QString& genre = {})
{
    BookDescription h;
    h.firstName = first;
    h.lastName = last;
    h.title = title;
    h.file = file;
    h.year = year;
    h.genre = genre;
    return h;
}

QStringList AuthorNames(const CLibravonDoc& doc)
{
    QStringList names;
    for (const auto& a : doc.Authors())
        names << a->lastName + QLatin1Char(',') + a->firstName;
    return names;
}

QStringList Titles(const CGroup* group)
{
    QStringList titles;
    for (const auto& b : group->Books())
        titles << b->title;
    return titles;
}

class CatalogModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc.path = QStringLiteral("/lib/index.lvf");
        doc.compressFiles = false;
    }
    CBook* Add(const QString& first, const QString& last, const QString& title)
    {
        doc.AddBook(Header(first, last, title), false);
        return doc.FindBook(Header(first, last, title));
    }
    CLibravonDoc doc;
};

} // namespace

TEST_F(CatalogModel, NewAuthorsLandSortedWithOneDefaultGroup)
{
    Add(QStringLiteral("Ivar"), QStringLiteral("Kessel"), QStringLiteral("Foundation"));
    Add(QStringLiteral("Anna"), QStringLiteral("Abel"), QStringLiteral("A"));
    Add(QStringLiteral("Лев"), QStringLiteral("Толстой"), QStringLiteral("Война и мир"));
    Add(QStringLiteral("Zed"), QStringLiteral("kessel"), QStringLiteral("B"));
    Add(QStringLiteral("Bob"), QStringLiteral("Mills"), QStringLiteral("C"));
    EXPECT_EQ(AuthorNames(doc),
        (QStringList {QStringLiteral("Abel,Anna"), QStringLiteral("Kessel,Ivar"),
            QStringLiteral("kessel,Zed"), QStringLiteral("Mills,Bob"),
            QStringLiteral("Толстой,Лев")}));
    for (const auto& author : doc.Authors()) {
        ASSERT_EQ(author->Groups().size(), 1u);
        EXPECT_EQ(author->Groups()[0]->name, QStringLiteral("default"));
    }
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(CatalogModel, NamesDifferingOnlyInCaseMakeTwoAdjacentAuthors)
{
    Add(QStringLiteral("Ivar"), QStringLiteral("Kessel"), QStringLiteral("One"));
    Add(QStringLiteral("Zoe"), QStringLiteral("Adams"), QStringLiteral("Two"));
    Add(QStringLiteral("IVAR"), QStringLiteral("KESSEL"), QStringLiteral("One"));
    Add(QStringLiteral("Yan"), QStringLiteral("Zorn"), QStringLiteral("Three"));
    ASSERT_EQ(doc.Authors().size(), 4u);
    EXPECT_EQ(CompareNoCase(doc.Authors()[1]->lastName, doc.Authors()[2]->lastName), 0);
    EXPECT_NE(doc.Authors()[1].get(), doc.Authors()[2].get());
    EXPECT_EQ(doc.FindAuthor(QStringLiteral("IVAR"), QStringLiteral("KESSEL"))->firstName,
        QStringLiteral("IVAR"));
    EXPECT_EQ(doc.FindAuthor(QStringLiteral("ivar"), QStringLiteral("kessel")), nullptr);
}

TEST_F(CatalogModel, MergeFillsOnlyWhatIsMissing)
{
    const QString standard = doc.StandardFileName(QStringLiteral("Ivar"), QStringLiteral("Kessel"),
        QStringLiteral("Foundation"), {}, FormatFb2, CompressionNone);
    EXPECT_EQ(standard, QStringLiteral("/lib/Ivar Kessel/Ivar Kessel. Foundation.fb2"));

    ASSERT_TRUE(doc.AddBook(Header(QStringLiteral("Ivar"), QStringLiteral("Kessel"),
                                QStringLiteral("Foundation"), QStringLiteral("/elsewhere/f.fb2")),
        false));
    CBook* book = doc.Authors()[0]->Groups()[0]->Books()[0].get();
    EXPECT_GT(book->added, 0);

    // Year and genre fill in; a file off the standard place is never taken.
    EXPECT_TRUE(doc.AddBook(Header(QStringLiteral("Ivar"), QStringLiteral("Kessel"),
                                QStringLiteral("Foundation"), QStringLiteral("/other/f.fb2"), 1951,
                                QStringLiteral("sf")),
        false));
    EXPECT_EQ(book->year, 1951);
    EXPECT_EQ(book->genre, QStringLiteral("sf"));
    EXPECT_EQ(book->file, QStringLiteral("/elsewhere/f.fb2"));

    // A file at the standard place (compared ignoring case and separators) is taken.
    BookDescription atStandard = Header(QStringLiteral("Ivar"), QStringLiteral("Kessel"),
        QStringLiteral("Foundation"), standard.toUpper(), 1999, QStringLiteral("other"));
    atStandard.format = FormatFb2;
    atStandard.compression = CompressionNone;
    EXPECT_TRUE(doc.AddBook(atStandard, false));
    EXPECT_EQ(book->file, standard.toUpper());
    EXPECT_EQ(book->year, 1951);
    EXPECT_EQ(book->genre, QStringLiteral("sf"));

    // Nothing left to merge: no change, modified flag untouched.
    doc.SetModified(false);
    EXPECT_FALSE(doc.AddBook(atStandard, false));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.Authors()[0]->BookCount(), 1);
}

TEST_F(CatalogModel, ReplaceKeepsGenreWhenHeaderHasNone)
{
    doc.AddBook(Header(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("T"),
                    QStringLiteral("/x.fb2"), 2000, QStringLiteral("prose")),
        false);
    CBook* book = doc.FindBook(Header(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("T")));
    BookDescription replacement = Header(QStringLiteral("A"), QStringLiteral("B"),
        QStringLiteral("T"), QStringLiteral("/y.zip@y.fb2"), 0, {});
    replacement.compression = CompressionZip;
    EXPECT_TRUE(doc.AddBook(replacement, true));
    EXPECT_EQ(book->genre, QStringLiteral("prose"));
    EXPECT_EQ(book->year, 2000);
    EXPECT_EQ(book->file, QStringLiteral("/y.zip@y.fb2"));
    EXPECT_EQ(book->compression, CompressionZip);
    replacement.genre = QStringLiteral("sf");
    EXPECT_TRUE(doc.AddBook(replacement, true));
    EXPECT_EQ(book->genre, QStringLiteral("sf"));
}

TEST_F(CatalogModel, FindBookScansGroupsInOrder)
{
    CBook* first = Add(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("T"));
    CAuthor* author = first->Author();
    CGroup* later = doc.CreateGroup(author, QStringLiteral("Series"));
    ASSERT_TRUE(later);
    auto twin = std::make_unique<CBook>();
    twin->title = QStringLiteral("T");
    later->AppendBook(std::move(twin));
    EXPECT_EQ(doc.FindBook(Header(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("T"))),
        first);
    // Once the first copy moves behind the second, the second is found.
    ASSERT_TRUE(doc.MoveBookToGroup(first, later));
    CBook* second = later->Books()[0].get();
    EXPECT_EQ(doc.FindBook(Header(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("T"))),
        second);
    EXPECT_EQ(doc.FindBook(Header(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("t"))),
        nullptr);
}

TEST_F(CatalogModel, RemovalCascadesAndReportsWhatWent)
{
    CBook* only = Add(QStringLiteral("Solo"), QStringLiteral("Author"), QStringLiteral("One"));
    bool groupRemoved = false, authorRemoved = false;
    EXPECT_TRUE(doc.RemoveBook(only, &groupRemoved, &authorRemoved));
    EXPECT_TRUE(groupRemoved);
    EXPECT_TRUE(authorRemoved);
    EXPECT_TRUE(doc.Authors().empty());

    CBook* a = Add(QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("a"));
    CBook* b = Add(QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("b"));
    EXPECT_TRUE(doc.RemoveBook(a, &groupRemoved, &authorRemoved));
    EXPECT_FALSE(groupRemoved);
    EXPECT_FALSE(authorRemoved);
    CGroup* extra = doc.CreateGroup(b->Author(), QStringLiteral("Extra"));
    EXPECT_TRUE(doc.RemoveGroup(extra, &authorRemoved));
    EXPECT_FALSE(authorRemoved);
    EXPECT_EQ(doc.Authors().size(), 1u);
    EXPECT_TRUE(doc.RemoveGroup(b->group, &authorRemoved));
    EXPECT_TRUE(authorRemoved);
    EXPECT_TRUE(doc.Authors().empty());

    CLibravonDoc other;
    other.AddBook(Header(QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("z")), false);
    EXPECT_FALSE(doc.RemoveAuthor(other.Authors()[0].get()));
}

TEST_F(CatalogModel, DeletingAGroupMovesItsBooksToANewDefaultGroupInReverse)
{
    CAuthor* author = doc.AppendAuthor(QStringLiteral("A"), QStringLiteral("B"));
    CGroup* group = author->AppendGroup(QStringLiteral("Saga"));
    for (const char* t : {"first", "second", "third"}) {
        auto book = std::make_unique<CBook>();
        book->title = QString::fromLatin1(t);
        group->AppendBook(std::move(book));
    }
    bool authorRemoved = true;
    EXPECT_TRUE(doc.RemoveGroupKeepingBooks(group, &authorRemoved));
    EXPECT_FALSE(authorRemoved);
    ASSERT_EQ(author->Groups().size(), 1u);
    CGroup* fallback = author->Groups()[0].get();
    EXPECT_EQ(fallback->name, QStringLiteral("default"));
    EXPECT_EQ(Titles(fallback),
        (QStringList {QStringLiteral("third"), QStringLiteral("second"), QStringLiteral("first")}));
    for (const auto& book : fallback->Books())
        EXPECT_EQ(book->group, fallback);

    // The default group itself goes with its books.
    EXPECT_TRUE(doc.RemoveGroupKeepingBooks(fallback, &authorRemoved));
    EXPECT_TRUE(authorRemoved);
}

TEST_F(CatalogModel, MovesAreRefusedAcrossAuthorsAndWithinOneGroupOnly)
{
    CBook* a1 = Add(QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("1"));
    CBook* a2 = Add(QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("2"));
    CBook* a3 = Add(QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("3"));
    CBook* b1 = Add(QStringLiteral("B"), QStringLiteral("B"), QStringLiteral("1"));
    doc.SetModified(false);
    EXPECT_FALSE(doc.MoveBookToGroup(a1, b1->group));
    EXPECT_FALSE(doc.MoveBookToGroup(a1, a1->group));
    EXPECT_FALSE(doc.MoveBookBefore(a1, a1));
    EXPECT_FALSE(doc.MoveBookBefore(a1, b1));
    EXPECT_FALSE(doc.IsModified());

    CGroup* group = a1->group;
    EXPECT_TRUE(doc.MoveBookBefore(a1, a3)); // from above: ends just after the other
    EXPECT_EQ(Titles(group), (QStringList {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("1")}));
    EXPECT_TRUE(doc.MoveBookBefore(a1, a2)); // from below: ends just before the other
    EXPECT_EQ(Titles(group), (QStringList {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(CatalogModel, SortingAGroupOrdersTitlesIgnoringCaseAndForgetsStaleTitleLookups)
{
    CBook* banana = Add(QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("Banana"));
    Add(QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("cherry"));
    Add(QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("apple"));
    doc.SetModified(false);
    const quint64 generation = doc.Generation();

    EXPECT_TRUE(doc.SortGroupByTitle(banana->group));
    EXPECT_EQ(Titles(banana->group),
        (QStringList {QStringLiteral("apple"), QStringLiteral("Banana"), QStringLiteral("cherry")}));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_NE(doc.Generation(), generation);
    EXPECT_EQ(doc.FindBook(Header(QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("Banana"))),
        banana);
    EXPECT_FALSE(doc.SortGroupByTitle(nullptr));
}

TEST_F(CatalogModel, GroupNamesAreTrimmedNonEmptyAndUnique)
{
    CBook* book = Add(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("T"));
    CAuthor* author = book->Author();
    QString error;
    EXPECT_EQ(doc.CreateGroup(author, QStringLiteral("   "), &error), nullptr);
    EXPECT_EQ(error, QStringLiteral("The group name can not be empty."));
    EXPECT_EQ(doc.CreateGroup(author, QStringLiteral(" default "), &error), nullptr);
    EXPECT_EQ(error, QStringLiteral("This group is already exists."));
    CGroup* group = doc.CreateGroup(author, QStringLiteral("  Saga  "), &error);
    ASSERT_TRUE(group);
    EXPECT_EQ(group->name, QStringLiteral("Saga"));
    EXPECT_TRUE(doc.RenameGroup(group, QStringLiteral("Default")));
    EXPECT_EQ(author->FindGroup(QStringLiteral("Default")), group);
    EXPECT_EQ(author->FindGroup(QStringLiteral("default")), book->group);
}

TEST_F(CatalogModel, StandardPlaceAndStoredPath)
{
    doc.fileNameMask = QStringLiteral("%l\\%t");
    CBook* book = Add(QStringLiteral("Ivar"), QStringLiteral("Kessel"), QStringLiteral("Dune?"));
    book->format = FormatTxt;
    EXPECT_EQ(book->DefaultFileName(doc), QStringLiteral("/lib/Kessel/Dune.txt"));
    book->file = QStringLiteral("/LIB\\kessel\\dune.TXT");
    EXPECT_TRUE(book->IsAtStandardPlace(doc));
    book->compression = CompressionZip;
    EXPECT_EQ(book->DefaultFileName(doc), QStringLiteral("/lib/Kessel/Dune.zip@Dune.txt"));
    EXPECT_FALSE(book->IsAtStandardPlace(doc));

    book->file = QStringLiteral("/lib/Kessel/Dune.zip@Dune.txt");
    EXPECT_EQ(book->StoredFilePath(), QStringLiteral("/lib/Kessel/Dune.zip"));
    book->file = QStringLiteral("/lib/Kessel/Dune.txt");
    EXPECT_EQ(book->StoredFilePath(), book->file);
    EXPECT_EQ(FormatExtension(99), QString());
}

TEST_F(CatalogModel, NewEmptiesButKeepsMaskAndCompression)
{
    doc.fileNameMask = QStringLiteral("%t");
    doc.compressFiles = true;
    Add(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("T"));
    doc.SetModified(false);
    EXPECT_TRUE(doc.New());
    EXPECT_TRUE(doc.Authors().empty());
    EXPECT_EQ(doc.path, QStringLiteral("untitled"));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.fileNameMask, QStringLiteral("%t"));
    EXPECT_TRUE(doc.compressFiles);
    EXPECT_EQ(doc.FindBook(Header(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("T"))),
        nullptr);
}

TEST(CatalogDefaults, FreshCatalogHoldsTheDefaultMaskAndCompression)
{
    CLibravonDoc doc;
    EXPECT_EQ(doc.fileNameMask, QStringLiteral("%f %l\\%f %l. %t"));
    EXPECT_TRUE(doc.compressFiles);
    EXPECT_EQ(doc.path, QString());
    EXPECT_FALSE(doc.IsModified());
}
