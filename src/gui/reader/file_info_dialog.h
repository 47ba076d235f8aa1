#pragma once
// "File information": the open document's description, or the notices of the libraries the
// reader reads books with; one button switches between them.
#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

namespace lbv {

class CFileInfoDialog : public QDialog {
    Q_OBJECT
public:
    explicit CFileInfoDialog(const QStringList& description, QWidget* parent = nullptr);

    bool ShowingNotices() const { return showingNotices_; }
    QString ShownText() const;

private:
    void Toggle();

    QString description_;
    QPlainTextEdit* text_;
    QPushButton* toggle_;
    bool showingNotices_ = true; // the first Toggle shows the description
};

// The notices of expat, libjpeg, libpng and zlib, one after another.
QString LibraryNotices();

} // namespace lbv
