#include "gui/reader/open_file_dialog.h"

#include "gui/reader/reader_dialogs.h"
#include "reader/file_browser.h"
#include "reader/reader_settings.h"
#include "settings/settings_store.h"
#include "text/messages.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace lbv {
namespace {

constexpr int kKindRole = Qt::UserRole;
constexpr int kPathRole = Qt::UserRole + 1;

QIcon KindIcon(const QStyle& style, BrowseEntry::Kind kind)
{
    switch (kind) {
    case BrowseEntry::Kind::Parent:
        return style.standardIcon(QStyle::SP_FileDialogToParent);
    case BrowseEntry::Kind::Folder:
        return style.standardIcon(QStyle::SP_DirIcon);
    case BrowseEntry::Kind::Archive:
        return style.standardIcon(QStyle::SP_DirLinkIcon);
    case BrowseEntry::Kind::Image:
        return style.standardIcon(QStyle::SP_FileLinkIcon);
    case BrowseEntry::Kind::Document:
        break;
    }
    return style.standardIcon(QStyle::SP_FileIcon);
}

bool IsFile(BrowseEntry::Kind kind)
{
    return kind == BrowseEntry::Kind::Document || kind == BrowseEntry::Kind::Image;
}

} // namespace

COpenFileDialog::COpenFileDialog(
    SettingsStore& store, const BookSourceOptions& options, ReaderDialogs& dialogs, QWidget* parent)
    : QDialog(parent)
    , store_(store)
    , options_(options)
    , dialogs_(dialogs)
    , path_(new QLabel(this))
    , list_(new QListWidget(this))
{
    setWindowTitle(MessageText(Msg::OpenFileTitle));
    path_->setObjectName(QStringLiteral("location"));
    path_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    list_->setObjectName(QStringLiteral("entries"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    open_ = buttons->button(QDialogButtonBox::Open);
    connect(buttons, &QDialogButtonBox::accepted, this, &COpenFileDialog::Activate);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Enter reaches Open, the default button, so only a double click is taken from the list:
    // taking the list's activation too would step twice, into the row chosen after the first.
    connect(list_, &QListWidget::itemDoubleClicked, this, &COpenFileDialog::Activate);
    connect(list_, &QListWidget::currentRowChanged, open_,
        [this](int row) { open_->setEnabled(row >= 0); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(path_);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(460, 520);

    const QString stored = store_.GetProfileString(kParametersSection, QStringLiteral("OpenPath"));
    Enter(ListableLocation(stored, options_));
}

bool COpenFileDialog::Enter(const QString& location)
{
    std::vector<BrowseEntry> entries;
    QString error;
    if (!ListLocation(location, options_, &entries, &error)) {
        dialogs_.ShowError(this, error);
        return false;
    }
    const QString previous = location_;
    location_ = location;
    path_->setText(location);
    list_->clear();
    int current = 0;
    for (const BrowseEntry& entry : entries) {
        auto* item = new QListWidgetItem(KindIcon(*style(), entry.kind), entry.name, list_);
        item->setData(kKindRole, int(entry.kind));
        item->setData(kPathRole, entry.path);
        // Coming back up, the folder just left stays in view.
        if (entry.path == previous)
            current = list_->count() - 1;
    }
    list_->setCurrentRow(list_->count() ? current : -1);
    open_->setEnabled(list_->count() > 0);
    return true;
}

void COpenFileDialog::Activate()
{
    const QListWidgetItem* item = list_->currentItem();
    if (!item)
        return;
    const auto kind = BrowseEntry::Kind(item->data(kKindRole).toInt());
    const QString path = item->data(kPathRole).toString();
    if (!IsFile(kind)) {
        Enter(path);
        return;
    }
    chosen_ = path;
    accept();
}

void COpenFileDialog::accept()
{
    if (chosen_.isEmpty())
        return;
    store_.WriteProfileString(kParametersSection, QStringLiteral("OpenPath"), location_);
    QDialog::accept();
}

} // namespace lbv
