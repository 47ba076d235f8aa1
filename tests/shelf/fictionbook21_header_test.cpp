#include "catalog/file_name_mask.h"
#include "import/stored_book.h"
#include "shelf/header_accessor.h"

#include <gtest/gtest.h>

using namespace lbv;
using namespace Qt::StringLiterals;

namespace {

QString Fixture(const QString& name)
{
    return QStringLiteral(LBV_TEST_DATA_DIR "/realworld/") + name;
}

XmlDocumentPtr LoadBook(const QString& name, QString* markupRepair = nullptr)
{
    QString error;
    XmlDocumentPtr document
        = LoadStoredBookDocument(Fixture(name), CompressionNone, &error, nullptr, markupRepair);
    EXPECT_TRUE(document) << qPrintable(error);
    if (document)
        document->SetSelectionNamespaces(FictionBookSelectionNamespaces(document->Doc()));
    return document;
}

} // namespace

TEST(FictionBook21Header, EditsFieldsAndCreatesMissingOnesInTheBooksNamespace)
{
    const XmlDocumentPtr document = LoadBook(u"fictionbook-2.1.fb2"_s);
    ASSERT_TRUE(document);
    EXPECT_EQ(
        document->SelectionNamespaces(), u"xmlns:fb='http://www.gribuser.ru/xml/fictionbook/2.1'");
    HeaderAccessor accessor(*document);
    EXPECT_EQ(accessor.Get(kLastNameXPath, {}), u"Kessel");
    ASSERT_TRUE(accessor.Set(kMiddleNameXPath, u"K."_s));
    const xmlNode* created = SelectSingleNode(document->Node(), kMiddleNameXPath);
    ASSERT_NE(created, nullptr);
    EXPECT_STREQ(reinterpret_cast<const char*>(created->ns->href), kFictionBook21Namespace);
    EXPECT_TRUE(document->Xml().contains(u"<middle-name>K.</middle-name>"));
}

TEST(FictionBook21Header, LoadsADamagedBookForEditingAfterRepair)
{
    QString markupRepair;
    const XmlDocumentPtr document = LoadBook(u"html-entities.fb2"_s, &markupRepair);
    ASSERT_TRUE(document);
    EXPECT_TRUE(markupRepair.startsWith(u"Loading XML: ERROR! Entity 'laquo' not defined"));
    EXPECT_EQ(HeaderAccessor(*document).Get(kBookTitleXPath, {}), u"«Salt\u00A0and\u00A0Iron»");

    QString untouched = u"not set"_s;
    ASSERT_TRUE(LoadBook(u"fictionbook-2.1.fb2"_s, &untouched));
    EXPECT_TRUE(untouched.isEmpty());
}
