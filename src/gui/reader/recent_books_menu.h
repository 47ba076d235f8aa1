#pragma once
// The Recent menu: the most recently read books, listed afresh each time it opens, each item
// sending its command (the first recent-book command plus its place in the list).
#include <QMenu>

namespace lbv {

class SettingsStore;

class CRecentBooksMenu : public QMenu {
    Q_OBJECT
public:
    CRecentBooksMenu(SettingsStore& store, QWidget* parent = nullptr);

    // Rebuilds the items from the store; one greyed "No Files" when there are no books.
    void Refill();

Q_SIGNALS:
    void commandChosen(int command);

private:
    SettingsStore& store_;
};

} // namespace lbv
