#pragma once
// "Find text": the text to look for and whether case matters; "Find Next" accepts.
#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace lbv {

class CFindTextDialog : public QDialog {
    Q_OBJECT
public:
    CFindTextDialog(const QString& text, bool matchCase, QWidget* parent = nullptr);

    QString Text() const;
    bool MatchCase() const;

private:
    QLineEdit* text_;
    QCheckBox* matchCase_;
};

} // namespace lbv
