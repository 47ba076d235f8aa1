#include "reader/book_progress.h"

#include "reader/entry_navigation.h"

#include <algorithm>

namespace lbv {
namespace {

// Documents count offsets across all their paragraphs (an FB2's description comes before its
// first body), so the bar's offsets are taken from the body's own start.
int64_t BodyStart(const DocumentSource& document, int body)
{
    return document.ParagraphStart(body, 0);
}

int64_t OffsetOf(const DocumentSource& document, const BookPosition& position)
{
    return document.ParagraphStart(position.body, position.paragraph) + position.offset
        - BodyStart(document, position.body);
}

} // namespace

void FillBookProgress(ProgressBarState& state, const DocumentSource& document,
    const std::vector<BookEntry>& entries, const ReadingPosition& at)
{
    state.length = document.BodyEnd(at.body) - BodyStart(document, at.body);
    state.position = std::clamp<int64_t>(OffsetOf(document, ToBookPosition(at)), 0, state.length);
    state.chapterTitle = ChapterTitle(entries, at);
    state.sections.clear();
    state.bookmarks.clear();
    for (const BookEntry& entry : entries)
        if (entry.position.body == at.body)
            (entry.IsUserBookmark() ? state.bookmarks : state.sections)
                .push_back(OffsetOf(document, entry.position));
}

ReadingPosition PositionAtOffset(const DocumentSource& document, int body, int64_t offset)
{
    const int64_t start = BodyStart(document, body);
    offset = start + std::clamp<int64_t>(offset, 0, document.BodyEnd(body) - start);
    const int paragraph = document.ParagraphAtOffset(body, offset);
    if (paragraph >= document.ParagraphCount(body))
        return {paragraph, 0, body};
    return {paragraph, int(offset - document.ParagraphStart(body, paragraph)), body};
}

} // namespace lbv
