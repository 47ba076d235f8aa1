#include "reader/fixed_width_measurer.h"

#include <QChar>

namespace lbv {

FontMetrics FixedWidthMeasurer::Metrics(const FontKey&)
{
    return {cell_.height, cell_.ascent, cell_.width};
}

void FixedWidthMeasurer::Advances(const FontKey&, QStringView text, int* advances)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool zeroWidth = c.isHighSurrogate()
            || (QChar::category(c.unicode()) == QChar::Mark_NonSpacing && i > 0);
        advances[i] = zeroWidth ? 0 : cell_.width;
    }
}

} // namespace lbv
