#pragma once
// The reader's dialogs and pop-up for the screenshot tour. Kept apart from the tour itself: the
// reader engine's page and the frame's page enum share a name and can't meet in one file.
#include <QString>

class QWidget;

namespace lbv {

class CReaderView;

// The Contents dialog of the open book, with a bookmark of the user's among the sections (taken
// away again afterwards); the open-file dialog inside `archive` when one is given.
void SaveReaderDialogShots(CReaderView& reader, const QString& archive, const QString& folder);
// Bookmarks the top of the open page, taps it and grabs the screen over `window` (the pop-up is a
// window of its own) into a PNG at path; then closes the pop-up and takes the bookmark away.
void SaveBookmarkPopupShot(CReaderView& reader, QWidget& window, const QString& path);

} // namespace lbv
