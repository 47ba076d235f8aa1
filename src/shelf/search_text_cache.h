#pragma once
// The lower-cased texts a search compares, kept for the whole catalog so that a search costs
// one pass of substring tests: per author "last first", per group its name, per book
// "title|genre code|genre title". Rebuilt when the catalog or the genre dictionary changed.
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace lbv {

class CAuthor;
class CGroup;
class CLibravonDoc;
class GenreDictionary;

class SearchTextCache {
public:
    struct Span {
        qsizetype offset = 0;
        qsizetype length = 0;
    };
    struct AuthorTexts {
        const CAuthor* author;
        Span name;
        std::size_t firstGroup; // index into Groups()
    };
    struct GroupTexts {
        const CGroup* group;
        Span name;
        std::size_t firstBook; // index into Books()
    };
    struct BookTexts {
        Span text;
        int genre; // index into GenreCodes()
    };

    // Makes the cache describe `catalog`, with genre titles from `genres`.
    void Update(const CLibravonDoc& catalog, const GenreDictionary& genres);

    // Parallel to the catalog: authors in order, their groups in order, their books in order.
    const std::vector<AuthorTexts>& Authors() const { return authors_; }
    const std::vector<GroupTexts>& Groups() const { return groups_; }
    const std::vector<BookTexts>& Books() const { return books_; }
    // The distinct genre codes of the catalog's books, exactly as the books spell them.
    const QStringList& GenreCodes() const { return genreCodes_; }

    QStringView Text(Span span) const { return QStringView(buffer_).mid(span.offset, span.length); }

private:
    bool Describes(const CLibravonDoc& catalog, const GenreDictionary& genres) const;
    void Rebuild(const CLibravonDoc& catalog, const GenreDictionary& genres);
    Span Append(QStringView text);

    const CLibravonDoc* catalog_ = nullptr;
    quint64 catalogGeneration_ = 0;
    const GenreDictionary* genres_ = nullptr;
    quint64 genresGeneration_ = 0;

    QString buffer_; // every text, back to back
    std::vector<AuthorTexts> authors_;
    std::vector<GroupTexts> groups_;
    std::vector<BookTexts> books_;
    QStringList genreCodes_;
};

} // namespace lbv
