#include "settings/settings_list.h"

#include "settings/qt_settings_backend.h"
#include "text/case_fold.h"

#include <algorithm>

namespace lbv {
namespace {

void AppendEntries(
    QList<SettingsListEntry>& entries, const SettingsBackend& store, const QString& section)
{
    const qsizetype known = entries.size();
    const QStringList names = store.ChildSections(section);
    for (const QString& name : names) {
        const auto begin = entries.cbegin();
        if (std::any_of(begin, begin + known,
                [&](const SettingsListEntry& entry) { return EqualsNoCase(entry.name, name); }))
            continue;
        SettingsListEntry entry {name, {}};
        const QString subsection = section + u'/' + name;
        const QStringList valueNames = store.ValueNames(subsection);
        for (const QString& valueName : valueNames)
            if (const auto text = store.ReadString(subsection, valueName))
                entry.values.insert(valueName, *text);
        entries << entry;
    }
}

} // namespace

QList<SettingsListEntry> ReadSettingsList(
    const SettingsBackend* user, const SettingsBackend* system, const QString& section)
{
    QList<SettingsListEntry> entries;
    if (user)
        AppendEntries(entries, *user, section);
    if (system)
        AppendEntries(entries, *system, section);
    return entries;
}

QList<SettingsListEntry> ReadSettingsList(
    const QString& organisation, const QString& application, const QString& section)
{
    const auto user = QtSettingsBackend::UserScope(organisation, application);
    const auto system = QtSettingsBackend::SystemScope(organisation, application);
    return ReadSettingsList(user.get(), system.get(), section);
}

} // namespace lbv
