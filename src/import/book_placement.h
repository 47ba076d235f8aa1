#pragma once
// Where the library keeps its books and how they get there: the standard place of a book under
// the file-name mask, copying a book file there (plain, or as a one-book ZIP archive), and the
// encoding of FB2 text that the program writes.
//
// Failures come back as text: "Error: ..." with an empty or false result, or the warning
// "Warning: File ... already exists. Importing as is." when an existing file was kept, which
// counts as success (the existing file holds the book).
#include "catalog/catalog_records.h"
#include "import/book_header.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace lbv {

class CLibravonDoc;
class SettingsStore;

// How a library files its books: the open index's mask and compression flag, and the folder
// that holds the index.
struct StorageOptions {
    QString fileNameMask;
    bool compressFiles = true;
    QString libraryFolder; // with its trailing separator; empty for the current folder
};
StorageOptions StorageOptionsOf(const CLibravonDoc& catalog);

// Whether `path` (absolute, or relative to `folder`) lies below `folder` once "." and ".." are
// resolved. Placement writes nowhere else, whatever the mask and the book's names make.
bool LiesInFolder(const QString& path, const QString& folder);

// Library folder + expanded mask (ZIP form when compressFiles is set) + the format's extension.
// For a catalog book with its own compression use CBook::DefaultFileName, and
// CBook::IsAtStandardPlace to compare it with where the book is.
QString StandardPath(const BookDescription& book, const StorageOptions& storage);

// The book's stored path (its standard path when none is stored), or empty when the file it
// names (for an archive member, the archive) can't be read: the book is offline.
QString ActualBookPath(const CBook& book, const CLibravonDoc& catalog);

// Copies a book to its standard place: `content` when given, else the file (or archive member)
// the header names. Already there and no content given: nothing is written. A target outside
// the library folder is refused. When the file there holds another book (a different book whose
// names clean to the same file name), the book goes to the first free numbered name, with a
// warning. On success, and when an existing file was kept with the warning, the header's path
// and compression change to the target's and the target path is returned; otherwise empty with
// the error.
QString PlaceBookFile(CBookHeader& header, const StorageOptions& storage, const QByteArray* content,
    bool overwrite, QString* error);

// The two writers. An existing target is kept, with the warning, unless `overwrite` is set; a
// replaced file or archive is swapped in whole, so a failed write leaves the old one as it was.
bool WriteBookFile(const QString& path, const QByteArray& bytes, bool overwrite, QString* error);
// Writes a new one-book archive holding the member a combined member path names.
bool WriteBookIntoArchive(
    const QString& memberPath, const QByteArray& bytes, bool overwrite, QString* error);

// The setting BookCharset (section Settings): "number,name", by default "1251,windows-1251".
QString BookCharsetSetting(SettingsStore& settings);
// XML text in the code page `bookCharset` names, its leading XML declaration replaced by one
// naming that encoding (added when there is none); characters the code page lacks become
// character references. UTF-8 gets a byte-order mark.
bool EncodeBookText(
    QStringView text, const QString& bookCharset, QByteArray* bytes, QString* error);
bool SaveBookText(const QString& path, QStringView text, const QString& bookCharset, bool overwrite,
    QString* error);
bool SaveBookTextInArchive(const QString& memberPath, QStringView text, const QString& bookCharset,
    bool overwrite, QString* error);

// Creates a folder with its missing parents; true when it exists afterwards.
bool CreateDirectories(const QString& folder);
// The same for the folder a file path lies in.
bool CreateParentDirectories(const QString& filePath);

} // namespace lbv
