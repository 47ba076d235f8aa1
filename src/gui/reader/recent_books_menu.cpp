#include "gui/reader/recent_books_menu.h"

#include "reader/book_state.h"
#include "reader/key_map.h"
#include "text/menu_texts.h"

#include <QDir>
#include <QFileInfo>

namespace lbv {

CRecentBooksMenu::CRecentBooksMenu(SettingsStore& store, QWidget* parent)
    : QMenu(MenuText(MenuItem::RecentBooks), parent)
    , store_(store)
{
    setObjectName(QStringLiteral("recentBooksMenu"));
    connect(this, &QMenu::aboutToShow, this, &CRecentBooksMenu::Refill);
    Refill();
}

void CRecentBooksMenu::Refill()
{
    clear();
    const QStringList books = RecentBooks(store_, kRecentBookCount);
    if (books.isEmpty()) {
        addAction(MenuText(MenuItem::NoRecentFiles))->setEnabled(false);
        return;
    }
    for (int i = 0; i < books.size(); ++i) {
        // The file's name to read by, the whole path in the tip ("&" would make a mnemonic).
        QString name = QFileInfo(books[i]).fileName();
        name.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction* item = addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
        item->setToolTip(QDir::toNativeSeparators(books[i]));
        item->setData(kFirstRecentBook + i);
        connect(item, &QAction::triggered, this,
            [this, command = kFirstRecentBook + i] { Q_EMIT commandChosen(command); });
    }
}

} // namespace lbv
