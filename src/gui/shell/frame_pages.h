#pragma once
// The main frame's pages, their tabs and captions.
#include <QString>

#include <optional>

namespace lbv {

enum class Page { Shelf, Reader, Import, Options, Maintenance };
inline constexpr int kPageCount = 5;

// The tab showing `page`, or -1 when the page is not offered. In autorun mode Import and
// Maintenance are missing, so Options moves up to the third tab.
int TabOfPage(Page page, bool autorun);
// The page on tab `tab`, or null when there is no such tab.
std::optional<Page> PageOnTab(int tab, bool autorun);

QString PageCaption(Page page);

} // namespace lbv
