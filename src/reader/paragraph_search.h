#pragma once
// Finding the paragraph that holds a character offset, shared by the document kinds.
#include <cstdint>

namespace lbv {

// Index in [0, count) of the last paragraph whose start (offsetOf(i), ascending) is at or
// before `offset`; empty paragraphs sharing that start come before it and are passed over.
template <class OffsetOf>
uint32_t LastParagraphStartingBy(uint32_t count, int64_t offset, OffsetOf offsetOf)
{
    uint32_t low = 0, high = count;
    while (high - low > 1) {
        const uint32_t mid = low + (high - low) / 2;
        if (int64_t(offsetOf(mid)) <= offset)
            low = mid;
        else
            high = mid;
    }
    return low;
}

} // namespace lbv
