#pragma once
// The rules of the author tree that need no widget: what a row shows, how header-click sorting
// orders sibling rows, and which group a drop on a row means.
#include <QString>

#include <vector>

namespace lbv {

class CBook;
class CCatalogItem;
class CGroup;
class CLibravonDoc;

// A tree row's record: a catalog author or group, or a search result's author or group.
struct TreeRowText {
    bool isAuthor = false;
    QString first; // first name, or the group's name
    QString last;  // empty for a group
    qsizetype books = 0;
};
TreeRowText RowText(CCatalogItem* item);

// Header-click order of two sibling rows, -1, 0 or 1: column 0 authors by first then last name,
// column 1 by last then first, group rows by name; column 2 by book count (all equal when
// counts are hidden). Names compare by UTF-16 code units, case-sensitively.
int CompareTreeRows(int column, const TreeRowText& a, const TreeRowText& b, bool countsShown);

// The catalog group that books dropped on a row go to: a group row's group, an author row's
// default group. The default group is created (marking the catalog modified) only when one of
// `dragged` belongs to that author, since a move elsewhere is refused anyway; null otherwise.
CGroup* DropTargetGroup(CLibravonDoc& catalog, CCatalogItem* row,
    const std::vector<CBook*>& dragged);

} // namespace lbv
