#include "library_statistics.h"

#include "catalog/catalog_records.h"
#include "catalog/file_name_mask.h"
#include "catalog/xml_document.h"

#include <QFile>
#include <cstring>
#include <sys/stat.h>

namespace lbv {
namespace {

bool IsElement(const xmlNode* node, const char* name)
{
    return node->type == XML_ELEMENT_NODE
        && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

const xmlNode* FirstChild(const xmlNode* parent, const char* name)
{
    for (const xmlNode* child = parent ? parent->children : nullptr; child; child = child->next)
        if (IsElement(child, name))
            return child;
    return nullptr;
}

QString Attribute(const xmlNode* element, const char* name)
{
    return AttributeText(element, QString::fromLatin1(name)).value_or(QString());
}

// The format names of the index, read as the program reads them, so that a book is looked for
// under the extension the program files it with.
int FormatCode(const QString& name)
{
    if (name == u"LIT")
        return FormatLit;
    if (name == u"TXT")
        return FormatTxt;
    if (name == u"HTML")
        return FormatHtml;
    return FormatFb2;
}

// The size of the file a book path names (for an archive member, the archive), or -1 when the
// file cannot be examined.
qint64 StoredFileSize(const QString& path)
{
    const qsizetype at = path.indexOf(u'@');
    struct stat status;
    if (::stat(QFile::encodeName(at < 0 ? path : path.left(at)).constData(), &status) != 0)
        return -1;
    return status.st_size;
}

struct LibraryOptions {
    QString folder;
    QString mask;
    QString compression;
};

bool CountBook(const xmlNode* book, const QString& firstName, const QString& lastName,
    const LibraryOptions& options, LibraryStatistics* statistics, QString* error)
{
    ++statistics->books;
    const xmlNode* title = FirstChild(book, "book-title");
    const xmlNode* genre = FirstChild(book, "genre");
    if (!title || !genre) {
        *error = QStringLiteral("Book %1 of %2 %3 has no <%4> element.")
                     .arg(statistics->books)
                     .arg(firstName, lastName, title ? u"genre" : u"book-title");
        return false;
    }
    QString path = Attribute(book, "file");
    if (path.isEmpty()) {
        QString compression = Attribute(book, "compression");
        if (compression.isEmpty())
            compression = options.compression;
        path = options.folder + u'/'
            + ExpandMask(options.mask, firstName, lastName, NodeText(title), NodeText(genre),
                compression == u"ZIP" ? CompressionZip : CompressionNone)
            + FormatExtension(FormatCode(Attribute(book, "format")));
    }
    const qint64 size = StoredFileSize(path);
    if (size < 0) {
        ++statistics->booksOffline;
    } else {
        ++statistics->booksOnline;
        statistics->onlineBytes += size;
    }
    return true;
}

} // namespace

bool CollectStatistics(const xmlDoc* index, const QString& libraryFolder,
    LibraryStatistics* statistics, QString* error)
{
    *statistics = {};
    const xmlNode* root = index ? xmlDocGetRootElement(index) : nullptr;
    const xmlNode* books = root && IsElement(root, "books") ? root : nullptr;
    const xmlNode* optionsElement = FirstChild(books, "options");
    const xmlNode* mask = FirstChild(optionsElement, "file-name-mask");
    const xmlNode* compression = FirstChild(optionsElement, "file-compression");
    if (!mask || !compression) {
        *error = QStringLiteral("The index has no /books/options/%1 element.")
                     .arg(mask ? u"file-compression" : u"file-name-mask");
        return false;
    }
    const LibraryOptions options {libraryFolder, NodeText(mask), NodeText(compression)};
    for (const xmlNode* author = books->children; author; author = author->next) {
        if (!IsElement(author, "author"))
            continue;
        ++statistics->authors;
        const QString firstName = Attribute(author, "firstName");
        const QString lastName = Attribute(author, "lastName");
        for (const xmlNode* group = author->children; group; group = group->next) {
            if (!IsElement(group, "group"))
                continue;
            for (const xmlNode* book = group->children; book; book = book->next)
                if (IsElement(book, "book")
                    && !CountBook(book, firstName, lastName, options, statistics, error))
                    return false;
        }
    }
    return true;
}

QString StatisticsText(const LibraryStatistics& statistics)
{
    return QStringLiteral("Statistics:\r\n_____________________________________\r\n\r\n"
                          "Authors: %1\r\nBooks in index: %2\r\nBooks online: %3\r\n"
                          "Books offline: %4\r\nOnline books size: %5M")
        .arg(statistics.authors)
        .arg(statistics.books)
        .arg(statistics.booksOnline)
        .arg(statistics.booksOffline)
        .arg(statistics.onlineBytes / 1048576);
}

} // namespace lbv
