#pragma once
// Painting a laid-out page and the progress bar under it on a widget, through the rotation.
#include "gui/reader/qt_text_measurer.h"
#include "reader/page_layout.h"
#include "reader/page_transform.h"
#include "reader/progress_bar_model.h"
#include "reader/reader_settings.h"

class QPainter;
class QRect;

namespace lbv {

struct PagePaint {
    const Page& page;
    const PageGeometry& geometry;
    const PageTransform& transform;
    const FontBase& base;
    const ReaderColors& colors;
    int markY = -1; // the autoscroll underline's row on the page, -1 for none
};

// A page rectangle as the client pixels it covers.
QRect ClientRect(const PageTransform& transform, int x, int y, int width, int height);

// The page's lines: text through a painter turned with the page, pictures in client pixels
// (they come already turned).
void PaintPage(QPainter& painter, const PagePaint& paint, QtTextMeasurer& measurer);

// The bar's layout in its own font, the same for painting and for taps.
ProgressBarLayout LayOutProgressBarFor(const ProgressBarState& state, int width);

// The bar in its own font along the bottom `height` rows of the page.
void PaintProgressBar(QPainter& painter, const PageTransform& transform, int height,
    const ProgressBarState& state, const ReaderColors& colors);

} // namespace lbv
