#pragma once
// The reader's pop-up for the screenshot tour, apart from the tour because the frame's page enum
// and the reader engine's page share a name.
#include <QString>

class QWidget;

namespace lbv {

class CReaderView;

// Bookmarks the top of the open page, taps it and grabs the screen over `window` (the pop-up is a
// window of its own) into a PNG at path; then closes the pop-up.
void SaveBookmarkPopupShot(CReaderView& reader, QWidget& window, const QString& path);

} // namespace lbv
