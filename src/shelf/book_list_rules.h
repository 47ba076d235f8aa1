#pragma once
// The book list's decisions that need no widget: which commands its menu offers, whether a drag
// may start, where dragged books go and what the user is asked or told on the way.
#include "catalog/libravon_doc.h"

#include <QString>
#include <vector>

namespace lbv {

struct BookListState {
    int selectedCount = 0;
    bool hasGroup = false; // a catalog and a current group are on show
    bool autorun = false;
    bool importRunning = false; // the import worker is the catalog's only writer meanwhile
};

struct BookMenuEnabling {
    bool deleteBooks = false;
    bool sort = false;
    bool selectAll = true;
    bool read = false;
    bool properties = false;
};
// Commands that change the catalog are not offered in autorun mode nor during an import run.
BookMenuEnabling BookMenuEnablingFor(const BookListState& state);

enum class DragStart { Allowed, RefusedWhileSorted, Refused };
DragStart CheckDragStart(const BookListState& state, bool sortedByHeader);

// Reorders within the group: each book in turn goes before the target and becomes the target
// of the next one. One book dropped on itself changes nothing. Returns whether any book moved.
bool MoveBooksBefore(CLibravonDoc& catalog, const std::vector<CBook*>& books, CBook* target);
// Moves the books to another group of their author; returns how many moved.
int MoveBooksToGroup(CLibravonDoc& catalog, const std::vector<CBook*>& books, CGroup* target);
// The group a drop on a tree row (a catalog or search-result author or group) stands for: a
// group row's group; an author row's default group, created only when one of the books could
// move there, so that a refused drop leaves the catalog as it was. Null for no row.
CGroup* DropTargetGroup(CLibravonDoc& catalog, CCatalogItem* row, const std::vector<CBook*>& books);

// The refusal of a drop outside the books' author, naming that author.
QString CantDropHereText(const CBook& firstBook);
// The question before deleting the books (one named by its title, several counted).
QString DeleteBooksQuestionText(const std::vector<CBook*>& books);

} // namespace lbv
