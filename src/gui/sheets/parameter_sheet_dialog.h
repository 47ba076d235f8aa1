#pragma once
// The generic parameter-sheet dialog: one labelled, typed editor per item that is not hidden,
// the advanced items behind an "Advanced" toggle, the focused item's help text below the form.
// OK checks every edited value; an invalid one keeps the sheet open with its message shown and
// its editor focused.
#include "sheets/parameter_sheet.h"

#include <QDialog>
#include <QStringList>
#include <memory>
#include <vector>

class QCheckBox;
class QFormLayout;
class QLabel;
class QScrollArea;

namespace lbv {

class ParameterEditor;

class ParameterSheetDialog : public QDialog {
public:
    // `values` holds the current value of each item of `sheet`, in item order (missing ones
    // are taken as empty).
    ParameterSheetDialog(ParameterSheet sheet, QStringList values, QWidget* parent = nullptr);
    ~ParameterSheetDialog() override;

    // Every editor read-only; OK then only closes the sheet.
    void SetReadOnly(bool readOnly);
    // The values as edited, in item order. An item whose editor was not changed keeps its value
    // exactly as given, whatever form the editor would write it in.
    QStringList Values() const;
    // The indexes of the items whose value differs from the one given.
    QList<qsizetype> ChangedItems() const;

    void accept() override;

private:
    struct Row;

    QString ValueOf(const Row& row) const;
    void ShowAdvanced(bool show);
    void ShowHelpFor(QWidget* focused);

    ParameterSheet sheet_;
    QStringList values_;
    std::vector<Row> rows_;
    QScrollArea* scroll_ = nullptr;
    QFormLayout* form_ = nullptr;
    QCheckBox* advanced_ = nullptr;
    QLabel* help_ = nullptr;
    QLabel* message_ = nullptr;
    bool readOnly_ = false;
};

} // namespace lbv
