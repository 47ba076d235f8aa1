#include "reader/line_builder.h"

#include "reader/hyphenation.h"

#include <algorithm>

namespace lbv {
namespace {

// Characters of one measuring group share the attribute bits that choose a font (and whether
// the character is an inline image).
constexpr uint16_t kGroupBits = 0x03FF;
// Below this width a line is unreadable, so indents give way first.
constexpr int kMinimumLineWidth = 50;

bool IsImage(uint16_t attribute)
{
    return attribute & kAttrInlineImage;
}

bool IsBlankAt(const ParagraphView& view, int index)
{
    return view.text[index] == u' ' && !IsImage(view.attributes[std::size_t(index)]);
}

bool IsDash(char16_t c)
{
    return c == u'-' || c == u'\u2013' || c == u'\u2014';
}

} // namespace

bool PreparedParagraph::IsBlank() const
{
    return view.text.isEmpty() || (view.text.size() == 1 && IsBlankAt(view, 0));
}

void ImagePageSize(const DecodedImage& image, int rotation, int& width, int& height)
{
    const bool turned = rotation == 900 || rotation == 2700;
    width = turned ? image.height : image.width;
    height = turned ? image.width : image.height;
}

LineBuilder::LineBuilder(TextMeasurer& measurer, DocumentSource* images)
    : measurer_(measurer)
    , images_(images)
{
}

void LineBuilder::SetFont(const FontBase& base)
{
    base_ = base;
    metrics_.fill(std::nullopt);
}

const FontMetrics& LineBuilder::MetricsOf(uint16_t attribute)
{
    std::optional<FontMetrics>& slot = metrics_[attribute & kFontBits];
    if (!slot)
        slot = measurer_.Metrics(FontKeyFor(attribute & kFontBits, base_));
    return *slot;
}

PreparedParagraph LineBuilder::Prepare(ParagraphView view, bool hyphenate)
{
    PreparedParagraph paragraph;
    paragraph.view = std::move(view);
    const QString& text = paragraph.view.text;
    std::vector<uint16_t>& attributes = paragraph.view.attributes;
    const int length = int(text.size());
    attributes.resize(std::size_t(length), 0); // a source's mismatch must not read past the end
    if (hyphenate)
        MarkHyphenationPoints(text, attributes.data());
    paragraph.advances.assign(std::size_t(length), 0);
    for (int i = 0; i < length;) {
        const uint16_t group = attributes[std::size_t(i)] & kGroupBits;
        int end = i + 1;
        while (end < length && (attributes[std::size_t(end)] & kGroupBits) == group)
            ++end;
        if (!IsImage(group))
            measurer_.Advances(FontKeyFor(group, base_), QStringView(text).mid(i, end - i),
                paragraph.advances.data() + i);
        i = end;
    }
    return paragraph;
}

int LineBuilder::Indent(
    const PreparedParagraph& paragraph, bool first, int frameWidth, int& width) const
{
    const ParagraphView& view = paragraph.view;
    const int dpi = measurer_.DpiX();
    const int align = paragraph.Align();
    const bool firstLineIndent = first && align != 1 && align != 2;
    int indent = dpi * ((firstLineIndent ? view.firstLineIndent : 0) + view.leftIndent) / 25;
    if (frameWidth - indent < kMinimumLineWidth)
        indent = std::max(0, frameWidth - kMinimumLineWidth);
    width = frameWidth - indent;
    // A column narrower than the minimum keeps its own width rather than overflowing.
    width = std::max(width - dpi * view.rightIndent / 25, std::min(kMinimumLineWidth, frameWidth));
    return indent;
}

ImageHandle LineBuilder::InlineImageAt(
    const PreparedParagraph& paragraph, int index, int maxWidth, int maxHeight)
{
    const qsizetype entry = paragraph.view.text[index].unicode();
    if (!images_ || entry >= paragraph.view.links.size())
        return nullptr;
    return images_->GetImage(
        paragraph.view.links[entry].target, {maxWidth, maxHeight, base_.rotation});
}

LineBreak LineBuilder::Break(
    const PreparedParagraph& paragraph, int start, int end, const LineFrame& frame)
{
    LineBreak line;
    const ParagraphView& view = paragraph.view;
    const int length = paragraph.Length();
    line.start = start;
    line.first = start == 0;
    end = std::clamp(end, start, length);
    if (paragraph.IsBlank() || start >= end) {
        line.count = end - start;
        line.next = end;
        line.last = end >= length;
        const FontMetrics& base = MetricsOf(0);
        line.height = base.height;
        line.ascent = base.ascent;
        return line;
    }
    line.x = Indent(paragraph, line.first, frame.width, line.width);

    fitted_.clear();
    int x = 0;
    for (int i = start; i < end; ++i) {
        int width = paragraph.advances[std::size_t(i)];
        ImageHandle image;
        if (IsImage(view.attributes[std::size_t(i)])) {
            const int remaining = line.width - x;
            if (remaining <= 0)
                break;
            image = InlineImageAt(paragraph, i, remaining, frame.maxImageHeight);
            int height = 0;
            if (image)
                ImagePageSize(*image, base_.rotation, width, height);
        }
        // At least one character is taken, however wide.
        if (x + width > line.width && i > start)
            break;
        if (image)
            line.images.push_back({i - start, image});
        x += width;
        fitted_.push_back(x);
    }
    const int fitted = int(fitted_.size()); // at least 1: the first character always fits
    int count = fitted;
    if (start + fitted < end)
        count = FindBreak(paragraph, start, fitted, line.width, frame.hyphenate, line.hyphen);
    // A word cut at the fitted count keeps its surrogate pairs whole.
    if (!line.hyphen && count > 1 && view.text[start + count - 1].isHighSurrogate())
        --count;
    line.count = count;
    std::erase_if(line.images, [count](const InlineImage& image) { return image.index >= count; });
    line.used = fitted_[std::size_t(count - 1)];
    if (line.hyphen)
        line.used += MetricsOf(view.attributes[std::size_t(start + count - 1)]).hyphenWidth;
    line.next = start + count;
    while (line.next < length && IsBlankAt(view, line.next))
        ++line.next;
    line.last = line.next >= length;
    Measure(line, paragraph);
    return line;
}

int LineBuilder::FindBreak(const PreparedParagraph& paragraph, int start, int fitted, int width,
    bool hyphenate, bool& hyphen)
{
    const ParagraphView& view = paragraph.view;
    const int length = paragraph.Length();
    for (int j = fitted; j >= 1; --j) {
        const int index = start + j;
        const uint16_t attribute = view.attributes[std::size_t(index)];
        if (IsImage(attribute))
            continue;
        const QChar c = view.text[index];
        if (c == u' ')
            return j;
        // A dash joins words; before a digit it is a minus or a range and stays with it.
        if (j < fitted && IsDash(c.unicode()) && index < length - 1
            && !IsImage(view.attributes[std::size_t(index + 1)])) {
            const QChar after = view.text[index + 1];
            if (after == u' ' || after.isLetter())
                return j + 1;
        }
        if (hyphenate && (attribute & kAttrHyphenBreak)
            && fitted_[std::size_t(j - 1)]
                    + MetricsOf(view.attributes[std::size_t(index - 1)]).hyphenWidth
                <= width) {
            hyphen = true;
            return j;
        }
    }
    return fitted;
}

void LineBuilder::Measure(LineBreak& line, const PreparedParagraph& paragraph)
{
    const std::vector<uint16_t>& attributes = paragraph.view.attributes;
    int previous = -1;
    for (int i = line.start; i < line.start + line.count; ++i) {
        const uint16_t font = attributes[std::size_t(i)] & kFontBits;
        if (font == previous)
            continue;
        previous = font;
        const FontMetrics& metrics = MetricsOf(font);
        line.height = std::max(line.height, metrics.height);
        line.ascent = std::max(line.ascent, metrics.ascent);
    }
    // Pictures sit on the baseline: a taller one pushes the line down by the difference.
    for (const InlineImage& image : line.images) {
        int width = 0, height = 0;
        ImagePageSize(*image.image, base_.rotation, width, height);
        if (height > line.ascent) {
            line.height += height - line.ascent;
            line.ascent = height;
        }
    }
}

LayoutLine LineBuilder::Build(
    const PreparedParagraph& paragraph, const LineBreak& line, const LineFrame& frame)
{
    const ParagraphView& view = paragraph.view;
    LayoutLine out;
    out.x = line.x;
    out.height = line.height;
    out.ascent = line.ascent;
    out.start.offset = line.start;
    out.length = line.count;
    out.flags = uint8_t((line.first ? kLineFirst : 0) | (line.last ? kLineLast : 0));
    out.hyphenated = line.hyphen;
    out.inlineImages = line.images;
    if (paragraph.IsBlank()) {
        out.flags |= kLinePlain;
        return out;
    }
    out.text = view.text.mid(line.start, line.count);
    const auto first = view.attributes.begin() + line.start;
    out.attributes.assign(first, first + line.count);
    for (uint16_t& attribute : out.attributes)
        attribute &= ~kAttrHyphenBreak;
    const auto advance = paragraph.advances.begin() + line.start;
    out.advances.assign(advance, advance + line.count);
    for (const InlineImage& image : line.images) {
        int width = 0, height = 0;
        ImagePageSize(*image.image, base_.rotation, width, height);
        out.advances[std::size_t(image.index)] = width;
    }
    if (line.hyphen) {
        const uint16_t attribute = out.attributes.back() & ~kAttrInlineImage;
        out.text.append(u'-');
        out.attributes.push_back(attribute);
        out.advances.push_back(MetricsOf(attribute).hyphenWidth);
    }

    const int free = line.width - line.used;
    const int align = paragraph.Align();
    if (align == 1) {
        out.x += std::max(0, free);
    } else if (align == 2) {
        out.x += std::max(0, free) / 2;
    } else if ((align == 4 || (align == 0 && frame.justify)) && !line.last && free > 0) {
        int blanks = 0;
        for (int i = 0; i < line.count; ++i)
            blanks += IsBlankAt(view, line.start + i);
        // Every blank gets the quotient; the first (free mod blanks) one pixel more.
        for (int i = 0, seen = 0; i < line.count && blanks > 0; ++i) {
            if (IsBlankAt(view, line.start + i))
                out.advances[std::size_t(i)] += free / blanks + (seen++ < free % blanks ? 1 : 0);
        }
    }
    out.UpdatePlain();
    return out;
}

} // namespace lbv
