#pragma once
// What a reader document needs besides its bytes: the element styles, the read block size, the
// display gamma and the observers of loading.
#include "reader/document_source.h"
#include "reader/element_styles.h"

namespace lbv {

struct DocumentOptions {
    const ElementStyleTable* styles = nullptr; // null: DefaultElementStyles()
    int fileBufSize = 16384; // already clamped (ClampFileBufSize)
    int gamma = 2200000;
    LoadObserver observer;
};

} // namespace lbv
