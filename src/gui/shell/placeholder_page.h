#pragma once
// A page of the main frame that is not built yet: it says what the page will hold, and shows one
// line of live state (the open library, the book asked for, ...) so the frame can be exercised.
#include <QWidget>

class QLabel;

namespace lbv {

class CPlaceholderPage : public QWidget {
    Q_OBJECT
public:
    CPlaceholderPage(const QString& heading, const QString& description, QWidget* parent = nullptr);

    void SetStatus(const QString& text);
    QString Status() const;

private:
    QLabel* status_;
};

} // namespace lbv
