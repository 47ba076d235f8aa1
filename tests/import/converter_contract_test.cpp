// What the import does with a converted book: reads its title-info, fills in the default genre
// in the document's text, and writes it in the library's code page. The converters' output must
// survive each step.
#include "import/book_header.h"
#include "import/book_placement.h"
#include "support/converter_test_support.h"
#include "text/messages.h"

using namespace lbv;
using namespace lbv::test;

TEST(ConverterContract, TheImportReadsFillsAndWritesAConvertedBook)
{
    Any2Fb2Converter converter {QString()};
    const QString source = FixturePath(QStringLiteral("Ирина Соколова - Тихая гавань.txt"));
    const ConversionResult result = converter.Convert(source);
    ASSERT_TRUE(result.Succeeded()) << qPrintable(result.message);

    CBookHeader header(source, 0);
    QString error;
    ASSERT_TRUE(header.ReadTitleInfo(*result.document, &error)) << qPrintable(error);
    EXPECT_EQ(header.firstName, QStringLiteral("Ирина"));
    EXPECT_EQ(header.lastName, QStringLiteral("Соколова"));
    EXPECT_EQ(header.title, QStringLiteral("Тихая гавань"));
    EXPECT_TRUE(header.genre.isEmpty());

    QString text = result.document->Xml();
    ASSERT_EQ(text.count(QStringLiteral("<genre></genre>")), 1);
    text.replace(QStringLiteral("<genre></genre>"), QStringLiteral("<genre>sf</genre>"));
    QByteArray bytes;
    ASSERT_TRUE(EncodeBookText(text, QStringLiteral("1251,windows-1251"), &bytes, &error))
        << qPrintable(error);
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"windows-1251\"?>"));
    CBookHeader written(QStringLiteral("written.fb2"), bytes.size());
    ASSERT_TRUE(written.LoadFromBytes(bytes, &error)) << qPrintable(error);
    EXPECT_EQ(written.genre, QStringLiteral("sf"));
    EXPECT_EQ(written.title, QStringLiteral("Тихая гавань"));
}

TEST(ConverterContract, ABookWithoutAnAuthorFailsWithTheHeaderReadersMessage)
{
    QTemporaryDir dir;
    const QString source = WriteFile(dir, QStringLiteral("notes.txt"), "Some notes.\n");
    Any2Fb2Converter converter {QString()};
    const ConversionResult result = converter.Convert(source);
    ASSERT_TRUE(result.Succeeded()) << qPrintable(result.message);
    CBookHeader header(source, 0);
    QString error;
    EXPECT_FALSE(header.ReadTitleInfo(*result.document, &error));
    EXPECT_EQ(error, MessageText(Msg::Fb2NoAuthorName) + source);
}
