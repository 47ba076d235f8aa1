#pragma once
// Registration lists kept as one subsection per entry (plug-ins, export plug-ins): the user's
// own store and the machine-wide one are read together.
#include <QHash>
#include <QList>
#include <QString>

namespace lbv {

class SettingsBackend;

struct SettingsListEntry {
    QString name; // the subsection's name, e.g. a class identifier
    QHash<QString, QString> values; // every value readable as text; "" is the default value
};

// The subsections of `section` in the user store, then those only the system store has (names
// compared ignoring case, so a user's entry overrides the machine's). Either store may be null.
QList<SettingsListEntry> ReadSettingsList(
    const SettingsBackend* user, const SettingsBackend* system, const QString& section);

// The same over the QSettings files of an organisation and application, for example
// ("Marrowfield", "Libravon", "Plugins").
QList<SettingsListEntry> ReadSettingsList(
    const QString& organisation, const QString& application, const QString& section);

} // namespace lbv
