#include "gui/options/options_page.h"

#include "gui/options/import_options_page.h"
#include "gui/options/reader_options_page.h"
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
    , reader_(new CReaderOptionsPage(settings, tabs_))
{
    tabs_->setObjectName(QStringLiteral("optionsTabs"));
    tabs_->addTab(shelf_, QStringLiteral("Shelf"));
    connect(shelf_, &CShelfOptionsPage::settingChanged, this, &COptionsPage::settingChanged);
    // Nothing is imported in autorun mode, so its options are not offered there.
    if (!settings.Autorun()) {
        import_ = new CImportOptionsPage(settings, tabs_);
        tabs_->addTab(import_, MessageText(Msg::TabImport));
        connect(import_, &CImportOptionsPage::settingChanged, this, &COptionsPage::settingChanged);
    }
    tabs_->addTab(reader_, MessageText(Msg::ReaderOptionsTab));
    connect(reader_, &CReaderOptionsPage::settingChanged, this, &COptionsPage::settingChanged);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
}

void COptionsPage::SetReaderView(CReaderView* view)
{
    reader_->SetReaderView(view);
}

} // namespace lbv
