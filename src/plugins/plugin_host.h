#pragma once
// The engine of the Maintenance page: lists the catalog plug-ins, groups them by category and
// runs them against the open catalog. Every failure is shown through the host services and
// leaves the catalog as it was. Runs on the user-interface thread only.
#include "plugins/plugin_host_services.h"
#include "plugins/plugin_registration.h"

#include <QList>
#include <QString>
#include <functional>

namespace lbv {

class CLibravonDoc;
class PluginModules;

// One listed plug-in: its registration and what the plug-in says of itself.
struct PluginRecord {
    PluginRegistration registration;
    QString name;
    QString category;
    QString description;
    bool supportsSetup = false;
};

// The tree of the page: categories in order of first appearance, each with its plug-ins in
// list order. Points into `records`, which must outlive the result.
struct PluginCategory {
    QString name;
    QList<const PluginRecord*> plugins;
};
QList<PluginCategory> GroupByCategory(const QList<PluginRecord>& records);

class PluginHost {
public:
    enum class Outcome { Failed, Done, Reloaded };

    // Both must outlive the host and every plug-in call.
    PluginHost(PluginHostServices& services, PluginModules& modules);

    // Creates each registered plug-in once to read its texts; one that cannot be created or
    // answered is reported and left out.
    QList<PluginRecord> List(const QList<PluginRegistration>& registrations);

    // Runs the plug-in with the index folder as current folder (restored afterwards) and a fresh
    // index document. When the plug-in says it changed the index, the catalog is read back from
    // the document: taken whole only when it reads without error, then marked modified and
    // announced with the setting name "Reload".
    Outcome Execute(const PluginRecord& plugin, CLibravonDoc& catalog, LbvWindow owner);
    // The same with the plug-in's Setup; nothing is read back.
    bool Setup(const PluginRecord& plugin, const CLibravonDoc& catalog, LbvWindow owner);

    // Receives the name of a changed setting ("Reload"); the frame relays it to its pages.
    void SetSettingChangedHandler(std::function<void(const QString&)> handler)
    {
        settingChanged_ = std::move(handler);
    }

private:
    enum class Call { Execute, Setup };
    Outcome Run(Call call, const PluginRecord& plugin, CLibravonDoc* catalog,
        const CLibravonDoc& source, LbvWindow owner);
    void ShowError(const QString& text);

    HostServicesTable table_;
    PluginModules& modules_;
    std::function<void(const QString&)> settingChanged_;
};

} // namespace lbv
