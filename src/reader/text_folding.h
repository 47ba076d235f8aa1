#pragma once
// Whitespace folding shared by the reader's documents: every stretch of code units up to U+0020
// counts as one blank, leading and trailing blanks are dropped, and a soft hyphen (U+00AD) is
// no character of its own. Counting at load time and building text at read time must agree
// exactly, so both go through these functions.
#include "reader/document_source.h"

#include <QStringView>

namespace lbv {

inline constexpr char16_t kSoftHyphen = 0x00AD;

inline bool IsFoldedSpace(char16_t c)
{
    return c <= 0x20;
}

struct FoldedMeasure {
    int length = 0; // characters after folding, without leading or trailing blank
    bool leadingBlank = false;
    bool trailingBlank = false;
};
FoldedMeasure MeasureFolded(QStringView text);
// The same measure over well-formed UTF-8 (as expat delivers it), counting UTF-16 units, so
// the parser needs no conversion for text it keeps as byte ranges.
FoldedMeasure MeasureFoldedUtf8(const char* text, int size);

// The folded text with soft hyphens kept, for storing short pieces.
QString FoldWhitespace(QStringView text);

// Appends the folded text to the view, every character with `attribute`. Soft hyphens are
// dropped; with markHyphens the character after one carries kAttrHyphenBreak. hyphenPending
// carries a soft hyphen at the end of one piece over to the next. Returns the characters added.
int AppendFolded(QStringView text, uint16_t attribute, bool markHyphens, ParagraphView& view,
    bool& hyphenPending);

// Cuts the view's text to `length` characters or pads it with blanks of attribute 0.
void FitToLength(ParagraphView& view, int length);

} // namespace lbv
