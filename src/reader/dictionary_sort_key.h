#pragma once
// Sort keys of dictionary headwords: ICU collation keys for the dictionary's language, ignoring
// case (secondary strength: letters and accents count, case does not). Dictionary files built
// here hold these keys, and lookups compare against them bytewise.
#include <QByteArray>
#include <QStringView>
#include <cstdint>

struct UCollator;

namespace lbv {

// The locale identifier (LCID) itself when ICU maps it to a locale, else the user's default one.
uint32_t EffectiveDictionaryLcid(uint32_t lcid);
// True when ICU maps the LCID to a locale.
bool IsKnownLcid(uint32_t lcid);
// The language part of an LCID is 9 for every English locale.
inline bool IsEnglishLcid(uint32_t lcid)
{
    return (lcid & 0x3FF) == 9;
}

class DictionarySortKey {
public:
    // For an unknown LCID the user's default one is used.
    explicit DictionarySortKey(uint32_t lcid);
    ~DictionarySortKey();
    DictionarySortKey(const DictionarySortKey&) = delete;
    DictionarySortKey& operator=(const DictionarySortKey&) = delete;

    bool IsValid() const { return collator_ != nullptr; }
    uint32_t Lcid() const { return lcid_; }
    // The key without a terminating zero; it never contains a zero byte.
    QByteArray Key(QStringView word) const;

private:
    uint32_t lcid_;
    UCollator* collator_ = nullptr;
};

// Bytewise order of unsigned bytes, a proper prefix ordering first: negative, zero or positive.
int CompareSortKeys(const char* a, qsizetype aLength, const char* b, qsizetype bLength);
inline int CompareSortKeys(const QByteArray& a, const QByteArray& b)
{
    return CompareSortKeys(a.constData(), a.size(), b.constData(), b.size());
}

} // namespace lbv
