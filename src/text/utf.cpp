#include "text/utf.h"

#include <cstring>

namespace lbv {

QString FromUtf8(const char* bytes, qsizetype length)
{
    if (!bytes)
        return {};
    if (length < 0)
        length = qsizetype(std::strlen(bytes));
    return QString::fromUtf8(bytes, length);
}

QByteArray ToUtf8(QStringView text)
{
    return text.toUtf8();
}

bool IsValidUtf8(const char* bytes, qsizetype length)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    const auto* end = p + length;
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= extra)
            return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))
            || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += extra + 1;
    }
    return true;
}

QString FromUtf16(const char16_t* units, qsizetype length)
{
    if (!units)
        return {};
    if (length < 0) {
        length = 0;
        while (units[length])
            ++length;
    }
    return QString(reinterpret_cast<const QChar*>(units), length);
}

} // namespace lbv
