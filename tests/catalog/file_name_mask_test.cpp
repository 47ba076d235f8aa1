#include "catalog/file_name_mask.h"

#include <gtest/gtest.h>

using namespace lbv;

namespace {
const QString kDefaultMask = QStringLiteral("%f %l\\%f %l. %t");
}

TEST(FileNameMask, ExpandsPlainAndZipModes)
{
    const QString first = QStringLiteral("Ivar"), last = QStringLiteral("Kessel");
    const QString title = QStringLiteral("Foundation");
    EXPECT_EQ(ExpandMask(kDefaultMask, first, last, title, {}, CompressionNone),
        QStringLiteral("Ivar Kessel/Ivar Kessel. Foundation"));
    EXPECT_EQ(ExpandMask(kDefaultMask, first, last, title, {}, CompressionZip),
        QStringLiteral("Ivar Kessel/Ivar Kessel. Foundation.zip@Ivar Kessel. Foundation"));
    // GZIP has no archive member: the plain template.
    EXPECT_EQ(ExpandMask(kDefaultMask, first, last, title, {}, CompressionGzip),
        QStringLiteral("Ivar Kessel/Ivar Kessel. Foundation"));
    // Forward slashes separate folders too, and the genre placeholder is filled.
    EXPECT_EQ(ExpandMask(QStringLiteral("%g/%l/%t"), first, last, title,
                  QStringLiteral("sf_space"), CompressionNone),
        QStringLiteral("sf_space/Kessel/Foundation"));
}

TEST(FileNameMask, MaskWithoutFoldersRepeatsTheNameAfterZipMarker)
{
    EXPECT_EQ(ExpandMask(QStringLiteral("%l %f. %t"), QStringLiteral("Ivar"),
                  QStringLiteral("Kessel"), QStringLiteral("Foundation"), {}, CompressionZip),
        QStringLiteral("Kessel Ivar. Foundation.zip@Kessel Ivar. Foundation"));
}

TEST(FileNameMask, TransliteratedPlaceholdersLeaveLowerCaseOnesAlone)
{
    EXPECT_EQ(ExpandMask(QStringLiteral("%L %F\\%T"), QStringLiteral("Лев"),
                  QStringLiteral("Толстой"), QStringLiteral("Тихий дом"), {}, CompressionNone),
        QStringLiteral("Tolstoj Lev/Tihij dom"));
    EXPECT_EQ(ExpandMask(QStringLiteral("%l-%L"), {}, QStringLiteral("Щукин"), {}, {}, 0),
        QStringLiteral("Щукин-Shukin"));
}

TEST(FileNameMask, CleansNamesForFiles)
{
    EXPECT_EQ(CleanNameForFile(QStringLiteral("What? Why: «Now»")), QStringLiteral("What Why Now "));
    EXPECT_EQ(CleanNameForFile(QStringLiteral("Tom & Jerry")), QStringLiteral("Tom and Jerry"));
    EXPECT_EQ(CleanNameForFile(QStringLiteral("A/B")), QStringLiteral("A B"));
    EXPECT_EQ(CleanNameForFile(QStringLiteral("A\\B")), QStringLiteral("A B"));
    EXPECT_EQ(CleanNameForFile(QStringLiteral("Part 1..3")), QStringLiteral("Part 1.3"));
    EXPECT_EQ(CleanNameForFile(QStringLiteral("Wait....")), QStringLiteral("Wait."));
    EXPECT_EQ(CleanNameForFile(QStringLiteral("Rock &amp; Roll")), QStringLiteral("Rock Roll"));
    EXPECT_EQ(CleanNameForFile(QStringLiteral("1941\u20131945")), QStringLiteral("1941-1945"));
    EXPECT_EQ(CleanNameForFile(QStringLiteral("\"It's\" <b>`x`</b>|…")), QStringLiteral("Its bx b"));
    // Left as they are: star, at sign, outer blanks.
    EXPECT_EQ(CleanNameForFile(QStringLiteral(" a*b@c ")), QStringLiteral(" a*b@c "));
}

TEST(FileNameMask, TransliteratesRussianLettersOnly)
{
    EXPECT_EQ(Transliterate(QStringLiteral("Щука")), QStringLiteral("Shuka"));
    EXPECT_EQ(Transliterate(QStringLiteral("Жжж")), QStringLiteral("Zhzhzh"));
    EXPECT_EQ(Transliterate(QStringLiteral("Объём")), QStringLiteral("Ob'jom"));
    EXPECT_EQ(Transliterate(QStringLiteral("Ёлка, ЮЯ, Цапля, мышь")),
        QStringLiteral("Jolka, JuJa, Tsaplja, mysh"));
    EXPECT_EQ(Transliterate(QStringLiteral("Київ Ђ x1")), QStringLiteral("Kiїv Ђ x1"));
}

TEST(FileNameMask, OffersFivePresetsWithTheDefaultFirst)
{
    ASSERT_EQ(MaskPresets().size(), 5);
    EXPECT_EQ(MaskPresets().first().mask, kDefaultMask);
    EXPECT_EQ(MaskPresets().last().mask, QStringLiteral("%l %f. %t"));
}
