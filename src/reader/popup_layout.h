#pragma once
// Where a short text shown over the page (a dictionary article, a bookmark's text) goes: broken
// into lines by the formatter's pop-up layout, in a box no wider than most of the page, under
// the tapped line when it fits there, else above it, always within the page.
#include "reader/page_hit_test.h"
#include "reader/text_formatter.h"

namespace lbv {

inline constexpr int kPopupPadding = 4;

struct PopupLayout {
    PageBox box; // page coordinates, padding included
    std::vector<LayoutLine> lines; // y from the top of the text inside the padding
};

// anchorTop and anchorBottom: the rows of what was tapped, kept uncovered when there is room.
PopupLayout LayOutPopup(TextFormatter& formatter, QStringView text, int pageWidth, int pageHeight,
    int anchorTop, int anchorBottom);

} // namespace lbv
