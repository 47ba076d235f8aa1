#pragma once
// From a path to an open reader document: the byte source (a plain file, a member of a ZIP
// archive addressed as "archive.zip/folder/member", and Palm or TCR text inside either), the
// document kind and the document itself.
#include "reader/byte_source.h"
#include "reader/document_options.h"
#include "reader/document_source.h"

#include <memory>

namespace lbv {

// Beyond the content kinds: a DICq dictionary read as a book, recognised by its magic.
inline constexpr int kDocumentDictionary = 7;

struct BookSourceOptions {
    int fileBufSize = 16384;
    QString zipEncoding; // code page name of ZIP member names; empty: see ZipDirectory::Scan
};

// Splits "archive.zip/folder/member" where the longest existing file ends; false for a path
// that names no file inside an archive.
bool SplitArchiveMemberPath(const QString& path, QString& archivePath, QString& memberPath);

// Null with the error text: "<path>: File not found", "<path>: I/O Error", "Can't open zip
// file", "Invalid or unsupported ZIP/PDB/TCR file".
std::unique_ptr<ByteSource> OpenBookSource(
    const QString& path, const BookSourceOptions& options, QString& error);

// kind: a DocumentKind (0..6); codePage: a code page index or -1 for automatic. Null with the
// document's error text when it doesn't load, or an empty error for an unknown kind.
std::unique_ptr<DocumentSource> CreateDocument(std::unique_ptr<ByteSource> source, int kind,
    int codePage, DocumentOptions options, QString& error);

// The kind of the source's content (DetectContentKind over its first bytes).
int DetectSourceKind(ByteSource& source);
bool IsDictionarySource(ByteSource& source);

// OpenBookSource, then CreateDocument with the given kind or, for -1, the detected one (a
// dictionary by its magic).
std::unique_ptr<DocumentSource> OpenDocument(const QString& path, int kind, int codePage,
    const BookSourceOptions& sourceOptions, DocumentOptions options, QString& error);

} // namespace lbv
