#include "formatter_test_support.h"
#include "reader/page_hit_test.h"
#include "reader/page_transform.h"
#include "reader/popup_layout.h"
#include "reader_test_support.h"

#include <gtest/gtest.h>

using namespace lbv;
using namespace lbv::test;

namespace {

LayoutLine Line(const QString& text, int paragraph, int offset, int length, bool hyphen = false)
{
    LayoutLine line;
    line.text = text;
    line.start = {paragraph, offset, 0};
    line.length = length;
    line.hyphenated = hyphen;
    return line;
}

} // namespace

TEST(PageHitTest, PointsFindCharactersThroughJustificationAndColumns)
{
    // Two columns of 100 pixels, two 20-pixel lines each: "aa bb cc" / "dd ee ff" justified
    // (each blank 10 pixels wider), then "gg hh" at the top of the second column.
    Layout layout({TextParagraph(u"aa bb cc dd ee ff gg hh"_qs)}, 100, 40, Settings(true), 2);
    const Page page = layout.formatter.LayoutPage({0, 0, 0});
    const PageGeometry& geometry = layout.formatter.Geometry();
    ASSERT_EQ(LineTexts(page), (QStringList {u"aa bb cc"_qs, u"dd ee ff"_qs, u"gg hh"_qs}));

    auto hit = HitTest(page, geometry, 85, 5);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->line, 0);
    EXPECT_EQ(hit->index, 6); // "cc" starts 20 pixels later than unjustified
    EXPECT_EQ(hit->position.offset, 6);
    EXPECT_EQ(HitTest(page, geometry, 35, 5)->index, 2); // inside the widened blank

    hit = HitTest(page, geometry, 115, 5);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->line, 2);
    EXPECT_EQ(hit->position.offset, 19);
    EXPECT_EQ(HitTest(page, geometry, 190, 5)->index, 5); // past the line's end
    EXPECT_FALSE(HitTest(page, geometry, 115, 30)); // below the column's lines

    Layout picture({ImageParagraph(u"pic"_qs)});
    picture.document.AddImage(u"pic"_qs, 50, 30);
    const Page pictured = picture.formatter.LayoutPage({0, 0, 0});
    hit = HitTest(pictured, picture.formatter.Geometry(), 100, 25);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->position.paragraph, 0);
}

TEST(PageHitTest, TransformMapsEveryRotationBothWays)
{
    for (int rotation : {0, 900, 1800, 2700}) {
        const PageTransform transform(30, 20, rotation);
        for (int x = 0; x < 30; ++x)
            for (int y = 0; y < 20; ++y) {
                const PagePoint page = transform.ToPage(x, y);
                ASSERT_GE(page.x, 0);
                ASSERT_LT(page.x, transform.PageWidth());
                ASSERT_LT(page.y, transform.PageHeight());
                ASSERT_EQ(transform.ToClient(page.x, page.y), (PagePoint {x, y}));
            }
    }
    // Turned a quarter, the page's top left lies at the client's bottom left.
    EXPECT_EQ(PageTransform(30, 20, 900).ToPage(0, 19), (PagePoint {0, 0}));
    EXPECT_EQ(PageTransform(30, 20, 2700).ToPage(29, 0), (PagePoint {0, 0}));
    EXPECT_EQ(PageTransform(30, 20, 1800).ToPage(29, 19), (PagePoint {0, 0}));
}

TEST(PageHitTest, SelectionJoinsLinesAsTheParagraphReads)
{
    Page page;
    page.lines = {Line(u"вы-"_qs, 0, 0, 2, true), Line(u"сокий"_qs, 0, 2, 5),
        Line(u"дом"_qs, 0, 8, 3), Line(u"next one"_qs, 1, 0, 8)};
    EXPECT_EQ(SelectionText(page, {3, 4}, {0, 0}), u"высокий дом\nnext"_qs);
    EXPECT_EQ(SelectionText(page, {0, 1}, {0, 3}), u"ы"_qs); // the added hyphen is no text
}

TEST(PageHitTest, ADragCoversBothEndsInEitherDirectionAndBoxesFollowJustification)
{
    Layout layout({TextParagraph(u"aa bb cc dd ee ff gg hh"_qs)}, 100, 40, Settings(true), 2);
    const Page page = layout.formatter.LayoutPage({0, 0, 0});
    const PageGeometry& geometry = layout.formatter.Geometry();
    const PageHit onC = *HitTest(page, geometry, 85, 5);
    const PageHit onD = *HitTest(page, geometry, 15, 25);

    for (const PageSelection& selection :
        {SelectionBetween(page, onC, onD), SelectionBetween(page, onD, onC)}) {
        EXPECT_EQ(SelectionText(page, selection.from, selection.to), u"cc dd"_qs);
        EXPECT_EQ(selection.from.position.offset, 6); // where a bookmark on it would go
        // Justified blanks are 20 pixels wide, so "cc" starts at 80.
        EXPECT_EQ(SelectionBoxes(page, geometry, selection),
            (std::vector<PageBox> {{80, 0, 20, 20}, {0, 20, 20, 20}}));
    }
    // A press past a line's end selects up to the end and no further.
    const PageHit pastEnd = *HitTest(page, geometry, 190, 5);
    const PageSelection tail = SelectionBetween(page, *HitTest(page, geometry, 130, 5), pastEnd);
    EXPECT_EQ(SelectionText(page, tail.from, tail.to), u"hh"_qs);
    EXPECT_EQ(SelectionBoxes(page, geometry, tail), (std::vector<PageBox> {{130, 0, 20, 20}}));
    // Hits from a page laid out before a change give no boxes past the lines there are.
    PageSelection stale = tail;
    stale.from.line = 7;
    stale.to.line = 9;
    EXPECT_TRUE(SelectionBoxes(page, geometry, stale).empty());
}

TEST(PageHitTest, PopupsSitUnderTheTappedLineElseAboveAndStayOnThePage)
{
    Layout layout({TextParagraph(u"x"_qs)});
    const PopupLayout shortText
        = LayOutPopup(layout.formatter, u"one two\r\nthree"_qs, 200, 100, 20, 40);
    ASSERT_EQ(shortText.lines.size(), 2u);
    EXPECT_EQ(shortText.box, (PageBox {61, 40, 70 + 2 * kPopupPadding, 40 + 2 * kPopupPadding}));
    EXPECT_EQ(LayOutPopup(layout.formatter, u"one two\nthree"_qs, 200, 100, 60, 80).box.y, 12);

    // Too long for the page: cut to whole lines within two thirds of it, never off the page.
    const PopupLayout longText
        = LayOutPopup(layout.formatter, QString(u"word "_qs).repeated(100), 200, 100, 30, 50);
    EXPECT_EQ(longText.lines.size(), 2u);
    EXPECT_LE(longText.box.x + longText.box.width, 200);
    EXPECT_GE(longText.box.y, 0);
    EXPECT_LE(longText.box.y + longText.box.height, 100);
}

TEST(PageHitTest, LinksWordsAndBookmarksAtAPlace)
{
    ParagraphView paragraph = TextParagraph(u"see note 1 now"_qs);
    paragraph.links = {{9, 1, u"#n1"_qs}, {0, 0, u"picture"_qs}};
    EXPECT_EQ(LinkAt(paragraph, 9)->target, u"#n1");
    EXPECT_FALSE(LinkAt(paragraph, 0)); // an inline picture's entry covers nothing
    EXPECT_FALSE(LinkAt(paragraph, 10));

    const QString text = u"don't stop-it -x Ёжик's"_qs;
    const auto word = [&](int offset) {
        const auto span = WordAt(text, offset);
        return span ? text.mid(span->start, span->length) : QString();
    };
    EXPECT_EQ(word(1), u"don't");
    EXPECT_EQ(word(10), u"stop-it");
    EXPECT_EQ(word(14), QString()); // a dash before a word is not part of it
    EXPECT_EQ(word(15), u"x");
    EXPECT_EQ(word(19), u"Ёжик's");
    EXPECT_EQ(word(5), QString());

    auto store = MemoryStore();
    BookState state(*store, u"a.fb2"_qs);
    state.AddSection({3, 0, 0}, 1, 1, u"Chapter"_qs);
    state.AddBookmark({3, 12, 0}, u"here"_qs);
    const auto& entries = state.Entries();
    EXPECT_EQ(BookmarkAt(entries, Line(u"x"_qs, 3, 10, 5)), 1);
    EXPECT_FALSE(BookmarkAt(entries, Line(u"x"_qs, 3, 0, 10)));
    EXPECT_EQ(BookmarkAt(entries, Line(QString(), 3, 12, 0)), 1); // an empty line's one place
}
