#include "gui/shelf/header_sheet.h"

#include "gui/sheets/parameter_sheet_dialog.h"
#include "gui/shelf/book_list_dialogs.h"
#include "shelf/header_accessor.h"

namespace lbv {

CHeaderSheet::CHeaderSheet(QWidget* parent, BookListDialogs& dialogs, bool readOnly)
    : parent_(parent)
    , dialogs_(dialogs)
    , readOnly_(readOnly)
{
}

bool CHeaderSheet::LoadDescription(const QString& path, QString* error)
{
    return LoadParameterSheet(path, &sheet_, error);
}

bool CHeaderSheet::Edit(HeaderAccessor& accessor)
{
    QStringList values;
    for (const ParameterItem& item : sheet_.items) {
        // The sheet's own value is only a default for what the book does not have.
        const QString value = accessor.Get(item.name, kNotSetValue);
        values << (value != kNotSetValue ? value : item.value);
    }
    ParameterSheetDialog dialog(sheet_, values, parent_);
    dialog.SetReadOnly(readOnly_);
    // A read-only sheet edits nothing, whatever button closed it.
    if (!dialogs_.RunSheet(dialog) || readOnly_)
        return false;
    const QStringList edited = dialog.Values();
    for (const qsizetype index : dialog.ChangedItems())
        if (!accessor.Set(sheet_.items[index].name, edited[index]))
            accessor.BlockWriting();
    return true;
}

void BookListHeaderEditUi::ShowMessage(const QString& text)
{
    dialogs_.ShowMessage(parent_, text);
}

void BookListHeaderEditUi::ShowError(const QString& text)
{
    dialogs_.ShowError(parent_, text);
}

bool BookListHeaderEditUi::AskYesNo(const QString& caption, const QString& question)
{
    return dialogs_.AskYesNo(parent_, caption, question);
}

} // namespace lbv
