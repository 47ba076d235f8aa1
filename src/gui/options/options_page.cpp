#include "gui/options/options_page.h"

#include "gui/options/reader_options_page.h"
#include "gui/options/shelf_options_page.h"
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
    tabs_->addTab(reader_, MessageText(Msg::ReaderOptionsTab));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    connect(shelf_, &CShelfOptionsPage::settingChanged, this, &COptionsPage::settingChanged);
    connect(reader_, &CReaderOptionsPage::settingChanged, this, &COptionsPage::settingChanged);
}

void COptionsPage::SetReaderView(CReaderView* view)
{
    reader_->SetReaderView(view);
}

} // namespace lbv
