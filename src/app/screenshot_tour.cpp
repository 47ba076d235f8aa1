#include "app/screenshot_tour.h"

#include "gui/shell/main_frame.h"
#include "gui/shell/new_library_wizard.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>

namespace lbv {
namespace {

void SaveShot(QWidget& widget, const QString& path)
{
    QTextStream out(stdout);
    out << (widget.grab().save(path) ? "saved " : "could not save ") << path << Qt::endl;
}

// The two pages of the new-library wizard, as a user without a library first sees them.
void SaveWizardShots(QWidget& parent, const QDir& folder)
{
    CNewLibraryWizard wizard(&parent);
    wizard.show();
    QCoreApplication::processEvents();
    SaveShot(wizard, folder.filePath(QStringLiteral("0-new-library-structure.png")));
    wizard.next();
    QCoreApplication::processEvents();
    SaveShot(wizard, folder.filePath(QStringLiteral("0-new-library-location.png")));
}

} // namespace

void StartScreenshotTour(CMainFrame& frame, const QString& folder)
{
    QDir().mkpath(folder);
    // Give the start-up open, queued by the frame, its turn first.
    QTimer::singleShot(500, &frame, [&frame, folder] {
        auto* tabs = frame.findChild<QTabWidget*>(QStringLiteral("tabs"));
        for (int tab = 0; tabs && tab < tabs->count(); ++tab) {
            frame.SelectTab(tab);
            QCoreApplication::processEvents();
            SaveShot(frame,
                QDir(folder).filePath(
                    QStringLiteral("%1-%2.png").arg(tab + 1).arg(tabs->tabText(tab).toLower())));
        }
        SaveWizardShots(frame, QDir(folder));
        frame.close();
    });
}

} // namespace lbv
