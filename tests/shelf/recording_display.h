#pragma once
// A Shelf page stand-in that records what the search asked it to show.
#include "shelf/shelf_search.h"

namespace lbv {

class RecordingDisplay : public ShelfDisplay {
public:
    void ShowAuthors(CLibravonDoc* catalog, const SearchResult* result) override
    {
        ++shows;
        shownCatalog = catalog;
        shownResult = result;
    }
    void ClearCurrentAuthorAndGroup() override { ++clears; }
    void Beep() override { ++beeps; }

    int shows = 0;
    int clears = 0;
    int beeps = 0;
    CLibravonDoc* shownCatalog = nullptr;
    const SearchResult* shownResult = nullptr;
};

} // namespace lbv
