#pragma once
// The Styles dialog: the user's overrides of the element styles. It edits a copy of the current
// table; OK writes every named row to section "Styles" (the caller reloads the book).
#include "reader/element_styles.h"
#include "reader/style_choices.h"
#include "text/messages.h"

#include <QDialog>
#include <array>
#include <vector>

class QComboBox;
class QFormLayout;
class QSpinBox;

namespace lbv {

class CStylesDialog : public QDialog {
    Q_OBJECT
public:
    CStylesDialog(SettingsStore& store, QWidget* parent = nullptr);

    const ElementStyleTable& Table() const { return table_; }
    void accept() override;

private:
    static constexpr int kFieldCount = 6;
    static constexpr int kIndentCount = 3;

    void AddChoice(QFormLayout* form, StyleField field, Msg label, const char* name);
    void AddIndent(QFormLayout* form, int which, Msg label, const char* name);
    // Shows the chosen row's values without writing them back.
    void ShowRow();
    ElementStyle* CurrentRow();

    SettingsStore& store_;
    ElementStyleTable table_;
    std::vector<int> rows_;
    QComboBox* element_;
    std::array<QComboBox*, kFieldCount> choices_ {};
    std::array<QSpinBox*, kIndentCount> indents_ {};
};

} // namespace lbv
