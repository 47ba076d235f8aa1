#include "shelf/search_text_cache.h"

#include "catalog/libravon_doc.h"
#include "shelf/genre_dictionary.h"
#include "text/case_fold.h"

#include <QHash>

namespace lbv {

void SearchTextCache::Update(const CLibravonDoc& catalog, const GenreDictionary& genres)
{
    if (!Describes(catalog, genres))
        Rebuild(catalog, genres);
}

// The generations say whether anything changed; the walk over authors and groups also catches
// a different catalog at a reused address or a loader that filled records without bumping them.
bool SearchTextCache::Describes(const CLibravonDoc& catalog, const GenreDictionary& genres) const
{
    if (catalog_ != &catalog || catalogGeneration_ != catalog.Generation() || genres_ != &genres
        || genresGeneration_ != genres.Generation())
        return false;
    const auto& authors = catalog.Authors();
    if (authors.size() != authors_.size())
        return false;
    std::size_t g = 0;
    for (std::size_t a = 0; a < authors.size(); ++a) {
        if (authors_[a].author != authors[a].get() || authors_[a].firstGroup != g)
            return false;
        for (const auto& group : authors[a]->Groups()) {
            if (g >= groups_.size() || groups_[g].group != group.get())
                return false;
            const std::size_t end = g + 1 < groups_.size() ? groups_[g + 1].firstBook : books_.size();
            if (end - groups_[g].firstBook != group->Books().size())
                return false;
            ++g;
        }
    }
    return g == groups_.size();
}

SearchTextCache::Span SearchTextCache::Append(QStringView text)
{
    const Span span {buffer_.size(), text.size()};
    buffer_.append(text);
    return span;
}

void SearchTextCache::Rebuild(const CLibravonDoc& catalog, const GenreDictionary& genres)
{
    const qsizetype previousSize = buffer_.size();
    buffer_.clear();
    buffer_.reserve(previousSize);
    authors_.clear();
    groups_.clear();
    books_.clear();
    genreCodes_.clear();

    // A library holds few distinct genres: lower-case "|code|title" once per code.
    QHash<QString, int> genreIds;
    QStringList genreSuffixes;
    const auto genreId = [&](const QString& code) {
        auto it = genreIds.constFind(code);
        if (it != genreIds.constEnd())
            return *it;
        genreCodes_.append(code);
        genreSuffixes.append(
            LowerCase(QLatin1Char('|') + code + QLatin1Char('|') + genres.TitleOf(code)));
        return *genreIds.insert(code, int(genreCodes_.size() - 1));
    };

    for (const auto& author : catalog.Authors()) {
        authors_.push_back({author.get(),
            Append(LowerCase(author->lastName + QLatin1Char(' ') + author->firstName)),
            groups_.size()});
        for (const auto& group : author->Groups()) {
            groups_.push_back({group.get(), Append(LowerCase(group->name)), books_.size()});
            for (const auto& book : group->Books()) {
                const int genre = genreId(book->genre);
                Span text = Append(LowerCase(book->title));
                text.length += Append(genreSuffixes[genre]).length;
                books_.push_back({text, genre});
            }
        }
    }

    catalog_ = &catalog;
    catalogGeneration_ = catalog.Generation();
    genres_ = &genres;
    genresGeneration_ = genres.Generation();
}

} // namespace lbv
