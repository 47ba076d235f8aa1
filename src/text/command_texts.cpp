#include "text/command_texts.h"

namespace lbv {

QString CommandText(Command id)
{
    switch (id) {
    case Command::DeleteAuthor:
    case Command::DeleteGroup:
    case Command::DeleteBooks:
        return QStringLiteral("&Delete");
    case Command::NewGroup:
        return QStringLiteral("New &group");
    case Command::RenameGroup:
        return QStringLiteral("&Rename");
    case Command::SortGroup:
        return QStringLiteral("Sort");
    case Command::SelectAllBooks:
        return QStringLiteral("Select all\tCtrl-A");
    case Command::BookProperties:
        return QStringLiteral("&Properties");
    case Command::ReadBook:
        return QStringLiteral("&Read");
    }
    return {};
}

} // namespace lbv
