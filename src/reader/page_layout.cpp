#include "reader/page_layout.h"

#include "reader/reader_settings.h"

#include <algorithm>
#include <numeric>

namespace lbv {

int LayoutLine::Width() const
{
    if (flags & kLineImageBand)
        return imageWidth;
    return std::accumulate(advances.begin(), advances.end(), 0);
}

void LayoutLine::UpdatePlain()
{
    const bool plain
        = std::all_of(attributes.begin(), attributes.end(), [](uint16_t a) { return a == 0; });
    flags = uint8_t(plain ? flags | kLinePlain : flags & ~kLinePlain);
}

bool Page::ShowsPicture() const
{
    return std::any_of(lines.begin(), lines.end(), [](const LayoutLine& line) {
        return line.image
            || std::any_of(line.attributes.begin(), line.attributes.end(),
                [](uint16_t attribute) { return attribute & kAttrInlineImage; });
    });
}

PageGeometry PageGeometry::ForClient(int clientWidth, int clientHeight, int rotation, int columns,
    int margins, int progressBarHeight)
{
    if (rotation == 900 || rotation == 2700)
        std::swap(clientWidth, clientHeight);
    PageGeometry geometry;
    geometry.rotation = rotation;
    geometry.columns = std::max(1, columns);
    geometry.columnWidth = std::max(1, clientWidth / geometry.columns);
    geometry.margin = std::max(0, margins);
    geometry.textWidth = std::max(1, geometry.columnWidth - 2 * geometry.margin);
    geometry.pageHeight = std::max(1, clientHeight - progressBarHeight);
    return geometry;
}

FormatterSettings FormatterSettings::From(const ReaderParameters& parameters)
{
    FormatterSettings settings;
    settings.font.fontSize = parameters.fontSize;
    settings.font.fontBold = parameters.fontBold != 0;
    settings.font.rotation = parameters.orientation;
    settings.justify = parameters.justify != 0;
    settings.hyphenate = parameters.hyphenate != 0;
    settings.oneLineLess = parameters.oneLineLess != 0;
    return settings;
}

} // namespace lbv
