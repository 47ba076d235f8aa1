#include "icu_reference.h"
#include "text/code_page_detection.h"
#include "text/code_page_tables.h"
#include "text/code_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

using namespace lbv;
using lbv::test::IcuEncode;

namespace {

const QString kRussianProse = QStringLiteral(
    "Над рекой поднимался туман. Мельник вышел на крыльцо, посмотрел на небо и решил, что "
    "сегодня дождя не будет. Он позвал сына, и они вдвоём понесли мешки с зерном к телеге. "
    "Лошадь фыркала и переступала с ноги на ногу, чуя дальнюю дорогу до ярмарки.");

// What the importer sees of a book: markup around a few Russian names.
const QString kBookHeader = QStringLiteral(
    "<?xml version=\"1.0\"?><FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\">"
    "<description><title-info><genre>prose_classic</genre><author><first-name>Лев</first-name>"
    "<last-name>Толстой</last-name></author><book-title>Война и мир</book-title>"
    "<date>1869</date></title-info></description>");

int Pair(char16_t first, char16_t second)
{
    return RussianLetterPairWeights()[std::size_t(RussianLetterClass(first))]
                                     [std::size_t(RussianLetterClass(second))];
}

} // namespace

TEST(CodePageDetection, WeightTableHasItsFixedEntries)
{
    const LetterPairWeights& weights = RussianLetterPairWeights();
    for (std::size_t i = 0; i < 33; ++i) {
        EXPECT_EQ(weights[0][i], 0);
        EXPECT_EQ(weights[i][0], 0);
    }
    const int rowA[32] = {0, 77, 259, 55, 298, 90, 111, 296, 12, 96, 384, 709, 284, 340, 1, 101,
        381, 393, 422, 4, 1, 88, 6, 84, 49, 32, 0, 0, 0, 0, 86, 181};
    for (std::size_t second = 1; second <= 32; ++second)
        EXPECT_EQ(weights[1][second], rowA[second - 1]) << "second letter " << second;

    const int hardSign = RussianLetterClass(u'Ъ');
    for (char16_t second = u'А'; second <= u'Я'; ++second) {
        const int expected = second == u'Е' ? 4 : second == u'Я' ? 9 : 0;
        EXPECT_EQ(
            weights[std::size_t(hardSign)][std::size_t(RussianLetterClass(second))], expected);
    }

    struct Top {
        const char16_t* pair;
        int weight;
    };
    const Top largest[] = {{u"ТО", 1026}, {u"НО", 1016}, {u"НА", 998}, {u"СТ", 960}, {u"ПО", 909},
        {u"РА", 880}, {u"НЕ", 878}, {u"ЛА", 849}, {u"НИ", 831}, {u"КО", 800}};
    for (const Top& top : largest)
        EXPECT_EQ(Pair(top.pair[0], top.pair[1]), top.weight);

    std::vector<int> all;
    long sum = 0;
    int zeros = 0;
    for (std::size_t first = 1; first <= 32; ++first)
        for (std::size_t second = 1; second <= 32; ++second) {
            all.push_back(weights[first][second]);
            sum += weights[first][second];
            zeros += weights[first][second] == 0;
        }
    std::sort(all.begin(), all.end(), std::greater<>());
    EXPECT_EQ(all[9], 800);
    EXPECT_LT(all[10], 800); // the ten above are the ten largest, with no tie
    EXPECT_EQ(zeros, 451);
    EXPECT_EQ(sum, 65225);
}

TEST(CodePageDetection, RecognisesRussianInEveryCyrillicBuiltInPage)
{
    struct Page {
        int number;
        const char* converter;
    };
    const Page pages[]
        = {{1251, "windows-1251"}, {20866, "koi8-r"}, {866, "cp866"}, {28595, "iso-8859-5"}};
    for (const Page& page : pages) {
        for (const QString& text :
            {kRussianProse, kBookHeader, QStringLiteral("Война и мир"), kRussianProse.toUpper()}) {
            const QByteArray bytes = IcuEncode(page.converter, text);
            EXPECT_EQ(DetectCodePage(bytes), page.number)
                << page.converter << ": " << text.left(30).toStdString();
            EXPECT_EQ(CodePageNumber(DetectCodePageIndex(bytes)), page.number);
        }
    }
}

TEST(CodePageDetection, MacCyrillicReadsAsWindows1251)
{
    // Mac Cyrillic keeps lower-case letters where windows-1251 has them, except я, which it puts
    // where windows-1251 has Я; so the closest built-in page wins and only capitals read wrong.
    const QByteArray bytes = IcuEncode("x-mac-cyrillic", kRussianProse);
    EXPECT_EQ(DetectCodePage(bytes), 1251);
    EXPECT_EQ(ConvertToUnicode(CodePageIndex(1251), bytes.mid(4, 20)).toLower(),
        kRussianProse.mid(4, 20));
}

TEST(CodePageDetection, WesternTextIsWindows1252)
{
    for (const char16_t* text : {u"The quick brown fox jumps over the lazy dog.",
             u"Größere Mädchen übten fleißig Gedichte für die Schulaufführung.",
             u"Une élève française préférait les cafés où l'on lisait à voix haute.",
             u"El niño pequeño comió muchísimas castañas en el otoño."}) {
        const QByteArray bytes = IcuEncode("windows-1252", text);
        EXPECT_EQ(DetectCodePage(bytes), 1252) << QString::fromUtf16(text).toStdString();
    }
    // Cyrillic letters that never stand next to each other make no pairs to score.
    EXPECT_EQ(DetectCodePage(IcuEncode("windows-1251", u"а б в г д е ж з и к л м н")), 1252);
    EXPECT_EQ(DetectCodePage("3.14159"), 1252);
}

TEST(CodePageDetection, ShortInputsAndByteOrderMarks)
{
    EXPECT_EQ(DetectCodePage(""), 1252);
    EXPECT_EQ(DetectCodePage("\xD2\xEE"), 1252); // "То" would score, but two bytes are too few
    EXPECT_EQ(DetectCodePage("\xD2\xEE\xEB"), 1251);
    EXPECT_EQ(DetectCodePage("\xEF\xBB\xBF"), 65001);
    EXPECT_EQ(DetectCodePage("\xEF\xBB\xBF\xD2\xEE\xEB\xF1\xF2\xEE\xE9"), 65001);
}

TEST(CodePageDetection, Utf8WithoutByteOrderMarkIsUtf8)
{
    EXPECT_EQ(DetectCodePage(kRussianProse.toUtf8()), 65001);
    EXPECT_EQ(DetectCodePage(kBookHeader.toUtf8()), 65001);
    EXPECT_EQ(DetectCodePage(QStringLiteral("Größere Mädchen").toUtf8()), 65001);
    // A file's head may cut a character in two, and its first letters may follow long markup.
    EXPECT_EQ(DetectCodePage(QByteArray(QByteArray(4095, 'x') + "\xD0\x9B")), 65001);
    EXPECT_EQ(DetectCodePage(kRussianProse.toUtf8().chopped(1)), 65001);
    EXPECT_EQ(DetectCodePage(QByteArray(QByteArray(3000, ' ') + kRussianProse.toUtf8())), 65001);
    // Plain ASCII stays Western, and a stray byte that breaks UTF-8 rules sends it to scoring.
    EXPECT_EQ(DetectCodePage("plain ascii text"), 1252);
    EXPECT_NE(DetectCodePage(QByteArray(kRussianProse.toUtf8() + "\xFF")), 65001);
}

TEST(CodePageDetection, OnlyTheFirstKilobyteCounts)
{
    const QByteArray russian = IcuEncode("koi8-r", kRussianProse);
    EXPECT_EQ(DetectCodePage(QByteArray(QByteArray(1024, ' ') + russian)), 1252);
    EXPECT_EQ(DetectCodePage(QByteArray(QByteArray(1000, ' ') + russian)), 20866);
}

TEST(CodePageDetection, ScoresConsecutiveLetterPairs)
{
    const auto& classes = FindBuiltInCodePage(1251)->letterClass;
    EXPECT_EQ(LetterPairScore(classes, "\xD2\xEE"), 1026ull); // ТО
    EXPECT_EQ(LetterPairScore(classes, "\xF2\xEE\xF2\xEE"), 1026ull * 2 + Pair(u'О', u'Т'));
    EXPECT_EQ(LetterPairScore(classes, "\xD2 \xEE"), 0ull);
    EXPECT_EQ(LetterPairScore(classes, ""), 0ull);
}
