#include "shelf/author_tree_rows.h"

#include "catalog/libravon_doc.h"
#include "shelf/search_result.h"

namespace lbv {

namespace {

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

int CompareNames(const QString& a1, const QString& a2, const QString& b1, const QString& b2)
{
    const int first = a1.compare(b1, Qt::CaseSensitive);
    return Sign(first != 0 ? first : a2.compare(b2, Qt::CaseSensitive));
}

} // namespace

TreeRowText RowText(CCatalogItem* item)
{
    TreeRowText text;
    if (auto* author = dynamic_cast<CAuthor*>(item)) {
        text = {true, author->firstName, author->lastName, author->BookCount()};
    } else if (auto* group = dynamic_cast<CGroup*>(item)) {
        text = {false, group->name, QString(), qsizetype(group->Books().size())};
    } else if (auto* found = dynamic_cast<SearchAuthor*>(item)) {
        text = {true, found->firstName, found->lastName, 0};
        for (const auto& foundGroup : found->groups)
            text.books += qsizetype(foundGroup->books.size());
    } else if (auto* foundGroup = dynamic_cast<SearchGroup*>(item)) {
        text = {false, foundGroup->name, QString(), qsizetype(foundGroup->books.size())};
    }
    return text;
}

int CompareTreeRows(int column, const TreeRowText& a, const TreeRowText& b, bool countsShown)
{
    if (column == 2)
        return countsShown ? int(a.books > b.books) - int(a.books < b.books) : 0;
    if (!a.isAuthor || !b.isAuthor)
        return Sign(a.first.compare(b.first, Qt::CaseSensitive));
    if (column == 1)
        return CompareNames(a.last, a.first, b.last, b.first);
    return CompareNames(a.first, a.last, b.first, b.last);
}

} // namespace lbv
