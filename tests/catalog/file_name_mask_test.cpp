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

TEST(FileNameMask, ValuesGoInOnceAndNeverClimbOutOfTheLibrary)
{
    // A "%F" in a name is text, not a placeholder filled in afterwards.
    EXPECT_EQ(ExpandMask(QStringLiteral("%l\\%t"), QStringLiteral("."), QStringLiteral(".%F"),
                  QStringLiteral("target"), {}, CompressionNone),
        QStringLiteral(".%F/target"));
    EXPECT_EQ(ExpandMask(QStringLiteral("%g\\%l\\%t"), QStringLiteral("."), QStringLiteral(".%F"),
                  QStringLiteral("two-up"), QStringLiteral(".%F"), CompressionNone),
        QStringLiteral(".%F/.%F/two-up"));
    // Values that meet to make "." or ".." make an ordinary name instead.
    EXPECT_EQ(ExpandMask(QStringLiteral("%f%l\\%t"), QStringLiteral("."), QStringLiteral("."),
                  QStringLiteral(".."), {}, CompressionZip),
        QStringLiteral("__/_.zip@_"));
}

TEST(FileNameMask, MasksLeadingOutOfTheLibraryAreRefused)
{
    for (const char* mask : {"..\\..\\escaped\\%f %l. %t", "%l/../%t", "/tmp/%t", "\\%t",
             "C:\\books\\%t", "~/%t", " .. \\%t"})
        EXPECT_FALSE(FileNameMaskProblem(QString::fromLatin1(mask)).isEmpty()) << mask;
    EXPECT_EQ(FileNameMaskProblem(QStringLiteral("../%t")),
        QStringLiteral("The file name mask \"../%t\" leads outside the library folder: it may "
                       "hold no \"..\" and no absolute part."));
    for (const MaskPreset& preset : MaskPresets())
        EXPECT_TRUE(FileNameMaskProblem(preset.mask).isEmpty()) << qPrintable(preset.mask);
    EXPECT_TRUE(FileNameMaskProblem(QStringLiteral("%l..%f\\..%t")).isEmpty());
}

TEST(FileNameMask, ControlCharactersAndLineBreaksBecomeSpaces)
{
    EXPECT_EQ(CleanNameForFile(QStringLiteral("New\nLine\tTab\r\nX\x1b[2J\u2028Y")),
        QStringLiteral("New Line Tab X [2J Y"));
    EXPECT_EQ(ExpandMask(QStringLiteral("%f %l\\%t"), QStringLiteral("New\nLine"),
                  QStringLiteral("Tab\tHere"), QStringLiteral("Title\r\nX"), {}, CompressionNone),
        QStringLiteral("New Line Tab Here/Title X"));
}

TEST(FileNameMask, LongNamesAreShortenedToTheFileSystemLimit)
{
    const QString longName = QString(300, QChar(u'Ж')); // 600 bytes in UTF-8
    const QString path = ExpandMask(QStringLiteral("%l\\%l. %t"), {}, longName,
        QString(100, u'x') + QString(50, QChar(0x1F600)), {}, CompressionZip);
    const qsizetype at = path.indexOf(u".zip@");
    ASSERT_GT(at, 0);
    const QStringList parts = path.left(at).split(u'/');
    ASSERT_EQ(parts.size(), 2);
    EXPECT_LE(parts[0].toUtf8().size(), 255);
    EXPECT_GT(parts[0].toUtf8().size(), 250);
    EXPECT_TRUE(parts[0].startsWith(u"ЖЖЖ"));
    // Room is left for ".zip", the extension and a clash number.
    EXPECT_LE(parts[1].toUtf8().size() + 4 + 5 + 6, 255);
    EXPECT_EQ(path.mid(at + 5), parts[1]);
    // Never cut inside a character.
    EXPECT_FALSE(parts[1].back().isHighSurrogate());
    EXPECT_EQ(parts[1].toUtf8(), QString::fromUtf8(parts[1].toUtf8()).toUtf8());
}
