#include "catalog/xml_document.h"
#include "shelf/header_accessor.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

const QString kBook = QStringLiteral(
    "<?xml version=\"1.0\"?>"
    "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
    "xmlns:l=\"http://www.w3.org/1999/xlink\"><description><title-info>"
    "<genre>sf</genre><genre>sf_epic</genre>"
    "<author><first-name>Ivar</first-name><last-name>Kessel</last-name></author>"
    "<author><first-name>Mara</first-name><middle-name>J.</middle-name>"
    "<last-name>Oduya</last-name></author>"
    "<book-title>Foundation</book-title>"
    "<annotation><p>First <emphasis>part</emphasis>.</p><p>Second.</p></annotation>"
    "<coverpage><image l:href=\"#cover.jpg\"/></coverpage>"
    "<sequence name=\"Empire\" number=\"1\"/></title-info></description>"
    "<body><section><p>Text.</p></section></body></FictionBook>");

const QString kSequenceXPath
    = QStringLiteral("/fb:FictionBook/fb:description/fb:title-info/fb:sequence");
QString Sequence(QStringView attribute)
{
    return kSequenceXPath + attribute;
}

const QString kLangXPath = QStringLiteral("/fb:FictionBook/fb:description/fb:title-info/fb:lang");

class HeaderAccessorTest : public ::testing::Test {
protected:
    void SetUp() override { document_ = Load(kBook); }

    static XmlDocumentPtr Load(const QString& text)
    {
        QString error;
        XmlDocumentPtr document = LoadXmlText(text, &error);
        EXPECT_TRUE(document) << qPrintable(error);
        document->SetSelectionNamespaces(FictionBookSelectionNamespaces());
        return document;
    }

    // The document as it would be written to the file and read again.
    XmlDocumentPtr Reloaded() const { return Load(document_->Xml()); }

    XmlDocumentPtr document_;
};

} // namespace

TEST_F(HeaderAccessorTest, GetsTextsAttributesAndParagraphsWithTheDefaultForMissingNodes)
{
    const HeaderAccessor accessor(*document_);
    EXPECT_EQ(accessor.Get(kFirstNameXPath, kNotSetValue), u"Ivar");
    // author[1] only: the second author's middle name does not count.
    EXPECT_EQ(accessor.Get(kMiddleNameXPath, kNotSetValue), kNotSetValue);
    EXPECT_FALSE(accessor.Exists(kMiddleNameXPath));
    EXPECT_TRUE(accessor.Exists(kBookTitleXPath));
    EXPECT_EQ(accessor.Get(kGenreXPath, {}), u"sf");

    EXPECT_EQ(accessor.Get(Sequence(u"@name"), {}), u"Empire");
    EXPECT_EQ(accessor.Get(Sequence(u"/@number"), {}), u"1");
    EXPECT_EQ(accessor.Get(Sequence(u"@missing"), QStringLiteral("none")), u"none");
    EXPECT_EQ(accessor.Get(QStringLiteral("//fb:coverpage/fb:image@l:href"), {}), u"#cover.jpg");

    EXPECT_EQ(accessor.Get(kAnnotationXPath, {}), u"First part.\r\nSecond.");
    EXPECT_EQ(accessor.Get(kHistoryXPath, kNotSetValue), kNotSetValue);
    EXPECT_EQ(accessor.Get(QStringLiteral("not an xpath ]["), QStringLiteral("d")), u"d");
}

TEST_F(HeaderAccessorTest, FlagsOnlyRealChangesOfTheFirstAuthorTitleAndGenre)
{
    HeaderAccessor accessor(*document_);
    EXPECT_FALSE(accessor.AuthorChanged() || accessor.TitleChanged() || accessor.GenreChanged()
        || accessor.DocumentWritten() || accessor.WritingBlocked());

    accessor.Set(kFirstNameXPath, QStringLiteral("Ivar"));
    // Clearing a middle name that is not there changes nothing either.
    accessor.Set(kMiddleNameXPath, QString());
    accessor.Set(kMiddleNameXPath, kNotSetValue);
    accessor.Set(kLangXPath, QStringLiteral("en"));
    EXPECT_FALSE(accessor.AuthorChanged() || accessor.TitleChanged() || accessor.GenreChanged());
    EXPECT_TRUE(accessor.DocumentWritten());

    accessor.Set(kBookTitleXPath, QStringLiteral("Foundation and Empire"));
    EXPECT_TRUE(accessor.TitleChanged());
    EXPECT_FALSE(accessor.AuthorChanged() || accessor.GenreChanged());
    accessor.Set(kGenreXPath, QStringLiteral("sf_history"));
    EXPECT_TRUE(accessor.GenreChanged());
    EXPECT_FALSE(accessor.AuthorChanged());
    accessor.Set(kMiddleNameXPath, QStringLiteral("R."));
    EXPECT_TRUE(accessor.AuthorChanged());

    HeaderAccessor other(*document_);
    other.Set(kLastNameXPath, QStringLiteral("Kessel-Ward"));
    EXPECT_TRUE(other.AuthorChanged());
    other.BlockWriting();
    EXPECT_TRUE(other.WritingBlocked());
}

TEST_F(HeaderAccessorTest, SetCreatesMissingElementsInTheBookNamespaceAndEmptyRemoves)
{
    HeaderAccessor accessor(*document_);
    ASSERT_TRUE(accessor.Set(kMiddleNameXPath, QStringLiteral("R.")));
    ASSERT_TRUE(accessor.Set(kHistoryXPath, QStringLiteral("v1.0 made")));
    ASSERT_TRUE(accessor.Set(Sequence(u"@number"), QStringLiteral("2")));
    ASSERT_TRUE(
        accessor.Set(QStringLiteral("/fb:FictionBook/fb:description/fb:publish-info/fb:isbn@kind"),
            QStringLiteral("print")));
    ASSERT_TRUE(accessor.Set(kGenreXPath, QStringLiteral("sf_history")));

    XmlDocumentPtr reloaded = Reloaded();
    HeaderAccessor after(*reloaded);
    EXPECT_EQ(after.Get(kMiddleNameXPath, {}), u"R.");
    EXPECT_EQ(after.Get(kHistoryXPath, {}), u"v1.0 made");
    EXPECT_EQ(after.Get(Sequence(u"@number"), {}), u"2");
    EXPECT_EQ(after.Get(Sequence(u"@name"), {}), u"Empire");
    EXPECT_EQ(
        after.Get(
            QStringLiteral("/fb:FictionBook/fb:description/fb:publish-info/fb:isbn@kind"), {}),
        u"print");
    // The first genre is the one changed; the second stays.
    EXPECT_EQ(after.Get(QStringLiteral("//fb:title-info/fb:genre[2]"), {}), u"sf_epic");
    EXPECT_EQ(after.Get(kGenreXPath, {}), u"sf_history");

    after.Set(kMiddleNameXPath, QString());
    after.Set(Sequence(u"@number"), kNotSetValue);
    after.Set(QStringLiteral("//fb:coverpage/fb:image@l:href"), QString());
    EXPECT_FALSE(after.Exists(kMiddleNameXPath));
    EXPECT_FALSE(after.Exists(Sequence(u"@number")));
    EXPECT_TRUE(after.Exists(Sequence(u"@name")));
    EXPECT_FALSE(after.Exists(QStringLiteral("//fb:coverpage/fb:image@l:href")));
    // The second author's middle name stays.
    EXPECT_EQ(SelectNodes(reloaded->Node(), u"//fb:middle-name").size(), 1U);
}

TEST_F(HeaderAccessorTest, ParagraphTextsSplitAtLineBreaksAndKeepMarkupWhenUnchanged)
{
    HeaderAccessor accessor(*document_);
    accessor.Set(kAnnotationXPath, accessor.Get(kAnnotationXPath, {}));
    EXPECT_TRUE(document_->Xml().contains(u"<emphasis>part</emphasis>"));
    EXPECT_TRUE(accessor.DocumentWritten());

    accessor.Set(kAnnotationXPath, QStringLiteral("One\r\n\r\nThree\nFour"));
    XmlDocumentPtr reloaded = Reloaded();
    HeaderAccessor after(*reloaded);
    EXPECT_EQ(after.Get(kAnnotationXPath, {}), u"One\r\n\r\nThree\r\nFour");
    EXPECT_EQ(SelectNodes(reloaded->Node(), QStringLiteral("//fb:annotation/fb:p")).size(), 4U);

    after.Set(kAnnotationXPath, QString());
    EXPECT_FALSE(after.Exists(kAnnotationXPath));
}

TEST_F(HeaderAccessorTest, RemoveDropsEverySelectedNodeAndNeverTheDocument)
{
    HeaderAccessor accessor(*document_);
    accessor.Remove(QStringLiteral("//fb:genre"));
    EXPECT_FALSE(accessor.Exists(kGenreXPath));
    EXPECT_TRUE(accessor.DocumentWritten());
    // Nested selections are freed innermost first.
    accessor.Remove(QStringLiteral("//fb:annotation | //fb:annotation/fb:p | //fb:p/fb:emphasis"));
    EXPECT_FALSE(accessor.Exists(kAnnotationXPath));
    accessor.Remove(QStringLiteral("/"));
    EXPECT_TRUE(accessor.Exists(kBookTitleXPath));
}

// Every field of the editor's description must be readable and writable on a real book.
TEST_F(HeaderAccessorTest, EverySheetItemRoundTrips)
{
    QString error;
    XmlDocumentPtr sheet
        = LoadXmlFile(QStringLiteral(LBV_SOURCE_DIR "/resources/fb2-header.xml"), &error);
    ASSERT_TRUE(sheet) << qPrintable(error);
    const std::vector<xmlNode*> names = SelectNodes(sheet->Node(), u"/parameters/item/name");
    ASSERT_GE(names.size(), 20U);

    HeaderAccessor accessor(*document_);
    for (const xmlNode* name : names) {
        const QString xpath = NodeText(name);
        EXPECT_TRUE(accessor.Set(xpath, QStringLiteral("7"))) << qPrintable(xpath);
    }
    XmlDocumentPtr reloaded = Reloaded();
    HeaderAccessor after(*reloaded);
    for (const xmlNode* name : names)
        EXPECT_EQ(after.Get(NodeText(name), {}), u"7") << qPrintable(NodeText(name));
}
