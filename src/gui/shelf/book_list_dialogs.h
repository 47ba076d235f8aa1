#pragma once
// The questions and messages of the book list, behind one interface so that tests answer them
// without modal dialogs.
#include <QString>

class QDialog;
class QWidget;

namespace lbv {

class BookListDialogs {
public:
    virtual ~BookListDialogs() = default;
    // Yes/No with a question icon; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) = 0;
    // An error with a stop icon.
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    // A plain message with an OK button.
    virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
    // Runs a prepared dialog (the header sheet) modally; true when it was accepted.
    virtual bool RunSheet(QDialog& sheet);
};

// Message boxes.
class StandardBookListDialogs final : public BookListDialogs {
public:
    bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) override;
    void ShowError(QWidget* parent, const QString& text) override;
    void ShowMessage(QWidget* parent, const QString& text) override;
};

} // namespace lbv
