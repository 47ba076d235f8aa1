#pragma once
// What the formatter produces: positioned lines and pages, and the parameters it lays out with.
// Coordinates are those of the unturned page; the view maps them through the rotation.
#include "reader/document_source.h"
#include "reader/text_measurer.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace lbv {

struct ReaderParameters;

// A found text's characters are drawn on "Highlighted Background".
inline constexpr uint16_t kAttrFound = 0x4000;

enum LineFlags : uint8_t {
    kLineFirst = 1, // first line of its paragraph
    kLineLast = 2, // last line of its paragraph
    kLinePlain = 4, // every character's attribute is 0
    kLineImageBand = 0x40, // a horizontal band of a block image
};

struct InlineImage {
    int index = 0; // the character of the line that shows it
    ImageHandle image;
};

struct LayoutLine {
    QString text; // may end with a hyphen the line break added
    std::vector<uint16_t> attributes; // kAttrHyphenBreak cleared
    std::vector<int> advances; // pixels per character, justification included
    int x = 0; // from the left of the column's text area
    int y = 0; // from the top of the page
    int column = 0;
    int height = 0;
    int ascent = 0;
    ReadingPosition start;
    int length = 0; // characters of the paragraph the line shows (the added hyphen not counted)
    uint8_t flags = 0;
    bool hyphenated = false;
    std::vector<InlineImage> inlineImages;
    // An image band shows the image's rows [bandTop, bandTop + height), `imageWidth` wide.
    ImageHandle image;
    int bandTop = 0;
    int imageWidth = 0;

    int Width() const;
    // Sets or clears kLinePlain from the attributes.
    void UpdatePlain();
};

struct Page {
    ReadingPosition start;
    ReadingPosition end; // just after the last line: where the next page begins without overlap
    std::vector<LayoutLine> lines;
    std::vector<int> columnLines; // lines in each column, in order

    // Whether a picture shows: a band of a block picture or an inline one.
    bool ShowsPicture() const;
};

// A found text: `length` characters of one paragraph from `offset`.
struct FoundRange {
    int body = 0;
    int paragraph = 0;
    int offset = 0;
    int length = 0;
};

// The page geometry for a client area, a rotation and a column count.
struct PageGeometry {
    int columnWidth = 1; // the usable width divided by the columns
    int margin = 0; // pixels on each side of a column's text
    int textWidth = 1; // columnWidth - 2 * margin
    int pageHeight = 1;
    int columns = 1;
    int rotation = 0;

    // At 900 and 2700 the client's width and height swap roles; the progress bar's height
    // (0 when it is hidden) comes off the page. Every size is at least 1.
    static PageGeometry ForClient(int clientWidth, int clientHeight, int rotation, int columns,
        int margins, int progressBarHeight);
};

// The reader settings the formatter follows.
struct FormatterSettings {
    FontBase font; // its rotation is the page geometry's
    bool justify = true; // justify paragraphs of default alignment
    bool hyphenate = false;
    bool oneLineLess = false; // the last line of a page is the first of the next

    static FormatterSettings From(const ReaderParameters& parameters);
};

} // namespace lbv
