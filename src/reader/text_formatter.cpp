#include "reader/text_formatter.h"

#include <algorithm>

namespace lbv {
namespace {

// Enough for a page of short paragraphs and the paragraph a page backward starts in, so that
// paging either way reads each paragraph from the document once.
constexpr std::size_t kCachedParagraphs = 16;
// An image band is never thinner than this, however many characters the image paragraph has.
constexpr int kMinimumBandHeight = 16;

} // namespace

// The lines before a position, from the nearest backwards, one paragraph laid out at a time.
class TextFormatter::BackwardLines {
public:
    BackwardLines(TextFormatter& formatter, ReadingPosition start)
        : formatter_(formatter)
        , body_(start.body)
        , paragraph_(start.paragraph)
    {
        if (start.offset > 0)
            pending_ = formatter_.LinesBefore(body_, paragraph_, start.offset);
    }

    // False at the body's start.
    bool Previous(ReadingPosition& start, int& height)
    {
        while (pending_.empty()) {
            if (paragraph_ == 0)
                return false;
            pending_ = formatter_.LinesBefore(body_, --paragraph_, -1);
        }
        returned_ = pending_.back();
        pending_.pop_back();
        start = {paragraph_, returned_.offset, body_};
        height = returned_.height;
        return true;
    }

    // Gives the line Previous returned last back, for the next call.
    void Unget() { pending_.push_back(returned_); }

private:
    TextFormatter& formatter_;
    int body_;
    int paragraph_;
    std::vector<LineSpan> pending_;
    LineSpan returned_ {0, 0};
};

int TextFormatter::ImageBands::HeightOf(int band) const
{
    return band == bands - 1 ? height - Top(band) : bandHeight;
}

TextFormatter::TextFormatter(DocumentSource& document, TextMeasurer& measurer)
    : document_(document)
    , builder_(measurer, &document)
{
    builder_.SetFont(settings_.font);
}

void TextFormatter::SetSettings(const FormatterSettings& settings)
{
    settings_ = settings;
    FontBase font = settings.font;
    font.rotation = geometry_.rotation;
    builder_.SetFont(font);
    paragraphs_.clear(); // advances and hyphenation points follow the settings
}

void TextFormatter::SetGeometry(const PageGeometry& geometry)
{
    geometry_ = geometry;
    FontBase font = settings_.font;
    font.rotation = geometry.rotation;
    builder_.SetFont(font);
    paragraphs_.clear();
}

LineFrame TextFormatter::Frame() const
{
    return {geometry_.textWidth, geometry_.pageHeight, settings_.justify, settings_.hyphenate};
}

const PreparedParagraph& TextFormatter::Paragraph(int body, int index)
{
    for (const CachedParagraph& cached : paragraphs_)
        if (cached.body == body && cached.index == index)
            return cached.paragraph;
    if (paragraphs_.size() >= kCachedParagraphs)
        paragraphs_.pop_front();
    paragraphs_.push_back(
        {body, index, builder_.Prepare(document_.GetParagraph(body, index), settings_.hyphenate)});
    return paragraphs_.back().paragraph;
}

ReadingPosition TextFormatter::Normalize(ReadingPosition position) const
{
    position.body = std::clamp(position.body, 0, std::max(0, document_.BodyCount() - 1));
    const int count = document_.ParagraphCount(position.body);
    position.paragraph = std::clamp(position.paragraph, 0, count);
    position.offset = std::max(0, position.offset);
    if (position.paragraph == count) {
        position.offset = 0;
    } else if (position.offset > 0
        && position.offset >= document_.ParagraphLength(position.body, position.paragraph)) {
        ++position.paragraph;
        position.offset = 0;
    }
    return position;
}

bool TextFormatter::AtBodyEnd(ReadingPosition position) const
{
    position = Normalize(position);
    return position.paragraph >= document_.ParagraphCount(position.body);
}

TextFormatter::ImageBands TextFormatter::BandsOf(const PreparedParagraph& paragraph)
{
    ImageBands bands;
    const int length = paragraph.Length();
    if (length <= 0 || paragraph.view.links.isEmpty())
        return bands;
    bands.image = document_.GetImage(paragraph.view.links.front().target,
        {geometry_.textWidth, geometry_.pageHeight, geometry_.rotation});
    if (!bands.image)
        return bands;
    ImagePageSize(*bands.image, geometry_.rotation, bands.width, bands.height);
    if (bands.width <= 0 || bands.height <= 0) {
        bands.image = nullptr;
        return bands;
    }
    // One band per character of the paragraph, so a position inside the image is a band.
    const int perCharacter = (bands.height + length - 1) / length;
    bands.bandHeight = std::min(std::max(perCharacter, kMinimumBandHeight), bands.height);
    bands.bands = std::min((bands.height + bands.bandHeight - 1) / bands.bandHeight, length);
    return bands;
}

LayoutLine TextFormatter::ImageBandLine(const PreparedParagraph& paragraph, int offset, int& next)
{
    const int length = paragraph.Length();
    const ImageBands bands = BandsOf(paragraph);
    LayoutLine line;
    line.start.offset = offset;
    if (!bands.image) { // a picture that can't be shown leaves one blank line
        const FontMetrics& base = builder_.MetricsOf(0);
        line.height = base.height;
        line.ascent = base.ascent;
        line.length = length - offset;
        line.flags = uint8_t(kLinePlain | kLineLast | (offset == 0 ? kLineFirst : 0));
        next = length;
        return line;
    }
    const int band = bands.BandOf(offset);
    const bool last = band == bands.bands - 1;
    line.length = last ? length - offset : 1;
    next = last ? length : band + 1;
    line.height = line.ascent = bands.HeightOf(band);
    line.image = bands.image;
    line.bandTop = bands.Top(band);
    line.imageWidth = bands.width;
    line.x = (geometry_.columnWidth - bands.width) / 2 - geometry_.margin;
    line.flags = uint8_t(
        kLineImageBand | kLinePlain | (band == 0 ? kLineFirst : 0) | (last ? kLineLast : 0));
    return line;
}

Page TextFormatter::LayoutPage(ReadingPosition start)
{
    Page page;
    ReadingPosition position = Normalize(start);
    page.start = position;
    const int count = document_.ParagraphCount(position.body);
    const LineFrame frame = Frame();
    for (int column = 0; column < geometry_.columns; ++column) {
        int y = 0;
        int lines = 0;
        while (position.paragraph < count) {
            const PreparedParagraph& paragraph = Paragraph(position.body, position.paragraph);
            LayoutLine line;
            int next = 0;
            if (paragraph.view.IsImage()) {
                line = ImageBandLine(paragraph, position.offset, next);
            } else {
                const LineBreak fit
                    = builder_.Break(paragraph, position.offset, paragraph.Length(), frame);
                if (y + fit.height > geometry_.pageHeight && lines > 0)
                    break;
                line = builder_.Build(paragraph, fit, frame);
                next = fit.next;
            }
            // A line taller than the whole page still gets one, or paging would stall.
            if (y + line.height > geometry_.pageHeight && lines > 0)
                break;
            line.start.body = position.body;
            line.start.paragraph = position.paragraph;
            line.y = y;
            line.column = column;
            MarkFound(line);
            y += line.height;
            ++lines;
            position.offset = next;
            if (next >= paragraph.Length()) {
                ++position.paragraph;
                position.offset = 0;
            }
            page.lines.push_back(std::move(line));
        }
        page.columnLines.push_back(lines);
    }
    page.end = position;
    return page;
}

ReadingPosition TextFormatter::NextPageStart(const Page& page) const
{
    if (page.lines.empty())
        return page.end;
    ReadingPosition next = page.end;
    if (settings_.oneLineLess && page.lines.size() > 1)
        next = page.lines.back().start;
    const LayoutLine& last = page.lines.back();
    const LayoutLine& first = page.lines.front();
    const bool insideImage = (last.flags & kLineImageBand) && next.offset > 0
        && next.paragraph == last.start.paragraph;
    const bool imageBeganPage
        = (first.flags & kLineImageBand) && first.start.paragraph == last.start.paragraph;
    if (insideImage && !imageBeganPage)
        next.offset = 0;
    return next;
}

std::vector<TextFormatter::LineSpan> TextFormatter::LinesBefore(
    int body, int paragraphIndex, int limit)
{
    std::vector<LineSpan> lines;
    const PreparedParagraph& paragraph = Paragraph(body, paragraphIndex);
    const int length = paragraph.Length();
    const int end = limit < 0 ? length : std::min(limit, length);
    if (paragraph.view.IsImage()) {
        const ImageBands bands = BandsOf(paragraph);
        if (!bands.image) {
            if (limit != 0)
                lines.push_back({0, builder_.MetricsOf(0).height});
            return lines;
        }
        for (int band = 0; band < bands.bands && band < end; ++band)
            lines.push_back({band, bands.HeightOf(band)});
        return lines;
    }
    if (paragraph.IsBlank()) {
        if (limit != 0)
            lines.push_back({0, builder_.MetricsOf(0).height});
        return lines;
    }
    const LineFrame frame = Frame();
    for (int offset = 0; offset < end;) {
        LineBreak line = builder_.Break(paragraph, offset, length, frame);
        // A position inside a line (after a jump) ends the text there.
        if (line.next > end && end < length)
            line = builder_.Break(paragraph, offset, end, frame);
        lines.push_back({offset, line.height});
        offset = line.next;
    }
    return lines;
}

ReadingPosition TextFormatter::PreviousPageStart(ReadingPosition start)
{
    start = Normalize(start);
    BackwardLines lines(*this, start);
    ReadingPosition first = start;
    ReadingPosition line;
    int height = 0;
    for (int column = geometry_.columns - 1; column >= 0; --column) {
        int used = 0;
        int taken = 0;
        while (lines.Previous(line, height)) {
            if (used + height > geometry_.pageHeight && taken > 0) {
                lines.Unget(); // it ends the column before
                break;
            }
            used += height;
            ++taken;
            first = line;
        }
        if (taken == 0)
            break;
    }
    return first;
}

ReadingPosition TextFormatter::PreviousLineStart(ReadingPosition start)
{
    start = Normalize(start);
    BackwardLines lines(*this, start);
    ReadingPosition line;
    int height = 0;
    return lines.Previous(line, height) ? line : start;
}

ReadingPosition TextFormatter::NextLineStart(const Page& page) const
{
    return page.lines.size() > 1 ? page.lines[1].start : page.end;
}

ReadingPosition TextFormatter::LastPageStart(int body)
{
    return PreviousPageStart({document_.ParagraphCount(body), 0, body});
}

void TextFormatter::MarkFound(LayoutLine& line) const
{
    if (!found_ || (line.flags & kLineImageBand) || line.start.body != found_->body
        || line.start.paragraph != found_->paragraph)
        return;
    const int from = std::max(0, found_->offset - line.start.offset);
    const int to = std::min(line.length, found_->offset + found_->length - line.start.offset);
    for (int i = from; i < to && i < int(line.attributes.size()); ++i)
        line.attributes[std::size_t(i)] |= kAttrFound;
    line.UpdatePlain();
}

void TextFormatter::SetFoundRange(const FoundRange& range, Page& page)
{
    ClearFoundRange(page);
    found_ = range;
    for (LayoutLine& line : page.lines)
        MarkFound(line);
}

void TextFormatter::ClearFoundRange(Page& page)
{
    found_.reset();
    for (LayoutLine& line : page.lines) {
        for (uint16_t& attribute : line.attributes)
            attribute &= ~kAttrFound;
        line.UpdatePlain();
    }
}

std::vector<LayoutLine> TextFormatter::LayoutPopup(
    QStringView text, int width, int height, int sizeStep)
{
    std::vector<LayoutLine> lines;
    const LineFrame frame {std::max(1, width), std::max(1, height), false, false};
    const uint16_t attribute = uint16_t(sizeStep & kAttrSizeMask);
    int y = 0;
    int index = 0;
    for (qsizetype from = 0; from < text.size(); ++index) {
        qsizetype to = from;
        while (to < text.size() && text[to] != u'\r' && text[to] != u'\n')
            ++to;
        ParagraphView view;
        view.text = text.mid(from, to - from).toString();
        for (QChar& c : view.text)
            if (c.unicode() < 0x20)
                c = u' ';
        view.attributes.assign(std::size_t(view.text.size()), attribute);
        const PreparedParagraph paragraph = builder_.Prepare(std::move(view), false);
        int offset = 0;
        do {
            const LineBreak fit = builder_.Break(paragraph, offset, paragraph.Length(), frame);
            if (y + fit.height > height && !lines.empty())
                return lines;
            LayoutLine line = builder_.Build(paragraph, fit, frame);
            line.start = {index, offset, 0};
            line.y = y;
            y += line.height;
            lines.push_back(std::move(line));
            offset = fit.next;
        } while (offset < paragraph.Length());
        // CR LF is one line end.
        from = to + (to + 1 < text.size() && text[to] == u'\r' && text[to + 1] == u'\n' ? 2 : 1);
    }
    return lines;
}

} // namespace lbv
