#pragma once
// "Contents": the book's sections and the user's bookmarks in reading order, indented by level.
// Choosing one closes the dialog with its position; only bookmarks can be deleted, after a
// question.
#include <QDialog>
#include <optional>

class QListWidget;
class QPushButton;

namespace lbv {

class BookState;
class ReaderDialogs;
struct BookPosition;

class CContentsDialog : public QDialog {
    Q_OBJECT
public:
    // The state and the dialogs must outlive the dialog; the entry at or before `current` is
    // chosen first.
    CContentsDialog(BookState& state, ReaderDialogs& dialogs, const BookPosition& current,
        QWidget* parent = nullptr);

    // The position of the entry chosen on accept.
    std::optional<BookPosition> Chosen() const;

private:
    void Fill(int currentEntry);
    int CurrentEntry() const;
    void CurrentChanged();
    void DeleteCurrent();

    BookState& state_;
    ReaderDialogs& dialogs_;
    QListWidget* list_;
    QPushButton* goTo_;
    QPushButton* delete_;
};

} // namespace lbv
