#include "shelf/shelf_search.h"

#include "catalog/libravon_doc.h"
#include "settings/settings_store.h"
#include "shelf/filter.h"
#include "shelf/filter_list.h"
#include "shelf/genre_dictionary.h"
#include "text/case_fold.h"
#include "text/messages.h"

#include <QStringMatcher>
#include <optional>

namespace lbv {

ShelfSearch::ShelfSearch(
    const GenreDictionary& genres, SettingsStore& settings, ShelfDisplay& display)
    : genres_(genres)
    , settings_(settings)
    , display_(display)
{
}

ShelfSearch::~ShelfSearch() = default;

void ShelfSearch::SetCatalog(CLibravonDoc* catalog)
{
    catalog_ = catalog;
    wholeCatalog_ = false;
    cache_.Clear();
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
    settings_.WriteProfileString(
        kFiltersSection, kActiveFilterKey, filter ? filter->name : MessageText(Msg::NoFilter));
    return Search(searchText);
}

std::unique_ptr<SearchResult> ShelfSearch::Collect(const QString& lowerText)
{
    cache_.Update(*catalog_, genres_);
    // Genres are tested once per distinct code, and first: they come from the cache, while
    // years and dates need the book record itself.
    std::vector<char> genreAdmitted;
    std::optional<YearAndDateTest> yearAndDate;
    if (activeFilter_) {
        genreAdmitted.reserve(std::size_t(cache_.GenreCodes().size()));
        for (const QString& code : cache_.GenreCodes())
            genreAdmitted.push_back(activeFilter_->HasGenre(code));
        yearAndDate.emplace(*activeFilter_);
    }
    const auto passes = [&](const SearchTextCache::BookEntry& entry) {
        return !yearAndDate
            || (genreAdmitted[std::size_t(entry.genre)] && (*yearAndDate)(*entry.book));
    };
    const QStringMatcher matcher(lowerText);
    const auto contains = [&](QStringView text) { return matcher.indexIn(text) >= 0; };
    // A book's text is its title and its genre's text; the genre's part is tested once per
    // genre. Only a search text holding the "|" between the two can match across them.
    std::vector<char> genreHolds;
    genreHolds.reserve(std::size_t(cache_.GenreCodes().size()));
    for (int genre = 0; genre < cache_.GenreCodes().size(); ++genre)
        genreHolds.push_back(contains(cache_.GenreText(genre)));
    const bool mayStraddle = lowerText.contains(u'|');
    const auto bookMatches = [&](const SearchTextCache::BookEntry& entry) {
        const QStringView title = cache_.Text(entry.title);
        if (mayStraddle)
            return contains(QString(title + cache_.GenreText(entry.genre)));
        return genreHolds[std::size_t(entry.genre)] || contains(title);
    };

    auto result = std::make_unique<SearchResult>();
    result->catalogGeneration = catalog_->Generation();
    const auto& authors = cache_.Authors();
    const auto& groups = cache_.Groups();
    const auto& books = cache_.Books();
    for (std::size_t a = 0; a < authors.size(); ++a) {
        // An empty text matches every author by name.
        const bool authorMatches = lowerText.isEmpty() || contains(cache_.Text(authors[a].name));
        std::unique_ptr<SearchAuthor> foundAuthor;
        for (std::size_t g = authors[a].firstGroup; g < cache_.GroupsEnd(a); ++g) {
            const bool groupMatches = authorMatches || contains(cache_.Text(groups[g].name));
            std::unique_ptr<SearchGroup> foundGroup;
            for (std::size_t b = groups[g].firstBook; b < cache_.BooksEnd(g); ++b) {
                if ((groupMatches || bookMatches(books[b])) && passes(books[b])) {
                    if (!foundGroup)
                        foundGroup = std::make_unique<SearchGroup>(groups[g].group);
                    foundGroup->books.push_back(books[b].book);
                }
            }
            if (foundGroup) {
                if (!foundAuthor)
                    foundAuthor = std::make_unique<SearchAuthor>(authors[a].author);
                foundAuthor->groups.push_back(std::move(foundGroup));
            }
        }
        if (foundAuthor)
            result->authors.push_back(std::move(foundAuthor));
    }
    return result;
}

} // namespace lbv
