#include "gui/options/options_page.h"

#include "gui/options/shelf_options_page.h"

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
}

} // namespace lbv
