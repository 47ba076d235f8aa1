#pragma once
// What a tap or a drag on the reader's page asks or tells the user: the selection's menu, the
// bookmark text, dictionary errors and the beep of a dead link; behind one interface so that
// tests answer from a script.
#include <QString>
#include <optional>

class QPoint;
class QWidget;

namespace lbv {

enum class SelectionAction { Copy, AddBookmark, Lookup };

class ReaderMouseDialogs {
public:
    virtual ~ReaderMouseDialogs() = default;
    // The menu at a global point; lookupOffered false leaves out "Lookup in dictionary...".
    // Null when dismissed.
    virtual std::optional<SelectionAction> ChooseSelectionAction(
        QWidget* parent, const QPoint& globalPos, bool lookupOffered)
        = 0;
    // "Bookmark text:" starting as preset; null when cancelled.
    virtual std::optional<QString> AskBookmarkText(QWidget* parent, const QString& preset) = 0;
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    virtual void Beep() = 0;
};

class StandardReaderMouseDialogs final : public ReaderMouseDialogs {
public:
    std::optional<SelectionAction> ChooseSelectionAction(
        QWidget* parent, const QPoint& globalPos, bool lookupOffered) override;
    std::optional<QString> AskBookmarkText(QWidget* parent, const QString& preset) override;
    void ShowError(QWidget* parent, const QString& text) override;
    void Beep() override;
};

} // namespace lbv
