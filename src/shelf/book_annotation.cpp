#include "shelf/book_annotation.h"

#include "catalog/libravon_doc.h"
#include "catalog/xml_document.h"
#include "import/book_placement.h"
#include "import/import_source.h"

namespace lbv {
namespace {

// The header of the book itself: an archive may hold further members.
const CBookHeader* HeaderOf(const CImportSource& source, const QString& bookPath)
{
    for (const auto& header : source.headers)
        if (header->file == bookPath)
            return header.get();
    return source.headers.empty() ? nullptr : source.headers.front().get();
}

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
    CImportSource source(StoredFileOnDisk(path, book.compression), prefetchSize);
    QString error;
    source.Scan(&error);
    const CBookHeader* header = HeaderOf(source, path);
    if (!header)
        return false;
    book.annotationLoaded = true;
    book.annotation = header->format == FormatFb2 ? AnnotationParagraphs(header->headerText)
                                                  : QStringList();
    return !book.annotation.isEmpty();
}

} // namespace lbv
