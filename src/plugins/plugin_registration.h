#pragma once
// The registration lists of plug-ins: the catalog plug-ins below the program's own "Plugins"
// section and the export plug-ins below the FB2 editor's ("Quillon", "FBE", "Plugins"), each read
// from the user's and the machine's settings and completed by the modules of the program's
// plug-in folders. Entries keep their enumeration order; a module path is the value "Module".
#include "settings/settings_list.h"

#include <QList>
#include <QString>

namespace lbv {

class PluginModules;

struct PluginRegistration {
    QString clsid; // canonical form
    QString name; // the registered "Name", used in messages before the plug-in is created
    QString modulePath; // empty: a module of the plug-in folders serving the class
};

struct ExporterEntry {
    QString menu; // the menu text
    QString clsid;
    QString modulePath;
};

// Export commands occupy ids 2150 to 2199, so at most this many exporters are offered.
inline constexpr int kMaxExporters = 50;

// The stored entries, then the folder entries of classes not stored.
QList<SettingsListEntry> CombinedEntries(
    QList<SettingsListEntry> stored, const QList<SettingsListEntry>& folder);

// Entries whose "Type" is "Index" ignoring case and whose name is a CLSID.
QList<PluginRegistration> IndexPluginRegistrations(const QList<SettingsListEntry>& entries);
// Entries whose "Type" is "Export" ignoring case, with a "Menu" and a CLSID name; the first
// kMaxExporters of them.
QList<ExporterEntry> ExporterRegistrations(const QList<SettingsListEntry>& entries);

// The same over the settings files and the modules' own registrations.
QList<PluginRegistration> LoadIndexPlugins(PluginModules& modules);
QList<ExporterEntry> LoadExporters(PluginModules& modules);

} // namespace lbv
