#include "gui/shelf/shelf_dialogs.h"

#include "gui/common/box_text.h"
#include "text/messages.h"

#include <QInputDialog>
#include <QMessageBox>

namespace lbv {

bool StandardShelfDialogs::AskYesNo(QWidget* parent, const QString& text, const QString& caption)
{
    return QMessageBox::question(parent,
               caption.isEmpty() ? MessageText(Msg::ProgramTitle) : caption, BoxText(text),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

void StandardShelfDialogs::ShowError(QWidget* parent, const QString& text)
{
    QMessageBox::critical(parent, MessageText(Msg::ProgramTitle), BoxText(text));
}

void StandardShelfDialogs::ShowMessage(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, MessageText(Msg::ProgramTitle), BoxText(text),
        QMessageBox::Ok, parent);
    box.exec();
}

std::optional<QString> StandardShelfDialogs::AskText(
    QWidget* parent, const QString& title, const QString& prompt, const QString& preset)
{
    bool accepted = false;
    const QString text
        = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, preset, &accepted);
    if (!accepted)
        return std::nullopt;
    return text;
}

} // namespace lbv
