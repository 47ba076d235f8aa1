#pragma once
// Conversions at the boundary to the C libraries (libxml2, expat, zlib file names), which speak
// UTF-8 while the rest of the program keeps text as QString (UTF-16).
#include <QByteArray>
#include <QString>
#include <QStringView>

namespace lbv {

// UTF-8 bytes to text; invalid sequences become U+FFFD. A null pointer gives an empty string.
QString FromUtf8(const char* bytes, qsizetype length = -1);
inline QString FromUtf8(const unsigned char* bytes, qsizetype length = -1)
{
    return FromUtf8(reinterpret_cast<const char*>(bytes), length);
}
QByteArray ToUtf8(QStringView text);

// Strict check: well-formed UTF-8 with no overlong forms, surrogates or code points past U+10FFFF.
bool IsValidUtf8(const char* bytes, qsizetype length);
inline bool IsValidUtf8(const QByteArray& bytes)
{
    return IsValidUtf8(bytes.constData(), bytes.size());
}

// UTF-16 code units as stored by the plug-in ABI and the reader's paragraph model.
QString FromUtf16(const char16_t* units, qsizetype length = -1);

} // namespace lbv
