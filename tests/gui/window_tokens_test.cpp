#include "gui/common/window_tokens.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace lbv;

TEST(WindowTokens, AWidgetKeepsItsTokenAndATokenOfAGoneWidgetOwnsNothing)
{
    EXPECT_EQ(WindowToken(nullptr), 0u);
    EXPECT_EQ(WindowOfToken(0), nullptr);
    auto first = std::make_unique<QWidget>();
    QWidget second;
    const LbvWindow token = WindowToken(first.get());
    EXPECT_NE(token, 0u);
    EXPECT_EQ(WindowToken(first.get()), token);
    EXPECT_NE(WindowToken(&second), token);
    EXPECT_EQ(WindowOfToken(token), first.get());
    first.reset();
    EXPECT_EQ(WindowOfToken(token), nullptr);
    // A new widget, wherever it lives, gets a token of its own.
    QWidget third;
    EXPECT_NE(WindowToken(&third), token);
}
