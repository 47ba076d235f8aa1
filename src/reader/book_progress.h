#pragma once
// Where the reader is within the open body, in the terms of the progress bar: characters from
// the body's start, the body's length, the chapter and the sections' and bookmarks' places; and
// back from such an offset (a tap on the gauge) to a reading position.
#include "reader/document_source.h"
#include "reader/progress_bar_model.h"

namespace lbv {

// Fills position, length, chapterTitle, sections and bookmarks of the state for the body the
// position is in; the other fields are left as they are.
void FillBookProgress(ProgressBarState& state, const DocumentSource& document,
    const std::vector<BookEntry>& entries, const ReadingPosition& at);

// The position `offset` characters into the body, kept within it.
ReadingPosition PositionAtOffset(const DocumentSource& document, int body, int64_t offset);

} // namespace lbv
