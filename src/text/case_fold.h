#pragma once
// Case-insensitive comparison and lower-casing of text, as the catalog orders authors and the
// shelf matches search text.
#include <QString>
#include <QStringView>

namespace lbv {

// Compares after Unicode simple case folding, code unit by code unit: negative, zero or
// positive like strcmp. "ivanov" and "IVANOV" compare equal; "_" sorts before letters.
int CompareNoCase(QStringView a, QStringView b);
inline bool EqualsNoCase(QStringView a, QStringView b)
{
    return CompareNoCase(a, b) == 0;
}

// Lower-cases text by the rules of the user's locale (as the C run-time library's locale
// lower-casing does for search text).
QString LowerCase(const QString& text);

} // namespace lbv
