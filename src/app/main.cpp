// libravon: the desktop program.
#include "app/screenshot_tour.h"
#include "gui/shell/application.h"
#include "gui/shell/command_line.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    // Answered before a display is needed, so that they work from a console.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const lbv::CommandLine commandLine = lbv::ParseCommandLine(arguments);
    if (commandLine.help || commandLine.version) {
        const QString text = commandLine.help ? lbv::UsageText() : lbv::VersionText();
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }

    QApplication app(argc, argv);
    // For the documentation: saves a picture of every tab and quits (scripts/screenshots.sh).
    const QString screenshotFolder = qEnvironmentVariable("LIBRAVON_SCREENSHOT_DIR");
    if (!screenshotFolder.isEmpty())
        return lbv::RunLibravon(app, [screenshotFolder](lbv::CMainFrame& frame) {
            lbv::StartScreenshotTour(frame, screenshotFolder);
        });
    return lbv::RunLibravon(app);
}
