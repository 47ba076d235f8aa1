#include "sheets/parameter_sheet.h"
#include "text/messages.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace lbv {
namespace {

const QString kHeaderSheet = QStringLiteral(LBV_SOURCE_DIR "/resources/fb2-header.xml");

class ParameterSheetTest : public ::testing::Test {
protected:
    // Loads a description made of the given items; the error text when it fails.
    QString Load(const char* items, const char* root = "parameters")
    {
        const QString path = dir.filePath(QStringLiteral("sheet.xml"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray("<?xml version=\"1.0\"?><") + root + ">" + items + "</" + root + ">");
        file.close();
        QString error;
        if (!LoadParameterSheet(path, &sheet, &error))
            return error;
        return {};
    }

    QTemporaryDir dir;
    ParameterSheet sheet;
};

TEST_F(ParameterSheetTest, ReadsEveryItemOfTheHeaderSheet)
{
    QString error;
    ASSERT_TRUE(LoadParameterSheet(kHeaderSheet, &sheet, &error)) << error.toStdString();
    ASSERT_EQ(sheet.items.size(), 25);

    const ParameterItem& first = sheet.items.front();
    EXPECT_EQ(first.name,
        QStringLiteral("/fb:FictionBook/fb:description/fb:title-info/fb:author[1]/fb:first-name"));
    EXPECT_EQ(first.shortName, QStringLiteral("First name"));
    EXPECT_EQ(first.description, QStringLiteral("The first author's first name"));
    EXPECT_TRUE(first.value.isEmpty());
    EXPECT_EQ(first.usage, unsigned(kUsageEditable));
    ASSERT_EQ(first.restrictions.size(), 1);
    EXPECT_EQ(first.restrictions[0].kind, RestrictionKind::MinLength);
    EXPECT_EQ(first.restrictions[0].value, QStringLiteral("1"));

    int counts[int(ParameterType::ParamList) + 1] = {};
    for (const ParameterItem& item : sheet.items)
        ++counts[int(item.type)];
    EXPECT_EQ(counts[int(ParameterType::String)], 19);
    EXPECT_EQ(counts[int(ParameterType::MultiString)], 2);
    EXPECT_EQ(counts[int(ParameterType::Number)], 2);
    EXPECT_EQ(counts[int(ParameterType::Float)], 1);
    EXPECT_EQ(counts[int(ParameterType::Date)], 1);

    const auto id = std::find_if(sheet.items.begin(), sheet.items.end(),
        [](const ParameterItem& item) { return item.shortName == u"Document id"; });
    ASSERT_NE(id, sheet.items.end());
    EXPECT_EQ(id->usage, unsigned(kUsageOptional | kUsageReadOnly | kUsageAdvanced));
}

TEST_F(ParameterSheetTest, ReadsEveryTypeUsageAndRestrictionKind)
{
    ASSERT_EQ(Load(R"(<item><name>a</name><datatype>filepathlist</datatype>
        <usage>hidden user</usage></item>
        <item><name>b</name><shortName>B</shortName><value>x</value><datatype>stringlist</datatype>
        <restriction kind="choice">x</restriction><restriction kind="choice">y</restriction>
        <restriction kind="maxLength">3</restriction></item>
        <item><name>c</name><datatype>float</datatype><restriction kind="fraction">2</restriction>
        <restriction kind="max">1.5</restriction></item>
        <item><name>d</name><datatype>date</datatype><restriction kind="min">2000-01-01</restriction>
        </item>)"),
        QString());
    ASSERT_EQ(sheet.items.size(), 4);
    EXPECT_EQ(sheet.items[0].type, ParameterType::FilePathList);
    EXPECT_TRUE(sheet.items[0].IsList());
    EXPECT_EQ(sheet.items[0].usage, unsigned(kUsageHidden | kUsageUser));
    // A label-less item is labelled by its name; a missing type is a string.
    EXPECT_EQ(sheet.items[0].shortName, QStringLiteral("a"));
    EXPECT_EQ(sheet.items[1].Choices(), QStringList({QStringLiteral("x"), QStringLiteral("y")}));
    EXPECT_EQ(sheet.items[1].value, QStringLiteral("x"));
    EXPECT_EQ(sheet.items[2].restrictions.size(), 2);
    EXPECT_EQ(sheet.items[3].restrictions[0].kind, RestrictionKind::Min);
}

TEST_F(ParameterSheetTest, RejectsBrokenDescriptionsWithTheReason)
{
    EXPECT_EQ(Load("<item><name>a</name></item>", "sheet"),
        MessageText(Msg::SheetNotParameters).arg(QStringLiteral("sheet")));
    EXPECT_EQ(Load("<item><name>a</name></item><item><shortName>B</shortName></item>"),
        MessageText(Msg::SheetItemWithoutName).arg(2));
    EXPECT_EQ(Load("<item><name>a</name><datatype>colour</datatype></item>"),
        MessageText(Msg::SheetUnknownDatatype).arg(QStringLiteral("a"), QStringLiteral("colour")));
    EXPECT_EQ(Load("<item><name>a</name><usage>optional secret</usage></item>"),
        MessageText(Msg::SheetUnknownUsage).arg(QStringLiteral("a"), QStringLiteral("secret")));
    EXPECT_EQ(Load(R"(<item><name>a</name><restriction kind="step">2</restriction></item>)"),
        MessageText(Msg::SheetUnknownRestriction).arg(QStringLiteral("a"), QStringLiteral("step")));
    EXPECT_EQ(Load(R"(<item><name>a</name><restriction kind="regexp">[a-</restriction></item>)"),
        MessageText(Msg::SheetBadRestriction)
            .arg(QStringLiteral("a"), QStringLiteral("regexp"), QStringLiteral("[a-")));
    EXPECT_FALSE(Load(R"(<item><name>a</name><datatype>number</datatype>
        <restriction kind="max">ten</restriction></item>)")
                     .isEmpty());
    EXPECT_FALSE(Load(R"(<item><name>a</name><datatype>date</datatype>
        <restriction kind="min">5</restriction></item>)")
                     .isEmpty());
    EXPECT_FALSE(Load(R"(<item><name>a</name><restriction kind="maxLength">-1</restriction>
        </item>)")
                     .isEmpty());
    // A failed load leaves the sheet as it was.
    EXPECT_TRUE(sheet.items.isEmpty());
}

TEST_F(ParameterSheetTest, FileThatDoesNotLoadGivesTheLoaderText)
{
    QString error;
    const QString path = dir.filePath(QStringLiteral("missing.xml"));
    EXPECT_FALSE(LoadParameterSheet(path, &sheet, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Loading ") + path + QStringLiteral(": ERROR!")))
        << error.toStdString();
    EXPECT_FALSE(Load("<item><name>a</name>").isEmpty());
}

TEST(ParameterSheetLines, SplitAnyLineEndAndJoinWithCrLf)
{
    EXPECT_TRUE(SplitValueLines(QString()).isEmpty());
    const QStringList lines = SplitValueLines(QStringLiteral("a\r\nb\nc\r\rd"));
    EXPECT_EQ(lines,
        QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QString(),
            QStringLiteral("d")}));
    EXPECT_EQ(JoinValueLines(lines), QStringLiteral("a\r\nb\r\nc\r\n\r\nd"));
}

} // namespace
} // namespace lbv
