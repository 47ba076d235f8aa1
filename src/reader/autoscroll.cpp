#include "reader/autoscroll.h"

#include "reader/reader_settings.h"

namespace lbv {
namespace {

bool SameStart(const ReadingPosition& a, const ReadingPosition& b)
{
    return a.body == b.body && a.paragraph == b.paragraph && a.offset == b.offset;
}

} // namespace

Autoscroll::Autoscroll(int delayMicroseconds)
    : delay_(ClampAutoScrollDelay(delayMicroseconds))
{
}

bool Autoscroll::SpeedUp(int step)
{
    if (delay_ < kFasterFloor)
        return false;
    delay_ = ClampAutoScrollDelay(delay_ - step);
    return true;
}

bool Autoscroll::SlowDown(int step)
{
    const int before = delay_;
    delay_ = ClampAutoScrollDelay(delay_ + step);
    return delay_ != before;
}

void Autoscroll::Start(const Page& page)
{
    Place(page);
    running_ = true;
}

void Autoscroll::Place(const Page& page)
{
    if (placed_ && SameStart(pageStart_, page.start))
        return;
    placed_ = true;
    pageStart_ = page.start;
    mark_ = {};
}

Autoscroll::Step Autoscroll::Tick(const Page& page, bool atBookEnd)
{
    if (!running_)
        return Step::Stop;
    if (!SameStart(pageStart_, page.start) || page.lines.empty()) {
        running_ = false;
        return Step::Stop;
    }
    if (mark_.line >= int(page.lines.size()))
        mark_ = {int(page.lines.size()) - 1, 0};
    if (++mark_.row < page.lines[std::size_t(mark_.line)].height)
        return Step::Redraw;
    mark_.row = 0;
    if (++mark_.line < int(page.lines.size()))
        return Step::Redraw;
    if (atBookEnd) {
        mark_.line = int(page.lines.size()) - 1;
        running_ = false;
        return Step::Stop;
    }
    mark_.line = 0;
    placed_ = false; // the next page gets the mark at its top
    return Step::TurnPage;
}

int Autoscroll::MarkY(const Page& page) const
{
    if (page.lines.empty())
        return -1;
    const int line = std::min(mark_.line, int(page.lines.size()) - 1);
    return page.lines[std::size_t(line)].y + mark_.row;
}

} // namespace lbv
