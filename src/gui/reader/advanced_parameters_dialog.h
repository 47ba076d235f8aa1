#pragma once
// The advanced parameters dialog: instance, key and cache options of section "Parameters". OK
// writes only the values that changed (clamped); the caller applies them.
#include "reader/reader_settings.h"
#include "text/messages.h"

#include <QDialog>

class QCheckBox;
class QFormLayout;
class QSpinBox;

namespace lbv {

class CAdvancedParametersDialog : public QDialog {
    Q_OBJECT
public:
    CAdvancedParametersDialog(SettingsStore& store, QWidget* parent = nullptr);

    void accept() override;

private:
    QCheckBox* AddCheck(const char* name, Msg text, bool checked);
    QSpinBox* AddNumber(const char* name, Msg text, int minimum, int maximum, int value);

    SettingsStore& store_;
    const AdvancedParameters shown_;
    QFormLayout* form_;
    QCheckBox* oneInstance_;
    QCheckBox* rotateButtons_;
    QCheckBox* autoRepeatLimit_;
    QCheckBox* saveToFiles_;
    QSpinBox* fontCache_;
    QSpinBox* fileBuffer_;
    QSpinBox* numBookmarks_;
};

} // namespace lbv
