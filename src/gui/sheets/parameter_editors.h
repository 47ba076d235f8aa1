#pragma once
// The typed editors of a parameter sheet's rows. Each shows one item's value as text in the
// form its data type suggests and gives it back as text; none of them judges the value (the
// sheet validates on OK).
#include "sheets/parameter_sheet.h"

#include <QString>
#include <memory>

class QWidget;

namespace lbv {

class ParameterEditor {
public:
    virtual ~ParameterEditor() = default;
    // The row's field widget; the sheet's layout takes ownership of it.
    virtual QWidget* Widget() = 0;
    virtual void SetText(const QString& value) = 0;
    virtual QString Text() const = 0;
    virtual void SetReadOnly(bool readOnly) = 0;
};

// The editor for the item's type and restrictions, showing `value`. A value the typed editor
// could not show (a date that is no date, a choice not on the list) gets a plain editor or an
// extra entry, so that opening and closing the sheet never changes it.
std::unique_ptr<ParameterEditor> CreateParameterEditor(
    const ParameterItem& item, const QString& value);

} // namespace lbv
