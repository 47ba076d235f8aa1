#pragma once
// The header editor's sheet: the parameter-sheet dialog over a book's FB2 header. Only the items
// the user changed are written back, since writing any value (even an equal one) counts as an
// edit of the document.
#include "sheets/parameter_sheet.h"
#include "shelf/book_header_edit.h"

#include <functional>

class QWidget;

namespace lbv {

class BookListDialogs;

class CHeaderSheet final : public HeaderSheet {
public:
    // A read-only sheet only shows the header. The dialog is run through `dialogs`.
    CHeaderSheet(QWidget* parent, BookListDialogs& dialogs, bool readOnly);

    bool LoadDescription(const QString& path, QString* error) override;
    bool Edit(HeaderAccessor& accessor) override;

private:
    QWidget* parent_;
    BookListDialogs& dialogs_;
    bool readOnly_;
    ParameterSheet sheet_;
};

// The book list's side of a header edit: its message boxes and its rebuilds.
class BookListHeaderEditUi final : public HeaderEditUi {
public:
    BookListHeaderEditUi(
        QWidget* parent, BookListDialogs& dialogs, std::function<void(bool treeChanged)> rebuild)
        : parent_(parent)
        , dialogs_(dialogs)
        , rebuild_(std::move(rebuild))
    {
    }

    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;
    bool AskYesNo(const QString& caption, const QString& question) override;
    void RebuildBookList() override { rebuild_(false); }
    void RefreshShelf() override { rebuild_(true); }

private:
    QWidget* parent_;
    BookListDialogs& dialogs_;
    std::function<void(bool)> rebuild_;
};

} // namespace lbv
