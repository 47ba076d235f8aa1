#pragma once
// The texts of menu items, named by their command ids. Command ids are not string-table
// numbers (several equal the numbers of other texts), so they have a table of their own.
#include <QString>

namespace lbv {

enum class MenuItem : int {
    AuthorDelete = 234,
    NewGroup = 235,
    GroupDelete = 237,
    GroupRename = 238,
    BookDelete = 240,
    BookSort = 241,
    BookSelectAll = 242,
    BookProperties = 32784,
    BookRead = 32785,
    // The Reader's toolbar and Recent menu.
    ReaderFileInfo = 32830,
    ReaderAdvancedParameters = 32831,
    ReaderColors = 32832,
    ReaderFontBigger = 32833,
    ReaderFontSmaller = 32834,
    ReaderOpen = 57601,
    RecentBooks = 57616, // the submenu
    NoRecentFiles = 57617, // the one greyed item of an empty Recent menu
};

QString MenuText(MenuItem id);

} // namespace lbv
