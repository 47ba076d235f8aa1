#pragma once
// What lies under a point of a laid-out page, and the text between two such places: the line,
// the character and the document position a tap or a drag meets (page coordinates: see
// PageTransform), the link or bookmark there, and the word under it.
#include "reader/book_state.h"
#include "reader/page_layout.h"

#include <optional>
#include <vector>

namespace lbv {

struct PageHit {
    int line = 0; // index into the page's lines
    int index = 0; // character of the line; its length for a point past the line's end
    ReadingPosition position;
};

// The line of the point's column whose rows hold y, and the character whose advance holds x
// (justification included); nothing between or below the lines.
std::optional<PageHit> HitTest(const Page& page, const PageGeometry& geometry, int x, int y);
// The line's left edge on the page.
int LineLeft(const LayoutLine& line, const PageGeometry& geometry);

// The characters a drag covers: from the earlier of the two hits up to and including the
// character under the later one (`to` is exclusive).
struct PageSelection {
    PageHit from;
    PageHit to;
};
PageSelection SelectionBetween(const Page& page, const PageHit& anchor, const PageHit& current);

struct PageBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const PageBox&, const PageBox&) = default;
};
// One box per line the selection touches, over its selected characters (page coordinates).
std::vector<PageBox> SelectionBoxes(
    const Page& page, const PageGeometry& geometry, const PageSelection& selection);

// The text from one hit to another (either order), lines of a paragraph joined as the paragraph
// reads (no hyphen a line break added, one blank where blanks were skipped), paragraphs by "\n".
QString SelectionText(const Page& page, const PageHit& from, const PageHit& to);

// The link of the paragraph that covers the offset (inline pictures are not links).
std::optional<ParagraphLink> LinkAt(const ParagraphView& paragraph, int offset);

struct TextSpan {
    int start = 0;
    int length = 0;
};
// The word around the offset: letters, with "'" and "-" counted only between letters.
std::optional<TextSpan> WordAt(QStringView text, int offset);

// The first user bookmark placed on the line's characters (an empty line's one place counts).
std::optional<int> BookmarkAt(const std::vector<BookEntry>& entries, const LayoutLine& line);

} // namespace lbv
