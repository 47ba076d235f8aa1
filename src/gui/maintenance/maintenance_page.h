#pragma once
// The Maintenance page: the catalog plug-ins in a tree by category, the chosen one's description,
// and Execute and Setup to run it against the open catalog. Both buttons stay disabled while an
// import runs, since a plug-in replaces the catalog the import is filling.
#include "plugins/plugin_host.h"

#include <QList>
#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace lbv {

class CatalogSession;
class PluginModules;

class CMaintenancePage final : public QWidget {
    Q_OBJECT
public:
    // Lists the registered plug-ins now; the host reports those it cannot create and leaves them
    // out. The services and modules must outlive the page.
    CMaintenancePage(CatalogSession& session, PluginHostServices& services, PluginModules& modules,
        const QList<PluginRegistration>& registrations, QWidget* parent = nullptr);

    QTreeWidget* Tree() const { return tree_; }

    void ExecuteSelected();
    void SetupSelected();

Q_SIGNALS:
    // A setting's name for the frame to relay ("Reload" after a plug-in changed the catalog).
    void settingChanged(const QString& name);

private:
    void FillTree();
    const PluginRecord* SelectedPlugin() const;
    void UpdateSelection();

    CatalogSession& session_;
    PluginHost host_;
    QList<PluginRecord> records_;
    QTreeWidget* tree_;
    QLabel* description_;
    QPushButton* execute_;
    QPushButton* setup_;
};

} // namespace lbv
