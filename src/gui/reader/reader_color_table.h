#pragma once
// The reader's 16 named colours as a list with swatches, a "Change color" button and a preview
// of text on the chosen colour. It edits a copy; the owner decides when to store it.
#include "gui/common/color_chooser.h"
#include "reader/reader_settings.h"

#include <QWidget>

class QLabel;
class QListWidget;

namespace lbv {

class CReaderColorTable : public QWidget {
    Q_OBJECT
public:
    explicit CReaderColorTable(const ReaderColors& colors, QWidget* parent = nullptr);

    void SetColorChooser(ColorChooser chooser) { chooseColor_ = std::move(chooser); }
    const ReaderColors& Colors() const { return colors_; }
    void SetColors(const ReaderColors& colors);
    // Makes the list tall enough for every name, where the window has the room.
    void ShowEveryName();
    // Asks for a new value of the selected colour.
    void ChangeSelected();

Q_SIGNALS:
    void colorChanged(ReaderColor color);

private:
    void ShowSwatch(int index);
    void ShowPreview();

    ReaderColors colors_;
    ColorChooser chooseColor_;
    QListWidget* list_;
    QLabel* preview_;
};

} // namespace lbv
