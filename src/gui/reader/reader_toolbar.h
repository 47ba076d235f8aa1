#pragma once
// The Reader's toolbar: the main reader commands as tool buttons whose tips are their names,
// the Recent menu as the Open button's drop-down. Buttons send their command to whoever runs
// the reader's commands; the layout is kept by the window the bar lives in.
#include <QToolBar>

namespace lbv {

class CRecentBooksMenu;
class SettingsStore;

class CReaderToolbar : public QToolBar {
    Q_OBJECT
public:
    CReaderToolbar(SettingsStore& store, QWidget* parent = nullptr);

    CRecentBooksMenu* RecentMenu() const { return recent_; }
    // The button's action for a command, null when the bar has none.
    QAction* ActionFor(int command) const;

Q_SIGNALS:
    void commandChosen(int command);

private:
    CRecentBooksMenu* recent_;
};

} // namespace lbv
