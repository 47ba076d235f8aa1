#pragma once
// Streams an FB2 book once through expat and fills an Fb2Model: paragraphs from the element
// style table's behaviour letters, runs that point back into the source, links, anchors,
// bodies, binaries and the contents entries of section titles.
#include "reader/byte_source.h"
#include "reader/document_source.h"
#include "reader/element_styles.h"
#include "reader/fb2_model.h"

#include <QString>

namespace lbv {

// codePage: a code page index forcing the document's encoding, or -1 to take the declared one.
// False with the error text ("Not a FictionBook2 document", "XML parse error: ...") on failure.
bool ParseFb2(ByteSource& source, int codePage, int blockSize, const ElementStyleTable& styles,
    const LoadObserver& observer, Fb2Model& model, QString& error);

} // namespace lbv
