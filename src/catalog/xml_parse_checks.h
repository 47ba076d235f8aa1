#pragma once
// Checks the XML document layer runs on a freshly parsed document before handing it out.
#include <QString>
#include <libxml/tree.h>

namespace lbv {

// Refuses a document whose entity references would expand to far more than the text it was
// parsed from (the "quadratic blow-up" that libxml2's own limits let through when entities are
// not substituted). Returns the reason, or an empty string when the document is acceptable.
QString CheckEntityExpansion(const xmlDoc* doc, qsizetype inputSize);

// Validates the document against its internal DTD subset only (external subsets are never
// loaded). Returns the first validity error, or an empty string.
QString ValidateAgainstInternalDtd(xmlDoc* doc);

} // namespace lbv
