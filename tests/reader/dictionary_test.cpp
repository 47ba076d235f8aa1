#include "reader/dictionary.h"
#include "reader/dictionary_writer.h"
#include "text/messages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

class DictionaryTest : public ::testing::Test {
protected:
    QString Build(const std::vector<DictionarySourceEntry>& entries,
        DictionaryWriterOptions options = {}, const QString& name = QStringLiteral("test.dic"))
    {
        const QString path = dir_.filePath(name);
        QString error;
        EXPECT_TRUE(WriteDictionary(path, entries, options, &error)) << error.toStdString();
        return path;
    }

    std::unique_ptr<Dictionary> OpenOk(const QString& path)
    {
        QString message;
        auto dictionary = Dictionary::Open(path, &message);
        EXPECT_TRUE(dictionary) << message.toStdString();
        return dictionary;
    }

    // A copy of the file with one 32-bit little-endian field replaced.
    QString Patched(const QString& path, qint64 offset, quint32 value)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        qToLittleEndian(value, bytes.data() + offset);
        return WriteBytes(bytes);
    }

    QString WriteBytes(const QByteArray& bytes)
    {
        const QString path = dir_.filePath(QStringLiteral("patched-%1.dic").arg(++patches_));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path;
    }

    static quint32 Field(const QString& path, qint64 offset)
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        return qFromLittleEndian<quint32>(bytes.constData() + offset);
    }

    static QString Headword(Dictionary& dictionary, const DictionaryLookup& found)
    {
        return dictionary.ArticleText(found.article).section(QStringLiteral("  "), 0, 0);
    }

    QTemporaryDir dir_;
    int patches_ = 0;
};

std::vector<DictionarySourceEntry> Words(std::initializer_list<const char16_t*> headwords)
{
    std::vector<DictionarySourceEntry> entries;
    for (const char16_t* word : headwords)
        entries.push_back({QString::fromUtf16(word), QStringLiteral("about ") + word});
    return entries;
}

} // namespace

TEST_F(DictionaryTest, EnglishEndingsFindTheBaseForm)
{
    auto dictionary = OpenOk(Build(Words({u"big", u"box", u"die", u"hop", u"large", u"stop",
        u"study", u"try", u"happy", u"stoppage"})));
    ASSERT_TRUE(dictionary);
    const std::pair<const char16_t*, const char16_t*> cases[]
        = {{u"stopped", u"stop"}, {u"tries", u"try"}, {u"bigger", u"big"}, {u"Boxes", u"box"},
            {u"dying", u"die"}, {u"hopping", u"hop"}, {u"largest", u"large"},
            {u"studied", u"study"}, {u"happier", u"happy"}, {u"STOPS", u"stop"}};
    for (const auto& [form, base] : cases) {
        const DictionaryLookup found = dictionary->Lookup(QString::fromUtf16(form));
        EXPECT_EQ(found.match, DictionaryMatch::Found) << QString::fromUtf16(form).toStdString();
        EXPECT_EQ(Headword(*dictionary, found), QString::fromUtf16(base));
    }
    // No rule gives a form in the dictionary: the nearest article of the word as written.
    const DictionaryLookup none = dictionary->Lookup(u"stopwatch");
    EXPECT_EQ(none.match, DictionaryMatch::Nearest);
    EXPECT_EQ(Headword(*dictionary, none), QStringLiteral("stoppage"));
}

TEST_F(DictionaryTest, EndingsApplyOnlyToEnglishAndToWordsUnder64Characters)
{
    DictionaryWriterOptions russian;
    russian.lcid = 0x0419;
    auto other = OpenOk(Build(Words({u"stop", u"стол"}), russian, QStringLiteral("ru.dic")));
    ASSERT_TRUE(other);
    EXPECT_EQ(other->Lcid(), 0x0419u);
    EXPECT_EQ(other->Lookup(u"stopped").match, DictionaryMatch::Nearest);
    EXPECT_EQ(other->Lookup(u"СТОЛ").match, DictionaryMatch::Found);

    const QString base62(62, u'x');
    const QString base61(61, u'y');
    auto english
        = OpenOk(Build({{base62, QStringLiteral("long")}, {base61, QStringLiteral("shorter")}}));
    ASSERT_TRUE(english);
    // 64 characters: looked up only as written.
    const DictionaryLookup asWritten = english->Lookup(QString(base62 + QStringLiteral("ed")));
    EXPECT_EQ(asWritten.match, DictionaryMatch::Nearest);
    // 63 characters: the endings still apply.
    const DictionaryLookup stripped = english->Lookup(QString(base61 + QStringLiteral("ed")));
    EXPECT_EQ(stripped.match, DictionaryMatch::Found);
    EXPECT_EQ(Headword(*english, stripped), base61);
}

TEST_F(DictionaryTest, NearestArticleSharesTheLongestLeadingPart)
{
    const auto entries = Words({u"apple", u"apricot", u"banana", u"cherry"});
    for (int blockSize : {16384, 1}) { // one block, then one article per block
        DictionaryWriterOptions options;
        options.blockTextSize = blockSize;
        auto dictionary = OpenOk(Build(entries, options));
        ASSERT_TRUE(dictionary);
        EXPECT_EQ(dictionary->BlockCount(), blockSize == 1 ? 4 : 1);
        EXPECT_EQ(dictionary->ArticleCount(), 4);
        const DictionaryLookup exact = dictionary->Lookup(u"APPLE");
        EXPECT_EQ(exact.match, DictionaryMatch::Found);
        EXPECT_EQ(exact.article, 0);
        const std::pair<const char16_t*, int> nearest[]
            = {{u"applx", 0}, {u"aprx", 1}, {u"ba", 2}, {u"aa", 0}, {u"zebra", 3}, {u"bz", 2}};
        for (const auto& [word, article] : nearest) {
            const DictionaryLookup found = dictionary->Lookup(QString::fromUtf16(word));
            EXPECT_EQ(found.match, DictionaryMatch::Nearest);
            EXPECT_EQ(found.article, article)
                << QString::fromUtf16(word).toStdString() << " with blocks of " << blockSize;
        }
        EXPECT_EQ(dictionary->Lookup(u"  ").match, DictionaryMatch::NotFound);
    }
}

TEST_F(DictionaryTest, UnreadableFilesGetTheFileTexts)
{
    QString message;
    const QString missing = dir_.filePath(QStringLiteral("missing.dic"));
    EXPECT_FALSE(Dictionary::Open(missing, &message));
    EXPECT_EQ(message, missing + QStringLiteral(": File not found"));
    EXPECT_FALSE(Dictionary::Open(dir_.path(), &message));
    EXPECT_EQ(message, dir_.path() + QStringLiteral(": I/O Error"));
}

TEST_F(DictionaryTest, InvalidFilesAreRejected)
{
    DictionaryWriterOptions options;
    options.blockTextSize = 1;
    const QString good = Build(Words({u"one", u"two", u"three"}), options);
    const quint32 table = Field(good, 16);
    ASSERT_EQ(Field(good, table), 3u);
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();

    const QString invalid[] = {
        WriteBytes(QByteArray()), WriteBytes(bytes.left(3)),
        WriteBytes(QByteArray("DICx") + bytes.mid(4)), WriteBytes(bytes.left(19)),
        Patched(good, 8, 0), // no articles
        Patched(good, 8, 4), // articles don't add up to the total
        Patched(good, 16, 0), // no block table
        Patched(good, 16, quint32(bytes.size())), // block table past the end
        Patched(good, table, 0), // no blocks
        Patched(good, table, 4), // more blocks than articles
        Patched(good, table + 4 + 12, 2), // block counts exceed the total
        Patched(good, table + 4 + 8, 0xFFFFFF), // block keys past the end
        WriteBytes(bytes.left(bytes.size() - 1)), // keys cut short
    };
    for (const QString& path : invalid) {
        QString message;
        EXPECT_FALSE(Dictionary::Open(path, &message)) << path.toStdString();
        EXPECT_EQ(message, MessageText(Msg::InvalidDictionaryFile).arg(path));
        EXPECT_TRUE(message.endsWith(QStringLiteral(": Ivalid dictionary file")));
    }
}

TEST_F(DictionaryTest, DamagedBlocksReportNotFound)
{
    const QString good = Build(Words({u"one", u"two", u"three"}));
    const quint32 table = Field(good, 16);
    // Compressed data damaged, a text size that doesn't match, a line count that doesn't match,
    // and data cut off (the block table moved along).
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray garbled = file.readAll();
    garbled[24] = char(garbled[24] ^ 0x5A);
    garbled[25] = char(garbled[25] ^ 0x5A);
    const QString damaged[]
        = {WriteBytes(garbled), Patched(good, table + 4, Field(good, table + 4) + 1),
            Patched(good, table + 4 + 16, Field(good, table + 4 + 16) + 1),
            Patched(good, table + 4 + 4, Field(good, table + 4 + 4) + 100000)};
    for (const QString& path : damaged) {
        auto dictionary = OpenOk(path);
        ASSERT_TRUE(dictionary);
        EXPECT_EQ(dictionary->Lookup(u"two").match, DictionaryMatch::NotFound);
        EXPECT_TRUE(dictionary->ArticleText(0).isEmpty());
        EXPECT_TRUE(dictionary->Line(0, true).text.isEmpty());
        EXPECT_EQ(dictionary->ArticleFirstLine(0), -1);
    }
}

TEST_F(DictionaryTest, UnknownLocaleAndCodePageFallBackToDefaults)
{
    DictionaryWriterOptions options;
    options.codePage = 1251;
    const QString path = Build({{QStringLiteral("дом"), QStringLiteral("house")}}, options);
    auto patched = OpenOk(Patched(Patched(path, 4, 0x1234), 12, 99999));
    ASSERT_TRUE(patched);
    EXPECT_NE(patched->Lcid(), 0x1234u);
    EXPECT_EQ(patched->CodePage(), 1251);
    EXPECT_EQ(patched->ArticleText(0), QStringLiteral("дом  house"));
}

TEST_F(DictionaryTest, ArticlesReadAsParagraphs)
{
    std::vector<DictionarySourceEntry> entries {
        {QStringLiteral("alpha"), QStringLiteral("first letter\n  1. a start\n  2. a star")},
        {QStringLiteral("beta"), QStringLiteral("second letter")},
        {QStringLiteral("gamma"), {}},
    };
    DictionaryWriterOptions options;
    options.blockTextSize = 30; // alpha alone, then beta and gamma
    auto dictionary = OpenOk(Build(entries, options));
    ASSERT_TRUE(dictionary);
    EXPECT_EQ(dictionary->BlockCount(), 2);
    // Two lines per article plus one per line feed.
    EXPECT_EQ(dictionary->LineCount(), 4 + 2 + 2);
    EXPECT_EQ(dictionary->ArticleFirstLine(0), 0);
    EXPECT_EQ(dictionary->ArticleFirstLine(1), 4);
    EXPECT_EQ(dictionary->ArticleFirstLine(2), 6);

    const DictionaryParagraph headword = dictionary->Line(0, true);
    EXPECT_EQ(headword.text, QStringLiteral("alpha  first letter"));
    ASSERT_EQ(headword.attributes.size(), size_t(headword.text.size()));
    EXPECT_EQ(headword.attributes[4], kDictionaryBoldAttribute);
    EXPECT_EQ(headword.attributes[5], 0);
    EXPECT_EQ(dictionary->Line(0, false).attributes[0], 0);

    const DictionaryParagraph indented = dictionary->Line(1, true);
    EXPECT_EQ(indented.text, QStringLiteral("\u00A0\u00A01. a start"));
    EXPECT_EQ(indented.attributes[0], 0);
    EXPECT_EQ(dictionary->Line(2, true).text, QStringLiteral("\u00A0\u00A02. a star"));
    EXPECT_TRUE(dictionary->Line(3, true).text.isEmpty());
    EXPECT_EQ(dictionary->Line(4, true).text, QStringLiteral("beta  second letter"));
    // A headword without a definition is bold all through.
    const DictionaryParagraph bare = dictionary->Line(6, true);
    EXPECT_EQ(bare.text, QStringLiteral("gamma"));
    EXPECT_EQ(bare.attributes.back(), kDictionaryBoldAttribute);
    EXPECT_TRUE(dictionary->Line(7, true).text.isEmpty());
    EXPECT_TRUE(dictionary->Line(8, true).text.isEmpty());
    EXPECT_TRUE(dictionary->Line(-1, true).text.isEmpty());
    EXPECT_TRUE(dictionary->ArticleText(3).isEmpty());
}

TEST_F(DictionaryTest, SampleSourceRoundTripsThroughTheTool)
{
    std::vector<DictionarySourceEntry> entries;
    QString error;
    ASSERT_TRUE(ReadDictionarySource(
        QStringLiteral(LBV_SOURCE_DIR "/resources/dictionaries/english-sample.txt"), &entries,
        &error))
        << error.toStdString();
    ASSERT_GT(entries.size(), 300u);
    for (bool compress : {true, false}) {
        DictionaryWriterOptions options;
        options.codePage = 1252;
        options.compress = compress;
        options.blockTextSize = 2048;
        const QString path = Build(entries, options);
        auto dictionary = OpenOk(path);
        ASSERT_TRUE(dictionary);
        EXPECT_EQ(dictionary->ArticleCount(), int(entries.size()));
        EXPECT_EQ(dictionary->CodePage(), 1252);
        EXPECT_GT(dictionary->BlockCount(), 1);
        const quint32 firstBlock = Field(path, 16) + 4;
        if (compress)
            EXPECT_LT(Field(path, firstBlock + 4), Field(path, firstBlock));
        else
            EXPECT_EQ(Field(path, firstBlock + 4), Field(path, firstBlock));
        for (const DictionarySourceEntry& entry : entries) {
            const DictionaryLookup found = dictionary->Lookup(entry.headword);
            ASSERT_EQ(found.match, DictionaryMatch::Found) << entry.headword.toStdString();
            EXPECT_EQ(dictionary->ArticleText(found.article),
                entry.headword + QStringLiteral("  ") + entry.definition);
        }
    }
}
