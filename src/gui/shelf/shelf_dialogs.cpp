#include "gui/shelf/shelf_dialogs.h"

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

} // namespace lbv
