#pragma once
// XPath selection for the header reader, which evaluates the same dozen paths on thousands of
// small FB2 documents: the evaluation context and the compiled paths are kept per thread instead
// of being made for every selection. The prefix "fb" is bound to the FictionBook namespace of the
// document's root element (2.1 or 2.0), whatever the document's own prefix bindings say.
#include <QStringView>
#include <libxml/tree.h>

namespace lbv {

// The first node, in document order, that `xpath` selects from `context` (a document's Node()
// for absolute paths); null when nothing matches or the path is not valid XPath.
xmlNode* SelectFirstFbNode(const xmlNode* context, QStringView xpath);

} // namespace lbv
