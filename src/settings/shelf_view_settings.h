#pragma once
// The shelf view's on/off options: where each is stored, its default and the name announced when
// it changes, in one place for the views that read them and the Options page that writes them.
#include <QStringView>
#include <span>

namespace lbv {

class SettingsStore;

struct ShelfViewSetting {
    QStringView section;
    QStringView key;
    bool defaultValue;
    QStringView announcement;
    QStringView label;
};

// The grid lines of the author tree, the book list and the import log, then the two shelf
// behaviours, in the order the Options page shows them.
std::span<const ShelfViewSetting> ShelfViewSettings();

// The option stored under `section`/`key`, with the table's default when it is unset.
bool ReadShelfViewSetting(SettingsStore& store, QStringView section, QStringView key);

} // namespace lbv
