#include "reader/text_measurer.h"

#include "reader/document_source.h"

#include <algorithm>

namespace lbv {

int SizeStep(uint16_t attribute)
{
    const int bits = attribute & kAttrSizeMask;
    return bits >= 32 ? bits - 64 : bits;
}

FontKey FontKeyFor(uint16_t attribute, const FontBase& base)
{
    FontKey key;
    // A large negative step must not ask the surface for an empty or upside-down font.
    key.pixelHeight = std::max(1, base.fontSize + SizeStep(attribute));
    if (base.fontBold || (attribute & kAttrBold))
        key.flags |= FontKey::Bold;
    if (attribute & kAttrItalic)
        key.flags |= FontKey::Italic;
    if (attribute & kAttrUnderline)
        key.flags |= FontKey::Underline;
    key.rotation = base.rotation;
    return key;
}

LogicalFont LogicalFontFor(const FontKey& key, const QString& face, int clearType)
{
    LogicalFont font;
    font.height = -key.pixelHeight;
    font.weight = key.flags & FontKey::Bold ? 700 : 400;
    font.italic = key.flags & FontKey::Italic;
    font.underline = key.flags & FontKey::Underline;
    font.escapement = key.rotation;
    font.orientation = key.rotation;
    font.quality = clearType == 1 ? LogicalFont::Quality::ClearType
        : clearType == 2          ? LogicalFont::Quality::Antialiased
                                  : LogicalFont::Quality::NonAntialiased;
    font.face = face;
    return font;
}

} // namespace lbv
