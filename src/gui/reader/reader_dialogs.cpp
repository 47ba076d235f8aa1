#include "gui/reader/reader_dialogs.h"

#include "gui/shelf/book_list_dialogs.h"
#include "text/messages.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>

namespace lbv {

bool StandardReaderDialogs::AskYesNo(QWidget* parent, const QString& caption, const QString& text)
{
    return StandardBookListDialogs().AskYesNo(parent, caption, text);
}

void StandardReaderDialogs::ShowError(QWidget* parent, const QString& text)
{
    StandardBookListDialogs().ShowError(parent, text);
}

void StandardReaderDialogs::Beep()
{
    QApplication::beep();
}

bool StandardReaderDialogs::Run(QDialog& dialog)
{
    return dialog.exec() == QDialog::Accepted;
}

QString StandardReaderDialogs::ChooseDictionaryFile(QWidget* parent, const QString& folder)
{
    return QFileDialog::getOpenFileName(parent, MessageText(Msg::DictionaryAdd).remove(u'&'),
        folder, MessageText(Msg::DictionaryFileFilter));
}

} // namespace lbv
