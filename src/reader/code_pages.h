#pragma once
// The reader's view of the code page registry: code pages are registry indices; decoding,
// detection and the built-in 256-entry tables that expat's unknown-encoding handler needs.
#include <QByteArrayView>
#include <QString>
#include <array>

namespace lbv {

using ByteTable = std::array<char16_t, 256>;

int FindCodePage(QByteArrayView name); // case-insensitive; -1 when unknown
QString CodePageName(int index); // empty for a bad index
int DefaultCodePage(); // windows-1251
// The built-in table of one of the five built-in code pages; false for any other.
bool BuiltinCodePageTable(int index, ByteTable& table);
QString DecodeCodePage(int index, QByteArrayView bytes);
// Statistical guess over the first bytes; a UTF-8 byte-order mark gives UTF-8.
int DetectCodePage(QByteArrayView sample);

} // namespace lbv
