#include "catalog/com_result.h"
#include "catalog/xml_document.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <cerrno>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

const QString kFb2Header = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"windows-1251\"?>"
    "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
    "xmlns:l=\"http://www.w3.org/1999/xlink\">"
    "<description><title-info>\n  <author><first-name> Лев </first-name>"
    "<last-name>Толстой</last-name></author>\n"
    "  <book-title>Война и мир</book-title><coverpage><image l:href=\"#cover.jpg\"/></coverpage>"
    "</title-info></description></FictionBook>");

class XmlLayer : public ::testing::Test {
protected:
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    XmlDocumentPtr Fb2()
    {
        QString error;
        XmlDocumentPtr doc = LoadXmlText(kFb2Header, &error);
        EXPECT_TRUE(doc) << error.toStdString();
        doc->SetSelectionNamespaces(FictionBookSelectionNamespaces());
        return doc;
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(XmlLayer, LoadErrorsNameTheSourceAndTheParserReason)
{
    const QString path = Write(QStringLiteral("broken.xml"), "<a><b></a>");
    QString error;
    EXPECT_FALSE(LoadXmlFile(path, &error));
    const QString prefix = QStringLiteral("Loading ") + path + QStringLiteral(": ERROR! ");
    ASSERT_TRUE(error.startsWith(prefix)) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("mismatch"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("(line 1, column"))) << error.toStdString();

    EXPECT_FALSE(LoadXmlFile(dir.filePath(QStringLiteral("missing.xml")), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Loading "))) << error.toStdString();

    EXPECT_FALSE(LoadXmlText(u"<a>", &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Loading XML: ERROR! Premature end of data")))
        << error.toStdString();
    EXPECT_FALSE(LoadXmlText(u"", &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Loading XML: ERROR! Document is empty")));
}

TEST_F(XmlLayer, FailedLoadIntoEmptiesTheDocumentAndKeepsItsSettings)
{
    const QString good = Write(QStringLiteral("good.xml"), "<a>x</a>");
    const QString bad = Write(QStringLiteral("bad.xml"), "<a>");
    XmlDocumentPtr doc = CreateDocument(false, nullptr);
    doc->SetSelectionNamespaces(FictionBookSelectionNamespaces());
    QString error;
    ASSERT_TRUE(LoadInto(*doc, good, &error));
    QString reason;
    ParseErrorReason(doc.get(), &reason);
    EXPECT_EQ(reason, QStringLiteral("Unable to get parse error reason"));

    EXPECT_FALSE(LoadInto(*doc, bad, &error));
    EXPECT_EQ(doc->Root(), nullptr);
    EXPECT_EQ(doc->SelectionNamespaces(), FictionBookSelectionNamespaces());
    ParseErrorReason(doc.get(), &reason);
    EXPECT_EQ(error, QStringLiteral("Loading ") + bad + QStringLiteral(": ERROR! ") + reason);
    ParseErrorReason(nullptr, &reason);
    EXPECT_EQ(reason, QStringLiteral("Unable to get parse error"));
}

TEST_F(XmlLayer, TextIsReadAsGivenWhileFilesFollowTheirDeclaration)
{
    XmlDocumentPtr doc = Fb2();
    EXPECT_EQ(SelectSingleNodeText(doc->Node(), u"//fb:book-title").value_or(QString()),
        QStringLiteral("Война и мир"));

    const QByteArray cp1251
        = "<?xml version=\"1.0\" encoding=\"windows-1251\"?><a>\xcb\xe5\xe2</a>";
    QString error;
    XmlDocumentPtr fromFile = LoadXmlFile(Write(QStringLiteral("cp.xml"), cp1251), &error);
    ASSERT_TRUE(fromFile) << error.toStdString();
    EXPECT_EQ(NodeText(fromFile->Root()), QStringLiteral("Лев"));

    // Invalid UTF-8 handed over as UTF-8 still loads, the bad byte replaced.
    XmlDocumentPtr lenient = LoadXmlUtf8("<a>x\xff</a>", &error);
    ASSERT_TRUE(lenient) << error.toStdString();
    EXPECT_EQ(NodeText(lenient->Root()), QStringLiteral("x\uFFFD"));
}

TEST_F(XmlLayer, EntityBombsAreRefused)
{
    QString laughs = QStringLiteral("<?xml version=\"1.0\"?><!DOCTYPE z [<!ENTITY l0 \"lol\">");
    for (int level = 1; level <= 9; ++level)
        laughs += QStringLiteral("<!ENTITY l%1 \"%2\">")
                      .arg(level)
                      .arg(QStringLiteral("&l%1;").arg(level - 1).repeated(10));
    laughs += QStringLiteral("]><z>&l9;</z>");
    QString error;
    EXPECT_FALSE(LoadXmlText(laughs, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Loading XML: ERROR! "))) << error.toStdString();

    // One big entity referenced many times: each reference is harmless to the parser, but
    // reading the text would expand it to gigabytes.
    const QString quadratic = QStringLiteral("<!DOCTYPE z [<!ENTITY big \"")
        + QString(50000, QLatin1Char('a')) + QStringLiteral("\">]><z a=\"&big;\">")
        + QStringLiteral("&big;").repeated(50000) + QStringLiteral("</z>");
    EXPECT_FALSE(LoadXmlText(quadratic, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("expand"))) << error.toStdString();

    // Small internal entities stay usable.
    XmlDocumentPtr ok = LoadXmlText(u"<!DOCTYPE z [<!ENTITY n \"Лев\">]><z>&n; &n;</z>", &error);
    ASSERT_TRUE(ok) << error.toStdString();
    EXPECT_EQ(NodeText(ok->Root()), QStringLiteral("Лев Лев"));
}

TEST_F(XmlLayer, ExternalEntitiesAndDtdsAreNeverLoaded)
{
    const QString secret = Write(QStringLiteral("secret.txt"), "SECRET");
    const QString dtd = Write(QStringLiteral("ext.dtd"), "<!ENTITY e SYSTEM \"secret.txt\">");
    const QString viaEntity = QStringLiteral("<!DOCTYPE z [<!ENTITY e SYSTEM \"%1\">]><z>&e;</z>")
                                  .arg(QUrl::fromLocalFile(secret).toString());
    const QString viaDtd = QStringLiteral("<!DOCTYPE z SYSTEM \"%1\"><z>&e;</z>")
                               .arg(QUrl::fromLocalFile(dtd).toString());
    for (const QString& text : {viaEntity, viaDtd}) {
        QString error;
        XmlDocumentPtr doc = LoadXmlFile(Write(QStringLiteral("doc.xml"), text.toUtf8()), &error);
        if (doc) {
            EXPECT_FALSE(doc->XmlUtf8().contains("SECRET"));
            EXPECT_FALSE(NodeText(doc->Root()).contains(QStringLiteral("SECRET")));
        }
    }
}

TEST_F(XmlLayer, ValidationUsesOnlyTheInternalSubset)
{
    const QString invalid = Write(QStringLiteral("invalid.xml"),
        "<!DOCTYPE a [<!ELEMENT a (b)><!ELEMENT b EMPTY>]><a><c/></a>");
    XmlDocumentPtr doc = CreateDocument(true, nullptr);
    QString error;
    EXPECT_FALSE(LoadInto(*doc, invalid, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("ERROR! "))) << error.toStdString();
    doc->SetValidateOnParse(false);
    EXPECT_TRUE(LoadInto(*doc, invalid, &error)) << error.toStdString();
}

TEST_F(XmlLayer, SelectionHonoursNamespacesAndDropsBlankText)
{
    XmlDocumentPtr doc = Fb2();
    xmlNode* titleInfo
        = SelectSingleNode(doc->Node(), u"/fb:FictionBook/fb:description/fb:title-info");
    ASSERT_TRUE(titleInfo);
    // Whitespace between elements is gone: the first child is the author element.
    ASSERT_TRUE(titleInfo->children);
    EXPECT_EQ(titleInfo->children->type, XML_ELEMENT_NODE);
    EXPECT_EQ(SelectNodes(titleInfo, u"fb:author").size(), 1u);
    EXPECT_EQ(SelectSingleNodeText(titleInfo, u"fb:author/fb:first-name").value_or(QString()),
        QStringLiteral("Лев"));

    QString error;
    EXPECT_FALSE(SelectSingleNodeText(titleInfo, u"fb:translator", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(SelectNodes(titleInfo, u"fb:author[", &error).empty());
    EXPECT_TRUE(error.contains(QStringLiteral("fb:author["))) << error.toStdString();
    EXPECT_TRUE(SelectNodes(titleInfo, u"count(fb:author)", &error).empty());
    const QString longPath = QStringLiteral("fb:author|").repeated(410) + QStringLiteral("fb:a");
    ASSERT_GE(longPath.size(), 4096);
    EXPECT_TRUE(SelectNodes(titleInfo, longPath, &error).empty());
    EXPECT_TRUE(error.startsWith(QStringLiteral("XPath expression too long")));
    const QString longestPath = QStringLiteral("fb:author").leftJustified(4095, QLatin1Char(' '));
    EXPECT_EQ(SelectNodes(titleInfo, longestPath).size(), 1u);

    doc->SetSelectionNamespaces({});
    EXPECT_TRUE(SelectNodes(doc->Node(), u"/fb:FictionBook", &error).empty());

    xmlNode* image = SelectSingleNode(titleInfo->parent, u"//*[local-name()='image']");
    ASSERT_TRUE(image);
    EXPECT_EQ(AttributeText(image, u"l:href").value_or(QString()), QStringLiteral("#cover.jpg"));
    EXPECT_FALSE(AttributeText(image, u"href"));
    EXPECT_FALSE(AttributeText(image, u"x:href"));
}

TEST_F(XmlLayer, EnsureElementPathCreatesANamespacedElementOnce)
{
    XmlDocumentPtr doc = Fb2();
    const QStringView path = u"/fb:FictionBook/fb:description/fb:title-info/fb:annotation";
    xmlNode* created = EnsureElementPath(*doc, doc->Node(), path);
    ASSERT_TRUE(created);
    ASSERT_TRUE(created->ns);
    EXPECT_STREQ(reinterpret_cast<const char*>(created->ns->href), kFictionBookNamespace);
    EXPECT_EQ(EnsureElementPath(*doc, doc->Node(), path), created);
    EXPECT_EQ(SelectNodes(doc->Node(), path).size(), 1u);
    // The document's own default binding is reused, so the element is written unprefixed.
    EXPECT_TRUE(doc->XmlUtf8().contains("<annotation/></title-info>"))
        << doc->XmlUtf8().constData();

    // A predicate is not applied to the new element; missing parents are created too.
    xmlNode* middle = EnsureElementPath(*doc, doc->Node(),
        u"/fb:FictionBook/fb:description/fb:title-info/fb:author[1]/fb:middle-name");
    ASSERT_TRUE(middle);
    EXPECT_EQ(middle->parent, SelectSingleNode(doc->Node(), u"//fb:author"));
    EXPECT_EQ(EnsureElementPath(*doc, doc->Node(), u"/fb:Other"), nullptr); // a second root
    EXPECT_EQ(EnsureElementPath(*doc, doc->Node(), u"/fb:FictionBook/@id"), nullptr);

    // In a document without the namespace, the prefix is declared on the new element.
    XmlDocumentPtr bare = LoadXmlText(u"<root/>", nullptr);
    bare->SetSelectionNamespaces(FictionBookSelectionNamespaces());
    ASSERT_TRUE(EnsureElementPath(*bare, bare->Root(), u"fb:a/fb:b"));
    EXPECT_EQ(bare->XmlUtf8(),
        QByteArray("<root><fb:a xmlns:fb=\"http://www.gribuser.ru/xml/fictionbook/2.0\">"
                   "<fb:b/></fb:a></root>"));
}

TEST_F(XmlLayer, SerialisedTextReloadsToTheSameContent)
{
    XmlDocumentPtr doc = CreateDocument(false, nullptr);
    xmlNode* root = AppendElement(doc->Node(), "books");
    const QString awkward = QStringLiteral("A & B <c> \"d\" 'e'\r\nЛев\x01\x1f\tend");
    xmlNode* title = AppendTextElement(root, "title", awkward);
    ASSERT_TRUE(SetAttributeText(title, "note", awkward));
    AppendTextElement(root, "empty", {});
    const QByteArray bytes = doc->XmlUtf8();
    EXPECT_EQ(bytes.count('\n'), 1); // only the one inside the text
    EXPECT_FALSE(bytes.startsWith("<?xml"));
    EXPECT_TRUE(bytes.endsWith("<empty/></books>")) << bytes.constData();

    QString error;
    XmlDocumentPtr again = LoadXmlUtf8(bytes, &error);
    ASSERT_TRUE(again) << error.toStdString();
    const QString expected = QStringLiteral("A & B <c> \"d\" 'e'\r\nЛев\tend");
    EXPECT_EQ(SelectSingleNodeText(again->Node(), u"/books/title").value_or(QString()), expected);
    EXPECT_EQ(AttributeText(SelectSingleNode(again->Node(), u"/books/title"), u"note"), expected);
    EXPECT_EQ(again->XmlUtf8(), bytes);

    // A loaded declaration comes back without its encoding, as the book writer expects.
    XmlDocumentPtr fb2 = Fb2();
    EXPECT_TRUE(fb2->Xml().startsWith(QStringLiteral("<?xml version=\"1.0\"?>\r\n<FictionBook")));
}

TEST(ComResult, DescribesFailuresWithTheirCode)
{
    QString text = QStringLiteral("untouched");
    EXPECT_TRUE(ComResultText(kResultOk, &text));
    EXPECT_TRUE(ComResultText(kResultFalse, &text));
    EXPECT_EQ(text, QStringLiteral("untouched"));

    errno = 0;
    EXPECT_FALSE(ComResultText(kResultFail, &text));
    EXPECT_EQ(text, QStringLiteral("Operation failed. Description: Success (Code 80004005)"));
    EXPECT_FALSE(ComResultText(kResultPointer, &text));
    EXPECT_EQ(text, QStringLiteral("Invalid pointer (Code 80004003)"));
    EXPECT_FALSE(ComResultText(ComResult(0x800A0001u), &text));
    EXPECT_EQ(text, QStringLiteral("Unknown error (Code 800A0001)"));
}
