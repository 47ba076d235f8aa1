#pragma once
// Every question, message and text input of the Shelf page and its lists, behind one interface
// so that tests answer them from a script.
#include <QString>

#include <optional>

class QWidget;

namespace lbv {

class ShelfDialogs {
public:
    virtual ~ShelfDialogs() = default;

    // Yes/No with a question icon; true for Yes. An empty caption means the program's title.
    virtual bool AskYesNo(QWidget* parent, const QString& text, const QString& caption = {}) = 0;
    // An error with a stop icon.
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    // A plain message with an OK button.
    virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
    // One line of text under `prompt`, starting as `preset`; null when cancelled.
    virtual std::optional<QString> AskText(QWidget* parent, const QString& title,
        const QString& prompt, const QString& preset) = 0;
};

class StandardShelfDialogs : public ShelfDialogs {
public:
    bool AskYesNo(QWidget* parent, const QString& text, const QString& caption) override;
    void ShowError(QWidget* parent, const QString& text) override;
    void ShowMessage(QWidget* parent, const QString& text) override;
    std::optional<QString> AskText(QWidget* parent, const QString& title, const QString& prompt,
        const QString& preset) override;
};

} // namespace lbv
