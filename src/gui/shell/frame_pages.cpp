#include "gui/shell/frame_pages.h"

#include "text/messages.h"

namespace lbv {

int TabOfPage(Page page, bool autorun)
{
    if (!autorun)
        return int(page);
    switch (page) {
    case Page::Shelf:
        return 0;
    case Page::Reader:
        return 1;
    case Page::Options:
        return 2;
    case Page::Import:
    case Page::Maintenance:
        break;
    }
    return -1;
}

std::optional<Page> PageOnTab(int tab, bool autorun)
{
    if (tab < 0)
        return std::nullopt;
    // Tabs after the Reader skip the missing Import page.
    const int page = autorun && tab > 1 ? tab + 1 : tab;
    if (page >= kPageCount || (autorun && Page(page) == Page::Maintenance))
        return std::nullopt;
    return Page(page);
}

QString PageCaption(Page page)
{
    static constexpr Msg kCaptions[] = {
        Msg::TabShelf, Msg::TabReader, Msg::TabImport, Msg::TabOptions, Msg::TabMaintenance};
    return MessageText(kCaptions[int(page)]);
}

} // namespace lbv
