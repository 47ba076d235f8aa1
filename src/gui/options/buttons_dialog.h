#pragma once
// The Buttons dialog: which reader command each key runs. The list holds the keys that have a
// command; "Add key..." waits for any key press and lists that key when it has none yet. OK
// stores section "Keys".
#include "reader/key_map.h"

#include <QDialog>

class QComboBox;
class QListWidget;
class QPushButton;

namespace lbv {

class CButtonsDialog : public QDialog {
    Q_OBJECT
public:
    CButtonsDialog(SettingsStore& store, QWidget* parent = nullptr);

    const KeyMap& Keys() const { return keys_; }
    bool WaitingForKey() const { return waiting_; }
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FillKeys(int selectCode);
    void ShowAction();
    void ActionChosen(int index);
    void WaitForKey();
    void StopWaiting();
    int CurrentCode() const;

    SettingsStore& store_;
    KeyMap keys_;
    QListWidget* list_;
    QComboBox* action_;
    QPushButton* addKey_;
    bool waiting_ = false;
};

} // namespace lbv
