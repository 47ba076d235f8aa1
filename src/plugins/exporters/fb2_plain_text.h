#pragma once
// An FB2 book as plain text: the authors and the title, then every body with its titles,
// paragraphs, poems and tables, one paragraph per line and a blank line between blocks.
#include <QString>
#include <libxml/tree.h>

namespace lbv {

QString Fb2PlainText(const xmlDoc* book);

} // namespace lbv
