#include "gui/reader/dictionaries_dialog.h"

#include "gui/reader/reader_dialogs.h"
#include "reader/dictionary.h"
#include "text/messages.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace lbv {

CDictionariesDialog::CDictionariesDialog(
    SettingsStore& store, QWidget* parent, ReaderDialogs* dialogs)
    : QDialog(parent)
    , store_(store)
    , ownDialogs_(dialogs ? nullptr : std::make_unique<StandardReaderDialogs>())
    , dialogs_(dialogs ? *dialogs : *ownDialogs_)
    , list_(DictionaryList::Load(store))
    , entries_(new QListWidget(this))
{
    setWindowTitle(MessageText(Msg::DictionariesTitle));
    entries_->setObjectName(QStringLiteral("entries"));
    auto* add = new QPushButton(MessageText(Msg::DictionaryAdd), this);
    add->setObjectName(QStringLiteral("add"));
    remove_ = new QPushButton(MessageText(Msg::DictionaryRemove), this);
    remove_->setObjectName(QStringLiteral("remove"));
    connect(add, &QPushButton::clicked, this, &CDictionariesDialog::Add);
    connect(remove_, &QPushButton::clicked, this, &CDictionariesDialog::Remove);
    // Entry 0 is the fixed "Dictionary disabled".
    connect(entries_, &QListWidget::currentRowChanged, remove_,
        [this](int row) { remove_->setEnabled(row > 0); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDictionariesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* side = new QVBoxLayout;
    side->addWidget(add);
    side->addWidget(remove_);
    side->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(entries_);
    row->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    resize(480, 300);
    Fill(list_.Current());
}

CDictionariesDialog::~CDictionariesDialog() = default;

void CDictionariesDialog::Fill(int current)
{
    entries_->clear();
    entries_->addItems(list_.EntryNames());
    entries_->setCurrentRow(std::clamp(current, 0, entries_->count() - 1));
    remove_->setEnabled(entries_->currentRow() > 0);
}

DictionaryList CDictionariesDialog::Edited() const
{
    DictionaryList edited = list_;
    edited.SetCurrent(entries_->currentRow());
    return edited;
}

void CDictionariesDialog::Add()
{
    const QString folder
        = list_.Paths().isEmpty() ? QString() : QFileInfo(list_.Paths().last()).absolutePath();
    const QString path = dialogs_.ChooseDictionaryFile(this, folder);
    if (path.isEmpty())
        return;
    const qsizetype known = list_.Paths().indexOf(path);
    if (known >= 0) {
        Fill(int(known) + 1);
        return;
    }
    QString message;
    if (!Dictionary::Open(path, &message)) {
        dialogs_.ShowError(this, MessageText(Msg::CantOpenDictionary) + message);
        return;
    }
    list_.Add(path);
    Fill(int(list_.Paths().size()));
}

void CDictionariesDialog::Remove()
{
    const int row = entries_->currentRow();
    if (row <= 0)
        return;
    list_.Remove(row);
    Fill(std::min(row, int(list_.Paths().size())));
}

void CDictionariesDialog::accept()
{
    Edited().Save(store_);
    QDialog::accept();
    Q_EMIT settingChanged(QStringLiteral("ReaderCurrentDict"));
}

} // namespace lbv
