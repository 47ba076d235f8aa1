#include "gui/shelf/shelf_dialogs.h"

#include "gui/shelf/filter_editor_dialog.h"
#include "shelf/genre_dictionary.h"

#include <QInputDialog>

namespace lbv {

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

std::optional<Filter> StandardShelfDialogs::EditFilter(
    QWidget* parent, const Filter& filter, SettingsStore& settings)
{
    FilterEditorDialog dialog(filter, ProgramGenreDictionary(), settings, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Edited();
}

} // namespace lbv
