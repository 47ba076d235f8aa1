#pragma once
// What a search walks instead of the catalog: the authors, groups and books in catalog order,
// in flat arrays, with the lower-cased texts a search compares: per author "last first", per
// group its name, per book its title followed by the "|genre code|genre title" of its genre,
// which is kept once per genre. One search is then one pass over contiguous memory. Rebuilt when
// the catalog's or the genre dictionary's generation moved on, so every direct edit of a record
// must be followed by CLibravonDoc::RecordsChanged.
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

namespace lbv {

class CAuthor;
class CBook;
class CGroup;
class CLibravonDoc;
class GenreDictionary;

class SearchTextCache {
public:
    struct Span {
        qsizetype offset = 0;
        qsizetype length = 0;
    };
    struct AuthorEntry {
        CAuthor* author;
        Span name;
        std::size_t firstGroup; // its groups are [firstGroup, next author's firstGroup)
    };
    struct GroupEntry {
        CGroup* group;
        Span name;
        std::size_t firstBook; // its books are [firstBook, next group's firstBook)
    };
    struct BookEntry {
        CBook* book;
        Span title;
        int genre; // index into GenreCodes() and GenreText()
    };

    // Makes the cache describe `catalog`, with genre titles from `genres`.
    void Update(const CLibravonDoc& catalog, const GenreDictionary& genres);
    // Forgets everything (the catalog is going away).
    void Clear();

    const std::vector<AuthorEntry>& Authors() const { return authors_; }
    const std::vector<GroupEntry>& Groups() const { return groups_; }
    const std::vector<BookEntry>& Books() const { return books_; }
    std::size_t GroupsEnd(std::size_t author) const
    {
        return author + 1 < authors_.size() ? authors_[author + 1].firstGroup : groups_.size();
    }
    std::size_t BooksEnd(std::size_t group) const
    {
        return group + 1 < groups_.size() ? groups_[group + 1].firstBook : books_.size();
    }
    // The distinct genre codes of the catalog's books, exactly as the books spell them.
    const QStringList& GenreCodes() const { return genreCodes_; }
    // "|code|title" of a genre, lower-cased: what follows a book's title in its text.
    QStringView GenreText(int genre) const { return genreTexts_[genre]; }

    QStringView Text(Span span) const { return QStringView(buffer_).mid(span.offset, span.length); }

private:
    void Rebuild(const CLibravonDoc& catalog, const GenreDictionary& genres);
    Span Append(QStringView text);
    void LowerEachText();

    const CLibravonDoc* catalog_ = nullptr;
    quint64 catalogGeneration_ = 0;
    const GenreDictionary* genres_ = nullptr;
    quint64 genresGeneration_ = 0;

    QString buffer_; // every text, back to back
    std::vector<AuthorEntry> authors_;
    std::vector<GroupEntry> groups_;
    std::vector<BookEntry> books_;
    QStringList genreCodes_;
    QStringList genreTexts_;
};

} // namespace lbv
