#include "reader/page_hit_test.h"

#include <algorithm>

namespace lbv {
namespace {

bool IsWordJoiner(QChar c)
{
    return c == u'\'' || c == u'-';
}

bool IsLetterAt(QStringView text, qsizetype i)
{
    return i >= 0 && i < text.size() && text[i].isLetter();
}

bool InWord(QStringView text, qsizetype i)
{
    return IsLetterAt(text, i)
        || (i < text.size() && IsWordJoiner(text[i]) && IsLetterAt(text, i - 1)
            && IsLetterAt(text, i + 1));
}

// The line's characters from `from` up to `to`, without an added hyphen.
QStringView LineText(const LayoutLine& line, int from, int to)
{
    to = std::min(to, line.length);
    from = std::min(from, to);
    return QStringView(line.text).mid(from, to - from);
}

bool Before(const PageHit& a, const PageHit& b)
{
    return a.line != b.line ? a.line < b.line : a.index < b.index;
}

} // namespace

int LineLeft(const LayoutLine& line, const PageGeometry& geometry)
{
    return line.column * geometry.columnWidth + geometry.margin + line.x;
}

std::optional<PageHit> HitTest(const Page& page, const PageGeometry& geometry, int x, int y)
{
    const int column = std::clamp(x / std::max(geometry.columnWidth, 1), 0, geometry.columns - 1);
    for (std::size_t i = 0; i < page.lines.size(); ++i) {
        const LayoutLine& line = page.lines[i];
        if (line.column != column || y < line.y || y >= line.y + line.height)
            continue;
        // Image bands carry no advances: a point on one is its first character.
        const int measured = std::min(line.length, int(line.advances.size()));
        int index = 0;
        for (int left = LineLeft(line, geometry); index < measured; ++index) {
            left += line.advances[std::size_t(index)];
            if (x < left)
                break;
        }
        PageHit hit {int(i), index, line.start};
        hit.position.offset += index;
        return hit;
    }
    return std::nullopt;
}

PageSelection SelectionBetween(const Page& page, const PageHit& anchor, const PageHit& current)
{
    const bool forward = !Before(current, anchor);
    const PageHit first = forward ? anchor : current;
    PageHit last = forward ? current : anchor;
    if (last.line >= 0 && last.line < int(page.lines.size())) {
        const LayoutLine& line = page.lines[std::size_t(last.line)];
        if (last.index < line.length) {
            ++last.index;
            ++last.position.offset;
        }
    }
    return {first, last};
}

std::vector<PageBox> SelectionBoxes(
    const Page& page, const PageGeometry& geometry, const PageSelection& selection)
{
    std::vector<PageBox> boxes;
    const int lastLine = std::min(selection.to.line, int(page.lines.size()) - 1);
    for (int i = std::max(selection.from.line, 0); i <= lastLine; ++i) {
        const LayoutLine& line = page.lines[std::size_t(i)];
        const int measured = std::min(line.length, int(line.advances.size()));
        const int from = i == selection.from.line ? std::min(selection.from.index, measured) : 0;
        const int to = i == selection.to.line ? std::min(selection.to.index, measured) : measured;
        int left = LineLeft(line, geometry);
        int index = 0;
        for (; index < from; ++index)
            left += line.advances[std::size_t(index)];
        int width = 0;
        for (; index < to; ++index)
            width += line.advances[std::size_t(index)];
        if (width > 0)
            boxes.push_back({left, line.y, width, line.height});
    }
    return boxes;
}

QString SelectionText(const Page& page, const PageHit& from, const PageHit& to)
{
    const auto [first, last] = std::minmax(from, to, Before);
    QString text;
    const LayoutLine* previous = nullptr;
    for (int i = first.line; i <= last.line && i < int(page.lines.size()); ++i) {
        const LayoutLine& line = page.lines[std::size_t(i)];
        if (line.flags & kLineImageBand)
            continue;
        if (previous) {
            if (previous->start.paragraph != line.start.paragraph
                || previous->start.body != line.start.body)
                text += u'\n';
            else if (previous->start.offset + previous->length < line.start.offset)
                text += u' ';
        }
        text += LineText(
            line, i == first.line ? first.index : 0, i == last.line ? last.index : line.length);
        previous = &line;
    }
    return text;
}

std::optional<ParagraphLink> LinkAt(const ParagraphView& paragraph, int offset)
{
    for (const ParagraphLink& link : paragraph.links)
        if (offset >= link.start && offset < link.start + link.length)
            return link;
    return std::nullopt;
}

std::optional<TextSpan> WordAt(QStringView text, int offset)
{
    if (!InWord(text, offset))
        return std::nullopt;
    qsizetype start = offset;
    while (InWord(text, start - 1))
        --start;
    qsizetype end = offset + 1;
    while (InWord(text, end))
        ++end;
    return TextSpan {int(start), int(end - start)};
}

std::optional<int> BookmarkAt(const std::vector<BookEntry>& entries, const LayoutLine& line)
{
    const int end = line.start.offset + std::max(line.length, 1);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const BookEntry& entry = entries[i];
        if (entry.IsUserBookmark() && entry.position.body == line.start.body
            && entry.position.paragraph == line.start.paragraph
            && entry.position.offset >= line.start.offset && entry.position.offset < end)
            return int(i);
    }
    return std::nullopt;
}

} // namespace lbv
