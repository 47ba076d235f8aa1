#include "shelf/genre_dictionary.h"

#include "text/case_fold.h"
#include "text/messages.h"

#include <algorithm>

namespace lbv {
namespace {

// Descending case-insensitive code order: the first entry whose code does not sort after `code`.
template <typename Entry>
auto LowerBound(const QList<Entry>& list, QStringView code)
{
    return std::lower_bound(list.begin(), list.end(), code,
        [](const Entry& entry, QStringView key) { return CompareNoCase(entry.code, key) > 0; });
}

// Inserts at the entry's place; an entry whose code is already there is dropped (first wins).
template <typename Entry>
void InsertByCode(QList<Entry>& list, Entry entry)
{
    const auto it = LowerBound(list, entry.code);
    if (it != list.end() && EqualsNoCase(it->code, entry.code))
        return;
    list.insert(it - list.begin(), std::move(entry));
}

} // namespace

void GenreDictionary::Clear()
{
    genres_.clear();
    languages_.clear();
    roots_.clear();
    ++generation_;
}

QString GenreDictionary::TitleOf(const QString& code) const
{
    const auto it = LowerBound(genres_, code);
    return it != genres_.end() && EqualsNoCase(it->code, code) ? it->title : code;
}

GenreDictionary& ProgramGenreDictionary()
{
    static GenreDictionary dictionary;
    return dictionary;
}

} // namespace lbv
