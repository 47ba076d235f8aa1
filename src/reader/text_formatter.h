#pragma once
// Lays an open document out into pages of positioned lines, one page at a time: columns filled
// from a position, pages forward and backward, line steps, block images cut into bands, the
// found-text highlight, and the short texts of pop-ups with the same line breaker.
#include "reader/line_builder.h"
#include "reader/page_layout.h"

#include <deque>
#include <optional>

namespace lbv {

class TextFormatter {
public:
    // The document and the measurer must outlive the formatter.
    TextFormatter(DocumentSource& document, TextMeasurer& measurer);

    void SetSettings(const FormatterSettings& settings);
    void SetGeometry(const PageGeometry& geometry);
    const FormatterSettings& Settings() const { return settings_; }
    const PageGeometry& Geometry() const { return geometry_; }

    // A position inside its body: a paragraph's end moves to the next paragraph's start, and
    // indices out of range are clamped (the body's end is paragraph = count, offset 0).
    ReadingPosition Normalize(ReadingPosition position) const;
    bool AtBodyEnd(ReadingPosition position) const;

    // The page whose first line begins at `start`; it carries the found-text highlight.
    Page LayoutPage(ReadingPosition start);
    // After the page's last line, or at its last line with OneLineLess. An image cut at the
    // bottom of a page it didn't begin starts again from its top on the next one.
    ReadingPosition NextPageStart(const Page& page) const;
    // The start of the page that ends where `start` begins: the preceding lines fill the columns
    // from the last. At the body's start it is the body's start.
    ReadingPosition PreviousPageStart(ReadingPosition start);
    ReadingPosition NextLineStart(const Page& page) const;
    ReadingPosition PreviousLineStart(ReadingPosition start);
    ReadingPosition LastPageStart(int body);

    // Marks a found text on the page (and on pages laid out later), clearing the previous one.
    void SetFoundRange(const FoundRange& range, Page& page);
    void ClearFoundRange(Page& page);

    // A plain text split at CR and LF into paragraphs, broken into lines of `width` without
    // justification, every character with the size step; it stops before the line that would
    // pass `height` (the first line is always given). Line positions count paragraphs from 0.
    std::vector<LayoutLine> LayoutPopup(QStringView text, int width, int height, int sizeStep);

private:
    struct CachedParagraph {
        int body;
        int index;
        PreparedParagraph paragraph;
    };
    // How a block image is cut: `bands` bands of `bandHeight`, the last one taking the rest.
    struct ImageBands {
        ImageHandle image;
        int width = 0;
        int height = 0;
        int bandHeight = 0;
        int bands = 0;

        int BandOf(int offset) const { return std::min(offset, bands - 1); }
        int Top(int band) const { return band * bandHeight; }
        int HeightOf(int band) const;
    };
    // One line of text before a position, as page backward needs it.
    struct LineSpan {
        int offset;
        int height;
    };
    class BackwardLines;

    // The prepared paragraph; the reference lasts until the next call.
    const PreparedParagraph& Paragraph(int body, int index);
    LineFrame Frame() const;
    ImageBands BandsOf(const PreparedParagraph& paragraph);
    LayoutLine ImageBandLine(const PreparedParagraph& paragraph, int offset, int& next);
    // The lines of a paragraph that begin before `limit`, or all of them for a negative limit.
    std::vector<LineSpan> LinesBefore(int body, int paragraph, int limit);
    void MarkFound(LayoutLine& line) const;

    DocumentSource& document_;
    LineBuilder builder_;
    FormatterSettings settings_;
    PageGeometry geometry_;
    std::deque<CachedParagraph> paragraphs_;
    std::optional<FoundRange> found_;
};

} // namespace lbv
