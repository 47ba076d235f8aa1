#include "reader/jump_history.h"

#include <utility>

namespace lbv {

void JumpHistory::Jumped(const ReadingPosition& from)
{
    places_.resize(cursor_);
    if (places_.size() == kLimit)
        places_.erase(places_.begin());
    places_.push_back(from);
    cursor_ = places_.size();
}

std::optional<ReadingPosition> JumpHistory::Back(const ReadingPosition& current)
{
    if (!CanGoBack())
        return std::nullopt;
    --cursor_;
    return std::exchange(places_[cursor_], current);
}

std::optional<ReadingPosition> JumpHistory::Forward(const ReadingPosition& current)
{
    if (!CanGoForward())
        return std::nullopt;
    return std::exchange(places_[cursor_++], current);
}

void JumpHistory::Clear()
{
    places_.clear();
    cursor_ = 0;
}

} // namespace lbv
