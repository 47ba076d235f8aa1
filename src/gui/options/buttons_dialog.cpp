#include "gui/options/buttons_dialog.h"

#include "gui/common/ok_cancel_buttons.h"
#include "reader/virtual_key.h"
#include "text/messages.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace lbv {
namespace {

constexpr int kLastKeyCode = 255;

} // namespace

CButtonsDialog::CButtonsDialog(SettingsStore& store, QWidget* parent)
    : QDialog(parent)
    , store_(store)
    , keys_(KeyMap::Load(store))
    , list_(new QListWidget(this))
    , action_(new QComboBox(this))
    , addKey_(new QPushButton(MessageText(Msg::ButtonsAddKey), this))
{
    setObjectName(QStringLiteral("buttonsDialog"));
    setWindowTitle(MessageText(Msg::ButtonsTitle));
    list_->setObjectName(QStringLiteral("keys"));
    action_->setObjectName(QStringLiteral("action"));
    addKey_->setObjectName(QStringLiteral("addKey"));
    // The button waits for keys itself; it must not take Enter or Space as a click.
    addKey_->setAutoDefault(false);
    for (const ReaderAction& action : ReaderActions())
        action_->addItem(action.name, int(action.command));
    connect(list_, &QListWidget::currentRowChanged, this, &CButtonsDialog::ShowAction);
    connect(action_, &QComboBox::activated, this, &CButtonsDialog::ActionChosen);
    connect(addKey_, &QPushButton::clicked, this, &CButtonsDialog::WaitForKey);
    auto* actionRow = new QHBoxLayout;
    actionRow->addWidget(new QLabel(MessageText(Msg::ButtonsAction), this));
    actionRow->addWidget(action_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(actionRow);
    layout->addWidget(addKey_);
    layout->addWidget(OkCancelButtons(this));
    FillKeys(-1);
}

void CButtonsDialog::FillKeys(int selectCode)
{
    list_->clear();
    int selected = 0;
    for (int code = 1; code <= kLastKeyCode; ++code) {
        if (keys_.Command(code) == KeyMap::kNoCommand)
            continue;
        if (code == selectCode)
            selected = list_->count();
        auto* item = new QListWidgetItem(KeyName(code), list_);
        item->setData(Qt::UserRole, code);
    }
    list_->setCurrentRow(list_->count() > 0 ? selected : -1);
    ShowAction();
}

int CButtonsDialog::CurrentCode() const
{
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : 0;
}

void CButtonsDialog::ShowAction()
{
    const int code = CurrentCode();
    action_->setEnabled(code != 0);
    // A command outside the action list (stored by hand) shows no action.
    action_->setCurrentIndex(code ? action_->findData(keys_.Command(code)) : -1);
}

void CButtonsDialog::ActionChosen(int index)
{
    if (const int code = CurrentCode())
        keys_.Assign(code, action_->itemData(index).toInt());
}

void CButtonsDialog::WaitForKey()
{
    waiting_ = true;
    addKey_->setText(MessageText(Msg::ButtonsPressKey));
    setFocus();
    grabKeyboard();
}

void CButtonsDialog::StopWaiting()
{
    waiting_ = false;
    releaseKeyboard();
    addKey_->setText(MessageText(Msg::ButtonsAddKey));
}

void CButtonsDialog::keyPressEvent(QKeyEvent* event)
{
    if (!waiting_) {
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    // Escape gives up waiting rather than closing the dialog.
    if (event->key() == Qt::Key_Escape) {
        StopWaiting();
        return;
    }
    const int code = VirtualKeyFromQtKey(event->key());
    // Modifiers alone don't end the wait: the key they come with does.
    if (code == 0)
        return;
    StopWaiting();
    if (keys_.Command(code) == KeyMap::kNoCommand)
        keys_.Assign(code, int(ReaderCommand::None));
    FillKeys(code);
}

void CButtonsDialog::accept()
{
    StopWaiting();
    keys_.Store(store_);
    QDialog::accept();
}

} // namespace lbv
