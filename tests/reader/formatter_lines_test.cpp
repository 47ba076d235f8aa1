// Breaking paragraphs into lines: where lines end, indents, alignment and justification.
#include "formatter_test_support.h"
#include "reader/line_runs.h"
#include "reader_test_support.h"

#include <gtest/gtest.h>

namespace lbv {
namespace {

using test::Layout;
using test::LineTexts;
using test::Settings;
using test::TextParagraph;

const LayoutLine& Line(const Page& page, int index)
{
    return page.lines.at(std::size_t(index));
}

TEST(FormatterLines, WordLongerThanTheLineIsCutAtTheFittedCountWithoutHyphen)
{
    Layout layout(
        {TextParagraph(QStringLiteral("abcdefghijklm no"))}, 50, 200, Settings(false, true));
    const Page page = layout.formatter.LayoutPage({});
    EXPECT_EQ(LineTexts(page),
        QStringList({QStringLiteral("abcde"), QStringLiteral("fghij"), QStringLiteral("klm"),
            QStringLiteral("no")}));
    EXPECT_FALSE(Line(page, 0).hyphenated);
    EXPECT_EQ(Line(page, 3).start.offset, 14); // the blank after "klm" is skipped
}

TEST(FormatterLines, DashBreaksBeforeALetterButNotBeforeADigit)
{
    Layout layout(
        {TextParagraph(QStringLiteral("abcd-efgh")), TextParagraph(QStringLiteral("abcd-1234")),
            TextParagraph(QStringLiteral("ab\u2013cdefgh"))},
        60, 400, Settings(false));
    EXPECT_EQ(LineTexts(layout.formatter.LayoutPage({})),
        QStringList({QStringLiteral("abcd-"), QStringLiteral("efgh"), QStringLiteral("abcd-1"),
            QStringLiteral("234"), QStringLiteral("ab\u2013"), QStringLiteral("cdefgh")}));
}

TEST(FormatterLines, JustifiedLineGivesTheFirstBlanksThePixelLeftOver)
{
    // 8 characters of 10 pixels in 87: 7 free pixels over 2 blanks.
    Layout layout({TextParagraph(QStringLiteral("ab cd ef gh"))}, 87, 200, Settings(true));
    const Page page = layout.formatter.LayoutPage({});
    ASSERT_EQ(LineTexts(page), QStringList({QStringLiteral("ab cd ef"), QStringLiteral("gh")}));
    EXPECT_EQ(Line(page, 0).advances, (std::vector<int> {10, 10, 14, 10, 10, 13, 10, 10}));
    EXPECT_EQ(Line(page, 0).Width(), 87);
    // The paragraph's last line keeps its natural widths, at the left.
    EXPECT_EQ(Line(page, 1).advances, (std::vector<int> {10, 10}));
    EXPECT_EQ(Line(page, 1).x, 0);
    EXPECT_EQ(Line(page, 0).flags & (kLineFirst | kLineLast), kLineFirst);
    EXPECT_EQ(Line(page, 1).flags & (kLineFirst | kLineLast), kLineLast);
}

TEST(FormatterLines, JustifySettingAppliesOnlyToDefaultAlignment)
{
    Layout layout({TextParagraph(QStringLiteral("ab cd ef gh"), 0),
                      TextParagraph(QStringLiteral("ab cd ef gh"), 4),
                      TextParagraph(QStringLiteral("ab cd"), 4)},
        87, 400, Settings(false));
    const Page page = layout.formatter.LayoutPage({});
    EXPECT_EQ(Line(page, 0).Width(), 80); // default alignment, Justify off
    EXPECT_EQ(Line(page, 2).Width(), 87); // justified by its own alignment
    EXPECT_EQ(Line(page, 4).Width(), 50); // one line: never justified
}

TEST(FormatterLines, IndentsAreTwentyFifthsOfAnInchAndLeaveAtLeastFiftyPixels)
{
    // 100 DPI: 4 pixels per unit.
    Layout layout({TextParagraph(QStringLiteral("ab cd ef gh ij"), 0, 2, 0, 3),
                      TextParagraph(QStringLiteral("abcdefghijkl"), 0, 40),
                      TextParagraph(QStringLiteral("abcdefghijkl"), 0, 0, 40),
                      TextParagraph(QStringLiteral("abcdefghijkl"), 0, 10, 10)},
        100, 800, Settings(false));
    const Page page = layout.formatter.LayoutPage({});
    ASSERT_EQ(LineTexts(page),
        QStringList({QStringLiteral("ab cd ef"), QStringLiteral("gh ij"), QStringLiteral("abcde"),
            QStringLiteral("fghij"), QStringLiteral("kl"), QStringLiteral("abcde"),
            QStringLiteral("fghij"), QStringLiteral("kl"), QStringLiteral("abcde"),
            QStringLiteral("fghij"), QStringLiteral("kl")}));
    EXPECT_EQ(Line(page, 0).x, 20); // first line: 3 + 2 units
    EXPECT_EQ(Line(page, 1).x, 8);
    EXPECT_EQ(Line(page, 2).x, 50); // 160 pixels cut to leave 50
    EXPECT_EQ(Line(page, 5).x, 0); // the right indent stops at 50 too
    EXPECT_EQ(Line(page, 8).x, 40); // 40 + 60 - 40 would leave 20: widened to 50
}

TEST(FormatterLines, CentredAndRightAlignedParagraphsTakeNoFirstLineIndent)
{
    Layout layout({TextParagraph(QStringLiteral("abc"), 2, 0, 0, 3),
                      TextParagraph(QStringLiteral("abc"), 1, 0, 0, 3),
                      TextParagraph(QStringLiteral("abc"), 0, 0, 0, 3),
                      TextParagraph(QStringLiteral("abc"), 2, 5, 0, 3)},
        100, 400, Settings(true));
    const Page page = layout.formatter.LayoutPage({});
    EXPECT_EQ(Line(page, 0).x, 35);
    EXPECT_EQ(Line(page, 1).x, 70);
    EXPECT_EQ(Line(page, 2).x, 12);
    EXPECT_EQ(Line(page, 3).x, 20 + 25); // centred in what the left indent leaves
}

TEST(FormatterLines, HyphenationBreaksAtAPointWhereTheHyphenFits)
{
    // Points of "программирование": прог-рам-ми-ро-ва-ние.
    ParagraphView word = TextParagraph(QStringLiteral("программирование"));
    word.attributes.assign(std::size_t(word.text.size()), kAttrBold);
    {
        Layout layout({word}, 100, 200, Settings(false, true));
        const Page page = layout.formatter.LayoutPage({});
        ASSERT_EQ(LineTexts(page),
            QStringList({QStringLiteral("программи-"), QStringLiteral("рование")}));
        EXPECT_TRUE(Line(page, 0).hyphenated);
        EXPECT_EQ(Line(page, 0).length, 9);
        EXPECT_EQ(Line(page, 0).attributes.back(), kAttrBold);
        EXPECT_EQ(Line(page, 1).start.offset, 9);
    }
    {
        // 9 letters fit in 95 pixels, but not with the hyphen: the point before goes.
        Layout layout({word}, 95, 200, Settings(false, true));
        EXPECT_EQ(LineTexts(layout.formatter.LayoutPage({})).first(), QStringLiteral("програм-"));
    }
    {
        Layout layout({word}, 100, 200, Settings(false, false));
        EXPECT_EQ(LineTexts(layout.formatter.LayoutPage({})).first(), QStringLiteral("программир"));
    }
}

TEST(FormatterLines, InlinePictureSitsOnTheBaselineAndRaisesTheLine)
{
    ParagraphView view = TextParagraph(QStringLiteral("ab") + QChar(0) + QStringLiteral("cd"));
    view.attributes[2] = kAttrInlineImage;
    view.links.append({0, 0, QStringLiteral("pic")});
    Layout layout({view}, 200, 200, Settings(false));
    layout.document.AddImage(QStringLiteral("pic"), 30, 40);
    const Page page = layout.formatter.LayoutPage({});
    ASSERT_EQ(page.lines.size(), 1u);
    EXPECT_EQ(Line(page, 0).advances, (std::vector<int> {10, 10, 30, 10, 10}));
    EXPECT_EQ(Line(page, 0).ascent, 40);
    EXPECT_EQ(Line(page, 0).height, 20 + 40 - 16); // the font's descent stays below
    ASSERT_EQ(Line(page, 0).inlineImages.size(), 1u);
    EXPECT_EQ(Line(page, 0).inlineImages[0].index, 2);
}

TEST(FormatterLines, EmptyParagraphsAreBlankLinesOfTheBaseFont)
{
    Layout layout({TextParagraph(QStringLiteral("ab")), TextParagraph(QString()),
                      TextParagraph(QStringLiteral(" ")), TextParagraph(QStringLiteral("cd"))},
        200, 400);
    const Page page = layout.formatter.LayoutPage({});
    EXPECT_EQ(LineTexts(page),
        QStringList({QStringLiteral("ab"), QString(), QString(), QStringLiteral("cd")}));
    for (const LayoutLine& line : page.lines)
        EXPECT_EQ(line.height, 20);
    EXPECT_EQ(Line(page, 3).y, 60);
}

TEST(FormatterLines, LinesAreDrawnInRunsOfEqualAttributesOnTheBaseline)
{
    const uint16_t emphasis = 5 << kAttrColourShift;
    ParagraphView view = TextParagraph(QStringLiteral("ab cd") + QChar(0) + QStringLiteral("e"));
    view.attributes = {0, 0, 0, emphasis, emphasis, kAttrInlineImage, 0};
    view.links.append({0, 0, QStringLiteral("pic")});
    Layout layout({view}, 200, 200, Settings(false));
    layout.document.AddImage(QStringLiteral("pic"), 10, 30);
    Page page = layout.formatter.LayoutPage({});
    layout.formatter.SetFoundRange({0, 0, 0, 1}, page);
    const ReaderColors colors;
    const std::vector<LineRun> runs
        = LineRuns(Line(page, 0), layout.measurer, layout.formatter.Settings().font, colors);
    ASSERT_EQ(runs.size(), 5u);
    const int starts[] = {0, 1, 3, 5, 6};
    const int xs[] = {0, 10, 30, 50, 60};
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].from, starts[i]);
        EXPECT_EQ(runs[i].x, xs[i]);
        EXPECT_EQ(runs[i].top, i == 3 ? 0 : 30 - 16); // the picture raised the baseline to 30
    }
    EXPECT_EQ(runs[0].backgroundColor, colors[ReaderColor::HighlightedBackground]);
    EXPECT_EQ(runs[1].backgroundColor, colors[ReaderColor::Background]);
    EXPECT_EQ(runs[1].textColor, colors[ReaderColor::Text]);
    EXPECT_EQ(runs[2].textColor, colors[ReaderColor::Highlight5]);
    ASSERT_NE(runs[3].image, nullptr);
    EXPECT_EQ(runs[3].count, 1);
}

TEST(FormatterLines, Fb2BookIsLaidOutWithItsStyles)
{
    const test::LoadedFb2 loaded = test::LoadFb2(test::Fb2Body(
        "<section><title><p>Chapter</p></title><p>Some <emphasis>plain</emphasis> text.</p>"
        "</section>"));
    ASSERT_TRUE(loaded.ok) << loaded.error.toStdString();
    FixedWidthMeasurer measurer;
    TextFormatter formatter(*loaded.document, measurer);
    formatter.SetGeometry(PageGeometry::ForClient(200, 400, 0, 1, 0, 0));
    const Page page = formatter.LayoutPage({});
    const QStringList texts = LineTexts(page);
    const qsizetype title = texts.indexOf(QStringLiteral("Chapter"));
    const qsizetype text = texts.indexOf(QStringLiteral("Some plain text."));
    ASSERT_GE(title, 0);
    ASSERT_GT(text, title);
    EXPECT_EQ(page.lines[std::size_t(title)].x, (200 - 70) / 2); // centred, no indent
    EXPECT_TRUE(page.lines[std::size_t(title)].attributes[0] & kAttrBold);
    EXPECT_EQ(page.lines[std::size_t(text)].x, 12); // the first-line indent of 3
    EXPECT_EQ(test::Colour(page.lines[std::size_t(text)].attributes[5]), 5); // emphasis
    EXPECT_FALSE(page.lines[std::size_t(text)].flags & kLinePlain);
}

} // namespace
} // namespace lbv
