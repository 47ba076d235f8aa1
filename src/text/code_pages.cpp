#include "text/code_pages.h"

#include "text/code_page_detection.h"
#include "text/code_page_list.h"
#include "text/code_page_tables.h"

#include <QHash>

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace lbv {
namespace {

constexpr int kUtf8Number = 65001;
constexpr int kDefaultNumber = 1251;
constexpr int kWesternNumber = 1252;
// Longer names are no code page name; ICU is not asked about them.
constexpr qsizetype kLongestName = 64;

const char* ConverterName(const CodePageEntry& entry)
{
    return entry.converter ? entry.converter : entry.name;
}

// ICU's own name for the converter an alias stands for, or empty.
QByteArray CanonicalConverterName(const char* alias)
{
    UErrorCode status = U_ZERO_ERROR;
    const char* name = ucnv_getAlias(alias, 0, &status);
    return U_SUCCESS(status) && name ? QByteArray(name) : QByteArray();
}

// Name lookups, built once. Where two pages share a name or a converter, the lower number wins.
class NameIndex {
public:
    NameIndex()
    {
        const auto entries = CodePageEntries();
        for (int index = 0; index < int(entries.size()); ++index) {
            const CodePageEntry& entry = entries[std::size_t(index)];
            Add(names_, QString::fromLatin1(entry.name).toLower(), index);
            for (const char* alias : entry.aliases)
                if (alias)
                    Add(names_, QString::fromLatin1(alias).toLower(), index);
            const QByteArray canonical = CanonicalConverterName(ConverterName(entry));
            if (!canonical.isEmpty())
                Add(converters_, canonical, index);
        }
    }

    int Find(QStringView name) const
    {
        const QString key = name.trimmed().toString().toLower();
        if (const auto it = names_.constFind(key); it != names_.cend())
            return *it;
        if (key.isEmpty() || key.size() > kLongestName
            || std::any_of(key.cbegin(), key.cend(),
                [](QChar c) { return c.unicode() <= 0x20 || c.unicode() >= 0x7F; }))
            return -1;
        const QByteArray canonical = CanonicalConverterName(key.toLatin1().constData());
        return canonical.isEmpty() ? -1 : converters_.value(canonical, -1);
    }

private:
    template<typename Key> static void Add(QHash<Key, int>& map, const Key& key, int index)
    {
        if (!map.contains(key))
            map.insert(key, index);
    }

    QHash<QString, int> names_;
    QHash<QByteArray, int> converters_;
};

const NameIndex& Names()
{
    static const NameIndex names;
    return names;
}

int ValidIndexOrDefault(int index)
{
    return index >= 0 && index < CodePageCount() ? index : DefaultCodePageIndex();
}

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterHandle = std::unique_ptr<UConverter, ConverterCloser>;

// An ICU converter carries conversion state, so every thread opens its own and keeps it for the
// next call. Null with the reason in status when ICU can't open it.
UConverter* ThreadConverter(int index, UErrorCode& status)
{
    thread_local std::vector<ConverterHandle> converters(CodePageEntries().size());
    ConverterHandle& slot = converters[std::size_t(index)];
    if (!slot) {
        UConverter* opened
            = ucnv_open(ConverterName(CodePageEntries()[std::size_t(index)]), &status);
        if (U_FAILURE(status))
            return nullptr;
        slot.reset(opened);
    }
    ucnv_reset(slot.get());
    return slot.get();
}

QString DecodeWithTable(const ByteToUnicodeTable& table, QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    auto* out = reinterpret_cast<char16_t*>(text.data());
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = table[in[i]];
    return text;
}

QString DecodeWithConverter(UConverter* converter, QByteArrayView bytes)
{
    QString text(bytes.size() + 16, Qt::Uninitialized);
    const char* source = bytes.data();
    const char* const sourceEnd = source + bytes.size();
    qsizetype written = 0;
    for (;;) {
        auto* base = reinterpret_cast<UChar*>(text.data());
        UChar* target = base + written;
        UErrorCode status = U_ZERO_ERROR;
        ucnv_toUnicode(
            converter, &target, base + text.size(), &source, sourceEnd, nullptr, true, &status);
        written = target - base;
        if (status != U_BUFFER_OVERFLOW_ERROR)
            break;
        text.resize(text.size() + text.size() / 2 + 16);
    }
    text.truncate(written);
    return text;
}

bool EncodeWithConverter(UConverter* converter, QStringView text, QByteArray& bytes,
    UnmappableCharacters unmappable, UErrorCode& status)
{
    if (unmappable == UnmappableCharacters::XmlReference) {
        ucnv_setFromUCallBack(
            converter, UCNV_FROM_U_CALLBACK_ESCAPE, UCNV_ESCAPE_XML_DEC, nullptr, nullptr, &status);
    } else {
        ucnv_setFromUCallBack(
            converter, UCNV_FROM_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &status);
        ucnv_setSubstString(converter, u"?", 1, &status);
    }
    if (U_FAILURE(status))
        return false;
    bytes.resize(text.size() + 16);
    const auto* source = reinterpret_cast<const UChar*>(text.utf16());
    const UChar* const sourceEnd = source + text.size();
    qsizetype written = 0;
    for (;;) {
        char* base = bytes.data();
        char* target = base + written;
        status = U_ZERO_ERROR;
        ucnv_fromUnicode(
            converter, &target, base + bytes.size(), &source, sourceEnd, nullptr, true, &status);
        written = target - base;
        if (status != U_BUFFER_OVERFLOW_ERROR)
            break;
        bytes.resize(bytes.size() + bytes.size() / 2 + 16);
    }
    bytes.truncate(written);
    return U_SUCCESS(status);
}

} // namespace

int CodePageCount()
{
    return int(CodePageEntries().size());
}

int FindCodePage(QStringView name)
{
    return Names().Find(name);
}

int CodePageIndex(int number)
{
    const auto entries = CodePageEntries();
    const auto it = std::lower_bound(entries.begin(), entries.end(), number,
        [](const CodePageEntry& entry, int wanted) { return entry.number < wanted; });
    return it != entries.end() && it->number == number ? int(it - entries.begin()) : -1;
}

int CodePageNumber(int index)
{
    return index >= 0 && index < CodePageCount() ? CodePageEntries()[std::size_t(index)].number
                                                 : -1;
}

QString CodePageName(int index)
{
    if (index < 0 || index >= CodePageCount())
        return {};
    return QString::fromLatin1(CodePageEntries()[std::size_t(index)].name);
}

QString CodePageDisplayName(int index)
{
    if (index < 0 || index >= CodePageCount())
        return {};
    return QString::fromLatin1(CodePageEntries()[std::size_t(index)].displayName);
}

const char16_t* CodePageTable(int index)
{
    const BuiltInCodePage* page = FindBuiltInCodePage(CodePageNumber(index));
    return page ? page->unicode.data() : nullptr;
}

int DefaultCodePageIndex()
{
    static const int index = CodePageIndex(kDefaultNumber);
    return index;
}

int DetectCodePageIndex(QByteArrayView bytes)
{
    const int index = CodePageIndex(DetectCodePage(bytes));
    return index >= 0 ? index : CodePageIndex(kWesternNumber);
}

QString ConvertToUnicode(int index, QByteArrayView bytes)
{
    index = ValidIndexOrDefault(index);
    if (bytes.isEmpty())
        return {};
    const int number = CodePageNumber(index);
    if (const BuiltInCodePage* page = FindBuiltInCodePage(number))
        return DecodeWithTable(page->unicode, bytes);
    if (number == kUtf8Number)
        return QString::fromUtf8(bytes);
    UErrorCode status = U_ZERO_ERROR;
    if (UConverter* converter = ThreadConverter(index, status))
        return DecodeWithConverter(converter, bytes);
    // Only a damaged ICU installation gets here; the text stays readable where it is ASCII.
    return DecodeWithTable(FindBuiltInCodePage(kDefaultNumber)->unicode, bytes);
}

bool ConvertFromUnicode(
    int index, QStringView text, QByteArray& bytes, QString& error, UnmappableCharacters unmappable)
{
    index = ValidIndexOrDefault(index);
    bytes.clear();
    if (CodePageNumber(index) == kUtf8Number) {
        bytes = text.toUtf8();
        return true;
    }
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ThreadConverter(index, status);
    if (converter && EncodeWithConverter(converter, text, bytes, unmappable, status))
        return true;
    bytes.clear();
    error = QString::fromLatin1(u_errorName(status));
    return false;
}

QList<CodePageChoice> CodePageChoices()
{
    QList<CodePageChoice> choices;
    choices.reserve(CodePageCount());
    for (const CodePageEntry& entry : CodePageEntries())
        choices.append({QString::fromLatin1(entry.displayName),
            QString::number(entry.number) + u',' + QString::fromLatin1(entry.name)});
    std::stable_sort(
        choices.begin(), choices.end(), [](const CodePageChoice& a, const CodePageChoice& b) {
            return a.displayName.compare(b.displayName, Qt::CaseInsensitive) < 0;
        });
    return choices;
}

} // namespace lbv
