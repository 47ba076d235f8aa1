#include "gui/shelf/book_list_dialogs.h"

#include "gui/common/box_text.h"
#include "text/messages.h"

#include <QDialog>
#include <QMessageBox>

namespace lbv {

bool BookListDialogs::RunSheet(QDialog& sheet)
{
    return sheet.exec() == QDialog::Accepted;
}

bool StandardBookListDialogs::AskYesNo(QWidget* parent, const QString& caption, const QString& text)
{
    return QMessageBox::question(parent, caption, BoxText(text), QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

void StandardBookListDialogs::ShowError(QWidget* parent, const QString& text)
{
    QMessageBox::critical(parent, MessageText(Msg::Error), BoxText(text));
}

void StandardBookListDialogs::ShowMessage(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, MessageText(Msg::ProgramTitle), BoxText(text),
        QMessageBox::Ok, parent);
    box.exec();
}

} // namespace lbv
