// Pages: columns, paging forward and backward, line steps, pictures in bands, the found-text
// highlight and pop-up texts.
#include "formatter_test_support.h"

#include <gtest/gtest.h>

namespace lbv {
namespace {

using test::ImageParagraph;
using test::Layout;
using test::LineTexts;
using test::Settings;
using test::TextParagraph;

testing::AssertionResult IsAt(const ReadingPosition& position, int paragraph, int offset)
{
    if (position.body == 0 && position.paragraph == paragraph && position.offset == offset)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "at body " << position.body << ", paragraph "
                                       << position.paragraph << ", offset " << position.offset;
}

std::vector<ParagraphView> Numbered(int count)
{
    std::vector<ParagraphView> paragraphs;
    for (int i = 0; i < count; ++i)
        paragraphs.push_back(TextParagraph(QStringLiteral("p%1").arg(i)));
    return paragraphs;
}

// Paragraphs of one to four lines at 50 pixels.
std::vector<ParagraphView> Prose(int count)
{
    std::vector<ParagraphView> paragraphs;
    for (int i = 0; i < count; ++i) {
        QString text;
        for (int w = 0; w <= i % 4; ++w)
            text += QStringLiteral("%1abc ").arg(i % 10);
        paragraphs.push_back(TextParagraph(text.trimmed()));
    }
    return paragraphs;
}

TEST(FormatterPages, ColumnsFillInTurnFromWhereTheLastStopped)
{
    Layout layout(Numbered(10), 100, 60, Settings(false), 2);
    const Page page = layout.formatter.LayoutPage({});
    EXPECT_EQ(LineTexts(page),
        QStringList({QStringLiteral("p0"), QStringLiteral("p1"), QStringLiteral("p2"),
            QStringLiteral("p3"), QStringLiteral("p4"), QStringLiteral("p5")}));
    EXPECT_EQ(page.columnLines, (std::vector<int> {3, 3}));
    EXPECT_EQ(page.lines[3].column, 1);
    EXPECT_EQ(page.lines[3].y, 0);
    EXPECT_TRUE(IsAt(page.end, 6, 0));
    EXPECT_TRUE(IsAt(layout.formatter.NextPageStart(page), 6, 0));
}

TEST(FormatterPages, PagingBackwardReturnsToEveryPageStartPagingForwardMet)
{
    Layout layout(Prose(40), 50, 100, Settings(false));
    TextFormatter& formatter = layout.formatter;
    std::vector<ReadingPosition> starts;
    for (ReadingPosition at; !formatter.AtBodyEnd(at);) {
        starts.push_back(at);
        at = formatter.NextPageStart(formatter.LayoutPage(at));
    }
    ASSERT_GT(starts.size(), 10u);
    for (std::size_t i = 1; i < starts.size(); ++i)
        EXPECT_TRUE(IsAt(
            formatter.PreviousPageStart(starts[i]), starts[i - 1].paragraph, starts[i - 1].offset))
            << i;
    EXPECT_TRUE(IsAt(formatter.PreviousPageStart({}), 0, 0));
    // The last page is full and ends at the body's end.
    const Page last = formatter.LayoutPage(formatter.LastPageStart(0));
    EXPECT_EQ(last.lines.size(), 5u);
    EXPECT_TRUE(formatter.AtBodyEnd(last.end));
}

TEST(FormatterPages, PagingBackwardFillsColumnsFromTheLast)
{
    Layout layout(Numbered(10), 100, 60, Settings(false), 2);
    EXPECT_TRUE(IsAt(layout.formatter.PreviousPageStart({9, 0}), 3, 0));
    EXPECT_TRUE(IsAt(layout.formatter.LastPageStart(0), 4, 0));
}

TEST(FormatterPages, OneLineLessShowsTheLastLineAgain)
{
    Layout layout(Numbered(12), 100, 100, Settings(false, false, true));
    const Page first = layout.formatter.LayoutPage({});
    const ReadingPosition next = layout.formatter.NextPageStart(first);
    EXPECT_TRUE(IsAt(next, 4, 0));
    EXPECT_EQ(layout.formatter.LayoutPage(next).lines.front().text, first.lines.back().text);
}

TEST(FormatterPages, LineStepsMoveByOneLineAcrossParagraphs)
{
    Layout layout(
        {TextParagraph(QStringLiteral("aaaa bbbb cccc")), TextParagraph(QStringLiteral("dd"))}, 50,
        100);
    TextFormatter& formatter = layout.formatter;
    const Page page = formatter.LayoutPage({});
    EXPECT_TRUE(IsAt(formatter.NextLineStart(page), 0, 5));
    EXPECT_TRUE(IsAt(formatter.PreviousLineStart({1, 0}), 0, 10));
    EXPECT_TRUE(IsAt(formatter.PreviousLineStart({0, 10}), 0, 5));
    // From inside a line (after a jump) the text before the position makes a line of its own.
    EXPECT_TRUE(IsAt(formatter.PreviousLineStart({0, 7}), 0, 5));
    EXPECT_TRUE(IsAt(formatter.PreviousLineStart({}), 0, 0));
}

TEST(FormatterPages, PositionsOutsideTheTextAreMovedIntoTheBody)
{
    Layout layout(Numbered(3), 100, 100);
    TextFormatter& formatter = layout.formatter;
    EXPECT_TRUE(IsAt(formatter.LayoutPage({0, 99, 0}).start, 1, 0));
    EXPECT_TRUE(IsAt(formatter.LayoutPage({-5, -1, 7}).start, 0, 0));
    const Page end = formatter.LayoutPage({50, 0, 0});
    EXPECT_TRUE(end.lines.empty());
    EXPECT_TRUE(IsAt(end.start, 3, 0));
    EXPECT_TRUE(formatter.AtBodyEnd(formatter.NextPageStart(end)));
}

TEST(FormatterPages, PictureTallerThanThePageContinuesInBands)
{
    // 300 rows over 32 characters: bands of 16 rows (the minimum), 19 of them, 6 to a page.
    Layout layout(
        {ImageParagraph(QStringLiteral("tall")), TextParagraph(QStringLiteral("after"))}, 200, 100);
    layout.document.AddImage(QStringLiteral("tall"), 100, 300);
    TextFormatter& formatter = layout.formatter;
    std::vector<int> tops;
    ReadingPosition at;
    int pages = 0;
    for (; !formatter.AtBodyEnd(at); ++pages) {
        const Page page = formatter.LayoutPage(at);
        for (const LayoutLine& line : page.lines) {
            if (!(line.flags & kLineImageBand))
                continue;
            EXPECT_EQ(line.x, 50);
            EXPECT_EQ(line.imageWidth, 100);
            tops.push_back(line.bandTop);
        }
        at = formatter.NextPageStart(page);
        if (pages == 0) {
            EXPECT_TRUE(IsAt(at, 0, 6));
        }
    }
    EXPECT_EQ(pages, 4);
    ASSERT_EQ(tops.size(), 19u);
    for (std::size_t i = 0; i < tops.size(); ++i)
        EXPECT_EQ(tops[i], int(i) * 16);
    const Page last = formatter.LayoutPage({0, 18, 0});
    EXPECT_EQ(last.lines[0].height, 300 - 18 * 16);
    EXPECT_TRUE(last.lines[0].flags & kLineLast);
    EXPECT_EQ(last.lines[1].text, QStringLiteral("after"));
    // Backward from the text after it, the page ends with the picture's last bands.
    EXPECT_TRUE(IsAt(formatter.PreviousPageStart({1, 0}), 0, 13));
}

TEST(FormatterPages, PictureCutBelowTextStartsAgainFromItsTop)
{
    Layout layout({TextParagraph(QStringLiteral("ab")), TextParagraph(QStringLiteral("cd")),
                      ImageParagraph(QStringLiteral("pic")), TextParagraph(QStringLiteral("ef"))},
        200, 100);
    layout.document.AddImage(QStringLiteral("pic"), 60, 80);
    TextFormatter& formatter = layout.formatter;
    const Page first = formatter.LayoutPage({});
    EXPECT_TRUE(IsAt(first.end, 2, 3)); // three bands of 16 rows fit under the text
    const ReadingPosition next = formatter.NextPageStart(first);
    EXPECT_TRUE(IsAt(next, 2, 0));
    const Page second = formatter.LayoutPage(next);
    EXPECT_EQ(second.lines.size(), 6u); // five bands and "ef"
    EXPECT_EQ(second.lines.front().bandTop, 0);
}

TEST(FormatterPages, UnknownPictureLeavesOneBlankLine)
{
    Layout layout(
        {ImageParagraph(QStringLiteral("missing")), TextParagraph(QStringLiteral("ab"))}, 200, 100);
    const Page page = layout.formatter.LayoutPage({});
    EXPECT_EQ(LineTexts(page), QStringList({QString(), QStringLiteral("ab")}));
    EXPECT_FALSE(page.lines[0].flags & kLineImageBand);
}

TEST(FormatterPages, FoundTextIsMarkedUntilAnotherIsSet)
{
    Layout layout({TextParagraph(QStringLiteral("find the needle here")),
                      TextParagraph(QStringLiteral("and a needle there"))},
        100, 200);
    TextFormatter& formatter = layout.formatter;
    Page page = formatter.LayoutPage({});
    ASSERT_EQ(LineTexts(page).first(), QStringLiteral("find the"));
    formatter.SetFoundRange({0, 0, 5, 10}, page); // "the needle" over two lines
    auto marked = [](const LayoutLine& line) {
        QString text;
        for (std::size_t i = 0; i < line.attributes.size(); ++i)
            if (line.attributes[i] & kAttrFound)
                text += line.text[qsizetype(i)];
        return text;
    };
    EXPECT_EQ(marked(page.lines[0]), QStringLiteral("the"));
    EXPECT_EQ(marked(page.lines[1]), QStringLiteral("needle"));
    EXPECT_FALSE(page.lines[0].flags & kLinePlain);
    formatter.SetFoundRange({0, 1, 6, 6}, page);
    EXPECT_TRUE(marked(page.lines[0]).isEmpty());
    EXPECT_TRUE(page.lines[0].flags & kLinePlain);
    // A page laid out later carries the range.
    const Page again = formatter.LayoutPage({1, 0, 0});
    EXPECT_EQ(marked(again.lines[1]), QStringLiteral("needle"));
    formatter.ClearFoundRange(page);
    for (const LayoutLine& line : page.lines)
        EXPECT_TRUE(line.flags & kLinePlain);
}

TEST(FormatterPopup, LinesBreakAtLineEndsWithoutJustification)
{
    Layout layout({}, 100, 100, Settings(true));
    const std::vector<LayoutLine> lines = layout.formatter.LayoutPopup(
        QStringLiteral("one two three four\r\nsecond\n\nlast"), 100, 1000, 2);
    QStringList texts;
    for (const LayoutLine& line : lines)
        texts.append(line.text);
    EXPECT_EQ(texts,
        QStringList({QStringLiteral("one two"), QStringLiteral("three four"),
            QStringLiteral("second"), QString(), QStringLiteral("last")}));
    EXPECT_EQ(lines[0].Width(), 70);
    EXPECT_EQ(lines[0].attributes[0], 2);
    EXPECT_TRUE(IsAt(lines[2].start, 1, 0));
    EXPECT_EQ(lines[4].y, 80);
    EXPECT_EQ(layout.formatter.LayoutPopup(QStringLiteral("a\nb\nc"), 100, 50, 0).size(), 2u);
}

} // namespace
} // namespace lbv
