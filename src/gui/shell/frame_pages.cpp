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

QString PageDescription(Page page)
{
    switch (page) {
    case Page::Shelf:
        return QStringLiteral(
            "the catalog: authors and their groups in a tree, the books of the chosen author or "
            "group in a list with each book's details and annotation, a Search box and a Filter "
            "list to narrow what is shown, and a status line counting what is on show. Books are "
            "deleted, sorted, moved between groups by dragging, edited and opened in the Reader "
            "from here.");
    case Page::Reader:
        return QStringLiteral(
            "the open book, laid out in pages: FB2 books (also inside ZIP archives), plain text "
            "in any common code page, Palm and TCR books and pictures, with contents, bookmarks, "
            "find, autoscroll, dictionaries and a progress bar. It remembers the page you were "
            "on in every book.");
    case Page::Import:
        return QStringLiteral(
            "files, folders and ZIP archives dropped on the window or added here, one row per "
            "book found, and the chosen operation: standard import, conversion only, or import "
            "in place. Start files every ticked book into the library under the name the "
            "library's mask gives it and adds it to the catalog; a log records every step.");
    case Page::Options:
        return QStringLiteral(
            "the settings of the shelf (fonts, colours, grid lines, genre language, double-click "
            "action, search), of the import (folders, logs, converted books, what to do with a "
            "book already in the catalog) and of the reader (text, colours, styles, keys, "
            "dictionaries). Every change applies at once.");
    case Page::Maintenance:
        return QStringLiteral(
            "the installed catalog plug-ins, grouped by category, with a description of the "
            "selected one and the Execute and Setup buttons. A plug-in that changes the catalog "
            "updates the shelf at once.");
    }
    return {};
}

} // namespace lbv
