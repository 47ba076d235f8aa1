#include "reader/style_choices.h"
#include "reader_test_support.h"

#include <gtest/gtest.h>

namespace lbv {
namespace {

QStringList Texts(StyleField field)
{
    QStringList texts;
    for (const StyleChoice& choice : StyleChoices(field))
        texts << choice.text;
    return texts;
}

TEST(StyleChoices, OfferTheDialogsWordsWithInheritLast)
{
    const QStringList sizes = Texts(StyleField::Size);
    EXPECT_EQ(sizes.size(), 17);
    EXPECT_EQ(sizes.first(), u"-5"_qs);
    EXPECT_EQ(sizes[5], u"+0"_qs);
    EXPECT_EQ(sizes[15], u"+10"_qs);
    EXPECT_EQ(sizes.last(), u"Inherit"_qs);
    EXPECT_EQ(Texts(StyleField::Colour),
        (QStringList {u"Normal"_qs, u"HL 1"_qs, u"HL 2"_qs, u"HL 3"_qs, u"HL 4"_qs, u"HL 5"_qs,
            u"HL 6"_qs, u"HL 7"_qs, u"Inherit"_qs}));
    EXPECT_EQ(Texts(StyleField::Align),
        (QStringList {u"Default"_qs, u"Right"_qs, u"Center"_qs, u"Justified"_qs, u"Inherit"_qs}));
    EXPECT_EQ(Texts(StyleField::Underline), (QStringList {u"Off"_qs, u"On"_qs, u"Inherit"_qs}));
    EXPECT_EQ(StyleChoices(StyleField::Align)[3].value, 4);
    EXPECT_EQ(StyleChoices(StyleField::Bold).last().value, kInherit);
}

TEST(StyleChoices, StoredValuesShowClampedOrAsInheritAndIndentZeroMeansInherit)
{
    EXPECT_EQ(StyleChoiceIndex(StyleField::Size, -20), 0);
    EXPECT_EQ(StyleChoiceIndex(StyleField::Size, 50), 15);
    EXPECT_EQ(StyleChoiceIndex(StyleField::Size, 2), 7);
    EXPECT_EQ(StyleChoiceIndex(StyleField::Size, kInherit), 16);
    EXPECT_EQ(StyleChoiceIndex(StyleField::Colour, 8), 8); // a slot with no choice: "Inherit"
    EXPECT_EQ(StyleChoiceIndex(StyleField::Align, 4), 3);
    EXPECT_EQ(StyleChoiceIndex(StyleField::Italic, 1), 1);

    EXPECT_EQ(IndentFromEntry(0), kInherit);
    EXPECT_EQ(IndentFromEntry(-8), -8);
    EXPECT_EQ(IndentFromEntry(300), 100);
    EXPECT_EQ(IndentForEntry(kInherit), 0);
    EXPECT_EQ(IndentForEntry(3), 3);

    ElementStyle style;
    SetStyleField(style, StyleField::Size, -3);
    SetStyleField(style, StyleField::Underline, 1);
    EXPECT_EQ(StyleFieldValue(style, StyleField::Size), -3);
    EXPECT_EQ(StyleFieldValue(style, StyleField::Underline), 1);
    EXPECT_EQ(StyleFieldValue(style, StyleField::Bold), kInherit);
}

TEST(StyleChoices, OnlyNamedStyleRowsAreOffered)
{
    const ElementStyleTable table
        = ElementStyleTable::FromText(u"Plain * * * * * * * * * f  emphasis\n"
                                      "Body  * * * * * * * * * co body\n"
                                      "*Hidden * * * * * * * * * f strong\n"_qs);
    const ElementStyleTable builtIn = ElementStyleTable::BuiltIn();
    QStringList names;
    for (int row : EditableStyleRows(builtIn))
        names << builtIn.Row(row).name;
    EXPECT_TRUE(names.contains(u"Emphasis"_qs));
    EXPECT_TRUE(names.contains(u"Paragraph"_qs));
    EXPECT_FALSE(names.contains(u"Body"_qs));
    EXPECT_FALSE(names.contains(u"Link"_qs));
    ASSERT_EQ(EditableStyleRows(table).size(), 1u);
    EXPECT_EQ(table.Row(EditableStyleRows(table)[0]).name, u"Plain"_qs);
}

} // namespace
} // namespace lbv
