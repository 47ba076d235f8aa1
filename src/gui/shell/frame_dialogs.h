#pragma once
// The questions the main frame puts to the user, behind one interface so that the frame's
// commands can be driven without modal dialogs (tests answer them from a script).
#include "gui/shell/new_library_wizard.h"

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace lbv {

class ImportDialogs;

class FrameDialogs {
public:
    virtual ~FrameDialogs() = default;

    // The new-library wizard; null when cancelled.
    virtual std::optional<NewLibraryChoice> AskNewLibrary(QWidget* parent) = 0;
    // The index to open; empty when cancelled.
    virtual QString AskOpenIndex(QWidget* parent) = 0;
    // Where to save the catalog as a compressed index, starting from `proposed`; empty when
    // cancelled.
    virtual QString AskSaveIndex(QWidget* parent, const QString& proposed) = 0;
    // Yes, No or Cancel to saving a modified catalog before closing.
    virtual QMessageBox::StandardButton AskSaveModified(QWidget* parent) = 0;
    // An error with a stop icon.
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    // A plain message with an OK button.
    virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
    // A Yes/No question with a question icon; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& text) = 0;
    // The Import page's file choosers and questions; the real dialogs unless replaced.
    virtual ImportDialogs& ImportPageDialogs();
};

// The real dialogs.
class StandardFrameDialogs : public FrameDialogs {
public:
    std::optional<NewLibraryChoice> AskNewLibrary(QWidget* parent) override;
    QString AskOpenIndex(QWidget* parent) override;
    QString AskSaveIndex(QWidget* parent, const QString& proposed) override;
    QMessageBox::StandardButton AskSaveModified(QWidget* parent) override;
    void ShowError(QWidget* parent, const QString& text) override;
    void ShowMessage(QWidget* parent, const QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& text) override;
};

// File dialog filters written as "Description|patterns|...||" turned into Qt's name filters
// ("Description (patterns)"); a pair without patterns keeps the ones its description names.
QStringList NameFilters(const QString& filter);

} // namespace lbv
