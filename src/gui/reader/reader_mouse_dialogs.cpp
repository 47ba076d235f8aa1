#include "gui/reader/reader_mouse_dialogs.h"

#include "gui/shelf/shelf_dialogs.h"
#include "text/messages.h"

#include <QApplication>
#include <QMenu>

namespace lbv {

std::optional<SelectionAction> StandardReaderMouseDialogs::ChooseSelectionAction(
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

std::optional<QString> StandardReaderMouseDialogs::AskBookmarkText(
    QWidget* parent, const QString& preset)
{
    StandardShelfDialogs dialogs;
    return dialogs.AskText(parent, MessageText(Msg::ReaderAddBookmarkTitle),
        MessageText(Msg::ReaderBookmarkText), preset);
}

void StandardReaderMouseDialogs::ShowError(QWidget* parent, const QString& text)
{
    StandardShelfDialogs dialogs;
    dialogs.ShowError(parent, text);
}

void StandardReaderMouseDialogs::Beep()
{
    QApplication::beep();
}

} // namespace lbv
