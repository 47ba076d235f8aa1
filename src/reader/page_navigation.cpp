#include "reader/page_navigation.h"

#include "reader/entry_navigation.h"

namespace lbv {

namespace {

bool SamePlace(const ReadingPosition& a, const ReadingPosition& b)
{
    return a.body == b.body && a.paragraph == b.paragraph && a.offset == b.offset;
}

std::optional<PageMove> Step(const ReadingPosition& to, const Page& page, bool jump = false)
{
    if (SamePlace(to, page.start))
        return std::nullopt;
    return PageMove{to, jump};
}

// A forward step must leave a page to show: the body's end is not one.
std::optional<PageMove> Forward(
    const ReadingPosition& to, const Page& page, const TextFormatter& formatter)
{
    if (formatter.AtBodyEnd(to))
        return std::nullopt;
    return Step(to, page);
}

std::optional<PageMove> ToEntry(const std::vector<BookEntry>& entries, std::optional<int> index,
    const Page& page)
{
    if (!index)
        return std::nullopt;
    return Step(ToReadingPosition(entries[std::size_t(*index)].position), page, true);
}

} // namespace

std::optional<PageMove> MoveForCommand(ReaderCommand command, TextFormatter& formatter,
    const Page& page, const std::vector<BookEntry>& entries)
{
    const ReadingPosition start = page.start;
    switch (command) {
    case ReaderCommand::PageForward:
        return Forward(formatter.NextPageStart(page), page, formatter);
    case ReaderCommand::LineForward:
        return Forward(formatter.NextLineStart(page), page, formatter);
    case ReaderCommand::PageBackward:
        return Step(formatter.PreviousPageStart(start), page);
    case ReaderCommand::LineBackward:
        return Step(formatter.PreviousLineStart(start), page);
    case ReaderCommand::StartOfFile:
        return Step({0, 0, start.body}, page, true);
    case ReaderCommand::EndOfFile:
        return Step(formatter.LastPageStart(start.body), page, true);
    case ReaderCommand::NextSection:
        return ToEntry(entries, NextEntry(entries, start, EntryKinds::Sections), page);
    case ReaderCommand::PreviousSection:
        return ToEntry(entries, PreviousEntry(entries, start, EntryKinds::Sections), page);
    case ReaderCommand::NextBookmarkOrSection:
        return ToEntry(
            entries, NextEntry(entries, start, EntryKinds::SectionsAndBookmarks), page);
    case ReaderCommand::PreviousBookmarkOrSection:
        return ToEntry(
            entries, PreviousEntry(entries, start, EntryKinds::SectionsAndBookmarks), page);
    default:
        return std::nullopt;
    }
}

} // namespace lbv
