#include "icu_reference.h"
#include "text/code_page_list.h"
#include "text/code_page_tables.h"
#include "text/code_pages.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace lbv;
using lbv::test::IcuDecode;
using lbv::test::IcuEncode;

namespace {

QByteArray EveryByte()
{
    QByteArray bytes(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        bytes[b] = char(b);
    return bytes;
}

const char* ConverterOf(const CodePageEntry& entry)
{
    return entry.converter ? entry.converter : entry.name;
}

int Number(int index)
{
    return CodePageNumber(index);
}

} // namespace

TEST(CodePages, OffersTheConvertedFileListInDisplayOrder)
{
    const QList<CodePageChoice> choices = CodePageChoices();
    ASSERT_EQ(choices.size(), 117);
    ASSERT_EQ(CodePageCount(), 117);
    EXPECT_EQ(choices.front().displayName, u"Arabic (ASMO 708)");
    EXPECT_EQ(choices.front().value, u"708,ASMO-708");
    EXPECT_EQ(choices.back().displayName, u"Western European (Windows)");
    EXPECT_EQ(choices.back().value, u"1252,Windows-1252");
    auto valueOf = [&](QStringView display) {
        for (const CodePageChoice& choice : choices)
            if (choice.displayName == display)
                return choice.value;
        return QString();
    };
    EXPECT_EQ(valueOf(u"Cyrillic (Windows)"), u"1251,windows-1251");
    EXPECT_EQ(valueOf(u"Cyrillic (KOI8-R)"), u"20866,koi8-r");
    EXPECT_EQ(valueOf(u"Cyrillic (DOS)"), u"866,cp866");
    EXPECT_EQ(valueOf(u"Unicode (UTF-8)"), u"65001,utf-8");
    for (qsizetype i = 1; i < choices.size(); ++i)
        EXPECT_LT(
            choices[i - 1].displayName.compare(choices[i].displayName, Qt::CaseInsensitive), 0);
    for (int index = 1; index < CodePageCount(); ++index)
        EXPECT_LT(Number(index - 1), Number(index)); // indices follow the numbers
}

TEST(CodePages, FindsPagesByAnyNameIgnoringCase)
{
    const int cp1251 = CodePageIndex(1251);
    ASSERT_GE(cp1251, 0);
    for (const char16_t* name : {u"windows-1251", u"WINDOWS-1251", u"Windows-1251", u"cp1251",
             u"x-cp1251", u" windows-1251 "})
        EXPECT_EQ(FindCodePage(name), cp1251) << QString::fromUtf16(name).toStdString();
    EXPECT_EQ(Number(FindCodePage(u"KOI8-R")), 20866);
    EXPECT_EQ(Number(FindCodePage(u"koi8")), 20866);
    EXPECT_EQ(Number(FindCodePage(u"IBM866")), 866);
    EXPECT_EQ(Number(FindCodePage(u"ISO-8859-5")), 28595);
    EXPECT_EQ(Number(FindCodePage(u"windows-1252")), 1252);
    EXPECT_EQ(Number(FindCodePage(u"UTF-8")), 65001);
    EXPECT_EQ(Number(FindCodePage(u"utf8")), 65001);
    EXPECT_EQ(Number(FindCodePage(u"x-mac-cyrillic")), 10007);
    // Where two pages share a name the lower number answers.
    EXPECT_EQ(Number(FindCodePage(u"iso-2022-jp")), 50220);
    EXPECT_EQ(Number(FindCodePage(u"EUC-JP")), 20932);
}

TEST(CodePages, FindsPagesByTheAliasesIcuKnows)
{
    EXPECT_EQ(Number(FindCodePage(u"latin1")), 28591);
    EXPECT_EQ(Number(FindCodePage(u"ISO_8859-5:1988")), 28595);
    EXPECT_EQ(Number(FindCodePage(u"GBK")), 936);
    for (const char16_t* unknown : {u"", u"   ", u"klingon", u"кои8-р", u"windows 1251",
             u"utf-8\n8", u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"})
        EXPECT_EQ(FindCodePage(unknown), -1) << QString::fromUtf16(unknown).toStdString();
}

TEST(CodePages, AnswersSafelyForIndicesOutsideTheRegistry)
{
    const int koi8 = CodePageIndex(20866);
    EXPECT_EQ(CodePageName(koi8), u"koi8-r");
    EXPECT_EQ(CodePageDisplayName(koi8), u"Cyrillic (KOI8-R)");
    EXPECT_EQ(CodePageTable(koi8)[0xE1], u'А');
    EXPECT_EQ(CodePageTable(CodePageIndex(1250)), nullptr); // no built-in table
    EXPECT_EQ(Number(DefaultCodePageIndex()), 1251);
    EXPECT_EQ(CodePageIndex(12345), -1);
    for (int bad : {-1, CodePageCount(), 100000}) {
        EXPECT_EQ(Number(bad), -1);
        EXPECT_TRUE(CodePageName(bad).isEmpty());
        EXPECT_TRUE(CodePageDisplayName(bad).isEmpty());
        EXPECT_EQ(CodePageTable(bad), nullptr);
    }
}

TEST(CodePages, BuiltInTablesMatchIcu)
{
    const QByteArray bytes = EveryByte();
    for (const BuiltInCodePage& page : BuiltInCodePages()) {
        const CodePageEntry& entry = CodePageEntries()[std::size_t(CodePageIndex(page.number))];
        const QString icu = IcuDecode(ConverterOf(entry), bytes);
        ASSERT_EQ(icu.size(), 256) << page.number;
        for (int b = 0; b < 256; ++b) {
            // ICU's IBM 866 swaps three control codes (0x1A, 0x1C, 0x7F); like Windows we keep
            // every byte below 0x80 as ASCII.
            const char16_t expected
                = page.number == 866 && b < 0x80 ? char16_t(b) : icu[b].unicode();
            EXPECT_EQ(page.unicode[std::size_t(b)], expected) << page.number << " byte " << b;
        }
        EXPECT_EQ(ConvertToUnicode(CodePageIndex(page.number), bytes),
            QString(reinterpret_cast<const QChar*>(page.unicode.data()), 256));
    }
}

TEST(CodePages, LetterClassesFollowTheRussianAlphabet)
{
    auto classes = [](int number) { return FindBuiltInCodePage(number)->letterClass; };
    struct Expect {
        int page;
        unsigned char byte;
        int letterClass;
    };
    const Expect expected[] = {
        {1251, 0xC0, 1},
        {1251, 0xFF, 32},
        {1251, 0xA8, 6},
        {1251, 0xB8, 6},
        {1251, 0xB2, 0},
        {1251, 'A', 0},
        {20866, 0xE1, 1},
        {20866, 0xC1, 1},
        {20866, 0xB3, 6},
        {20866, 0xF1, 32},
        {866, 0x80, 1},
        {866, 0xE0, 17},
        {866, 0xF1, 6},
        {866, 0xB0, 0},
        {28595, 0xB0, 1},
        {28595, 0xCF, 32},
        {28595, 0xA1, 6},
        {28595, 0xA6, 0},
    };
    for (const Expect& e : expected)
        EXPECT_EQ(classes(e.page)[e.byte], e.letterClass) << e.page << " byte " << int(e.byte);
    for (int page : {1251, 20866, 866, 28595}) {
        // 32 letters in two cases plus Ё and ё
        int letters = 0;
        for (std::uint8_t c : classes(page))
            letters += c != 0;
        EXPECT_EQ(letters, 66) << page;
    }
    for (std::uint8_t c : classes(1252))
        EXPECT_EQ(c, 0);
}

TEST(CodePages, ConvertsEveryOtherPageLikeIcu)
{
    const QByteArray bytes = EveryByte();
    const QString sample
        = QStringLiteral("FictionBook 2.0: Лев Толстой, Ελλάδα, 東京 ♥ \u00e9\u00df");
    for (int index = 0; index < CodePageCount(); ++index) {
        const CodePageEntry& entry = CodePageEntries()[std::size_t(index)];
        if (FindBuiltInCodePage(entry.number))
            continue;
        const char* converter = ConverterOf(entry);
        const QByteArray encoded = IcuEncode(converter, sample);
        ASSERT_FALSE(encoded.isEmpty()) << entry.number;
        EXPECT_EQ(ConvertToUnicode(index, encoded), IcuDecode(converter, encoded)) << entry.number;
        if (entry.number != 65001) { // Qt and ICU replace malformed UTF-8 differently
            EXPECT_EQ(ConvertToUnicode(index, bytes), IcuDecode(converter, bytes)) << entry.number;
        }
        QByteArray ours;
        QString error;
        ASSERT_TRUE(ConvertFromUnicode(index, u"FictionBook 2.0", ours, error)) << entry.number;
        EXPECT_EQ(ours, IcuEncode(converter, u"FictionBook 2.0")) << entry.number;
    }
}

TEST(CodePages, DecodesBuiltInPagesAndUtf8WithoutIcu)
{
    EXPECT_EQ(ConvertToUnicode(CodePageIndex(1251), "\xCB\xE5\xE2 \xD2\xEE\xEB\xF1\xF2\xEE\xE9"),
        u"Лев Толстой");
    EXPECT_EQ(ConvertToUnicode(CodePageIndex(20866), "\xEC\xC5\xD7"), u"Лев");
    EXPECT_EQ(ConvertToUnicode(CodePageIndex(866), "\x8B\xA5\xA2"), u"Лев");
    EXPECT_EQ(ConvertToUnicode(CodePageIndex(28595), "\xBB\xD5\xD2"), u"Лев");
    EXPECT_EQ(ConvertToUnicode(CodePageIndex(1252), "caf\xE9 \x80"), u"café €");
    EXPECT_EQ(ConvertToUnicode(CodePageIndex(65001), "\xD0\x9B\xD0\xB5\xD0\xB2"), u"Лев");
    EXPECT_EQ(ConvertToUnicode(CodePageIndex(65001), "\xD0"), u"\uFFFD");
    EXPECT_EQ(ConvertToUnicode(CodePageIndex(65001), "\xEF\xBB\xBFx"), u"x");
    EXPECT_TRUE(ConvertToUnicode(CodePageIndex(1251), "").isEmpty());
    // An index from a damaged setting reads as the default page instead of failing.
    EXPECT_EQ(ConvertToUnicode(-1, "\xCB\xE5\xE2"), u"Лев");
    EXPECT_EQ(ConvertToUnicode(CodePageCount(), "\xCB\xE5\xE2"), u"Лев");
    // Truncated multi-byte input ends in a replacement character, not in lost text.
    EXPECT_EQ(ConvertToUnicode(CodePageIndex(936), "ab\xC4"), u"ab\uFFFD");
    EXPECT_EQ(ConvertToUnicode(CodePageIndex(1200), QByteArray("a\0b", 3)), u"a\uFFFD");
}

TEST(CodePages, EncodesWithQuestionMarksOrXmlReferences)
{
    const int cp1251 = CodePageIndex(1251);
    QByteArray bytes;
    QString error;
    ASSERT_TRUE(ConvertFromUnicode(cp1251, u"Мир, 世界!", bytes, error));
    EXPECT_EQ(bytes,
        QByteArray("\xCC\xE8\xF0, ?"
                   "?!"));
    ASSERT_TRUE(ConvertFromUnicode(
        cp1251, u"Мир, 世界!", bytes, error, UnmappableCharacters::XmlReference));
    EXPECT_EQ(bytes, QByteArray("\xCC\xE8\xF0, &#19990;&#30028;!"));
    // Long escapes outgrow the first output buffer.
    const QString emoji = QString(200, QChar(0x263A));
    ASSERT_TRUE(
        ConvertFromUnicode(cp1251, emoji, bytes, error, UnmappableCharacters::XmlReference));
    EXPECT_EQ(bytes, QByteArray("&#9786;").repeated(200));
    ASSERT_TRUE(ConvertFromUnicode(CodePageIndex(37), u"A\u263A", bytes, error));
    EXPECT_EQ(bytes, QByteArray("\xC1\x6F")); // the EBCDIC question mark, not an ASCII one
    ASSERT_TRUE(ConvertFromUnicode(CodePageIndex(65001), u"Лев", bytes, error));
    EXPECT_EQ(bytes, QByteArray("\xD0\x9B\xD0\xB5\xD0\xB2")); // no byte-order mark
    ASSERT_TRUE(ConvertFromUnicode(CodePageIndex(20866), u"Лев", bytes, error));
    EXPECT_EQ(ConvertToUnicode(CodePageIndex(20866), bytes), u"Лев");
    ASSERT_TRUE(ConvertFromUnicode(CodePageIndex(1200), u"Ab", bytes, error));
    EXPECT_EQ(bytes, QByteArray("A\0b\0", 4));
}

TEST(CodePages, ThreadsConvertIndependently)
{
    // Each thread decodes and encodes a stateful page at the same time as the others; a converter
    // shared between threads would mix their states up.
    const QString text = QStringLiteral("日本語のテキスト, русский текст, ελληνικά");
    const int pages[] = {50220, 932, 1253, 65000};
    constexpr std::size_t kThreads = std::size(pages);
    QByteArray expectedBytes[kThreads];
    QString expectedText[kThreads];
    for (std::size_t t = 0; t < kThreads; ++t) {
        QString error;
        ASSERT_TRUE(ConvertFromUnicode(CodePageIndex(pages[t]), text, expectedBytes[t], error,
            UnmappableCharacters::XmlReference));
        expectedText[t] = ConvertToUnicode(CodePageIndex(pages[t]), expectedBytes[t]);
    }
    int failures[kThreads] = {};
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            const int index = CodePageIndex(pages[t]);
            for (int round = 0; round < 300; ++round) {
                QByteArray bytes;
                QString error;
                ConvertFromUnicode(index, text, bytes, error, UnmappableCharacters::XmlReference);
                if (bytes != expectedBytes[t] || ConvertToUnicode(index, bytes) != expectedText[t])
                    ++failures[t];
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    for (std::size_t t = 0; t < kThreads; ++t)
        EXPECT_EQ(failures[t], 0) << pages[t];
}
