#include "gui/options/options_page.h"

#include "gui/options/import_options_page.h"
#include "gui/options/shelf_options_page.h"
#include "settings/settings_store.h"
#include "text/messages.h"

#include <QTabWidget>
#include <QVBoxLayout>

namespace lbv {

COptionsPage::COptionsPage(SettingsStore& settings, QWidget* parent)
    : QWidget(parent)
    , tabs_(new QTabWidget(this))
    , shelf_(new CShelfOptionsPage(settings, tabs_))
{
    tabs_->setObjectName(QStringLiteral("optionsTabs"));
    tabs_->addTab(shelf_, QStringLiteral("Shelf"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    connect(shelf_, &CShelfOptionsPage::settingChanged, this, &COptionsPage::settingChanged);
    if (!settings.Autorun()) {
        import_ = new CImportOptionsPage(settings, tabs_);
        tabs_->addTab(import_, MessageText(Msg::TabImport));
        connect(import_, &CImportOptionsPage::settingChanged, this, &COptionsPage::settingChanged);
    }
}

} // namespace lbv
