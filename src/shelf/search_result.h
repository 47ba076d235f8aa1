#pragma once
// What a search or filter keeps of the catalog: result authors holding result groups holding the
// catalog books that passed, each in catalog order. Result authors and groups are catalog items
// of their own whose Record() is the catalog record they stand for, so tree rows can hold either.
// A result points into the catalog: it is stale once the catalog changes (see IsStale).
#include "catalog/libravon_doc.h"

#include <memory>
#include <vector>

namespace lbv {

class SearchGroup final : public CCatalogItem {
public:
    explicit SearchGroup(CGroup* catalogGroup)
        : CCatalogItem(KindGroup)
        , group(catalogGroup)
        , name(catalogGroup->name)
    {
    }
    CCatalogItem* Record() override { return group; }

    CGroup* const group;
    const QString name;
    std::vector<CBook*> books; // the catalog's books that passed, in the group's order
};

class SearchAuthor final : public CCatalogItem {
public:
    explicit SearchAuthor(CAuthor* catalogAuthor)
        : CCatalogItem(KindAuthor)
        , author(catalogAuthor)
        , firstName(catalogAuthor->firstName)
        , lastName(catalogAuthor->lastName)
    {
    }
    CCatalogItem* Record() override { return author; }

    CAuthor* const author;
    const QString firstName;
    const QString lastName;
    std::vector<std::unique_ptr<SearchGroup>> groups; // in the author's order, none empty
};

struct SearchResult {
    std::vector<std::unique_ptr<SearchAuthor>> authors; // in catalog order, none empty
    quint64 catalogGeneration = 0;

    // True once the catalog has changed since the search: its records may be gone, so run the
    // search again before using this result.
    bool IsStale(const CLibravonDoc& catalog) const
    {
        return catalog.Generation() != catalogGeneration;
    }
};

} // namespace lbv
