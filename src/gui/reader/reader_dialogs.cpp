#include "gui/reader/reader_dialogs.h"

#include "gui/shelf/book_list_dialogs.h"
#include "gui/shelf/shelf_dialogs.h"
#include "text/messages.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>

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

std::optional<SelectionAction> StandardReaderDialogs::ChooseSelectionAction(
    QWidget* parent, const QPoint& globalPos, bool lookupOffered)
{
    QMenu menu(parent);
    menu.setObjectName(QStringLiteral("selectionMenu"));
    QAction* copy = menu.addAction(MessageText(Msg::ReaderCopy));
    QAction* bookmark = menu.addAction(MessageText(Msg::ReaderAddBookmark));
    QAction* lookup
        = lookupOffered ? menu.addAction(MessageText(Msg::ReaderLookupInDictionary)) : nullptr;
    const QAction* chosen = menu.exec(globalPos);
    if (!chosen)
        return std::nullopt;
    if (chosen == copy)
        return SelectionAction::Copy;
    if (chosen == bookmark)
        return SelectionAction::AddBookmark;
    if (chosen == lookup)
        return SelectionAction::Lookup;
    return std::nullopt;
}

std::optional<QString> StandardReaderDialogs::AskBookmarkText(
    QWidget* parent, const QString& preset)
{
    return StandardShelfDialogs().AskText(parent, MessageText(Msg::ReaderAddBookmarkTitle),
        MessageText(Msg::ReaderBookmarkText), preset);
}

} // namespace lbv
