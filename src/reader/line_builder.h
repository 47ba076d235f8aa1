#pragma once
// Breaking a paragraph into lines: measuring its characters once, finding where each line ends
// (blanks, dashes, hyphenation points), indents and alignment, and building the positioned line
// with its advances justified. The page formatter and the pop-up texts both use it.
#include "reader/page_layout.h"
#include "reader/text_measurer.h"

#include <array>
#include <optional>
#include <vector>

namespace lbv {

// A paragraph's text and attributes (hyphenation points marked when asked) with the advance of
// every character; inline images count 0 here, they are fitted to each line.
struct PreparedParagraph {
    ParagraphView view;
    std::vector<int> advances;

    int Length() const { return int(view.text.size()); }
    // No characters, or a single blank: one blank line of the base font.
    bool IsBlank() const;
    int Align() const { return view.align & ~kAlignImageParagraph; }
};

// Where a line of a paragraph ends and how large it is, before its characters are copied.
struct LineBreak {
    int start = 0; // first character
    int count = 0; // characters taken
    int next = 0; // where the next line starts, blanks skipped
    bool hyphen = false; // a "-" is added at the end
    bool first = false;
    bool last = false;
    int x = 0; // the indent
    int width = 0; // the width available after the indents
    int used = 0; // the width of the taken characters and the hyphen
    int height = 0;
    int ascent = 0;
    std::vector<InlineImage> images; // index relative to start
};

struct LineFrame {
    int width = 1; // the text width lines are broken to
    int maxImageHeight = 1; // inline images fit the remaining width and this height
    bool justify = false; // justify paragraphs of default alignment
    bool hyphenate = false; // break at hyphenation points
};

// An image's width and height on the unturned page.
void ImagePageSize(const DecodedImage& image, int rotation, int& width, int& height);

class LineBuilder {
public:
    // images: where inline pictures come from (null: none are shown).
    LineBuilder(TextMeasurer& measurer, DocumentSource* images);

    void SetFont(const FontBase& base);
    const FontBase& Font() const { return base_; }
    // The metrics of the font a character attribute selects, asked of the measurer once.
    const FontMetrics& MetricsOf(uint16_t attribute);

    PreparedParagraph Prepare(ParagraphView view, bool hyphenate);
    // The line from `start`, looking no further than `end` (the paragraph's length, or less to
    // lay out only the text before a position).
    LineBreak Break(const PreparedParagraph& paragraph, int start, int end, const LineFrame& frame);
    LayoutLine Build(
        const PreparedParagraph& paragraph, const LineBreak& line, const LineFrame& frame);

private:
    static constexpr uint16_t kFontBits = 0x04FF; // size step, bold, italic, underline

    int Indent(const PreparedParagraph& paragraph, bool first, int frameWidth, int& width) const;
    int FindBreak(const PreparedParagraph& paragraph, int start, int fitted, int width,
        bool hyphenate, bool& hyphen);
    void Measure(LineBreak& line, const PreparedParagraph& paragraph);
    ImageHandle InlineImageAt(
        const PreparedParagraph& paragraph, int index, int maxWidth, int maxHeight);

    TextMeasurer& measurer_;
    DocumentSource* images_;
    FontBase base_;
    std::array<std::optional<FontMetrics>, kFontBits + 1> metrics_;
    std::vector<int> fitted_; // x after each fitted character of the line being broken
};

} // namespace lbv
