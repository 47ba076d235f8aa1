#include "reader/dictionary_sort_key.h"

#include <algorithm>
#include <cstring>
#include <unicode/ucol.h>
#include <unicode/uloc.h>

namespace lbv {
namespace {

// Empty when ICU has no locale for the LCID. LCID 0 (the neutral language) names no locale of
// its own, so it counts as unknown.
QByteArray LocaleForLcid(uint32_t lcid)
{
    if (lcid == 0)
        return {};
    char locale[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = uloc_getLocaleForLCID(lcid, locale, sizeof locale, &status);
    if (U_FAILURE(status) || length <= 0 || status == U_STRING_NOT_TERMINATED_WARNING)
        return {};
    return QByteArray(locale, length);
}

uint32_t UserDefaultLcid()
{
    const uint32_t lcid = uloc_getLCID(uloc_getDefault());
    return IsKnownLcid(lcid) ? lcid : 0x0409;
}

} // namespace

bool IsKnownLcid(uint32_t lcid)
{
    return !LocaleForLcid(lcid).isEmpty();
}

uint32_t EffectiveDictionaryLcid(uint32_t lcid)
{
    return IsKnownLcid(lcid) ? lcid : UserDefaultLcid();
}

DictionarySortKey::DictionarySortKey(uint32_t lcid)
    : lcid_(EffectiveDictionaryLcid(lcid))
{
    UErrorCode status = U_ZERO_ERROR;
    collator_ = ucol_open(LocaleForLcid(lcid_).constData(), &status);
    if (U_FAILURE(status)) {
        ucol_close(collator_);
        collator_ = nullptr;
        return;
    }
    ucol_setStrength(collator_, UCOL_SECONDARY);
}

DictionarySortKey::~DictionarySortKey()
{
    ucol_close(collator_);
}

QByteArray DictionarySortKey::Key(QStringView word) const
{
    if (!collator_)
        return {};
    const auto* units = reinterpret_cast<const UChar*>(word.utf16());
    const auto length = int32_t(word.size());
    QByteArray key(64, Qt::Uninitialized);
    int32_t needed = ucol_getSortKey(
        collator_, units, length, reinterpret_cast<uint8_t*>(key.data()), int32_t(key.size()));
    if (needed > key.size()) {
        key.resize(needed);
        needed = ucol_getSortKey(
            collator_, units, length, reinterpret_cast<uint8_t*>(key.data()), int32_t(key.size()));
    }
    // The reported length counts the terminating zero, which dictionary files write themselves.
    key.truncate(std::max(needed - 1, 0));
    return key;
}

int CompareSortKeys(const char* a, qsizetype aLength, const char* b, qsizetype bLength)
{
    const int common = std::memcmp(a, b, size_t(std::min(aLength, bLength)));
    if (common != 0)
        return common;
    return aLength < bLength ? -1 : aLength > bLength ? 1 : 0;
}

} // namespace lbv
