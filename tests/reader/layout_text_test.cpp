// Pages drawn as text, as the command line prints them.
#include "formatter_test_support.h"
#include "reader/page_text.h"

#include <gtest/gtest.h>

namespace lbv {
namespace {

using test::ImageParagraph;
using test::Layout;
using test::Settings;
using test::TextParagraph;

QStringList Text(Layout& layout, ReadingPosition start = {})
{
    return PageAsText(
        layout.formatter.LayoutPage(start), layout.formatter.Geometry(), layout.measurer.Cell());
}

TEST(LayoutText, JustifiedGapsWidenAndColumnsStandSideBySide)
{
    // 29 free pixels: 15 and 14 more for the two blanks, one cell each.
    Layout justified({TextParagraph(QStringLiteral("ab cd ef gh"))}, 109, 100, Settings(true));
    EXPECT_EQ(Text(justified), QStringList({QStringLiteral("ab  cd  ef"), QStringLiteral("gh")}));

    Layout columns(
        {TextParagraph(QStringLiteral("one")), TextParagraph(QStringLiteral("two")),
            TextParagraph(QStringLiteral("three")), TextParagraph(QStringLiteral("four"))},
        100, 40, Settings(false), 2);
    EXPECT_EQ(Text(columns),
        QStringList({QStringLiteral("one       three"), QStringLiteral("two       four")}));
}

TEST(LayoutText, PicturesShowAsFramesWithTheirSize)
{
    Layout layout(
        {ImageParagraph(QStringLiteral("pic")), TextParagraph(QStringLiteral("after"))}, 100, 200);
    layout.document.AddImage(QStringLiteral("pic"), 80, 60);
    EXPECT_EQ(Text(layout),
        QStringList({QStringLiteral(" ########"), QStringLiteral(" [80x60]#"),
            QStringLiteral(" ########"), QStringLiteral("after")}));
}

} // namespace
} // namespace lbv
