#pragma once
// How the view draws a laid-out line: runs of characters with equal attributes, one text-output
// call each with the line's advances, in the colour of their slot on the background their
// highlight asks for, every run on the line's baseline.
#include "reader/page_layout.h"
#include "reader/reader_settings.h"

#include <vector>

namespace lbv {

struct LineRun {
    int from = 0; // first character in the line
    int count = 0;
    int x = 0; // from the line's x
    int top = 0; // from the line's top: the line's ascent minus the font's (or the picture's)
    FontKey font;
    uint32_t textColor = 0; // 0x00BBGGRR
    uint32_t backgroundColor = 0;
    const InlineImage* image = nullptr; // an inline picture, one character, bottom on the baseline
};

// Image bands have no runs: the view draws the band's rows of the picture.
std::vector<LineRun> LineRuns(const LayoutLine& line, TextMeasurer& measurer, const FontBase& base,
    const ReaderColors& colors);

} // namespace lbv
