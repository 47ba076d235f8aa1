#include "reader/text_finder.h"

#include <QChar>
#include <unicode/uchar.h>

namespace lbv {

namespace {

// Folding every unit of a body through ICU costs more than the search itself; a table of all
// 65,536 units is built once.
const std::vector<char16_t>& FoldTable()
{
    static const std::vector<char16_t> table = [] {
        std::vector<char16_t> folded(0x10000);
        for (char32_t unit = 0; unit < 0x10000; ++unit) {
            // ICU's simple mapping: Qt keeps U+0130 as it is, whose lower case is plain "i".
            const UChar32 lower
                = QChar::isSurrogate(unit) ? UChar32(unit) : u_tolower(UChar32(unit));
            folded[unit] = lower > 0xFFFF ? char16_t(unit) : char16_t(lower);
        }
        return folded;
    }();
    return table;
}

} // namespace

char16_t FoldForFind(char16_t unit)
{
    return FoldTable()[unit];
}

TextFinder::TextFinder(DocumentSource& document)
    : document_(document)
{
}

std::optional<FoundRange> TextFinder::FindFirst(int body, const QString& text, bool matchCase)
{
    text_ = text;
    matchCase_ = matchCase;
    body_ = body;
    last_.reset();
    pattern_ = text;
    if (!matchCase)
        for (QChar& c : pattern_)
            c = QChar(FoldForFind(c.unicode()));
    failure_.assign(std::size_t(pattern_.size()), 0);
    for (qsizetype i = 1, border = 0; i < pattern_.size(); ++i) {
        while (border > 0 && pattern_[i] != pattern_[border])
            border = failure_[std::size_t(border - 1)];
        if (pattern_[i] == pattern_[border])
            ++border;
        failure_[std::size_t(i)] = int(border);
    }
    if (pattern_.isEmpty())
        return std::nullopt;
    return SearchFrom(0, 0);
}

std::optional<FoundRange> TextFinder::FindNext()
{
    if (!last_)
        return std::nullopt;
    return SearchFrom(last_->paragraph, last_->offset + last_->length);
}

std::optional<FoundRange> TextFinder::SearchFrom(int paragraph, int offset)
{
    const int count = document_.ParagraphCount(body_);
    const int length = int(pattern_.size());
    for (; paragraph < count; ++paragraph, offset = 0) {
        // Short paragraphs are passed over without building their text.
        if (document_.ParagraphLength(body_, paragraph) - offset < length)
            continue;
        const ParagraphView view = document_.GetParagraph(body_, paragraph);
        if (view.IsImage())
            continue;
        const int at = MatchIn(view.text, offset);
        if (at >= 0) {
            last_ = FoundRange {body_, paragraph, at, length};
            return last_;
        }
    }
    return std::nullopt; // the last hit stays, so "find next" keeps answering nothing
}

// The first match at or after `from`, or -1.
int TextFinder::MatchIn(QStringView text, int from) const
{
    const qsizetype length = pattern_.size();
    const char16_t* fold = matchCase_ ? nullptr : FoldTable().data();
    qsizetype matched = 0;
    for (qsizetype i = from; i < text.size(); ++i) {
        const char16_t unit = fold ? fold[text[i].unicode()] : text[i].unicode();
        while (matched > 0 && pattern_[matched].unicode() != unit)
            matched = failure_[std::size_t(matched - 1)];
        if (pattern_[matched].unicode() == unit && ++matched == length)
            return int(i - length + 1);
    }
    return -1;
}

} // namespace lbv
