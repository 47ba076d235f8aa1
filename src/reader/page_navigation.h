#pragma once
// Where a moving command of the reader takes it from the page it shows: page and line steps
// that stop at the body's ends, the body's start and end, and the next or previous section or
// bookmark. Jumps (start, end, entries) are the moves Back returns from.
#include "reader/book_state.h"
#include "reader/key_map.h"
#include "reader/text_formatter.h"

#include <optional>
#include <vector>

namespace lbv {

struct PageMove {
    ReadingPosition position;
    bool jump = false;
};

// Nothing when the command doesn't move the page from here (at an end, no further entry) or is
// not a moving command.
std::optional<PageMove> MoveForCommand(ReaderCommand command, TextFormatter& formatter,
    const Page& page, const std::vector<BookEntry>& entries);

} // namespace lbv
