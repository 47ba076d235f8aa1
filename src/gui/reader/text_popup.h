#pragma once
// A frameless pop-up over the reader's page that shows a short text (a dictionary article, a
// bookmark's text) laid out by the engine, turned with the page; a click or a key closes it.
// The laid-out lines stay behind a private part, as in the view: the engine's page and the
// frame's page enum share a name.
#include <QWidget>
#include <memory>

namespace lbv {

class QtTextMeasurer;
struct FontBase;
struct PopupLayout;
struct ReaderColors;

class TextPopup : public QWidget {
    Q_OBJECT
public:
    // The measurer must outlive the pop-up (the view owns both).
    TextPopup(QtTextMeasurer& measurer, QWidget* owner);
    ~TextPopup() override;

    // Shows the laid-out text at `globalRect` (the box turned onto the screen) with the page's
    // font and colours.
    void ShowText(const QString& text, const PopupLayout& layout, const QRect& globalRect,
        const FontBase& base, const ReaderColors& colors);
    const QString& Text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct Content;

    QtTextMeasurer& measurer_;
    QString text_;
    std::unique_ptr<Content> content_;
};

} // namespace lbv
