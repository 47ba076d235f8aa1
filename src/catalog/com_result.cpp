#include "catalog/com_result.h"

#include "text/utf.h"

#include <cerrno>
#include <cstring>

namespace lbv {
namespace {

QString SystemErrorText(int code)
{
    char buffer[256];
    // The GNU strerror_r returns its text, which need not be the buffer.
    return FromUtf8(strerror_r(code, buffer, sizeof buffer));
}

QString DescriptionOf(ComResult result)
{
    switch (result) {
    case kResultNotImplemented:
        return QStringLiteral("Not implemented");
    case kResultNoInterface:
        return QStringLiteral("No such interface supported");
    case kResultPointer:
        return QStringLiteral("Invalid pointer");
    case kResultAbort:
        return QStringLiteral("Operation aborted");
    case kResultUnexpected:
        return QStringLiteral("Catastrophic failure");
    case kResultAccessDenied:
        return QStringLiteral("Access is denied.");
    case kResultOutOfMemory:
        return QStringLiteral("Not enough storage is available to complete this operation.");
    case kResultInvalidArgument:
        return QStringLiteral("The parameter is incorrect.");
    default:
        return QStringLiteral("Unknown error");
    }
}

} // namespace

bool ComResultText(ComResult result, QString* text)
{
    if (result >= 0)
        return true;
    const int lastError = errno; // read first: building the texts may change it
    QString description = result == kResultFail
        ? QStringLiteral("Operation failed. Description: ") + SystemErrorText(lastError)
        : DescriptionOf(result);
    if (description.endsWith(QLatin1Char('\n')))
        description.chop(1);
    if (description.endsWith(QLatin1Char('\r')))
        description.chop(1);
    if (text)
        *text = description
            + QStringLiteral(" (Code %1)")
                  .arg(QString::number(quint32(result), 16).toUpper().rightJustified(8, u'0'));
    return false;
}

} // namespace lbv
