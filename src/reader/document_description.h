#pragma once
// The file information dialog's description of the open document: where it is, what it was read
// as, in which encoding, and how its bytes were stored.
#include "reader/document_source.h"

#include <QStringList>

namespace lbv {

// "Path: ...", "Format: ...", "Encoding: ..." (for plain text, and for any book whose encoding
// the user chose: chosenEncoding is a code page index or -1), "Compression: ...".
QStringList DocumentDescription(
    const DocumentSource& document, const QString& path, int chosenEncoding);

} // namespace lbv
