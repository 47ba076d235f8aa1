#include "import/zip_file.h"
#include "synthetic_library.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>
#include <memory>

using namespace lbv;

namespace {

SyntheticOptions SmallBooks()
{
    SyntheticOptions options;
    options.seed = 7;
    options.minBytes = 20 * 1024;
    options.maxBytes = 60 * 1024;
    options.coverPercent = 50;
    return options;
}

// The text of the first node an XPath over the FB2 namespace (prefix "fb") selects.
class Fb2Document {
public:
    explicit Fb2Document(const QByteArray& bytes)
        : m_doc(xmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, nullptr,
                    XML_PARSE_NONET | XML_PARSE_NOBLANKS),
            xmlFreeDoc)
    {
    }

    bool IsValid() const { return m_doc != nullptr; }
    QString Encoding() const
    {
        return QString::fromUtf8(reinterpret_cast<const char*>(m_doc->encoding));
    }

    QString Text(const QByteArray& xpath) const
    {
        std::unique_ptr<xmlXPathContext, decltype(&xmlXPathFreeContext)> context(
            xmlXPathNewContext(m_doc.get()), xmlXPathFreeContext);
        xmlXPathRegisterNs(
            context.get(), BAD_CAST "fb", BAD_CAST "http://www.gribuser.ru/xml/fictionbook/2.0");
        std::unique_ptr<xmlXPathObject, decltype(&xmlXPathFreeObject)> result(
            xmlXPathEvalExpression(BAD_CAST xpath.constData(), context.get()), xmlXPathFreeObject);
        if (!result || !result->nodesetval || result->nodesetval->nodeNr == 0)
            return {};
        xmlChar* text = xmlNodeGetContent(result->nodesetval->nodeTab[0]);
        const QString value = QString::fromUtf8(reinterpret_cast<const char*>(text));
        xmlFree(text);
        return value;
    }

private:
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> m_doc;
};

} // namespace

TEST(SyntheticLibrary, BooksAreWellFormedFb2InTheirDeclaredEncoding)
{
    const SyntheticOptions options = SmallBooks();
    int windows1251 = 0;
    int covers = 0;
    for (int number = 0; number < 40; ++number) {
        const SyntheticBook book = MakeSyntheticBook(options, number);
        SCOPED_TRACE(book.fileName.toStdString());
        EXPECT_GE(book.bytes.size(), options.minBytes);
        EXPECT_LE(book.bytes.size(), options.maxBytes + 8 * 1024);
        const Fb2Document doc(book.bytes);
        ASSERT_TRUE(doc.IsValid());
        EXPECT_EQ(doc.Encoding().toLower(),
            book.windows1251 ? QStringLiteral("windows-1251") : QStringLiteral("utf-8"));
        const QByteArray info = "/fb:FictionBook/fb:description/fb:title-info/";
        EXPECT_EQ(doc.Text(info + "fb:author/fb:first-name"), book.firstName);
        EXPECT_EQ(doc.Text(info + "fb:author/fb:last-name"), book.lastName);
        EXPECT_EQ(doc.Text(info + "fb:book-title"), book.title);
        EXPECT_EQ(doc.Text(info + "fb:genre"), book.genre);
        EXPECT_TRUE(doc.Text(info + "fb:date").startsWith(QString::number(book.year)));
        EXPECT_FALSE(doc.Text("/fb:FictionBook/fb:body/fb:section/fb:p").isEmpty());
        const QByteArray cover = QByteArray::fromBase64(doc.Text("//fb:binary").toLatin1());
        EXPECT_EQ(book.hasCover, !cover.isEmpty());
        if (!cover.isEmpty()) {
            EXPECT_TRUE(cover.startsWith("\x89PNG") || cover.startsWith("\xFF\xD8\xFF"));
        }
        windows1251 += book.windows1251;
        covers += book.hasCover;
    }
    // Drawn from the seed: roughly the asked-for shares, never all or none.
    EXPECT_GT(windows1251, 4);
    EXPECT_LT(windows1251, 24);
    EXPECT_GT(covers, 8);
    EXPECT_LT(covers, 32);
}

TEST(SyntheticLibrary, SameSeedGivesSameBytesInFilesAndArchives)
{
    const SyntheticOptions options = SmallBooks();
    EXPECT_EQ(MakeSyntheticBook(options, 3).bytes, MakeSyntheticBook(options, 3).bytes);
    SyntheticOptions other = options;
    other.seed = 8;
    EXPECT_NE(MakeSyntheticBook(other, 3).bytes, MakeSyntheticBook(options, 3).bytes);

    QTemporaryDir dir;
    SyntheticTotals totals;
    QString error;
    ASSERT_TRUE(
        WriteSyntheticFolder(options, 5, dir.filePath(QStringLiteral("books")), &totals, &error))
        << error.toStdString();
    EXPECT_EQ(totals.books, 5);
    QFile file(dir.filePath(QStringLiteral("books/book-000004.fb2")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), MakeSyntheticBook(options, 4).bytes);

    const QString first = dir.filePath(QStringLiteral("a.zip"));
    const QString second = dir.filePath(QStringLiteral("b.zip"));
    ASSERT_TRUE(WriteSyntheticArchive(options, 5, first, &totals, &error)) << error.toStdString();
    ASSERT_TRUE(WriteSyntheticArchive(options, 5, second, &totals, &error));
    QFile a(first);
    QFile b(second);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
    CZipFile zip;
    zip.Open(first, 'r');
    ASSERT_EQ(zip.Members().size(), 5u);
    EXPECT_EQ(zip.Read(QStringLiteral("book-000002.fb2")), MakeSyntheticBook(options, 2).bytes);
}
