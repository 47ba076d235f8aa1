#pragma once
// Moving through a book's entry list (its contents sections and the user's bookmarks, ordered
// by position): next and previous section, next and previous entry of either kind, and the title
// of the chapter a position is in. Moves stay within the position's body; an entry at exactly
// the current position counts as neither next nor previous.
#include "reader/book_state.h"
#include "reader/document_source.h"

#include <optional>
#include <vector>

namespace lbv {

inline BookPosition ToBookPosition(const ReadingPosition& p)
{
    return {p.paragraph, p.offset, p.body};
}
inline ReadingPosition ToReadingPosition(const BookPosition& p)
{
    return {p.paragraph, p.offset, p.body};
}

enum class EntryKinds { Sections, SectionsAndBookmarks };

// Indices into the entry list, or nothing at the body's first or last entry.
std::optional<int> NextEntry(
    const std::vector<BookEntry>& entries, const ReadingPosition& from, EntryKinds kinds);
std::optional<int> PreviousEntry(
    const std::vector<BookEntry>& entries, const ReadingPosition& from, EntryKinds kinds);

// The text of the last section that begins at or before the position; empty before the first.
QString ChapterTitle(const std::vector<BookEntry>& entries, const ReadingPosition& at);

} // namespace lbv
