#pragma once
// Russian hyphenation points: where a Cyrillic word may be broken with a hyphen.
#include <QStringView>
#include <cstdint>

namespace lbv {

// Sets kAttrHyphenBreak on every character of text before which a Cyrillic word may be
// hyphenated; attributes holds one entry per character. Marks already present stay.
void MarkHyphenationPoints(QStringView text, uint16_t* attributes);

} // namespace lbv
