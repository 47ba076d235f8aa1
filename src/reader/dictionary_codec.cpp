#include "reader/dictionary_codec.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <vector>

namespace lbv {
namespace {

// ICU knows most Windows code pages as "windows-N" or "cp N" / "ibm-N"; a few common ones go by
// their standard names only.
std::vector<QByteArray> IcuNamesFor(int codePage)
{
    switch (codePage) {
    case 65001:
        return {"UTF-8"};
    case 20866:
        return {"KOI8-R"};
    case 21866:
        return {"KOI8-U"};
    case 20127:
        return {"US-ASCII"};
    default:
        break;
    }
    if (codePage >= 28591 && codePage <= 28606)
        return {"ISO-8859-" + QByteArray::number(codePage - 28590)};
    const QByteArray number = QByteArray::number(codePage);
    return {"windows-" + number, "cp" + number, "ibm-" + number};
}

UConverter* OpenConverter(int codePage)
{
    if (codePage <= 0)
        return nullptr;
    for (const QByteArray& name : IcuNamesFor(codePage)) {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* converter = ucnv_open(name.constData(), &status);
        if (U_FAILURE(status) || !converter)
            continue;
        // UTF-16 and friends would put zero bytes inside the text.
        if (ucnv_getMinCharSize(converter) != 1) {
            ucnv_close(converter);
            return nullptr;
        }
        return converter;
    }
    return nullptr;
}

} // namespace

DictionaryCodec::DictionaryCodec(int codePage, UConverter* converter)
    : codePage_(codePage)
    , converter_(converter)
{
}

DictionaryCodec::~DictionaryCodec()
{
    ucnv_close(converter_);
}

std::unique_ptr<DictionaryCodec> DictionaryCodec::ForCodePage(int codePage)
{
    UConverter* converter = OpenConverter(codePage);
    if (!converter)
        return nullptr;
    return std::unique_ptr<DictionaryCodec>(new DictionaryCodec(codePage, converter));
}

std::unique_ptr<DictionaryCodec> DictionaryCodec::ForCodePageOrDefault(int codePage)
{
    if (auto codec = ForCodePage(codePage))
        return codec;
    return ForCodePage(kDefaultCodePage);
}

QString DictionaryCodec::Decode(const char* bytes, qsizetype length) const
{
    if (length <= 0)
        return {};
    // One byte never yields more than two UTF-16 units (a supplementary character needs at least
    // four UTF-8 bytes), so the buffer is always large enough.
    QString text(length * 2, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    ucnv_resetToUnicode(converter_);
    const int32_t written = ucnv_toUChars(converter_, reinterpret_cast<UChar*>(text.data()),
        int32_t(text.size()), bytes, int32_t(length), &status);
    if (U_FAILURE(status))
        return {};
    text.truncate(written);
    return text;
}

bool DictionaryCodec::Encode(QStringView text, QByteArray* bytes) const
{
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setFromUCallBack(
        converter_, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_resetFromUnicode(converter_);
    const int capacity
        = UCNV_GET_MAX_BYTES_FOR_STRING(text.size(), ucnv_getMaxCharSize(converter_));
    bytes->resize(capacity);
    const int32_t written = ucnv_fromUChars(converter_, bytes->data(), capacity,
        reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()), &status);
    if (U_FAILURE(status)) {
        bytes->clear();
        return false;
    }
    bytes->truncate(written);
    return true;
}

} // namespace lbv
