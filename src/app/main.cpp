// libravon: the desktop program.
#include "app/screenshot_tour.h"
#include "gui/shell/application.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // For the documentation: saves a picture of every tab and quits (scripts/screenshots.sh).
    const QString screenshotFolder = qEnvironmentVariable("LIBRAVON_SCREENSHOT_DIR");
    if (!screenshotFolder.isEmpty())
        return lbv::RunLibravon(app, [screenshotFolder](lbv::CMainFrame& frame) {
            lbv::StartScreenshotTour(frame, screenshotFolder);
        });
    return lbv::RunLibravon(app);
}
