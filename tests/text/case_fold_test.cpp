#include "text/case_fold.h"
#include "text/messages.h"

#include <gtest/gtest.h>

using namespace lbv;

TEST(CaseFold, ComparesLatinAndCyrillicIgnoringCase)
{
    EXPECT_EQ(CompareNoCase(u"ivanov", u"IVANOV"), 0);
    EXPECT_EQ(CompareNoCase(u"Толстой", u"ТОЛСТОЙ"), 0);
    EXPECT_EQ(CompareNoCase(u"ёж", u"ЁЖ"), 0);
    EXPECT_LT(CompareNoCase(u"apple", u"Banana"), 0);
    EXPECT_GT(CompareNoCase(u"Zeta", u"alpha"), 0);
    EXPECT_LT(CompareNoCase(u"abc", u"ABCD"), 0);
}

TEST(CaseFold, UnderscoreSortsBeforeLettersAsWhenLowerCased)
{
    // Folding maps letters to lower case (0x61..), so "_" (0x5F) comes first.
    EXPECT_LT(CompareNoCase(u"_x", u"Ax"), 0);
}

TEST(CaseFold, LowerCaseHandlesCyrillic)
{
    EXPECT_EQ(LowerCase(QStringLiteral("ВОЙНА и Мир")), QStringLiteral("война и мир"));
}

TEST(Messages, KnownIdsHaveTextsAndUnknownOnesAreMarked)
{
    EXPECT_EQ(MessageText(Msg::Error), QStringLiteral("Error"));
    EXPECT_EQ(MessageText(Msg::CantOpenIndex).arg(QStringLiteral("a.lvf")),
        QStringLiteral("Can't open \"a.lvf\"."));
    EXPECT_EQ(MessageText(Msg(1)), QStringLiteral("#1"));
}
