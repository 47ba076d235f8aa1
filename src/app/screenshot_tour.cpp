#include "app/screenshot_tour.h"

#include "gui/common/grid_tree_view.h"
#include "gui/shelf/author_tree_model.h"
#include "gui/shelf/book_list_ctrl.h"
#include "gui/shelf/book_list_model.h"
#include "gui/shelf/shelf_page.h"
#include "gui/shell/main_frame.h"
#include "gui/shell/new_library_wizard.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
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

// The shelf as a user browsing it sees it: the author with the most books chosen.
void ChooseBusiestAuthor(CShelfPage& shelf)
{
    const CAuthorTreeModel& tree = *shelf.TreeModel();
    QModelIndex busiest;
    int most = -1;
    for (int row = 0; row < tree.rowCount(); ++row) {
        const QModelIndex author = tree.index(row, CAuthorTreeModel::BooksColumn);
        if (author.data().toInt() > most) {
            most = author.data().toInt();
            busiest = author.siblingAtColumn(0);
        }
    }
    if (busiest.isValid())
        shelf.Tree()->setCurrentIndex(busiest);
}

// A book chosen in the list, with its preview band, then the list's context menu over it. The
// menu is a window of its own, so that shot is of the whole screen.
void SaveBookListShots(CMainFrame& frame, const QDir& folder)
{
    auto* books = frame.ShelfPage()->findChild<CBookListCtrl*>();
    if (!books || books->Model().rowCount() == 0)
        return;
    frame.SelectPage(Page::Shelf);
    const QModelIndex first = books->Model().index(0, 0);
    books->setFocus();
    books->setCurrentIndex(first);
    QCoreApplication::processEvents();
    SaveShot(frame, folder.filePath(QStringLiteral("1-shelf-book-selected.png")));

    const QPoint at = books->visualRect(first).center();
    QTimer::singleShot(300, &frame, [folder] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        const QString path = folder.filePath(QStringLiteral("1-shelf-book-menu.png"));
        QTextStream out(stdout);
        out << (QGuiApplication::primaryScreen()->grabWindow(0).save(path) ? "saved "
                                                                             : "could not save ")
            << path << Qt::endl;
        if (menu)
            menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, books->viewport()->mapToGlobal(at));
    QApplication::sendEvent(books->viewport(), &event);
}

} // namespace

void StartScreenshotTour(CMainFrame& frame, const QString& folder)
{
    QDir().mkpath(folder);
    // Give the start-up open, queued by the frame, its turn first.
    QTimer::singleShot(500, &frame, [&frame, folder] {
        ChooseBusiestAuthor(*frame.ShelfPage());
        auto* tabs = frame.findChild<QTabWidget*>(QStringLiteral("tabs"));
        for (int tab = 0; tabs && tab < tabs->count(); ++tab) {
            frame.SelectTab(tab);
            QCoreApplication::processEvents();
            SaveShot(frame,
                QDir(folder).filePath(
                    QStringLiteral("%1-%2.png").arg(tab + 1).arg(tabs->tabText(tab).toLower())));
        }
        SaveBookListShots(frame, QDir(folder));
        SaveWizardShots(frame, QDir(folder));
        frame.close();
    });
}

} // namespace lbv
