#pragma once
// Checks a value entered on a parameter sheet against its item's data type, usage and
// restrictions. Messages are whole sentences naming the item by its label.
#include "sheets/parameter_sheet.h"

#include <QDate>
#include <QString>
#include <optional>

namespace lbv {

// Empty when `value` may be stored for `item`, else the message to show. An empty value is
// valid exactly for optional items; the restrictions apply to every line of a list.
QString ValidateParameter(const ParameterItem& item, const QString& value);

// The value readers the validation uses, for editors that show typed values. Surrounding
// blanks are ignored; numbers are plain decimals ("-12", "2.50"), never exponents.
std::optional<qint64> ParseSheetNumber(const QString& text);
std::optional<double> ParseSheetFloat(const QString& text);
std::optional<QDate> ParseSheetDate(const QString& text);
std::optional<bool> ParseSheetBoolean(const QString& text);
QString FormatSheetDate(QDate date);

} // namespace lbv
