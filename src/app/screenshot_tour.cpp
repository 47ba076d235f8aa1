#include "app/screenshot_tour.h"

#include "gui/main_frame.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>

namespace lbv {

void StartScreenshotTour(CMainFrame& frame, const QString& folder)
{
    QDir().mkpath(folder);
    // Give the start-up open, queued by the frame, its turn first.
    QTimer::singleShot(500, &frame, [&frame, folder] {
        auto* tabs = frame.findChild<QTabWidget*>(QStringLiteral("tabs"));
        QTextStream out(stdout);
        for (int tab = 0; tabs && tab < tabs->count(); ++tab) {
            frame.SelectTab(tab);
            QCoreApplication::processEvents();
            const QString path = QDir(folder).filePath(
                QStringLiteral("%1-%2.png").arg(tab + 1).arg(tabs->tabText(tab).toLower()));
            out << (frame.grab().save(path) ? "saved " : "could not save ") << path << Qt::endl;
        }
        frame.close();
    });
}

} // namespace lbv
