// "show": every field of the books a search finds.
#include "catalog/index_records.h"
#include "catalog/libravon_doc.h"
#include "cli/catalog_file.h"
#include "cli/command.h"
#include "cli/shelf_query.h"
#include "import/book_placement.h"
#include "import/fb_xpath.h"
#include "import/stored_book.h"

#include <QDateTime>

namespace lbv::cli {
namespace {

QString CompressionName(int compression)
{
    switch (compression) {
    case CompressionNone:
        return QStringLiteral("none");
    case CompressionZip:
        return QStringLiteral("ZIP");
    case CompressionGzip:
        return QStringLiteral("GZIP");
    default:
        return QString::number(compression);
    }
}

// The annotation's paragraphs, read from the stored book; empty when it has none or can't be read.
QStringList Annotation(const CBook& book, const CLibravonDoc& catalog)
{
    const QString path = ActualBookPath(book, catalog);
    if (path.isEmpty() || book.format != FormatFb2)
        return {};
    QString error;
    const XmlDocumentPtr document = LoadStoredBookDocument(path, book.compression, &error);
    if (!document)
        return {};
    QStringList paragraphs;
    const xmlNode* annotation = SelectFirstFbNode(
        document->Node(), u"/fb:FictionBook/fb:description/fb:title-info/fb:annotation");
    for (const xmlNode* node = annotation ? annotation->children : nullptr; node; node = node->next)
        if (node->type == XML_ELEMENT_NODE)
            paragraphs << NodeText(node).simplified();
    return paragraphs;
}

void ShowBook(const CBook& book, const CLibravonDoc& catalog)
{
    const CAuthor& author = *book.Author();
    const auto field = [](const QString& name, const QString& value) { Out(name + u": " + value); };
    field(QStringLiteral("Title"), book.title);
    field(QStringLiteral("Author"), author.firstName + u' ' + author.lastName);
    field(QStringLiteral("Group"), book.group->name);
    const QString genreTitle = CliGenres().TitleOf(book.genre);
    field(QStringLiteral("Genre"),
        genreTitle == book.genre ? book.genre : book.genre + u" (" + genreTitle + u')');
    field(QStringLiteral("Year"), book.year == 0 ? QString() : QString::number(book.year));
    field(QStringLiteral("Added"),
        book.added == NoDateSentinel()
            ? QString()
            : QDateTime::fromSecsSinceEpoch(book.added).toString(QStringLiteral("yyyy-MM-dd")));
    field(QStringLiteral("Format"), FormatName(book.format));
    field(QStringLiteral("Compression"), CompressionName(book.compression));
    field(QStringLiteral("File"), book.file);
    field(QStringLiteral("At standard place"),
        book.IsAtStandardPlace(catalog) ? QStringLiteral("yes") : QStringLiteral("no"));
    field(QStringLiteral("Available"),
        ActualBookPath(book, catalog).isEmpty() ? QStringLiteral("no") : QStringLiteral("yes"));
    for (const auto& [name, value] : book.extras)
        field(name, value);
    for (const QString& paragraph : Annotation(book, catalog))
        field(QStringLiteral("Annotation"), paragraph);
}

int RunShow(Arguments& args)
{
    const Command& self = *FindCommand(QStringLiteral("show"));
    const QStringList positional = args.Positional();
    if (!args.Error().isEmpty())
        return UsageError(self, args.Error());
    if (positional.size() != 2)
        return UsageError(self, QStringLiteral("expected INDEX and QUERY"));
    CLibravonDoc catalog;
    if (!OpenCatalog(catalog, positional[0]))
        return 1;
    const std::vector<CBook*> books = FindBooks(catalog, positional[1]);
    for (std::size_t i = 0; i < books.size(); ++i) {
        if (i > 0)
            Out(QString());
        ShowBook(*books[i], catalog);
    }
    if (books.empty()) {
        Err(QStringLiteral("libravon-cli: no book matches \"%1\"").arg(positional[1]));
        return 1;
    }
    return 0;
}

const CommandRegistrar registrar({QStringLiteral("show"), QStringLiteral("INDEX QUERY"),
    QStringLiteral("Show every field of the books whose author, title or genre holds QUERY."),
    RunShow});

} // namespace
} // namespace lbv::cli
