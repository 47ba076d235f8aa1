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
    genreTexts_.clear();
}

SearchTextCache::Span SearchTextCache::Append(QStringView text)
{
    const Span span {buffer_.size(), text.size()};
    buffer_.append(text);
    // Ends the text for the lower-casing too, which looks at neighbours (a Greek capital sigma
    // at the end of a word becomes the final sigma).
    buffer_.append(u'\n');
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
    buffer_.reserve(qsizetype(catalog.Authors().size() * 24 + groupCount * 8 + bookCount * 36));

    // Names and titles go in as they are and are lower-cased in one pass at the end.
    QHash<QString, int> genreIds;
    const auto genreId = [&](const QString& code) {
        auto it = genreIds.constFind(code);
        if (it != genreIds.constEnd())
            return *it;
        genreCodes_.append(code);
        genreTexts_.append(
            LowerCase(QLatin1Char('|') + code + QLatin1Char('|') + genres.TitleOf(code)));
        return *genreIds.insert(code, int(genreCodes_.size() - 1));
    };
    for (const auto& author : catalog.Authors()) {
        const Span name = Append(QString(author->lastName + QLatin1Char(' ') + author->firstName));
        authors_.push_back({author.get(), name, groups_.size()});
        for (const auto& group : author->Groups()) {
            groups_.push_back({group.get(), Append(group->name), books_.size()});
            for (const auto& book : group->Books())
                books_.push_back({book.get(), Append(book->title), genreId(book->genre)});
        }
    }
    QString lowered = LowerCase(buffer_);
    if (lowered.size() == buffer_.size())
        buffer_ = std::move(lowered);
    else
        LowerEachText();

    catalog_ = &catalog;
    catalogGeneration_ = catalog.Generation();
    genres_ = &genres;
    genresGeneration_ = genres.Generation();
}

// Some letters lower-case to a different length, which moves every text after them: lower the
// texts one by one into a new buffer instead.
void SearchTextCache::LowerEachText()
{
    QString lowered;
    lowered.reserve(buffer_.size());
    const auto relocate = [&](Span& span) {
        const QString text = LowerCase(Text(span).toString());
        span = {lowered.size(), text.size()};
        lowered.append(text);
        lowered.append(u'\n');
    };
    for (AuthorEntry& author : authors_)
        relocate(author.name);
    for (GroupEntry& group : groups_)
        relocate(group.name);
    for (BookEntry& book : books_)
        relocate(book.title);
    buffer_ = std::move(lowered);
}

} // namespace lbv
