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

FontSpec FontSpecFor(const FontKey& key, const QString& face, int clearType)
{
    FontSpec spec;
    spec.height = -key.pixelHeight;
    spec.weight = key.flags & FontKey::Bold ? 700 : 400;
    spec.italic = key.flags & FontKey::Italic;
    spec.underline = key.flags & FontKey::Underline;
    spec.escapement = key.rotation;
    spec.orientation = key.rotation;
    spec.quality = clearType == 1 ? FontSpec::Quality::ClearType
        : clearType == 2          ? FontSpec::Quality::Antialiased
                                  : FontSpec::Quality::NonAntialiased;
    spec.face = face;
    return spec;
}

} // namespace lbv
