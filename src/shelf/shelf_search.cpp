#include "shelf/shelf_search.h"

#include "catalog/libravon_doc.h"
#include "shelf/filter.h"
#include "shelf/filter_list.h"
#include "shelf/genre_dictionary.h"
#include "shelf/profile_access.h"
#include "text/case_fold.h"
#include "text/messages.h"

#include <QStringMatcher>

namespace lbv {

ShelfSearch::ShelfSearch(const GenreDictionary& genres, ProfileAccess& profile, ShelfDisplay& display)
    : genres_(genres), profile_(profile), display_(display)
{
}

ShelfSearch::~ShelfSearch() = default;

void ShelfSearch::SetCatalog(CLibravonDoc* catalog)
{
    catalog_ = catalog;
    wholeCatalog_ = false;
}

bool ShelfSearch::Search(const QString& text)
{
    if (!catalog_) {
        display_.ClearCurrentAuthorAndGroup();
        wholeCatalog_ = false;
        return false;
    }
    if (!activeFilter_ && text.size() <= 2) {
        // Rows of records deleted since would dangle: a changed catalog is shown afresh.
        if (wholeCatalog_ && shownGeneration_ == catalog_->Generation())
            return true;
        display_.ClearCurrentAuthorAndGroup();
        display_.ShowAuthors(catalog_, nullptr);
        result_.reset(); // only now: the tree held pointers into it until ShowAuthors
        wholeCatalog_ = true;
        shownGeneration_ = catalog_->Generation();
        return true;
    }
    std::unique_ptr<SearchResult> result = Collect(LowerCase(text));
    const bool found = !result->authors.empty();
    if (!found)
        display_.Beep();
    display_.ClearCurrentAuthorAndGroup();
    wholeCatalog_ = false;
    display_.ShowAuthors(catalog_, result.get());
    result_ = std::move(result);
    return found;
}

bool ShelfSearch::Apply(Filter* filter, const QString& searchText)
{
    activeFilter_ = filter;
    profile_.WriteProfileString(kFiltersSection, kActiveFilterKey,
        filter ? filter->name : MessageText(Msg::NoFilter));
    return Search(searchText);
}

std::unique_ptr<SearchResult> ShelfSearch::Collect(const QString& lowerText)
{
    cache_.Update(*catalog_, genres_);
    const Filter* filter = activeFilter_;
    // The genre test once per distinct code instead of once per book.
    std::vector<bool> genreAdmitted;
    if (filter) {
        genreAdmitted.reserve(std::size_t(cache_.GenreCodes().size()));
        for (const QString& code : cache_.GenreCodes())
            genreAdmitted.push_back(filter->HasGenre(code));
    }
    const auto passes = [&](const CBook& book, int genre) {
        return !filter || (genreAdmitted[std::size_t(genre)] && PassesYearAndDate(*filter, book));
    };
    const QStringMatcher matcher(lowerText);
    const auto contains = [&](SearchTextCache::Span span) {
        return matcher.indexIn(cache_.Text(span)) >= 0;
    };

    auto result = std::make_unique<SearchResult>();
    result->catalogGeneration = catalog_->Generation();
    const auto& authorTexts = cache_.Authors();
    const auto& groupTexts = cache_.Groups();
    const auto& bookTexts = cache_.Books();
    const auto& authors = catalog_->Authors();
    for (std::size_t a = 0; a < authors.size(); ++a) {
        CAuthor* author = authors[a].get();
        // An empty text matches every author by name.
        const bool authorMatches = lowerText.isEmpty() || contains(authorTexts[a].name);
        std::unique_ptr<SearchAuthor> foundAuthor;
        std::size_t g = authorTexts[a].firstGroup;
        for (const auto& group : author->Groups()) {
            const SearchTextCache::GroupTexts& groupText = groupTexts[g++];
            const bool groupMatches = authorMatches || contains(groupText.name);
            std::unique_ptr<SearchGroup> foundGroup;
            std::size_t b = groupText.firstBook;
            for (const auto& book : group->Books()) {
                const SearchTextCache::BookTexts& bookText = bookTexts[b++];
                if ((groupMatches || contains(bookText.text)) && passes(*book, bookText.genre)) {
                    if (!foundGroup)
                        foundGroup = std::make_unique<SearchGroup>(group.get());
                    foundGroup->books.push_back(book.get());
                }
            }
            if (foundGroup) {
                if (!foundAuthor)
                    foundAuthor = std::make_unique<SearchAuthor>(author);
                foundAuthor->groups.push_back(std::move(foundGroup));
            }
        }
        if (foundAuthor)
            result->authors.push_back(std::move(foundAuthor));
    }
    return result;
}

} // namespace lbv
