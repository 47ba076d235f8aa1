#include "reader/popup_layout.h"

#include <algorithm>

namespace lbv {

PopupLayout LayOutPopup(TextFormatter& formatter, QStringView text, int pageWidth, int pageHeight,
    int anchorTop, int anchorBottom)
{
    // Room enough to read an article, with some of the page left visible around it.
    const int textWidth = std::max(pageWidth * 4 / 5 - 2 * kPopupPadding, 1);
    const int textHeight = std::max(pageHeight * 2 / 3 - 2 * kPopupPadding, 1);
    PopupLayout popup;
    popup.lines = formatter.LayoutPopup(text, textWidth, textHeight, 0);
    int width = 0;
    int height = 0;
    for (const LayoutLine& line : popup.lines) {
        width = std::max(width, line.x + line.Width());
        height = std::max(height, line.y + line.height);
    }
    PageBox& box = popup.box;
    box.width = std::min(width, textWidth) + 2 * kPopupPadding;
    box.height = height + 2 * kPopupPadding;
    box.x = std::max((pageWidth - box.width) / 2, 0);
    if (anchorBottom + box.height <= pageHeight)
        box.y = anchorBottom;
    else if (anchorTop - box.height >= 0)
        box.y = anchorTop - box.height;
    else
        box.y = std::max(pageHeight - box.height, 0);
    return popup;
}

} // namespace lbv
