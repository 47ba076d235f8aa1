// Russian hyphenation points.
#include "reader/document_source.h"
#include "reader/hyphenation.h"
#include "reader_test_support.h"

#include <gtest/gtest.h>

namespace lbv {
namespace {

// The text with "-" before every character marked as a hyphenation point.
QString Hyphenated(const QString& text, std::vector<uint16_t> attributes = {})
{
    attributes.resize(std::size_t(text.size()), 0);
    MarkHyphenationPoints(text, attributes.data());
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (attributes[std::size_t(i)] & kAttrHyphenBreak)
            out += u'-';
        out += text[i];
    }
    return out;
}

TEST(Hyphenation, MarksPointsOfRussianWords)
{
    EXPECT_EQ(
        Hyphenated(QStringLiteral("программирование")), QStringLiteral("прог-рам-ми-ро-ва-ние"));
    EXPECT_EQ(Hyphenated(QStringLiteral("перевод")), QStringLiteral("пере-вод"));
    EXPECT_EQ(Hyphenated(QStringLiteral("библиотека")), QStringLiteral("биб-ли-о-тека"));
    // A consonant keeps its hard or soft sign.
    EXPECT_EQ(Hyphenated(QStringLiteral("подъезд")), QStringLiteral("подъ-езд"));
    EXPECT_EQ(Hyphenated(QStringLiteral("письмо")), QStringLiteral("пись-мо"));
}

TEST(Hyphenation, KeepsThreeLettersBeforeAndTwoAfterEveryBreak)
{
    EXPECT_EQ(Hyphenated(QStringLiteral("молоко")), QStringLiteral("молоко"));
    EXPECT_EQ(Hyphenated(QStringLiteral("книга")), QStringLiteral("книга"));
    EXPECT_EQ(Hyphenated(QStringLiteral("Ёлка")), QStringLiteral("Ёлка"));
    EXPECT_EQ(Hyphenated(QStringLiteral("дом")), QStringLiteral("дом"));
}

TEST(Hyphenation, WordsEndAtCharactersOutsideCyrillic)
{
    EXPECT_EQ(Hyphenated(QStringLiteral("«перевод», programming перевод-перевод")),
        QStringLiteral("«пере-вод», programming пере-вод-пере-вод"));
    // An inline picture is no letter, whatever its character code.
    std::vector<uint16_t> attributes(7, 0);
    attributes[3] = kAttrInlineImage;
    EXPECT_EQ(Hyphenated(QStringLiteral("пер") + QChar(0x0435) + QStringLiteral("вод"), attributes),
        QStringLiteral("перевод"));
}

TEST(Hyphenation, KeepsSoftHyphenMarksAlreadyThere)
{
    std::vector<uint16_t> attributes(5, 0);
    attributes[2] = kAttrHyphenBreak;
    EXPECT_EQ(Hyphenated(QStringLiteral("abcde"), attributes), QStringLiteral("ab-cde"));
}

} // namespace
} // namespace lbv
