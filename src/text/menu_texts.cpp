#include "text/menu_texts.h"

namespace lbv {

QString MenuText(MenuItem id)
{
    switch (id) {
    case MenuItem::AuthorDelete:
    case MenuItem::GroupDelete:
    case MenuItem::BookDelete:
        return QStringLiteral("&Delete");
    case MenuItem::NewGroup:
        return QStringLiteral("New &group");
    case MenuItem::GroupRename:
        return QStringLiteral("&Rename");
    case MenuItem::BookSort:
        return QStringLiteral("Sort");
    case MenuItem::BookSelectAll:
        return QStringLiteral("Select all\tCtrl-A");
    case MenuItem::BookProperties:
        return QStringLiteral("&Properties");
    case MenuItem::BookRead:
        return QStringLiteral("&Read");
    case MenuItem::ReaderFileInfo:
        return QStringLiteral("File info");
    case MenuItem::ReaderAdvancedParameters:
        return QStringLiteral("Advanced parameters");
    case MenuItem::ReaderColors:
        return QStringLiteral("Colors");
    case MenuItem::ReaderFontBigger:
        return QStringLiteral("Bigger font");
    case MenuItem::ReaderFontSmaller:
        return QStringLiteral("Smaller font");
    case MenuItem::ReaderOpen:
        return QStringLiteral("Open file");
    case MenuItem::RecentBooks:
        return QStringLiteral("Recent &books");
    case MenuItem::NoRecentFiles:
        return QStringLiteral("No Files");
    }
    return {};
}

} // namespace lbv
