#pragma once
// Conversions straight through ICU, independent of the code page registry, to check it against.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <unicode/ucnv.h>

namespace lbv::test {

inline QString IcuDecode(const char* converterName, QByteArrayView bytes)
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(converterName, &status);
    if (U_FAILURE(status))
        return QStringLiteral("<no converter %1>").arg(QLatin1StringView(converterName));
    QString text(bytes.size() * 2 + 16, Qt::Uninitialized);
    const int32_t length = ucnv_toUChars(converter, reinterpret_cast<UChar*>(text.data()),
        int32_t(text.size()), bytes.data(), int32_t(bytes.size()), &status);
    ucnv_close(converter);
    text.truncate(U_SUCCESS(status) ? length : 0);
    return text;
}

inline QByteArray IcuEncode(const char* converterName, QStringView text)
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(converterName, &status);
    if (U_FAILURE(status))
        return {};
    QByteArray bytes(text.size() * 4 + 16, Qt::Uninitialized);
    const int32_t length = ucnv_fromUChars(converter, bytes.data(), int32_t(bytes.size()),
        reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()), &status);
    ucnv_close(converter);
    bytes.truncate(U_SUCCESS(status) ? length : 0);
    return bytes;
}

} // namespace lbv::test
