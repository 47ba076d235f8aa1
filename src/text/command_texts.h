#pragma once
// The menu item texts of the program's commands, by command id. They are not numbered texts of
// the message table (some ids are used there for other words), so they have their own table.
#include <QString>

namespace lbv {

enum class Command : int {
    DeleteAuthor = 234,
    NewGroup = 235,
    DeleteGroup = 237,
    RenameGroup = 238,
    DeleteBooks = 240,
    SortGroup = 241,
    SelectAllBooks = 242,
    BookProperties = 32784,
    ReadBook = 32785,
};

// With "&" marking the mnemonic; a shortcut follows a tab ("Select all\tCtrl-A").
QString CommandText(Command id);

} // namespace lbv
