#pragma once
// The catalog as the index document plug-ins receive, and back again.
#include <QString>

namespace lbv {

class CLibravonDoc;
class XmlDocument;

// Writes the catalog into an empty document in the index format; false with `error` set.
bool StoreCatalog(const CLibravonDoc& catalog, XmlDocument& document, QString* error);
// Replaces the catalog's records and options with the document's, but only when the whole
// document reads as an index; otherwise the catalog stays as it was and `error` says why. The
// catalog's path stays; it is marked modified, as it no longer matches its file.
bool ReloadCatalog(CLibravonDoc& catalog, const XmlDocument& document, QString* error);

} // namespace lbv
