#pragma once
// The rules of the author tree that need no widget: what a row shows and how header-click
// sorting orders sibling rows.
#include <QString>

namespace lbv {

class CCatalogItem;

// A tree row's record: a catalog author or group, or a search result's author or group.
struct TreeRowText {
    bool isAuthor = false;
    QString first; // first name, or the group's name
    QString last; // empty for a group
    qsizetype books = 0;
};
TreeRowText RowText(CCatalogItem* item);

// Header-click order of two sibling rows, -1, 0 or 1: column 0 authors by first then last name,
// column 1 by last then first, group rows by name; column 2 by book count (all equal when
// counts are hidden). Names compare by UTF-16 code units, case-sensitively.
int CompareTreeRows(int column, const TreeRowText& a, const TreeRowText& b, bool countsShown);

} // namespace lbv
