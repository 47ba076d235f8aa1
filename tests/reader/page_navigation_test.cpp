#include "formatter_test_support.h"
#include "reader/page_navigation.h"

#include <gtest/gtest.h>

using namespace lbv;
using namespace lbv::test;

namespace {

std::vector<ParagraphView> Paragraphs(int count)
{
    std::vector<ParagraphView> paragraphs;
    for (int i = 0; i < count; ++i)
        paragraphs.push_back(TextParagraph(QStringLiteral("paragraph %1").arg(i)));
    return paragraphs;
}

BookEntry Entry(int paragraph, unsigned flags = 0)
{
    BookEntry entry;
    entry.position = {paragraph, 0, 0};
    entry.flags = flags;
    return entry;
}

} // namespace

TEST(PageNavigation, PagingForwardStopsAtTheBodysEndAndBackwardAtItsStart)
{
    Layout layout(Paragraphs(30));
    Page page = layout.formatter.LayoutPage({});
    EXPECT_FALSE(MoveForCommand(ReaderCommand::PageBackward, layout.formatter, page, {}));
    EXPECT_FALSE(MoveForCommand(ReaderCommand::LineBackward, layout.formatter, page, {}));

    int turns = 0;
    while (auto move = MoveForCommand(ReaderCommand::PageForward, layout.formatter, page, {})) {
        EXPECT_FALSE(move->jump);
        EXPECT_FALSE(layout.formatter.AtBodyEnd(move->position));
        page = layout.formatter.LayoutPage(move->position);
        ASSERT_LT(++turns, 30);
    }
    EXPECT_GT(turns, 1);
    EXPECT_FALSE(page.lines.empty()); // the last page shows text, never the empty end
    // Line steps go on until the last line is the page's only one.
    for (int steps = 0;; ++steps) {
        const auto line = MoveForCommand(ReaderCommand::LineForward, layout.formatter, page, {});
        if (!line)
            break;
        page = layout.formatter.LayoutPage(line->position);
        ASSERT_LT(steps, 30);
    }
    EXPECT_EQ(page.lines.size(), 1u);

    const auto back = MoveForCommand(ReaderCommand::PageBackward, layout.formatter, page, {});
    ASSERT_TRUE(back);
    EXPECT_LT(back->position.paragraph, page.start.paragraph);
}

TEST(PageNavigation, StartAndEndAreJumpsThatDoNothingWhereTheyLead)
{
    Layout layout(Paragraphs(30));
    Page page = layout.formatter.LayoutPage({});
    EXPECT_FALSE(MoveForCommand(ReaderCommand::StartOfFile, layout.formatter, page, {}));
    const auto end = MoveForCommand(ReaderCommand::EndOfFile, layout.formatter, page, {});
    ASSERT_TRUE(end);
    EXPECT_TRUE(end->jump);
    page = layout.formatter.LayoutPage(end->position);
    EXPECT_FALSE(MoveForCommand(ReaderCommand::EndOfFile, layout.formatter, page, {}));
    EXPECT_FALSE(MoveForCommand(ReaderCommand::PageForward, layout.formatter, page, {}));
    const auto start = MoveForCommand(ReaderCommand::StartOfFile, layout.formatter, page, {});
    ASSERT_TRUE(start);
    EXPECT_EQ(start->position.paragraph, 0);
}

TEST(PageNavigation, SectionStepsSkipBookmarksThatTheCombinedStepsStopAt)
{
    Layout layout(Paragraphs(30));
    const std::vector<BookEntry> entries
        = {Entry(0), Entry(5, BookEntry::kUserBookmark), Entry(12)};
    const Page page = layout.formatter.LayoutPage({0, 0, 0});
    const auto section = MoveForCommand(ReaderCommand::NextSection, layout.formatter, page, entries);
    ASSERT_TRUE(section);
    EXPECT_TRUE(section->jump);
    EXPECT_EQ(section->position.paragraph, 12);
    const auto either
        = MoveForCommand(ReaderCommand::NextBookmarkOrSection, layout.formatter, page, entries);
    ASSERT_TRUE(either);
    EXPECT_EQ(either->position.paragraph, 5);
    EXPECT_FALSE(MoveForCommand(ReaderCommand::PreviousSection, layout.formatter, page, entries));
    EXPECT_FALSE(MoveForCommand(ReaderCommand::Rotate, layout.formatter, page, entries));
}
