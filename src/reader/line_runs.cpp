#include "reader/line_runs.h"

#include "reader/line_builder.h"

namespace lbv {

std::vector<LineRun> LineRuns(const LayoutLine& line, TextMeasurer& measurer, const FontBase& base,
    const ReaderColors& colors)
{
    std::vector<LineRun> runs;
    if (line.flags & kLineImageBand)
        return runs;
    const int length = int(line.text.size());
    int x = 0;
    for (int from = 0; from < length;) {
        const uint16_t attribute = line.attributes[std::size_t(from)];
        int to = from + 1;
        // A picture is a run of its own; text runs end where any attribute changes.
        while (to < length && !(attribute & kAttrInlineImage)
            && line.attributes[std::size_t(to)] == attribute)
            ++to;
        LineRun run;
        run.from = from;
        run.count = to - from;
        run.x = x;
        run.font = FontKeyFor(attribute, base);
        run.textColor = colors.values[std::size_t(attribute >> kAttrColourShift & 7)];
        run.backgroundColor = colors[attribute & kAttrFound ? ReaderColor::HighlightedBackground
                                                            : ReaderColor::Background];
        if (attribute & kAttrInlineImage) {
            for (const InlineImage& image : line.inlineImages)
                if (image.index == from)
                    run.image = &image;
        }
        if (run.image) {
            int width = 0, height = 0;
            ImagePageSize(*run.image->image, base.rotation, width, height);
            run.top = line.ascent - height;
        } else {
            run.top = line.ascent - measurer.Metrics(run.font).ascent;
        }
        for (int i = from; i < to; ++i)
            x += line.advances[std::size_t(i)];
        runs.push_back(run);
        from = to;
    }
    return runs;
}

} // namespace lbv
