#include "reader/code_pages.h"

#include <QStringDecoder>
#include <unicode/ucnv.h>

#include <memory>

// Until the shared code page registry is available, the reader knows the five built-in code
// pages and UTF-8 and decodes through ICU.
namespace lbv {
namespace {

struct KnownCodePage {
    const char* name;
    const char* aliases[3];
    bool builtin;
};

constexpr KnownCodePage kCodePages[] = {
    {"windows-1251", {"cp1251", "1251", nullptr}, true},
    {"koi8-r", {"koi8r", "20866", nullptr}, true},
    {"cp866", {"ibm866", "866", nullptr}, true},
    {"ISO-8859-5", {"iso8859-5", "28595", nullptr}, true},
    {"windows-1252", {"cp1252", "1252", nullptr}, true},
    {"utf-8", {"utf8", "65001", nullptr}, false},
};
constexpr int kCount = int(std::size(kCodePages));
constexpr int kUtf8 = 5;
constexpr int kWindows1252 = 4;

const ByteTable* Table(int index)
{
    static std::array<std::unique_ptr<ByteTable>, kCount> tables;
    if (!tables[std::size_t(index)]) {
        auto table = std::make_unique<ByteTable>();
        UErrorCode status = U_ZERO_ERROR;
        UConverter* converter = ucnv_open(kCodePages[index].name, &status);
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            UChar out[4] = {};
            status = U_ZERO_ERROR;
            const int32_t n = U_SUCCESS(status) && converter
                ? ucnv_toUChars(converter, out, 4, &byte, 1, &status)
                : 0;
            (*table)[std::size_t(b)] = (n == 1 && U_SUCCESS(status)) ? out[0] : u'\uFFFD';
        }
        if (converter)
            ucnv_close(converter);
        tables[std::size_t(index)] = std::move(table);
    }
    return tables[std::size_t(index)].get();
}

} // namespace

int FindCodePage(QByteArrayView name)
{
    for (int i = 0; i < kCount; ++i) {
        if (name.compare(kCodePages[i].name, Qt::CaseInsensitive) == 0)
            return i;
        for (const char* alias : kCodePages[i].aliases)
            if (alias && name.compare(alias, Qt::CaseInsensitive) == 0)
                return i;
    }
    return -1;
}

QString CodePageName(int index)
{
    if (index < 0 || index >= kCount)
        return {};
    return QString::fromLatin1(kCodePages[index].name);
}

int DefaultCodePage()
{
    return 0;
}

bool BuiltinCodePageTable(int index, ByteTable& table)
{
    if (index < 0 || index >= kCount || !kCodePages[index].builtin)
        return false;
    table = *Table(index);
    return true;
}

QString DecodeCodePage(int index, QByteArrayView bytes)
{
    if (index < 0 || index >= kCount)
        index = DefaultCodePage();
    if (index == kUtf8)
        return QString::fromUtf8(bytes);
    const ByteTable& table = *Table(index);
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = table[uchar(bytes[i])];
    return text;
}

int DetectCodePage(QByteArrayView sample)
{
    if (sample.size() < 3)
        return kWindows1252;
    if (sample.startsWith("\xEF\xBB\xBF"))
        return kUtf8;
    for (char c : sample)
        if (uchar(c) >= 0x80)
            return DefaultCodePage();
    return kWindows1252;
}

} // namespace lbv
