#pragma once
// Counting what the author tree shows and what the catalog holds, for the Shelf page's status
// line. Groups include the default groups, which have no tree rows of their own.
#include <QString>

namespace lbv {

class CLibravonDoc;
struct SearchResult;

struct ShelfCounts {
    qsizetype authors = 0;
    qsizetype groups = 0;
    qsizetype books = 0;
    bool operator==(const ShelfCounts&) const = default;
};

ShelfCounts CountCatalog(const CLibravonDoc& catalog);
ShelfCounts CountResult(const SearchResult& result);

// "Selected <shown> authors / groups / books of <catalog counts>."
QString ShelfStatusLine(const ShelfCounts& shown, const ShelfCounts& catalog);

} // namespace lbv
