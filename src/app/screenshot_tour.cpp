#include "app/screenshot_tour.h"

#include "gui/common/grid_tree_view.h"
#include "gui/import/import_page.h"
#include "gui/reader/reader_view.h"
#include "gui/shelf/author_tree_model.h"
#include "gui/shelf/book_list_ctrl.h"
#include "gui/shelf/shelf_page.h"
#include "gui/shell/main_frame.h"
#include "gui/shell/new_library_wizard.h"
#include "reader/key_map.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>

#include <functional>

namespace lbv {
namespace {

void SaveShot(QWidget& widget, const QString& path)
{
    QTextStream out(stdout);
    out << (widget.grab().save(path) ? "saved " : "could not save ") << path << Qt::endl;
}

// The whole screen over the frame, with the popups and boxes open on it.
void SaveScreenShot(CMainFrame& frame, const QString& path)
{
    QTextStream out(stdout);
    const QRect area = frame.geometry();
    const QPixmap shot = frame.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    out << (shot.save(path) ? "saved " : "could not save ") << path << Qt::endl;
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
    // And its first book, with the preview band.
    CBookListCtrl& books = *shelf.BookList();
    if (books.model()->rowCount() > 0)
        books.setCurrentIndex(books.model()->index(0, 0));
}

// The book menu is a popup window of its own: the screen is grabbed while it is open.
void SaveBookMenuShot(CMainFrame& frame, const QDir& folder)
{
    frame.SelectPage(Page::Shelf);
    QCoreApplication::processEvents();
    CBookListCtrl& books = *frame.ShelfPage()->BookList();
    const QRect row = books.visualRect(books.model()->index(0, 0));
    if (!row.isValid())
        return;
    const QString path = folder.filePath(QStringLiteral("1-shelf-book-menu.png"));
    QTimer::singleShot(300, &frame, [&frame, path] {
        SaveScreenShot(frame, path);
        if (QWidget* menu = QApplication::activePopupWidget())
            menu->close();
    });
    const QPoint at = row.center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, books.viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(books.viewport(), &click);
}

// The open book turned a quarter and in two columns, then as it was.
void SaveTurnedReaderShot(CMainFrame& frame, const QDir& folder)
{
    auto* reader = qobject_cast<CReaderView*>(frame.PageWidget(Page::Reader));
    if (!reader)
        return;
    frame.SelectPage(Page::Reader);
    reader->RunCommand(int(ReaderCommand::Rotate));
    QCoreApplication::processEvents();
    SaveShot(frame, folder.filePath(QStringLiteral("2-reader-turned.png")));
    for (int turn = 0; turn < 3; ++turn)
        reader->RunCommand(int(ReaderCommand::Rotate));
}

// A run of the Import page over the library's own folder: its books are in the catalog already,
// so the run meets the existing-book question, which is shown, then answered "No" as closing
// does. `then` follows the run's end; the demo library is left unmodified.
void SaveImportRunShot(CMainFrame& frame, const QDir& folder, std::function<void()> then)
{
    CImportPage* page = frame.ImportPage();
    if (!page || frame.Catalog().path.isEmpty()) {
        then();
        return;
    }
    frame.SelectPage(Page::Import);
    QObject::connect(page, &CImportPage::scanFinished, page, [page] { page->StartOrStop(); },
        Qt::SingleShotConnection);
    QObject::connect(page, &CImportPage::runEnded, &frame,
        [&frame, then] {
            frame.Catalog().SetModified(false);
            then();
        },
        Qt::SingleShotConnection);
    const QString path = folder.filePath(QStringLiteral("3-import-run.png"));
    QTimer::singleShot(2000, page, [&frame, page, path] {
        SaveScreenShot(frame, path);
        page->StopForClose();
    });
    page->AddPaths({QFileInfo(frame.Catalog().path).absolutePath()});
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
        SaveTurnedReaderShot(frame, QDir(folder));
        SaveBookMenuShot(frame, QDir(folder));
        SaveWizardShots(frame, QDir(folder));
        SaveImportRunShot(frame, QDir(folder), [&frame] { frame.close(); });
    });
}

} // namespace lbv
