#pragma once
// Back and Forward over the places the reader jumped from (start or end of file, find hits,
// contents choices, links, progress-bar taps).
#include "reader/document_source.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace lbv {

class JumpHistory {
public:
    // Remembers the place a jump leaves; places after the cursor are forgotten, and the oldest
    // goes when the history is full.
    void Jumped(const ReadingPosition& from);
    // The place to go to, or nothing at either end. The current place takes the entry's slot, so
    // the opposite move returns to it.
    std::optional<ReadingPosition> Back(const ReadingPosition& current);
    std::optional<ReadingPosition> Forward(const ReadingPosition& current);
    void Clear();

    bool CanGoBack() const { return cursor_ > 0; }
    bool CanGoForward() const { return cursor_ < places_.size(); }

private:
    static constexpr std::size_t kLimit = 256;

    std::vector<ReadingPosition> places_;
    std::size_t cursor_ = 0; // places before it are behind, from it on ahead
};

} // namespace lbv
