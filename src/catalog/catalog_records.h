#pragma once
// The records of the in-memory catalog: authors hold named groups, groups hold ordered books.
// Holders own their records (deleting a holder deletes everything below it); records point back
// to their holder. Views keep only pointers into these records, never copies.
#include "catalog/file_name_mask.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace lbv {

class CAuthor;
class CGroup;
class CLibravonDoc;

enum ItemKind : int { KindAuthor = 0, KindGroup = 1, KindBook = 2 };

enum BookFormat : int {
    FormatUnknown = 0, // only in import headers, before the file was classified
    FormatFb2 = 1,
    FormatLit = 2,
    FormatTxt = 3,
    FormatPdb = 4,
    FormatHtml = 5,
};

// ".fb2", ".lit", ".txt", ".pdb", ".html"; empty for any other code.
QString FormatExtension(int format);

inline const QString kDefaultGroupName = QStringLiteral("default");

using ExtraFields = QList<QPair<QString, QString>>; // (column name, value), names non-empty

// What the catalog needs to know of a book to add or merge it. The import's book header
// extends it with what the scan found out about the source.
struct BookDescription {
    QString firstName;
    QString lastName;
    QString title;
    QString genre;
    QString file; // full library path; "archive@member" for a book inside a ZIP archive
    int year = 0;
    int format = FormatFb2;
    int compression = CompressionNone;
    ExtraFields extras;
};

class CCatalogItem {
public:
    explicit CCatalogItem(int itemKind) : kind(itemKind) { }
    virtual ~CCatalogItem() = default;
    CCatalogItem(const CCatalogItem&) = delete;
    CCatalogItem& operator=(const CCatalogItem&) = delete;

    // The catalog record this item stands for: the item itself for catalog records; search
    // result copies return the record they were made from.
    virtual CCatalogItem* Record() { return this; }

    const int kind;
};

class CBook : public CCatalogItem {
public:
    CBook() : CCatalogItem(KindBook) { }

    CGroup* group = nullptr;
    QString title; // changed outside CLibravonDoc's operations: call CLibravonDoc::RecordsChanged
    QString genre;
    QString file;
    int year = 0;
    qint64 added = 0; // seconds since 1970 UTC; NoDateSentinel() when unknown
    int format = FormatFb2;
    int compression = CompressionNone;
    ExtraFields extras;
    QStringList annotation; // paragraphs, loaded on demand by the book list
    bool annotationLoaded = false;

    CAuthor* Author() const;
    // The standard full path of this book's file under the catalog's mask and folder.
    QString DefaultFileName(const CLibravonDoc& catalog) const;
    bool IsAtStandardPlace(const CLibravonDoc& catalog) const;
    // The file to look for on disk: for an archive member, the archive's path.
    QString StoredFilePath() const;
};

// The file on disk a catalog path stored with `compression` names: for an archive member, the
// archive (a plain file keeps an "@" in its folder names).
QString StoredFileOnDisk(const QString& path, int compression);

class CGroup : public CCatalogItem {
public:
    CGroup(CAuthor* owner, const QString& groupName)
        : CCatalogItem(KindGroup), author(owner), name(groupName) { }

    CAuthor* const author;
    QString name;

    const std::vector<std::unique_ptr<CBook>>& Books() const { return books_; }
    qsizetype IndexOf(const CBook* book) const;
    // Appends a book (taking ownership) and points it at this group. For loaders; catalog
    // operations that track the modified flag live in CLibravonDoc.
    CBook* AppendBook(std::unique_ptr<CBook> book);

private:
    friend class CLibravonDoc;
    std::unique_ptr<CBook> TakeBook(qsizetype index);
    void InsertBook(qsizetype index, std::unique_ptr<CBook> book);

    std::vector<std::unique_ptr<CBook>> books_;
};

class CAuthor : public CCatalogItem {
public:
    CAuthor(const QString& first, const QString& last)
        : CCatalogItem(KindAuthor), firstName(first), lastName(last),
          sortKey(QString(last + first).toCaseFolded())
    {
    }

    const QString firstName;
    const QString lastName;
    // Last name followed directly by first name, case-folded: authors are ordered by it.
    const QString sortKey;

    const std::vector<std::unique_ptr<CGroup>>& Groups() const { return groups_; }
    // The first group named exactly `name`, or null.
    CGroup* FindGroup(const QString& name) const;
    qsizetype IndexOf(const CGroup* group) const;
    qsizetype BookCount() const;
    // Appends a new empty group. For loaders; see CLibravonDoc for checked operations.
    CGroup* AppendGroup(const QString& name);

private:
    friend class CGroup;
    friend class CLibravonDoc;
    // Title -> first book with that title in group and book order, built on demand.
    CBook* FindTitle(const QString& title);
    void NoteBookAppended(CBook* book);
    void ForgetTitles() { titlesValid_ = false; }

    std::vector<std::unique_ptr<CGroup>> groups_;
    QHash<QString, CBook*> titles_;
    bool titlesValid_ = false;
};

// The catalog's path comparison: case-insensitive, "/" and "\" treated alike.
bool SameLibraryPath(const QString& a, const QString& b);

// The import date that means "not known": local midnight of 1990-01-01.
qint64 NoDateSentinel();

} // namespace lbv
