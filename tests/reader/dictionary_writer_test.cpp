#include "reader/dictionary_endings.h"
#include "reader/dictionary_writer.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lbv;

TEST(DictionarySource, ReadsTabSeparatedLinesWithEscapes)
{
    std::vector<DictionarySourceEntry> entries;
    QString error;
    ASSERT_TRUE(
        ParseDictionarySource("\xEF\xBB\xBF# comment\r\n\r\nword\tfirst\\nsecond\\t"
                              "tab \\\\ back\\x\r\n\xD1\x81\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xBE\t"
                              "a\tb\n",
            &entries, &error))
        << error.toStdString();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].headword, QStringLiteral("word"));
    EXPECT_EQ(entries[0].definition, QStringLiteral("first\nsecond\ttab \\ back\\x"));
    EXPECT_EQ(entries[1].headword, QStringLiteral("слово"));
    EXPECT_EQ(entries[1].definition, QStringLiteral("a\tb"));
}

TEST(DictionarySource, RejectsLinesItCannotSplitOrDecode)
{
    std::vector<DictionarySourceEntry> entries;
    QString error;
    EXPECT_FALSE(ParseDictionarySource("good\tline\nno tab here\n", &entries, &error));
    EXPECT_EQ(error, QStringLiteral("line 2: no tab between the headword and the definition"));
    EXPECT_FALSE(ParseDictionarySource("\n\n\xC0\xAF\tx\n", &entries, &error));
    EXPECT_EQ(error, QStringLiteral("line 3: not valid UTF-8"));
}

TEST(DictionaryWriter, RefusesWhatTheFileCannotHold)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.dic"));
    QString error;
    DictionaryWriterOptions latin;
    latin.codePage = 1252;
    EXPECT_FALSE(
        WriteDictionary(path, {{QStringLiteral("дом"), QStringLiteral("house")}}, latin, &error));
    EXPECT_EQ(
        error, QStringLiteral("entry 1 (\"дом\"): a character has no form in code page 1252"));
    EXPECT_FALSE(WriteDictionary(path, {{QStringLiteral("a\u0000b"), {}}}, {}, &error));
    EXPECT_FALSE(WriteDictionary(path, {{QStringLiteral("  "), QStringLiteral("x")}}, {}, &error));
    EXPECT_EQ(error, QStringLiteral("entry 1: the headword is empty"));
    EXPECT_FALSE(WriteDictionary(path, {}, {}, &error));

    DictionaryWriterOptions wide;
    wide.codePage = 1200; // UTF-16 would put zero bytes inside the text
    EXPECT_FALSE(WriteDictionary(path, {{QStringLiteral("a"), {}}}, wide, &error));
    DictionaryWriterOptions nowhere;
    nowhere.lcid = 0x1234;
    EXPECT_FALSE(WriteDictionary(path, {{QStringLiteral("a"), {}}}, nowhere, &error));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(EnglishEndings, FormsFollowTheRuleOrder)
{
    EXPECT_EQ(EnglishBaseForms(u"stopped"),
        QStringList({QStringLiteral("stopp"), QStringLiteral("stoppe"), QStringLiteral("stop")}));
    EXPECT_EQ(EnglishBaseForms(u"tries"),
        QStringList({QStringLiteral("trie"), QStringLiteral("tri"), QStringLiteral("try")}));
    EXPECT_EQ(EnglishBaseForms(u"lying"),
        QStringList({QStringLiteral("ly"), QStringLiteral("lye"), QStringLiteral("lie")}));
    // An ending alone leaves no word; a doubled-letter rule needs two equal letters.
    EXPECT_TRUE(EnglishBaseForms(u"s").isEmpty());
    EXPECT_TRUE(EnglishBaseForms(u"ing").isEmpty());
    EXPECT_EQ(EnglishBaseForms(u"sing"), QStringList({QStringLiteral("s"), QStringLiteral("se")}));
    EXPECT_TRUE(EnglishBaseForms(QString(QString(62, u'a') + QStringLiteral("ed"))).isEmpty());
    EXPECT_EQ(EnglishBaseForms(QString(QString(61, u'a') + QStringLiteral("ed"))).size(), 3);
}
