#include "shelf/search_text_cache.h"

#include "catalog/libravon_doc.h"
#include "shelf/genre_dictionary.h"
#include "text/case_fold.h"

#include <QHash>

namespace lbv {

void SearchTextCache::Update(const CLibravonDoc& catalog, const GenreDictionary& genres)
{
    if (catalog_ != &catalog || catalogGeneration_ != catalog.Generation() || genres_ != &genres
        || genresGeneration_ != genres.Generation())
        Rebuild(catalog, genres);
}

void SearchTextCache::Clear()
{
    catalog_ = nullptr;
    genres_ = nullptr;
    buffer_.clear();
    authors_.clear();
    groups_.clear();
    books_.clear();
    genreCodes_.clear();
}

SearchTextCache::Span SearchTextCache::Append(QStringView text)
{
    const Span span {buffer_.size(), text.size()};
    buffer_.append(text);
    return span;
}

void SearchTextCache::Rebuild(const CLibravonDoc& catalog, const GenreDictionary& genres)
{
    Clear();
    // Sizing everything up front spares the copies (and fresh pages) of growing 100,000 entries.
    std::size_t groupCount = 0;
    std::size_t bookCount = 0;
    for (const auto& author : catalog.Authors()) {
        groupCount += author->Groups().size();
        for (const auto& group : author->Groups())
            bookCount += group->Books().size();
    }
    authors_.reserve(catalog.Authors().size());
    groups_.reserve(groupCount);
    books_.reserve(bookCount);
    buffer_.reserve(qsizetype(catalog.Authors().size() * 24 + groupCount * 8 + bookCount * 64));

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
                books_.push_back({book.get(), text, genre});
            }
        }
    }

    catalog_ = &catalog;
    catalogGeneration_ = catalog.Generation();
    genres_ = &genres;
    genresGeneration_ = genres.Generation();
}

} // namespace lbv
