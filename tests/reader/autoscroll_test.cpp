#include "reader/autoscroll.h"
#include "reader/reader_settings.h"

#include <gtest/gtest.h>

using namespace lbv;

namespace {

// A page of lines of the given heights, starting at the paragraph.
Page PageOf(int paragraph, std::initializer_list<int> heights)
{
    Page page;
    page.start = {paragraph, 0, 0};
    int y = 0;
    for (int height : heights) {
        LayoutLine line;
        line.y = y;
        line.height = height;
        page.lines.push_back(line);
        y += height;
    }
    return page;
}

} // namespace

TEST(Autoscroll, FasterStopsBelowTheFloorAndSlowerAlwaysAdds)
{
    Autoscroll scroll(800000);
    EXPECT_EQ(scroll.TimerMilliseconds(), 800);
    EXPECT_TRUE(scroll.Faster());
    EXPECT_EQ(scroll.Delay(), 775000);
    EXPECT_TRUE(scroll.FasterFine());
    EXPECT_EQ(scroll.Delay(), 770000);

    Autoscroll fast(49999);
    EXPECT_FALSE(fast.Faster());
    EXPECT_FALSE(fast.FasterFine());
    EXPECT_EQ(fast.Delay(), 49999);
    EXPECT_TRUE(fast.Slower());
    EXPECT_EQ(fast.Delay(), 74999);
    EXPECT_TRUE(fast.SlowerFine());
    EXPECT_EQ(fast.Delay(), 79999);

    Autoscroll floor(50000); // at the floor faster still works once
    EXPECT_TRUE(floor.Faster());
    EXPECT_EQ(floor.Delay(), 25000);
    EXPECT_FALSE(floor.Faster());

    // Stored nonsense can neither spin the timer nor overflow on "slower".
    EXPECT_EQ(Autoscroll(0).Delay(), kMinAutoScrollDelay);
    Autoscroll slowest(kMaxAutoScrollDelay);
    EXPECT_FALSE(slowest.Slower());
    EXPECT_EQ(slowest.Delay(), kMaxAutoScrollDelay);
}

TEST(Autoscroll, MarkWalksRowsAndLinesThenTurnsThePage)
{
    Autoscroll scroll(800000);
    const Page first = PageOf(0, {2, 3});
    scroll.Start(first);
    EXPECT_EQ(scroll.MarkY(first), 0);
    EXPECT_EQ(scroll.Tick(first, false), Autoscroll::Step::Redraw);
    EXPECT_EQ(scroll.MarkY(first), 1);
    EXPECT_EQ(scroll.Tick(first, false), Autoscroll::Step::Redraw); // next line
    EXPECT_EQ(scroll.CurrentMark().line, 1);
    EXPECT_EQ(scroll.MarkY(first), 2);
    scroll.Tick(first, false);
    scroll.Tick(first, false);
    EXPECT_EQ(scroll.Tick(first, false), Autoscroll::Step::TurnPage);

    const Page second = PageOf(7, {4});
    scroll.Place(second);
    EXPECT_EQ(scroll.MarkY(second), 0);
    EXPECT_EQ(scroll.Tick(second, false), Autoscroll::Step::Redraw);

    // Stopped and started again on the same page, the mark stays where it was.
    scroll.Stop();
    scroll.Start(second);
    EXPECT_EQ(scroll.MarkY(second), 1);
}

TEST(Autoscroll, StopsAtTheBooksEndAndWhenThePageChangedUnderIt)
{
    Autoscroll scroll(800000);
    const Page last = PageOf(3, {1});
    scroll.Start(last);
    EXPECT_EQ(scroll.Tick(last, true), Autoscroll::Step::Stop);
    EXPECT_FALSE(scroll.Running());

    scroll.Start(last);
    EXPECT_EQ(scroll.Tick(PageOf(4, {1, 1}), false), Autoscroll::Step::Stop);
    EXPECT_FALSE(scroll.Running());
}
