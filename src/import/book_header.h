#pragma once
// One candidate book found by the import scan: what kind of file it is and, for an FB2 book,
// the catalog data of its title-info header, read from a prefix of the file (only the part
// before the first <body> is parsed).
//
// A book inside a ZIP archive is addressed by its combined member path, "archive@member".
#include "catalog/catalog_records.h"
#include "catalog/member_path.h"
#include "catalog/xml_document.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace lbv {

// How far into a file the header reader looks for the end of an FB2 header.
inline constexpr qsizetype kLongestFb2Header = 1024 * 1024;

// Documents that only a converter reads (EPUB, DOCX, ODT, RTF, Markdown): the import converts
// them like TXT and HTML, and no catalog book keeps this format.
inline constexpr int FormatOtherDocument = 6;

// Whether a path names such a document packed as a ZIP container (EPUB, DOCX, ODT): the scan
// takes it as one document rather than as an archive of books.
bool IsPackedDocument(const QString& path);

// The catalog description of the book (its `file` is the header's path: a file, or a combined
// member path) plus what the scan found out about the source. Made and owned by CImportSource
// until the import list takes it over.
class CBookHeader : public BookDescription {
public:
    CBookHeader() { format = FormatUnknown; }
    CBookHeader(const QString& path, qint64 size)
        : CBookHeader()
    {
        file = path;
        fileSize = size;
    }
    virtual ~CBookHeader() = default;
    CBookHeader(const CBookHeader&) = default;
    CBookHeader& operator=(const CBookHeader&) = default;

    // Classifies the prefix of a file and reads its header: an FB2 book gets format FormatFb2
    // and its title-info fields; a file that is not FB2 is classified by its extension (".lit",
    // ".pdb", ".txt", ".html" and ".htm", then the documents of FormatOtherDocument) with empty
    // names, except that LIT and PDB books, which are catalogued as they are, take author and
    // title from an "Author - Title" file name (a PDB book its title from its database name when
    // the file name has none). Otherwise false and the reason in `error`.
    // An FB2 header that does not end within the prefix is read further from the file (`file`
    // and `compression` say where), up to kLongestFb2Header bytes.
    bool LoadFromBytes(QByteArrayView bytes, QString* error);
    // Parses the decoded prefix up to "<body" as the header; markup that fails the strict parse
    // is repaired and read again, and the strict parse's error kept in `markupRepair`.
    // `looksLikeFb2` is set once a
    // "<FictionBook" was found, so that failures after it can be told from other files.
    bool ParseHeaderText(const QString& text, bool* looksLikeFb2, QString* error);
    // Reads names, title, year, first genre and the extra fields from a parsed FB2 document
    // (a header or a whole book) and binds the "fb" prefix on it. False with the reason when
    // title-info, the first author's two names or the title is missing.
    bool ReadTitleInfo(XmlDocument& document, QString* error);

private:
    // Author and title of a LIT or PDB book from its file name, a PDB title from its database.
    void NamesFromFile(QByteArrayView bytes);

public:
    qint64 fileSize = 0; // the whole file, or the archive member uncompressed
    int encoding = -1; // code page registry index the bytes were decoded with
    QString headerText; // the text handed to the XML parser, "<FictionBook" ... "</FictionBook>"
    // Empty, or the first error of a header that was read only after its markup was repaired.
    QString markupRepair;
};

} // namespace lbv
