#include "convert/text_to_fb2_layout.h"

#include "convert/converter_common.h"

#include <algorithm>
#include <array>
#include <climits>

namespace lbv {

namespace {

constexpr int kTabWidth = 8;
constexpr int kMaxMeasuredWidth = 1024;

struct TextStats {
    qsizetype nonBlank = 0;
    qsizetype indented = 0; // deeper than the shallowest line
    qsizetype blank = 0; // between text lines
    qsizetype longLines = 0; // longer than a typewriter line: the text is not wrapped
    int minIndent = 0;
    int paragraphIndent = 0; // the commonest indentation deeper than the shallowest
    int typicalWidth = 0; // 90% of the lines are no longer
};

TextStats Measure(const std::vector<TextLine>& lines, std::size_t from)
{
    TextStats stats;
    std::array<qsizetype, kMaxMeasuredWidth + 1> widths {};
    std::array<qsizetype, 81> indents {};
    stats.minIndent = INT_MAX;
    qsizetype blankRun = 0;
    for (std::size_t i = from; i < lines.size(); ++i) {
        const TextLine& line = lines[i];
        if (line.IsBlank()) {
            ++blankRun;
            continue;
        }
        if (stats.nonBlank > 0)
            stats.blank += blankRun;
        blankRun = 0;
        if (line.heading)
            continue;
        ++stats.nonBlank;
        stats.minIndent = std::min(stats.minIndent, line.indent);
        ++indents[std::min(line.indent, 80)];
        ++widths[std::min<qsizetype>(line.raw.size(), kMaxMeasuredWidth)];
        stats.longLines += line.raw.size() > 100;
    }
    if (stats.nonBlank == 0) {
        stats.minIndent = 0;
        return stats;
    }
    qsizetype mostCommon = 0;
    for (int indent = stats.minIndent + 1; indent <= 80; ++indent) {
        stats.indented += indents[indent];
        if (indents[indent] > mostCommon) {
            mostCommon = indents[indent];
            stats.paragraphIndent = indent;
        }
    }
    if (mostCommon == 0)
        stats.paragraphIndent = stats.minIndent;
    qsizetype seen = 0;
    while (stats.typicalWidth < kMaxMeasuredWidth
        && seen + widths[stats.typicalWidth] < stats.nonBlank * 9 / 10)
        seen += widths[stats.typicalWidth++];
    return stats;
}

// "- Yes", "-- Yes", "— Yes": a line of dialogue starts its own paragraph in any layout.
bool IsDialogueLine(QStringView text)
{
    qsizetype dash = 0;
    if (text.startsWith(u"--"))
        dash = 2;
    else if (text.startsWith(u'-') || text.startsWith(u'—') || text.startsWith(u'–'))
        dash = 1;
    return dash > 0 && dash < text.size() && text[dash].isSpace();
}

bool EndsSentence(QStringView text)
{
    return !text.isEmpty() && QStringView(u".!?…:;»\"”)]'—–-*").contains(text.back());
}

// A paragraph before it becomes text: its lines and the blank lines above it.
struct Paragraph {
    std::size_t first = 0;
    std::size_t last = 0;
    int blankBefore = 0;
    int indent = 0;
    qsizetype maxWidth = 0;
    bool heading = false;

    std::size_t LineCount() const { return last - first + 1; }
};

class Layout {
public:
    Layout(const std::vector<TextLine>& lines, std::size_t from, TextLayout layout,
        const ConverterOptions& options)
        : lines_(lines)
        , layout_(layout)
        , options_(options)
        , stats_(Measure(lines, from))
    {
        Group(from);
        // Verse and epigraphs are told by short lines and deep indentation, which a text
        // without wrapped lines or without visible indentation cannot show.
        if (stats_.typicalWidth >= 40)
            shortWidth_ = stats_.typicalWidth * 65 / 100;
        const int base
            = layout_ == TextLayout::Indented ? stats_.paragraphIndent : stats_.minIndent;
        verseIndent_ = base + 3;
        epigraphIndent_ = std::max(base + 8, 10);
    }

    std::vector<TextBlock> Blocks();

private:
    void Group(std::size_t from);
    bool StartsParagraph(const Paragraph& current, const TextLine& line) const;
    QString Joined(const Paragraph& paragraph) const;
    QStringList Lines(const Paragraph& paragraph) const;
    bool IsVerse(const Paragraph& paragraph) const;
    std::size_t TakeTitle(std::size_t k, std::vector<TextBlock>& blocks) const;
    std::size_t TakeEpigraph(std::size_t k, std::vector<TextBlock>& blocks) const;
    std::size_t TakePoem(std::size_t k, std::vector<TextBlock>& blocks) const;

    const std::vector<TextLine>& lines_;
    const TextLayout layout_;
    const ConverterOptions& options_;
    const TextStats stats_;
    std::vector<Paragraph> paragraphs_;
    qsizetype shortWidth_ = 0; // 0: verse can't be told
    int verseIndent_ = 0;
    int epigraphIndent_ = 0;
};

bool Layout::StartsParagraph(const Paragraph& current, const TextLine& line) const
{
    if (current.heading || IsDialogueLine(line.text))
        return true;
    switch (layout_) {
    case TextLayout::PreserveForm:
        return true;
    case TextLayout::Indented:
        return line.indent > stats_.minIndent;
    case TextLayout::EmptyLines:
        return false;
    case TextLayout::LinePerParagraph:
        // A line broken inside a sentence goes on with a small letter.
        return options_.noRestoreBrokenParas || EndsSentence(lines_[current.last].text)
            || !line.text.front().isLower();
    }
    return true;
}

void Layout::Group(std::size_t from)
{
    paragraphs_.reserve((lines_.size() - from) / 2 + 1);
    int blankRun = 0;
    bool open = false;
    for (std::size_t i = from; i < lines_.size(); ++i) {
        const TextLine& line = lines_[i];
        if (line.IsBlank()) {
            ++blankRun;
            open = false;
            continue;
        }
        if (open && !line.heading && !StartsParagraph(paragraphs_.back(), line)) {
            Paragraph& current = paragraphs_.back();
            current.last = i;
            current.maxWidth = std::max(current.maxWidth, line.raw.size());
            continue;
        }
        paragraphs_.push_back({i, i, blankRun, line.indent, line.raw.size(), line.heading});
        blankRun = 0;
        open = true;
    }
}

QString Layout::Joined(const Paragraph& paragraph) const
{
    if (layout_ == TextLayout::PreserveForm)
        return KeepBlanks(lines_[paragraph.first].raw);
    QString text;
    for (std::size_t i = paragraph.first; i <= paragraph.last; ++i) {
        if (!text.isEmpty())
            text.append(u' ');
        text.append(lines_[i].text);
    }
    // Runs of blanks or tabs inside a line are typewriter spacing, not content.
    qsizetype out = 0;
    bool blank = false;
    for (qsizetype in = 0; in < text.size(); ++in) {
        const QChar c = text[in];
        const bool isBlank = c == u' ' || c == u'\t';
        if (isBlank && blank)
            continue;
        blank = isBlank;
        text[out++] = isBlank ? QChar(u' ') : c;
    }
    text.truncate(out);
    return text;
}

QStringList Layout::Lines(const Paragraph& paragraph) const
{
    QStringList result;
    for (std::size_t i = paragraph.first; i <= paragraph.last; ++i)
        result.append(lines_[i].text.toString());
    return result;
}

bool Layout::IsVerse(const Paragraph& paragraph) const
{
    if (shortWidth_ == 0 || paragraph.heading || paragraph.maxWidth > shortWidth_)
        return false;
    if (layout_ == TextLayout::EmptyLines)
        return paragraph.LineCount() >= 2;
    return layout_ == TextLayout::Indented && paragraph.indent >= verseIndent_;
}

std::size_t Layout::TakeTitle(std::size_t k, std::vector<TextBlock>& blocks) const
{
    TextBlock title {TextBlock::Kind::Title};
    for (; k < paragraphs_.size() && paragraphs_[k].heading; ++k)
        title.lines.append(lines_[paragraphs_[k].first].text.toString());
    blocks.push_back(std::move(title));
    return k;
}

std::size_t Layout::TakeEpigraph(std::size_t k, std::vector<TextBlock>& blocks) const
{
    const std::size_t first = k;
    TextBlock epigraph {TextBlock::Kind::Epigraph};
    for (; k < paragraphs_.size(); ++k) {
        const Paragraph& paragraph = paragraphs_[k];
        if (paragraph.heading || paragraph.indent < epigraphIndent_)
            break;
        if (shortWidth_ > 0 && paragraph.maxWidth <= shortWidth_)
            epigraph.lines += Lines(paragraph);
        else
            epigraph.lines.append(Joined(paragraph));
    }
    if (k == first)
        return k;
    // Its author signs the last line, usually after a dash.
    const QString last = epigraph.lines.constLast();
    const bool signedWithDash
        = last.startsWith(u'—') || last.startsWith(u'-') || last.startsWith(u'–');
    if (epigraph.lines.size() >= 2 && signedWithDash) {
        epigraph.lines.removeLast();
        qsizetype start = 0;
        while (start < last.size()
            && (last[start] == u'-' || last[start] == u'—' || last[start] == u'–'
                || last[start].isSpace()))
            ++start;
        epigraph.textAuthor = last.mid(start);
    }
    blocks.push_back(std::move(epigraph));
    return k;
}

std::size_t Layout::TakePoem(std::size_t k, std::vector<TextBlock>& blocks) const
{
    std::size_t end = k;
    std::size_t verses = 0;
    while (end < paragraphs_.size() && IsVerse(paragraphs_[end]))
        verses += paragraphs_[end++].LineCount();
    // Two short lines may be anything; a poem shows itself over a few more.
    if (verses < (layout_ == TextLayout::EmptyLines ? 4u : 3u))
        return k;
    bool poemStart = true;
    for (; k < end; ++k) {
        const Paragraph& paragraph = paragraphs_[k];
        const bool newStanza
            = layout_ == TextLayout::EmptyLines || poemStart || paragraph.blankBefore > 0;
        if (newStanza) {
            blocks.push_back({TextBlock::Kind::Stanza, {}, {}, poemStart});
            poemStart = false;
        }
        blocks.back().lines += Lines(paragraph);
    }
    return end;
}

std::vector<TextBlock> Layout::Blocks()
{
    std::vector<TextBlock> blocks;
    blocks.reserve(paragraphs_.size());
    const bool preserve = layout_ == TextLayout::PreserveForm;
    const int emptyLineAfter = layout_ == TextLayout::EmptyLines ? 2 : 1;
    bool sectionStart = true;
    bool afterPoem = false; // a poem stands apart already
    for (std::size_t k = 0; k < paragraphs_.size();) {
        const Paragraph& paragraph = paragraphs_[k];
        if (paragraph.heading) {
            k = TakeTitle(k, blocks);
            sectionStart = true;
            continue;
        }
        const bool atSectionStart = sectionStart;
        sectionStart = false;
        if (atSectionStart && !preserve && !options_.noEpigraphs) {
            const std::size_t next = TakeEpigraph(k, blocks);
            if (next != k) {
                k = next;
                continue;
            }
        }
        if (!atSectionStart && !afterPoem && !options_.noEmptyLine
            && paragraph.blankBefore >= emptyLineAfter)
            blocks.push_back({TextBlock::Kind::EmptyLine});
        afterPoem = false;
        if (!preserve && !options_.noPoems) {
            const std::size_t next = TakePoem(k, blocks);
            if (next != k) {
                k = next;
                afterPoem = true;
                continue;
            }
        }
        blocks.push_back({TextBlock::Kind::Paragraph, {Joined(paragraph)}});
        ++k;
    }
    return blocks;
}

int IndentOf(QStringView raw, qsizetype* textStart)
{
    int columns = 0;
    qsizetype i = 0;
    for (; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == u'\t')
            columns = (columns / kTabWidth + 1) * kTabWidth;
        else if (c == u' ' || c == QChar(0xA0) || c == QChar(0x3000))
            ++columns;
        else
            break;
    }
    *textStart = i;
    return columns;
}

} // namespace

std::vector<TextLine> SplitTextLines(const QString& text, const QRegularExpression& headers)
{
    std::vector<TextLine> lines;
    lines.reserve(text.size() / 40 + 1);
    const QStringView all(text);
    qsizetype start = 0;
    while (start <= all.size()) {
        qsizetype end = start;
        while (end < all.size() && all[end] != u'\n' && all[end] != u'\r')
            ++end;
        if (end == all.size() && start == end && !lines.empty())
            break; // the text ended with a line break
        QStringView raw = all.mid(start, end - start);
        while (!raw.isEmpty() && raw.back().isSpace())
            raw.chop(1);
        TextLine line;
        line.raw = raw;
        qsizetype textStart = 0;
        line.indent = IndentOf(raw, &textStart);
        line.text = raw.mid(textStart);
        line.heading = !line.text.isEmpty() && headers.match(raw).hasMatch();
        lines.push_back(line);
        if (end < all.size() && all[end] == u'\r' && end + 1 < all.size() && all[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

TextLayout ChooseTextLayout(const std::vector<TextLine>& lines, const ConverterOptions& options)
{
    if (options.preserveForm)
        return TextLayout::PreserveForm;
    if (options.textType == TextType::Indented)
        return TextLayout::Indented;
    if (options.textType == TextType::EmptyLines)
        return TextLayout::EmptyLines;
    const TextStats stats = Measure(lines, 0);
    // Long lines are whole paragraphs; only wrapped text needs its paragraphs found.
    if (stats.nonBlank == 0 || stats.longLines * 5 >= stats.nonBlank)
        return TextLayout::LinePerParagraph;
    if (!options.ignoreIndent && stats.indented * 20 >= stats.nonBlank)
        return TextLayout::Indented;
    if (stats.blank * 20 >= stats.nonBlank)
        return TextLayout::EmptyLines;
    return TextLayout::LinePerParagraph;
}

std::vector<TextBlock> LayOutText(const std::vector<TextLine>& lines, std::size_t from,
    TextLayout layout, const ConverterOptions& options)
{
    return Layout(lines, from, layout, options).Blocks();
}

} // namespace lbv
