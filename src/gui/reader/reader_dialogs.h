#pragma once
// The reader's questions, messages, beeps, menus and modal dialogs behind one interface, so
// tests answer and operate them without a modal loop.
#include <QString>
#include <optional>

class QDialog;
class QPoint;
class QWidget;

namespace lbv {

enum class SelectionAction { Copy, AddBookmark, Lookup };

class ReaderDialogs {
public:
    virtual ~ReaderDialogs() = default;
    // Yes/No with a question icon; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) = 0;
    // A message box titled "Error".
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    // Nothing (more) found, a link that leads nowhere.
    virtual void Beep() = 0;
    // Runs a prepared dialog modally; true when it was accepted.
    virtual bool Run(QDialog& dialog) = 0;
    // A dictionary file picked in a file dialog starting in `folder`; empty when cancelled.
    virtual QString ChooseDictionaryFile(QWidget* parent, const QString& folder) = 0;
    // The selection's menu at a global point; lookupOffered false leaves out "Lookup in
    // dictionary...". Null when dismissed.
    virtual std::optional<SelectionAction> ChooseSelectionAction(
        QWidget* parent, const QPoint& globalPos, bool lookupOffered)
        = 0;
    // "Bookmark text:" starting as preset; null when cancelled.
    virtual std::optional<QString> AskBookmarkText(QWidget* parent, const QString& preset) = 0;
};

class StandardReaderDialogs final : public ReaderDialogs {
public:
    bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) override;
    void ShowError(QWidget* parent, const QString& text) override;
    void Beep() override;
    bool Run(QDialog& dialog) override;
    QString ChooseDictionaryFile(QWidget* parent, const QString& folder) override;
    std::optional<SelectionAction> ChooseSelectionAction(
        QWidget* parent, const QPoint& globalPos, bool lookupOffered) override;
    std::optional<QString> AskBookmarkText(QWidget* parent, const QString& preset) override;
};

} // namespace lbv
