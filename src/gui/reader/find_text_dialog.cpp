#include "gui/reader/find_text_dialog.h"

#include "text/messages.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lbv {

CFindTextDialog::CFindTextDialog(const QString& text, bool matchCase, QWidget* parent)
    : QDialog(parent)
    , text_(new QLineEdit(text, this))
    , matchCase_(new QCheckBox(MessageText(Msg::FindMatchCase), this))
{
    setWindowTitle(MessageText(Msg::FindTextTitle));
    text_->setObjectName(QStringLiteral("findWhat"));
    text_->selectAll();
    matchCase_->setObjectName(QStringLiteral("matchCase"));
    matchCase_->setChecked(matchCase);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton* findNext
        = buttons->addButton(MessageText(Msg::FindNextButton), QDialogButtonBox::AcceptRole);
    findNext->setObjectName(QStringLiteral("findNext"));
    findNext->setDefault(true);
    findNext->setEnabled(!text.isEmpty());
    connect(text_, &QLineEdit::textChanged, findNext,
        [findNext](const QString& now) { findNext->setEnabled(!now.isEmpty()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(MessageText(Msg::FindWhat), text_);
    form->addRow(matchCase_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(320);
}

QString CFindTextDialog::Text() const
{
    return text_->text();
}

bool CFindTextDialog::MatchCase() const
{
    return matchCase_->isChecked();
}

} // namespace lbv
