#include "formatter_test_support.h"
#include "reader/text_finder.h"

#include <gtest/gtest.h>

using namespace lbv;
using namespace lbv::test;

namespace {

FoundRange At(int paragraph, int offset, int length)
{
    return {0, paragraph, offset, length};
}

bool Same(const std::optional<FoundRange>& found, const FoundRange& expected)
{
    return found && found->body == expected.body && found->paragraph == expected.paragraph
        && found->offset == expected.offset && found->length == expected.length;
}

} // namespace

TEST(TextFinder, FindsCaseFoldedOrExactAndGoesOnAfterEachHit)
{
    FakeDocument document({TextParagraph(u"Мама мыла раму"_qs), ImageParagraph(u"pic"_qs),
        TextParagraph(u"and РАМУ again, раму"_qs)});
    TextFinder finder(document);

    EXPECT_TRUE(Same(finder.FindFirst(0, u"РаМу"_qs, false), At(0, 10, 4))); // at the end
    EXPECT_TRUE(Same(finder.FindNext(), At(2, 4, 4)));
    EXPECT_TRUE(Same(finder.FindNext(), At(2, 16, 4)));
    EXPECT_FALSE(finder.FindNext());
    EXPECT_FALSE(finder.FindNext()); // still nothing after the last hit

    EXPECT_TRUE(Same(finder.FindFirst(0, u"РАМУ"_qs, true), At(2, 4, 4)));
    EXPECT_FALSE(finder.FindNext());
    EXPECT_FALSE(finder.FindFirst(0, u"мыла раму!"_qs, false));
    EXPECT_FALSE(finder.FindFirst(0, QString(), false));
}

TEST(TextFinder, PartialMatchesFallBackThroughTheFailureTable)
{
    FakeDocument document({TextParagraph(u"aabaabaaab"_qs)});
    TextFinder finder(document);
    EXPECT_TRUE(Same(finder.FindFirst(0, u"aabaaab"_qs, true), At(0, 3, 7)));
}

TEST(TextFinder, CaseFoldingKeepsOffsetsWhereLowerCaseChangesLength)
{
    // U+0130 lower-cases to two units by the full rules; offsets after it must not move.
    FakeDocument document({TextParagraph(u"\u0130stanbul \u0130ZMIR"_qs)});
    TextFinder finder(document);
    EXPECT_TRUE(Same(finder.FindFirst(0, u"izmir"_qs, false), At(0, 9, 5)));
    EXPECT_EQ(FoldForFind(u'\u0130'), u'i');
    EXPECT_EQ(FoldForFind(0xD801), 0xD801); // surrogates stay as they are
}
