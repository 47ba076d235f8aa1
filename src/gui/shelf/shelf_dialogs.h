#pragma once
// Every question, message and text input of the Shelf page and its lists, behind one interface
// so that tests answer them from a script: the book list's, the group name input and the filter
// editor.
#include "gui/shelf/book_list_dialogs.h"
#include "shelf/filter.h"

#include <QString>
#include <optional>

class QWidget;

namespace lbv {

class SettingsStore;

class ShelfDialogs : public BookListDialogs {
public:
    // One line of text under `prompt`, starting as `preset`; null when cancelled.
    virtual std::optional<QString> AskText(
        QWidget* parent, const QString& title, const QString& prompt, const QString& preset)
        = 0;
    // The filter editor on `filter`; the edited filter on OK, null when cancelled.
    virtual std::optional<Filter> EditFilter(
        QWidget* parent, const Filter& filter, SettingsStore& settings)
        = 0;
};

class StandardShelfDialogs : public ShelfDialogs {
public:
    bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) override
    {
        return boxes_.AskYesNo(parent, caption, text);
    }
    void ShowError(QWidget* parent, const QString& text) override
    {
        boxes_.ShowError(parent, text);
    }
    void ShowMessage(QWidget* parent, const QString& text) override
    {
        boxes_.ShowMessage(parent, text);
    }
    std::optional<QString> AskText(QWidget* parent, const QString& title, const QString& prompt,
        const QString& preset) override;
    std::optional<Filter> EditFilter(
        QWidget* parent, const Filter& filter, SettingsStore& settings) override;

private:
    StandardBookListDialogs boxes_;
};

} // namespace lbv
