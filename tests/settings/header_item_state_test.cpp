#include "settings/header_item_state.h"

#include <gtest/gtest.h>

using namespace lbv;

TEST(HeaderItemState, ReadsWidthOrderAndHexFormatAndWritesThemBack)
{
    const auto state = ParseHeaderItemState(QStringLiteral("150 2 00004001"));
    ASSERT_TRUE(state);
    EXPECT_EQ(state->width, 150);
    EXPECT_EQ(state->order, 2);
    EXPECT_EQ(state->format, 0x4001u);
    EXPECT_EQ(FormatHeaderItemState(*state), QStringLiteral("150 2 00004001"));
    EXPECT_EQ(FormatHeaderItemState({7, 0, 0xABCDEF12}), QStringLiteral("7 0 abcdef12"));
}

TEST(HeaderItemState, AnythingButExactlyThreeNumbersIsIgnored)
{
    for (const char* text : {"", "100", "100 0", "100 0 4000 5", "wide 0 4000", "-5 0 4000",
             "100 0 123456789", "100,0,4000", "99999999999 0 0"})
        EXPECT_FALSE(ParseHeaderItemState(QString::fromLatin1(text))) << text;
}

TEST(HeaderLayout, AppliesOrdersOnlyWhenTheyArrangeEveryColumn)
{
    const HeaderLayout swapped
        = ResolveHeaderLayout({QStringLiteral("80 1 00004000"), QStringLiteral("90 0 00004000"),
                                  QStringLiteral("50 2 00004000")},
            3);
    ASSERT_TRUE(swapped.orders);
    EXPECT_EQ(*swapped.orders, (std::vector<int> {1, 0, 2}));
    EXPECT_EQ(swapped.widths[1], 90);

    // Two columns claiming one place, a place beyond the columns, a column with nothing stored:
    // the widths still count, the orders do not.
    for (const QStringList& stored :
        {QStringList {QStringLiteral("80 0 0"), QStringLiteral("90 0 0"), QStringLiteral("50 2 0")},
            QStringList {
                QStringLiteral("80 0 0"), QStringLiteral("90 7 0"), QStringLiteral("50 2 0")},
            QStringList {QStringLiteral("80 1 0"), QStringLiteral("90 0 0")}}) {
        const HeaderLayout layout = ResolveHeaderLayout(stored, 3);
        EXPECT_FALSE(layout.orders) << stored.join(u'|').toStdString();
        EXPECT_EQ(layout.widths[0], 80);
    }
}

TEST(HeaderLayout, KeepsOnlySaneWidthsAndDropsSortArrows)
{
    const HeaderLayout layout
        = ResolveHeaderLayout({QStringLiteral("0 0 00004000"), QStringLiteral("20000 1 00004400"),
                                  QStringLiteral("120 2 00004203")},
            3);
    EXPECT_FALSE(layout.widths[0]);
    EXPECT_FALSE(layout.widths[1]);
    EXPECT_EQ(layout.widths[2], 120);
    EXPECT_EQ(layout.formats[1], 0x4000u);
    EXPECT_EQ(layout.formats[2], 0x4003u);
}
