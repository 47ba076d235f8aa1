#include "shelf/book_annotation.h"

#include "catalog/libravon_doc.h"
#include "catalog/xml_document.h"
#include "import/book_placement.h"
#include "import/book_header.h"
#include "import/stored_book.h"

namespace lbv {
namespace {

QStringList AnnotationParagraphs(const QString& headerText)
{
    QString error;
    const XmlDocumentPtr document = LoadXmlText(headerText, &error);
    if (!document)
        return {};
    document->SetSelectionNamespaces(FictionBookSelectionNamespaces());
    const xmlNode* titleInfo
        = SelectSingleNode(document->Node(), u"/fb:FictionBook/fb:description/fb:title-info");
    QStringList paragraphs;
    if (titleInfo)
        for (const xmlNode* paragraph : SelectNodes(titleInfo, u"fb:annotation/fb:p"))
            paragraphs.append(NodeText(paragraph));
    return paragraphs;
}

} // namespace

bool LoadAnnotation(CBook& book, const CLibravonDoc& catalog, int prefetchSize)
{
    if (book.annotationLoaded)
        return !book.annotation.isEmpty();
    const QString path = ActualBookPath(book, catalog);
    if (path.isEmpty())
        return false;
    // Only the book itself is read, never the other members of its archive.
    QByteArray bytes;
    QString error;
    if (!ReadStoredBookPrefix(path, book.compression, prefetchSize, &bytes, &error)
        || bytes.isEmpty())
        return false;
    CBookHeader header(path, bytes.size());
    header.compression = book.compression;
    book.annotationLoaded = true;
    book.annotation = header.LoadFromBytes(bytes, &error) && header.format == FormatFb2
        ? AnnotationParagraphs(header.headerText)
        : QStringList();
    return !book.annotation.isEmpty();
}

} // namespace lbv
