#include "convert/converter.h"
#include "convert/converter_factory.h"
#include "convert/converter_options.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"

#include <gtest/gtest.h>

using namespace lbv;

namespace {

const QString kSection = QStringLiteral("Any2FB2");

class ConverterPropertiesTest : public ::testing::Test {
protected:
    ConverterPropertiesTest()
    {
        auto owned = std::make_unique<MemorySettingsBackend>();
        backend = owned.get();
        store = std::make_unique<SettingsStore>(std::move(owned));
    }

    void SetInt(const char* name, int value)
    {
        backend->WriteInt(kSection, QString::fromLatin1(name), value);
    }
    void SetString(const char* name, const char* value)
    {
        backend->WriteString(kSection, QString::fromLatin1(name), QString::fromUtf8(value));
    }
    QVariant Value(const char* name) const
    {
        for (const ConverterProperty& property : ReadConverterProperties(*store))
            if (property.name == QLatin1String(name))
                return property.value;
        return {};
    }

    MemorySettingsBackend* backend = nullptr;
    std::unique_ptr<SettingsStore> store;
};

// Records what it is given and refuses one name.
class RecordingConverter : public DocumentConverter {
public:
    bool SetProperty(const QString& name, const QVariant& value, QString* error) override
    {
        if (name == refuse) {
            *error = QStringLiteral("refused ") + name;
            return false;
        }
        received.append({name, value});
        return true;
    }
    ConversionResult Convert(const QString&) override { return {}; }

    ConverterProperties received;
    QString refuse;
};

} // namespace

TEST_F(ConverterPropertiesTest, AbsentValuesGiveTheDialogsDefaultsInTheFixedOrder)
{
    const ConverterProperties expected {
        {QStringLiteral("PreserveForm"), 0},
        {QStringLiteral("NoConvertCharset"), 0},
        {QStringLiteral("NoEpigraphs"), 0},
        {QStringLiteral("NoEmptyLine"), 0},
        {QStringLiteral("NoDescription"), 0},
        {QStringLiteral("NoQuotes"), 0},
        {QStringLiteral("NoFootnotes"), 0},
        {QStringLiteral("NoItalic"), 0},
        {QStringLiteral("NoRestoreBrokenParas"), 0},
        {QStringLiteral("NoPoems"), 0},
        {QStringLiteral("OnlyHHeaders"), 0},
        {QStringLiteral("IgnoreIndent"), 0},
        {QStringLiteral("ConvertDash"), 1},
        {QStringLiteral("RemoveAllImages"), 0},
        {QStringLiteral("RemoveOffSiteImages"), 1},
        {QStringLiteral("PreserveDynamicImages"), 0},
        {QStringLiteral("RemoveExternalLinks"), 1},
        {QStringLiteral("FollowOffSiteLinks"), 0},
        {QStringLiteral("TextType"), 0},
        {QStringLiteral("FixCount"), 4},
        {QStringLiteral("LinkDepth"), 0},
        {QStringLiteral("OnlyFollowLinks"), QString()},
        {QStringLiteral("NeverFollowLinks"), QString()},
        {QStringLiteral("HeadersRegexp"), DefaultHeadersRegexp()},
        {QStringLiteral("OnLoad"), QString()},
        {QStringLiteral("OnResult"), QString()},
    };
    EXPECT_EQ(ReadConverterProperties(*store), expected);
}

TEST_F(ConverterPropertiesTest, StoredValuesArePassedAsTheConverterExpectsThem)
{
    SetInt("NoPoems", 7); // any non-zero value is 1
    SetInt("ConvertDash", 0);
    SetInt("FollowLinks", 1);
    SetInt("FixCount", 9);
    SetInt("LinkDepth", 2);
    SetString("HeadersRegexp", "^Part \\d+$");
    SetString("OnLoad", "a\tb");
    EXPECT_EQ(Value("NoPoems"), QVariant(1));
    EXPECT_EQ(Value("ConvertDash"), QVariant(0));
    EXPECT_EQ(Value("NoItalic"), QVariant(0));
    EXPECT_EQ(Value("FixCount"), QVariant(9));
    EXPECT_EQ(Value("LinkDepth"), QVariant(2));
    EXPECT_EQ(Value("HeadersRegexp"), QVariant(QStringLiteral("^Part \\d+$")));
    EXPECT_EQ(Value("OnLoad"), QVariant(QStringLiteral("a\tb")));

    SetString("TextType", "Indented");
    EXPECT_EQ(Value("TextType"), QVariant(1));
    SetString("TextType", "EmptyLines");
    EXPECT_EQ(Value("TextType"), QVariant(2));
    SetString("TextType", "Columns");
    EXPECT_EQ(Value("TextType"), QVariant(0));
}

TEST_F(ConverterPropertiesTest, TheOptionsDialogsSpellingsAnswerWhenTheConversionsAreAbsent)
{
    // The dialog writes "RemoveOffsiteImages", "FollowOffsiteLinks" and "TextFormat".
    SetInt("RemoveOffsiteImages", 1);
    SetInt("FollowOffsiteLinks", 1);
    SetString("TextFormat", "EmptyLines");
    EXPECT_EQ(Value("RemoveOffSiteImages"), QVariant(1));
    EXPECT_EQ(Value("FollowOffSiteLinks"), QVariant(1));
    EXPECT_EQ(Value("TextType"), QVariant(2));

    // The conversion's own names win when both are there.
    SetInt("RemoveOffSiteImages", 0);
    SetString("TextType", "Indented");
    EXPECT_EQ(Value("RemoveOffSiteImages"), QVariant(0));
    EXPECT_EQ(Value("TextType"), QVariant(1));
}

TEST_F(ConverterPropertiesTest, LinksAreFollowedOnlyWhileFollowLinksIsOn)
{
    SetInt("LinkDepth", 3);
    EXPECT_EQ(Value("LinkDepth"), QVariant(0));
    SetInt("FollowLinks", 1);
    EXPECT_EQ(Value("LinkDepth"), QVariant(3));
    SetInt("FollowLinks", 0);
    EXPECT_EQ(Value("LinkDepth"), QVariant(0));
}

TEST_F(ConverterPropertiesTest, AWriteGoesWhereTheConversionReads)
{
    const ConverterSetting& offsite = *FindConverterSetting(u"RemoveOffsiteImages");
    EXPECT_EQ(FindConverterSetting(u"RemoveOffSiteImages"), &offsite);
    // Nothing stored: the dialog's spelling.
    WriteConverterSetting(*store, offsite, 0);
    EXPECT_EQ(backend->ReadInt(kSection, QStringLiteral("RemoveOffsiteImages")), 0);
    EXPECT_EQ(Value("RemoveOffSiteImages"), QVariant(0));

    // Once the conversion's spelling is there, a change must land on it or it would be ignored.
    SetInt("RemoveOffSiteImages", 0);
    WriteConverterSetting(*store, offsite, 1);
    EXPECT_EQ(ReadConverterSetting(*store, offsite), QVariant(1));
    EXPECT_EQ(Value("RemoveOffSiteImages"), QVariant(1));

    const ConverterSetting& format = *FindConverterSetting(u"TextFormat");
    EXPECT_EQ(ReadConverterSetting(*store, format), QVariant(QStringLiteral("Auto")));
    WriteConverterSetting(*store, format, QStringLiteral("Indented"));
    EXPECT_EQ(Value("TextType"), QVariant(1));
    SetString("TextType", "EmptyLines");
    WriteConverterSetting(*store, format, QStringLiteral("Auto"));
    EXPECT_EQ(Value("TextType"), QVariant(0));
    SetString("TextFormat", "Sideways"); // unknown: the automatic format, shown and applied
    SetString("TextType", "");
    EXPECT_EQ(ReadConverterSetting(*store, format), QVariant(QStringLiteral("Auto")));
    EXPECT_EQ(Value("TextType"), QVariant(0));
}

TEST_F(ConverterPropertiesTest, ApplyingStopsAtTheFirstRefusedProperty)
{
    RecordingConverter converter;
    converter.refuse = QStringLiteral("LinkDepth");
    QString error;
    EXPECT_FALSE(ApplyConverterProperties(converter, ReadConverterProperties(*store), &error));
    EXPECT_EQ(error, QStringLiteral("refused LinkDepth"));
    ASSERT_EQ(converter.received.size(), 20);
    EXPECT_EQ(converter.received.front().name, QStringLiteral("PreserveForm"));
    EXPECT_EQ(converter.received.back().name, QStringLiteral("FixCount"));

    converter.refuse.clear();
    converter.received.clear();
    EXPECT_TRUE(ApplyConverterProperties(converter, ReadConverterProperties(*store), &error));
    EXPECT_EQ(converter.received, ReadConverterProperties(*store));
}

TEST(ConverterOptions, EveryPropertyReadFromTheSettingsIsAccepted)
{
    Any2Fb2Converter converter {QString()};
    SettingsStore store(std::make_unique<MemorySettingsBackend>());
    QString error;
    EXPECT_TRUE(ApplyConverterProperties(converter, ReadConverterProperties(store), &error))
        << qPrintable(error);
    EXPECT_EQ(converter.Options().headers.pattern(), DefaultHeadersRegexp());
}

TEST(ConverterOptions, RefusesUnknownNamesWrongKindsAndBrokenExpressions)
{
    ConverterOptions options;
    QString error;
    EXPECT_FALSE(options.Set(QStringLiteral("NoSuchOption"), 1, &error));
    EXPECT_EQ(error, QStringLiteral("Unknown converter property \"NoSuchOption\""));
    EXPECT_FALSE(options.Set(QStringLiteral("NoPoems"), QStringLiteral("yes"), &error));
    EXPECT_EQ(error, QStringLiteral("NoPoems: a number is expected"));
    EXPECT_FALSE(options.Set(QStringLiteral("HeadersRegexp"), QStringLiteral("(Глава"), &error));
    EXPECT_TRUE(
        error.startsWith(QStringLiteral("HeadersRegexp: invalid regular expression \"(Глава\"")))
        << qPrintable(error);
    EXPECT_FALSE(options.Set(QStringLiteral("OnResult"), QStringLiteral("ok\n[\tx"), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("OnResult: invalid regular expression \"[\"")));

    EXPECT_TRUE(options.Set(QStringLiteral("TextType"), 2, &error));
    EXPECT_EQ(options.textType, TextType::EmptyLines);
    EXPECT_TRUE(options.Set(QStringLiteral("LinkDepth"), -3, &error));
    EXPECT_EQ(options.linkDepth, 0);
}

TEST(ConverterOptions, RuleTextsRoundTripAndNameWhatCannotBeStored)
{
    const QString stored = QStringLiteral("(\\d+)-(\\d+)\t\\2..\\1\r\n\n  \nразрыв\n");
    const QList<RegexRuleText> rules = SplitRegexRules(stored);
    ASSERT_EQ(rules.size(), 2);
    EXPECT_EQ(
        rules[0], (RegexRuleText {QStringLiteral("(\\d+)-(\\d+)"), QStringLiteral("\\2..\\1")}));
    EXPECT_EQ(rules[1], (RegexRuleText {QStringLiteral("разрыв"), QString()}));
    EXPECT_EQ(JoinRegexRules(rules), QStringLiteral("(\\d+)-(\\d+)\t\\2..\\1\nразрыв"));
    EXPECT_EQ(SplitRegexRules(JoinRegexRules(rules)), rules);

    EXPECT_TRUE(RegexRuleProblem(rules[0]).isEmpty());
    EXPECT_TRUE(RegexRuleProblem({}).isEmpty());
    EXPECT_TRUE(RegexRuleProblem({QStringLiteral("(open"), QString()})
                    .startsWith(QStringLiteral("invalid regular expression \"(open\"")));
    // A tab or a line break would split the stored rule; a lone replacement would be dropped.
    EXPECT_FALSE(RegexRuleProblem({QStringLiteral("a\tb"), QString()}).isEmpty());
    EXPECT_FALSE(RegexRuleProblem({QStringLiteral("a"), QStringLiteral("b\nc")}).isEmpty());
    EXPECT_FALSE(RegexRuleProblem({QString(), QStringLiteral("b")}).isEmpty());
}

TEST(ConverterOptions, RuleListsRewriteTextLineByLine)
{
    QList<RegexRule> rules;
    QString error;
    ASSERT_TRUE(ParseRegexRules(
        QStringLiteral("(\\d+)-(\\d+)\t\\2..\\1\r\n\n  \nразрыв\n"), &rules, &error));
    ASSERT_EQ(rules.size(), 2);
    QString text = QStringLiteral("годы 1941-1945, разрыв страницы");
    ApplyRegexRules(rules, text);
    EXPECT_EQ(text, QStringLiteral("годы 1945..1941,  страницы"));
}
