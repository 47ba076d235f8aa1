#pragma once
// Opening and saving the index a command works on, with the index file's messages on stderr.
#include <QString>

namespace lbv {
class CLibravonDoc;
}

namespace lbv::cli {

// Opens the index at `path` (made absolute, so that the library folder is known whatever the
// index holds). False after printing why; the file is then left as it was.
bool OpenCatalog(CLibravonDoc& catalog, const QString& path);
// Writes the catalog to its path: to a new file renamed over the old, so a failure leaves the
// old index whole. False after printing why.
bool SaveCatalog(CLibravonDoc& catalog);

} // namespace lbv::cli
