#include "catalog/libravon_doc.h"
#include "shelf/author_tree_rows.h"
#include "shelf/search_result.h"
#include "shelf/shelf_counts.h"

#include <gtest/gtest.h>

using namespace lbv;

namespace {

CBook* AddBook(CLibravonDoc& catalog, const char* first, const char* last, const char* title)
{
    BookDescription book;
    book.firstName = QString::fromUtf8(first);
    book.lastName = QString::fromUtf8(last);
    book.title = QString::fromUtf8(title);
    catalog.AddBook(book, false);
    return catalog.FindBook(book);
}

TreeRowText Author(const char* first, const char* last, qsizetype books)
{
    return {true, QString::fromUtf8(first), QString::fromUtf8(last), books};
}

TreeRowText Group(const char* name, qsizetype books)
{
    return {false, QString::fromUtf8(name), QString(), books};
}

} // namespace

TEST(ShelfCounts, CountsDefaultGroupsAndTheShownResultAgainstTheCatalog)
{
    CLibravonDoc catalog;
    AddBook(catalog, "Ivar", "Kessel", "North");
    CBook* south = AddBook(catalog, "Ivar", "Kessel", "South");
    AddBook(catalog, "Maria", "Holm", "Tide");
    CAuthor* kessel = south->Author();
    CGroup* series = catalog.CreateGroup(kessel, QStringLiteral("Series"));
    catalog.MoveBookToGroup(south, series);

    const ShelfCounts all = CountCatalog(catalog);
    EXPECT_EQ(all, (ShelfCounts {2, 3, 3}));

    SearchResult result;
    auto found = std::make_unique<SearchAuthor>(kessel);
    found->groups.push_back(std::make_unique<SearchGroup>(series));
    found->groups.back()->books.push_back(south);
    result.authors.push_back(std::move(found));
    EXPECT_EQ(CountResult(result), (ShelfCounts {1, 1, 1}));
    EXPECT_EQ(ShelfStatusLine(CountResult(result), all),
        QStringLiteral("Selected 1 authors / 1 groups / 1 books of 2/3/3."));
}

TEST(AuthorTreeOrder, BooksColumnIsNumericAndEqualWhenCountsAreHidden)
{
    EXPECT_LT(CompareTreeRows(2, Group("a", 9), Group("b", 10), true), 0);
    EXPECT_GT(CompareTreeRows(2, Author("A", "B", 10), Author("A", "B", 9), true), 0);
    EXPECT_EQ(CompareTreeRows(2, Group("a", 9), Group("b", 10), false), 0);
}

TEST(AuthorTreeOrder, NameColumnsTieBreakOnTheOtherNameAndGroupsGoByName)
{
    EXPECT_GT(CompareTreeRows(0, Author("Anna", "Zorn", 0), Author("Anna", "Berg", 0), true), 0);
    EXPECT_LT(CompareTreeRows(1, Author("Zed", "Berg", 0), Author("Anna", "Zorn", 0), true), 0);
    EXPECT_LT(CompareTreeRows(1, Author("Anna", "Berg", 0), Author("Zed", "Berg", 0), true), 0);
    EXPECT_LT(CompareTreeRows(1, Group("Alpha", 5), Group("Beta", 1), true), 0);
    // Ordinal and case-sensitive: capitals first.
    EXPECT_LT(CompareTreeRows(0, Group("Zeta", 0), Group("alpha", 0), true), 0);
    EXPECT_EQ(CompareTreeRows(0, Group("same", 1), Group("same", 2), true), 0);
}

TEST(AuthorTreeRows, RowTextSumsAnAuthorsGroups)
{
    CLibravonDoc catalog;
    CBook* north = AddBook(catalog, "Ivar", "Kessel", "North");
    AddBook(catalog, "Ivar", "Kessel", "South");
    CGroup* series = catalog.CreateGroup(north->Author(), QStringLiteral("Series"));
    catalog.MoveBookToGroup(north, series);
    const TreeRowText author = RowText(north->Author());
    EXPECT_TRUE(author.isAuthor);
    EXPECT_EQ(author.books, 2);
    const TreeRowText group = RowText(series);
    EXPECT_FALSE(group.isAuthor);
    EXPECT_EQ(group.first, QStringLiteral("Series"));
    EXPECT_EQ(group.books, 1);
}
