#pragma once
// Texts of the message table break lines with "\r\n"; message boxes get plain "\n" so that no
// platform draws the carriage return.
#include <QString>

namespace lbv {

inline QString BoxText(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

} // namespace lbv
