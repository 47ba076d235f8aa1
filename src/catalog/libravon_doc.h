#pragma once
// The catalog: the ordered list of authors with their groups and books, the library's file-name
// mask and compression default, and the index path. Every operation that changes anything sets
// the modified flag.
//
// Not thread-safe: all access, const access included, must be serialized by the caller (const
// accessors may finish a deferred re-ordering of the authors).
#include "catalog/catalog_records.h"
#include "catalog/index_file.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace lbv {

class XmlDocument;
struct IndexContent;

class CLibravonDoc {
public:
    CLibravonDoc();
    ~CLibravonDoc();
    CLibravonDoc(const CLibravonDoc&) = delete;
    CLibravonDoc& operator=(const CLibravonDoc&) = delete;

    QString fileNameMask = QStringLiteral("%f %l\\%f %l. %t");
    bool compressFiles = true;
    QString path; // the index file; "untitled" after New

    bool IsModified() const { return modified_; }
    void SetModified(bool flag);
    // Bumped by every change; caches built from the catalog compare it to know they are stale.
    quint64 Generation() const { return generation_; }
    // To be called after changing a book's title directly, or after any other direct edit of
    // records that FindBook depends on.
    void RecordsChanged();

    // Authors in ascending order of last name followed by first name, case-insensitively.
    const std::vector<std::unique_ptr<CAuthor>>& Authors() const;
    qsizetype IndexOf(const CAuthor* author) const;

    // Deletes all authors and clears the modified flag; the path becomes "untitled", mask and
    // compression stay.
    bool New();
    // Replaces the contents with the index file at `indexPath` (gzip-compressed, or plain XML,
    // which leaves the catalog "untitled" and modified). False when it could not be read or
    // parsed; the catalog is then empty. Messages and the import-date question go to `ui`.
    bool Open(const QString& indexPath, IndexFileUi* ui = nullptr);
    // Writes the catalog as a compressed index: to a temporary file beside the target, flushed
    // to disk and then renamed over it, so a failure leaves the old file untouched (and the
    // catalog modified). In autorun mode nothing is written and the result is true.
    bool Save(const QString& indexPath, IndexFileUi* ui = nullptr, bool autorun = false);

    // Fills the catalog from an index document; errors go to `ui` and the result is false.
    bool ParseIndex(const XmlDocument& document, IndexFileUi* ui = nullptr,
        ParseFailure onFailure = ParseFailure::EmptyCatalog);
    // Replaces the document's content with the catalog in index form.
    bool BuildIndex(XmlDocument& document, IndexFileUi* ui = nullptr) const;

    // First author with exactly these names (case-sensitive), or null.
    CAuthor* FindAuthor(const QString& firstName, const QString& lastName) const;
    CAuthor* FindAuthor(const BookDescription& header) const
    {
        return FindAuthor(header.firstName, header.lastName);
    }
    // First book (authors, groups and books in order) of an author with exactly the header's
    // names whose title equals the header's exactly, or null.
    CBook* FindBook(const BookDescription& header) const;

    // Adds a new book to the author's default group, or merges into (replace false) or
    // overwrites (replace true) the book FindBook finds. True when the catalog changed.
    bool AddBook(const BookDescription& header, bool replace);

    bool RemoveAuthor(CAuthor* author);
    bool RemoveGroup(CGroup* group, bool* authorRemoved = nullptr);
    bool RemoveBook(CBook* book, bool* groupRemoved = nullptr, bool* authorRemoved = nullptr);
    // Moves the books of a group to the author's default group (created when missing; the
    // books arrive in reverse order), then removes the group. The default group itself is
    // removed with its books.
    bool RemoveGroupKeepingBooks(CGroup* group, bool* authorRemoved = nullptr);
    bool MoveBookToGroup(CBook* book, CGroup* target);
    bool MoveBookBefore(CBook* book, CBook* other);
    // Orders the group's books by title, case-insensitively (equal titles keep their order).
    bool SortGroupByTitle(CGroup* group);

    // Checks a name for a new or renamed group: trimmed, non-empty, not used by another group
    // of the author. Returns the trimmed name, or an empty string with `error` set.
    static QString CheckGroupName(const CAuthor& author, const QString& name, QString* error);
    CGroup* CreateGroup(CAuthor* author, const QString& name, QString* error = nullptr);
    bool RenameGroup(CGroup* group, const QString& name, QString* error = nullptr);

    // The standard full path for a book: the index folder, the expanded mask, the extension.
    QString StandardFileName(const QString& firstName, const QString& lastName,
        const QString& title, const QString& genre, int format, int compression) const;
    // The index file's folder with a trailing separator ("" when the path has none).
    QString IndexFolder() const;
    // Whether Save can replace the index file: it is writable (or not there yet) and so is its
    // folder (or the nearest folder above that is there). An index without a folder is saved
    // through "Save as" and counts as writable.
    bool IndexWritable() const;

    // For loaders: appends an author without re-ordering; call SortAuthors once afterwards.
    CAuthor* AppendAuthor(const QString& firstName, const QString& lastName);
    void SortAuthors();

private:
    void Changed();
    QList<CAuthor*> AuthorsNamed(const QString& firstName, const QString& lastName) const;
    CBook* FindBook(const BookDescription& header, const QList<CAuthor*>& named) const;
    void ReplaceAuthors(std::vector<std::unique_ptr<CAuthor>> authors);
    bool CommitIndex(IndexContent&& content, IndexFileUi* ui, ParseFailure onFailure);
    // Parses the UTF-8 text of an index; nothing when it is not well-formed (with `error`).
    std::optional<bool> ParseIndexText(const QByteArray& utf8, IndexFileUi* ui, QString* error);
    void MigrateImportDates(IndexFileUi* ui);
    void MergePendingAuthors() const;
    void IndexAuthor(CAuthor* author) const;
    void RebuildAuthorIndex() const;
    std::unique_ptr<CAuthor> TakeAuthor(qsizetype index);

    // Authors [0, sortedCount_) are in order; later ones were added since and are merged in
    // on the next read, so a run of new authors costs one merge instead of one shift each.
    mutable std::vector<std::unique_ptr<CAuthor>> authors_;
    mutable std::size_t sortedCount_ = 0;
    // "last\x1ffirst" -> authors with exactly those names.
    mutable QHash<QString, QList<CAuthor*>> authorsByName_;
    mutable bool authorIndexValid_ = true;
    bool modified_ = false;
    quint64 generation_ = 0;
};

} // namespace lbv
