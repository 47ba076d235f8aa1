#pragma once
// The reader colours dialog: the colour table and the display gamma together. OK writes the
// colours that changed and a changed gamma; the caller re-reads them and redraws.
#include "reader/reader_settings.h"

#include <QDialog>

class QDoubleSpinBox;

namespace lbv {

class CReaderColorTable;

class CReaderColorsDialog : public QDialog {
    Q_OBJECT
public:
    CReaderColorsDialog(SettingsStore& store, QWidget* parent = nullptr);

    CReaderColorTable* Table() const { return table_; }
    void accept() override;

private:
    SettingsStore& store_;
    const ReaderColors shownColors_;
    const int shownGamma_;
    CReaderColorTable* table_;
    QDoubleSpinBox* gamma_;
};

} // namespace lbv
