#pragma once
// The Import page's dialogs behind one interface, so that tests answer them from a script.
#include "import/import_book.h"

#include <QPointer>
#include <QString>
#include <QStringList>

class QMessageBox;
class QWidget;

namespace lbv {

class ImportDialogs {
public:
    virtual ~ImportDialogs() = default;
    // Existing files to add; empty when cancelled.
    virtual QStringList AskFiles(QWidget* parent) = 0;
    // A folder to add; empty when cancelled.
    virtual QString AskFolder(QWidget* parent) = 0;
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    // The existing-book question with its four buttons. Modal: returns when answered, or with
    // No once DismissQuestion was called.
    virtual ExistingBookQuestion::Answer AskExistingBook(QWidget* parent, const QString& text) = 0;
    // Closes an open existing-book question as if "No" had been chosen.
    virtual void DismissQuestion() = 0;
};

class StandardImportDialogs final : public ImportDialogs {
public:
    QStringList AskFiles(QWidget* parent) override;
    QString AskFolder(QWidget* parent) override;
    void ShowError(QWidget* parent, const QString& text) override;
    ExistingBookQuestion::Answer AskExistingBook(QWidget* parent, const QString& text) override;
    void DismissQuestion() override;

private:
    QPointer<QMessageBox> question_;
};

} // namespace lbv
