#pragma once
// A page laid out with character cells, drawn as rows of text: each character in the cell its x
// falls in (so justification shows as wider gaps), columns side by side, inline pictures as "*",
// and a block picture as a frame of "#" with its size.
#include "reader/fixed_width_measurer.h"
#include "reader/page_layout.h"

#include <QStringList>

namespace lbv {

QStringList PageAsText(const Page& page, const PageGeometry& geometry, const CellSize& cell);

} // namespace lbv
