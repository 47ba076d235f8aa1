#pragma once
// Whole-file access to the books of the catalog: their raw bytes, from a plain file or from a
// ZIP archive member, and their text as an XML document for editing.
#include "catalog/xml_document.h"

#include <QByteArray>
#include <QString>

namespace lbv {

// Books are read whole only up to this size; larger files are refused rather than loaded.
inline constexpr qint64 kLargestBookFile = qint64(512) * 1024 * 1024;

// The bytes of the book at `path` stored with `compression` (a catalog compression code). A ZIP
// member is read from its combined member path; ZIP failures read "ZIP: " and the archive's text.
bool ReadStoredBookBytes(const QString& path, int compression, QByteArray* bytes, QString* error);

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
