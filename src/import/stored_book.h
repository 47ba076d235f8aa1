#pragma once
// Whole-file access to the books of the catalog: their raw bytes, from a plain file or from a
// ZIP archive member, and their text as an XML document for editing.
#include "catalog/xml_document.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <memory>

namespace lbv {

// Books are read whole only up to this size; larger files are refused rather than loaded.
inline constexpr qint64 kLargestBookFile = qint64(512) * 1024 * 1024;

// The bytes of the book at `path` stored with `compression` (a catalog compression code). A ZIP
// member is read from its combined member path; ZIP failures read "ZIP: " and the archive's text.
bool ReadStoredBookBytes(const QString& path, int compression, QByteArray* bytes, QString* error);

class CZipFile;

// While one exists, ReadStoredBookBytes on its thread keeps the archive it last read from open
// for the next member (as long as the file is unchanged), so that reading all the members of an
// archive costs one read of its directory, not one per member. An import run holds one.
class ArchiveReuse {
public:
    ArchiveReuse();
    ~ArchiveReuse();
    ArchiveReuse(const ArchiveReuse&) = delete;
    ArchiveReuse& operator=(const ArchiveReuse&) = delete;

    // The open archive at `path`, opened now unless the one kept is that file, unchanged.
    // Throws ZipError.
    CZipFile& Archive(const QString& path);

private:
    ArchiveReuse* outer_;
    QString path_;
    qint64 size_ = -1;
    QDateTime modified_;
    std::unique_ptr<CZipFile> zip_;
};

// Whether the book at `path` can be read: a readable file, and for a ZIP member an archive that
// lists the member (its content is not read).
bool StoredBookExists(const QString& path, int compression);

// At most `maxBytes` from the start of the book's bytes (for a ZIP member, read whole first).
bool ReadStoredBookPrefix(
    const QString& path, int compression, qint64 maxBytes, QByteArray* bytes, QString* error);

// The whole book parsed as an XML document. The bytes are decoded as the header reader decodes
// them (`encoding` receives the code page's registry index). The document always starts with an
// XML declaration (without encoding), so that EncodeBookText can name the encoding it writes.
// Damaged markup is repaired, and `markupRepair` (when given) receives the strict parse's error;
// it is left empty for a book that parsed as it is.
XmlDocumentPtr LoadStoredBookDocument(const QString& path, int compression, QString* error,
    int* encoding = nullptr, QString* markupRepair = nullptr);

} // namespace lbv
