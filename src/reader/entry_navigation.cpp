#include "reader/entry_navigation.h"

namespace lbv {
namespace {

bool Counts(const BookEntry& entry, int body, EntryKinds kinds)
{
    return entry.position.body == body
        && (kinds == EntryKinds::SectionsAndBookmarks || !entry.IsUserBookmark());
}

} // namespace

std::optional<int> NextEntry(
    const std::vector<BookEntry>& entries, const ReadingPosition& from, EntryKinds kinds)
{
    const BookPosition here = ToBookPosition(from);
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (Counts(entries[i], from.body, kinds) && entries[i].position > here)
            return int(i);
    return std::nullopt;
}

std::optional<int> PreviousEntry(
    const std::vector<BookEntry>& entries, const ReadingPosition& from, EntryKinds kinds)
{
    const BookPosition here = ToBookPosition(from);
    for (std::size_t i = entries.size(); i-- > 0;)
        if (Counts(entries[i], from.body, kinds) && entries[i].position < here)
            return int(i);
    return std::nullopt;
}

QString ChapterTitle(const std::vector<BookEntry>& entries, const ReadingPosition& at)
{
    const BookPosition here = ToBookPosition(at);
    for (std::size_t i = entries.size(); i-- > 0;)
        if (Counts(entries[i], at.body, EntryKinds::Sections) && entries[i].position <= here)
            return entries[i].text;
    return {};
}

} // namespace lbv
