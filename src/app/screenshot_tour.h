#pragma once
// Saves a PNG of the main window with each tab selected in turn, then closes the window.
#include <QString>

namespace lbv {

class CMainFrame;

// Starts once the frame's start-up open has run; pictures are named "<n>-<caption>.png".
void StartScreenshotTour(CMainFrame& frame, const QString& folder);

} // namespace lbv
