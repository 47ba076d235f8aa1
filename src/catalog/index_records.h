#pragma once
// The records of the index file, shared by its two readers (a whole document, for plug-ins and
// plain files; a stream of author elements, for opening compressed files) and its two writers
// (a document for plug-ins; streamed text for saving). Internal to the catalog.
#include "catalog/index_dates.h"
#include "catalog/index_file.h"
#include "catalog/libravon_doc.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <libxml/tree.h>
#include <memory>
#include <utility>
#include <vector>

namespace lbv {

struct IndexOptions {
    QString mask = kIndexDefaultMask;
    bool compressFiles = true;
    // A stored mask leading outside the library, kept out of `mask` (the default stays there).
    QString refusedMask;
};

// Everything read from an index; `error` is set when a record failed to load.
struct IndexContent {
    IndexOptions options;
    std::vector<std::unique_ptr<CAuthor>> authors;
    QString error;
};

// The name the index stores for a book's format: "FB2", "LIT", "TXT", "PDB" or "HTML" (FB2 for
// anything else, as reading the index takes it).
QString FormatName(int format);

// An element without namespace named `name`: what the index's XPath steps select.
bool IsIndexElement(const xmlNode* node, const char* name);
// The options from an `options` element; defaults for whatever is missing, and for a mask that
// would file books outside the library folder.
IndexOptions ReadIndexOptions(const xmlNode* options);

// Loads author elements into records. Books without a `file` attribute get their standard
// place under `folder` and the index's mask.
class IndexReader {
public:
    IndexReader(const QString& folder, const IndexOptions& options);
    // Null with `error` set when the author or one of its groups or books is malformed.
    std::unique_ptr<CAuthor> LoadAuthor(const xmlNode* element, QString* error);

private:
    bool LoadGroup(const xmlNode* element, CAuthor* author, QString* error);
    bool LoadBook(const xmlNode* element, CGroup* group, QString* error);
    QString ExtraName(const QByteArray& bytes);

    const QString folder_;
    const QString mask_;
    const int defaultCompression_;
    IndexDates dates_;
    std::vector<std::pair<QByteArray, QString>> extraNames_;
};

// Receives the index document in document order. An attribute belongs to the element started
// last and comes before its content. Each call returns false when it fails (out of memory).
class IndexSink {
public:
    virtual ~IndexSink() = default;
    virtual bool StartElement(const char* name) = 0;
    virtual bool Attribute(const char* name, QStringView value) = 0;
    virtual bool Text(QStringView text) = 0;
    virtual bool EndElement() = 0;
};

// Sends the catalog to `sink`. On failure `error` holds the complete message ("Create XML
// error:" with the record's text, the step reached and the author).
bool WriteIndex(const CLibravonDoc& catalog, IndexSink& sink, QString* error);

// Writes the document as UTF-8 text, exactly as the document layer serialises the same tree,
// handing it to `consume` in pieces; a false return from `consume` fails the sink.
class IndexTextSink : public IndexSink {
public:
    explicit IndexTextSink(std::function<bool(const QByteArray&)> consume);
    bool StartElement(const char* name) override;
    bool Attribute(const char* name, QStringView value) override;
    bool Text(QStringView text) override;
    bool EndElement() override;
    // Hands over what is still buffered.
    bool Finish();

private:
    void CloseStartTag();
    void AppendEscaped(QStringView text, bool inAttribute);
    bool FlushIfFull();

    std::function<bool(const QByteArray&)> consume_;
    QString buffer_; // UTF-16, converted once per piece rather than once per value
    std::vector<const char*> open_;
    bool startTagOpen_ = false;
};

// How reading an index from UTF-8 bytes went without building the whole document.
enum class IndexStreamResult {
    Read, // `content` holds the index (or the record error)
    NotWellFormed, // `reason` says why
    NeedsWholeDocument, // a DTD, another root, or options after authors: read it as a document
};

IndexStreamResult StreamIndex(
    QByteArrayView utf8, const QString& folder, IndexContent* content, QString* reason);

} // namespace lbv
