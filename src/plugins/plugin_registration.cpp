#include "plugins/plugin_registration.h"

#include "plugins/plugin_module.h"
#include "settings/qt_settings_backend.h"
#include "text/case_fold.h"

#include <algorithm>

namespace lbv {
namespace {

const QString kPluginsSection = QStringLiteral("Plugins");

QString Value(const SettingsListEntry& entry, const char* name)
{
    return entry.values.value(QLatin1String(name));
}

bool HasType(const SettingsListEntry& entry, QStringView type)
{
    return EqualsNoCase(Value(entry, "Type"), type);
}

QList<SettingsListEntry> ListEntries(
    PluginModules& modules, const QString& organisation, const QString& application)
{
    return CombinedEntries(ReadSettingsList(organisation, application, kPluginsSection),
        modules.FolderRegistrations(organisation, application, kPluginsSection));
}

} // namespace

QList<SettingsListEntry> CombinedEntries(
    QList<SettingsListEntry> stored, const QList<SettingsListEntry>& folder)
{
    QStringList storedClasses;
    for (const SettingsListEntry& entry : std::as_const(stored))
        storedClasses << CanonicalClsid(entry.name);
    for (const SettingsListEntry& entry : folder)
        if (!storedClasses.contains(CanonicalClsid(entry.name)))
            stored << entry;
    return stored;
}

QList<PluginRegistration> IndexPluginRegistrations(const QList<SettingsListEntry>& entries)
{
    QList<PluginRegistration> registrations;
    for (const SettingsListEntry& entry : entries) {
        if (!HasType(entry, u"Index"))
            continue;
        const QString clsid = CanonicalClsid(entry.name);
        if (clsid.isEmpty())
            continue;
        registrations << PluginRegistration {clsid, Value(entry, "Name"), Value(entry, "Module")};
    }
    return registrations;
}

QList<ExporterEntry> ExporterRegistrations(const QList<SettingsListEntry>& entries)
{
    QList<ExporterEntry> exporters;
    for (const SettingsListEntry& entry : entries) {
        if (exporters.size() == kMaxExporters)
            break;
        const QString clsid = CanonicalClsid(entry.name);
        if (!HasType(entry, u"Export") || !entry.values.contains(QStringLiteral("Menu"))
            || clsid.isEmpty())
            continue;
        exporters << ExporterEntry {Value(entry, "Menu"), clsid, Value(entry, "Module")};
    }
    return exporters;
}

QList<PluginRegistration> LoadIndexPlugins(PluginModules& modules)
{
    return IndexPluginRegistrations(
        ListEntries(modules, ProfileOrganisation(), ProfileApplication()));
}

QList<ExporterEntry> LoadExporters(PluginModules& modules)
{
    return ExporterRegistrations(
        ListEntries(modules, QStringLiteral("Quillon"), QStringLiteral("FBE")));
}

} // namespace lbv
