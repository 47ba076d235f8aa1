#include "gui/reader/contents_dialog.h"

#include "gui/reader/reader_dialogs.h"
#include "reader/book_state.h"
#include "text/messages.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFont>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace lbv {
namespace {

constexpr int kIndentSpaces = 4;

// A bookmark sits one level inside the section it is in.
QString EntryLabel(const BookEntry& entry, int sectionLevel)
{
    const int level = entry.IsUserBookmark() ? sectionLevel + 1 : entry.level;
    return QString(level * kIndentSpaces, u' ') + entry.text.simplified();
}

} // namespace

CContentsDialog::CContentsDialog(
    BookState& state, ReaderDialogs& dialogs, const BookPosition& current, QWidget* parent)
    : QDialog(parent)
    , state_(state)
    , dialogs_(dialogs)
    , list_(new QListWidget(this))
{
    setWindowTitle(MessageText(Msg::ContentsTitle));
    list_->setObjectName(QStringLiteral("entries"));
    auto* deleteKey = new QAction(list_);
    deleteKey->setShortcut(QKeySequence::Delete);
    deleteKey->setShortcutContext(Qt::WidgetShortcut);
    list_->addAction(deleteKey);
    connect(deleteKey, &QAction::triggered, this, &CContentsDialog::DeleteCurrent);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    goTo_ = buttons->addButton(MessageText(Msg::ContentsGoTo), QDialogButtonBox::AcceptRole);
    goTo_->setObjectName(QStringLiteral("goTo"));
    goTo_->setDefault(true);
    delete_ = buttons->addButton(MessageText(Msg::ContentsDelete), QDialogButtonBox::ActionRole);
    delete_->setObjectName(QStringLiteral("deleteBookmark"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(delete_, &QPushButton::clicked, this, &CContentsDialog::DeleteCurrent);
    connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);
    connect(list_, &QListWidget::currentRowChanged, this, &CContentsDialog::CurrentChanged);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(420, 480);

    const std::vector<BookEntry>& entries = state_.Entries();
    int chosen = entries.empty() ? -1 : 0;
    for (int entry = 0; entry < int(entries.size()) && entries[size_t(entry)].position <= current;
         ++entry)
        chosen = entry;
    Fill(chosen);
}

void CContentsDialog::Fill(int currentEntry)
{
    list_->clear();
    int sectionLevel = 0;
    for (const BookEntry& entry : state_.Entries()) {
        if (!entry.IsUserBookmark())
            sectionLevel = entry.level;
        auto* item = new QListWidgetItem(EntryLabel(entry, sectionLevel), list_);
        if (entry.IsUserBookmark()) {
            QFont font = item->font();
            font.setItalic(true);
            item->setFont(font);
        }
    }
    list_->setCurrentRow(std::min(currentEntry, list_->count() - 1));
    CurrentChanged();
}

int CContentsDialog::CurrentEntry() const
{
    return list_->currentRow();
}

void CContentsDialog::CurrentChanged()
{
    const int entry = CurrentEntry();
    const bool valid = entry >= 0 && entry < int(state_.Entries().size());
    goTo_->setEnabled(valid);
    delete_->setEnabled(valid && state_.Entries()[size_t(entry)].IsUserBookmark());
}

void CContentsDialog::DeleteCurrent()
{
    const int entry = CurrentEntry();
    if (entry < 0 || entry >= int(state_.Entries().size())
        || !state_.Entries()[size_t(entry)].IsUserBookmark())
        return;
    if (!dialogs_.AskYesNo(
            this, MessageText(Msg::ConfirmCaption), MessageText(Msg::DeleteBookmarkQuestion)))
        return;
    if (state_.DeleteBookmark(entry))
        Fill(entry);
}

std::optional<BookPosition> CContentsDialog::Chosen() const
{
    const int entry = CurrentEntry();
    if (result() != QDialog::Accepted || entry < 0 || entry >= int(state_.Entries().size()))
        return std::nullopt;
    return state_.Entries()[size_t(entry)].position;
}

} // namespace lbv
