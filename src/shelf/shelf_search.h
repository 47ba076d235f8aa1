#pragma once
// The shelf's search and active filter: narrows the catalog to the authors, groups and books
// that match a search text and pass the active filter, and hands the result to the author tree.
#include "shelf/search_result.h"
#include "shelf/search_text_cache.h"

#include <memory>

namespace lbv {

class CLibravonDoc;
class GenreDictionary;
class SettingsStore;
struct Filter;

// What the search needs from the Shelf page; the GUI implements it.
class ShelfDisplay {
public:
    virtual ~ShelfDisplay() = default;
    // Rebuilds the author tree: the result's authors, or every author when `result` is null.
    // Both pointers stay valid until the next call.
    virtual void ShowAuthors(CLibravonDoc* catalog, const SearchResult* result) = 0;
    virtual void ClearCurrentAuthorAndGroup() = 0;
    // Tells the user that nothing was found.
    virtual void Beep() = 0;
};

class ShelfSearch {
public:
    ShelfSearch(const GenreDictionary& genres, SettingsStore& settings, ShelfDisplay& display);
    ~ShelfSearch();

    // The catalog searched from now on (null for none). Shows nothing by itself: the next
    // Search rebuilds the tree.
    void SetCatalog(CLibravonDoc* catalog);
    CLibravonDoc* Catalog() const { return catalog_; }

    // Shows the authors matching `text` whose books pass the active filter. Without a filter a
    // text of up to two characters shows the whole catalog (left as it is when already shown
    // and the catalog has not changed since). Beeps when nothing matched. Returns whether
    // anything is shown.
    bool Search(const QString& text);
    // Makes `filter` (null for none) active, remembers its name as the active filter in the
    // settings and searches `searchText` again.
    bool Apply(Filter* filter, const QString& searchText);
    // Forgets the active filter without storing anything (its filter was deleted).
    void DropActiveFilter() { activeFilter_ = nullptr; }
    Filter* ActiveFilter() const { return activeFilter_; }

    // Whether the tree shows every author rather than a result; cleared so that the next short
    // search rebuilds the tree (after the catalog was reloaded).
    bool ShowsWholeCatalog() const { return wholeCatalog_; }
    void ForgetWholeCatalogShown() { wholeCatalog_ = false; }
    // The result on show, or null while the whole catalog (or nothing) is shown.
    const SearchResult* Result() const { return result_.get(); }

private:
    std::unique_ptr<SearchResult> Collect(const QString& lowerText);

    const GenreDictionary& genres_;
    SettingsStore& settings_;
    ShelfDisplay& display_;
    CLibravonDoc* catalog_ = nullptr;
    Filter* activeFilter_ = nullptr;
    bool wholeCatalog_ = false;
    quint64 shownGeneration_ = 0; // the catalog's generation when the whole catalog was shown
    std::unique_ptr<SearchResult> result_;
    SearchTextCache cache_;
};

} // namespace lbv
