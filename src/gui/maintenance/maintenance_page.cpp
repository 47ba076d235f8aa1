#include "gui/maintenance/maintenance_page.h"

#include "gui/common/window_tokens.h"
#include "gui/shell/catalog_session.h"
#include "text/messages.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lbv {
namespace {

constexpr int kRecordRole = Qt::UserRole;

} // namespace

CMaintenancePage::CMaintenancePage(CatalogSession& session, PluginHostServices& services,
    PluginModules& modules, const QList<PluginRegistration>& registrations, QWidget* parent)
    : QWidget(parent)
    , session_(session)
    , host_(services, modules)
    , tree_(new QTreeWidget)
    , description_(new QLabel(MessageText(Msg::MaintenanceDescription)))
    , execute_(new QPushButton(MessageText(Msg::MaintenanceExecute)))
    , setup_(new QPushButton(MessageText(Msg::MaintenanceSetup)))
{
    tree_->setObjectName(QStringLiteral("pluginTree"));
    tree_->setHeaderHidden(true);
    description_->setObjectName(QStringLiteral("pluginDescription"));
    description_->setWordWrap(true);
    description_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    execute_->setObjectName(QStringLiteral("pluginExecute"));
    setup_->setObjectName(QStringLiteral("pluginSetup"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(execute_);
    buttons->addWidget(setup_);
    auto* group = new QGroupBox(MessageText(Msg::MaintenancePlugins));
    auto* inner = new QVBoxLayout(group);
    inner->addWidget(tree_, 3);
    inner->addWidget(description_, 1);
    inner->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);

    host_.SetSettingChangedHandler([this](const QString& name) { Q_EMIT settingChanged(name); });
    connect(tree_, &QTreeWidget::currentItemChanged, this, &CMaintenancePage::UpdateSelection);
    connect(execute_, &QPushButton::clicked, this, &CMaintenancePage::ExecuteSelected);
    connect(setup_, &QPushButton::clicked, this, &CMaintenancePage::SetupSelected);
    connect(
        &session_, &CatalogSession::importRunningChanged, this, &CMaintenancePage::UpdateSelection);

    records_ = host_.List(registrations);
    FillTree();
    UpdateSelection();
}

void CMaintenancePage::FillTree()
{
    for (const PluginCategory& category : GroupByCategory(records_)) {
        auto* root = new QTreeWidgetItem(tree_, {category.name});
        for (const PluginRecord* plugin : category.plugins) {
            auto* item = new QTreeWidgetItem(root, {plugin->name});
            item->setData(0, kRecordRole, int(plugin - records_.constData()));
        }
        root->setExpanded(true);
    }
}

const PluginRecord* CMaintenancePage::SelectedPlugin() const
{
    const QTreeWidgetItem* item = tree_->currentItem();
    if (!item || !item->parent())
        return nullptr;
    return &records_[item->data(0, kRecordRole).toInt()];
}

void CMaintenancePage::UpdateSelection()
{
    const PluginRecord* plugin = SelectedPlugin();
    const bool idle = !session_.IsImportRunning();
    execute_->setEnabled(plugin && idle);
    setup_->setEnabled(plugin && plugin->supportsSetup && idle);
    if (plugin)
        description_->setText(plugin->description);
    else if (tree_->currentItem())
        description_->setText(MessageText(Msg::MaintenanceSelectPlugin));
}

void CMaintenancePage::ExecuteSelected()
{
    const PluginRecord* plugin = SelectedPlugin();
    if (!plugin || session_.IsImportRunning())
        return;
    // A plug-in that changes the index replaces every record the views point at.
    session_.NotifyAboutToBeReplaced();
    host_.Execute(*plugin, session_.Catalog(), WindowToken(window()));
    session_.NotifyReplaced();
}

void CMaintenancePage::SetupSelected()
{
    const PluginRecord* plugin = SelectedPlugin();
    if (!plugin || !plugin->supportsSetup || session_.IsImportRunning())
        return;
    host_.Setup(*plugin, session_.Catalog(), WindowToken(window()));
}

} // namespace lbv
