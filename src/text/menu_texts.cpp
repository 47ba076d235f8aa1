#include "text/menu_texts.h"

namespace lbv {

QString MenuText(MenuItem id)
{
    switch (id) {
    case MenuItem::BookDelete:
        return QStringLiteral("&Delete");
    case MenuItem::BookSort:
        return QStringLiteral("Sort");
    case MenuItem::BookSelectAll:
        return QStringLiteral("Select all\tCtrl-A");
    case MenuItem::BookProperties:
        return QStringLiteral("&Properties");
    case MenuItem::BookRead:
        return QStringLiteral("&Read");
    }
    return {};
}

} // namespace lbv
