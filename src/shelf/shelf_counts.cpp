#include "shelf/shelf_counts.h"

#include "catalog/libravon_doc.h"
#include "shelf/search_result.h"
#include "text/messages.h"

namespace lbv {

ShelfCounts CountCatalog(const CLibravonDoc& catalog)
{
    ShelfCounts counts;
    for (const auto& author : catalog.Authors()) {
        ++counts.authors;
        counts.groups += qsizetype(author->Groups().size());
        counts.books += author->BookCount();
    }
    return counts;
}

ShelfCounts CountResult(const SearchResult& result)
{
    ShelfCounts counts;
    for (const auto& author : result.authors) {
        ++counts.authors;
        counts.groups += qsizetype(author->groups.size());
        for (const auto& group : author->groups)
            counts.books += qsizetype(group->books.size());
    }
    return counts;
}

QString ShelfStatusLine(const ShelfCounts& shown, const ShelfCounts& catalog)
{
    return MessageText(Msg::ShelfStatus)
        .arg(shown.authors)
        .arg(shown.groups)
        .arg(shown.books)
        .arg(catalog.authors)
        .arg(catalog.groups)
        .arg(catalog.books);
}

} // namespace lbv
