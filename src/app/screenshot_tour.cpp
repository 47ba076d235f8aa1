#include "app/screenshot_tour.h"

#include "gui/common/grid_tree_view.h"
#include "gui/options/converter_options_dialog.h"
#include "gui/options/import_options_page.h"
#include "gui/options/options_page.h"
#include "gui/reader/reader_view.h"
#include "gui/shelf/author_tree_model.h"
#include "gui/shelf/book_list_ctrl.h"
#include "gui/shelf/shelf_page.h"
#include "gui/shell/main_frame.h"
#include "gui/shell/new_library_wizard.h"
#include "reader/key_map.h"
#include "settings/settings_store.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
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
        QTextStream out(stdout);
        const QRect area = frame.geometry();
        const QPixmap shot
            = frame.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
        out << (shot.save(path) ? "saved " : "could not save ") << path << Qt::endl;
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

// The Options page's Import tab, then the converter options it opens.
void SaveImportOptionsShots(CMainFrame& frame, const QDir& folder)
{
    auto* options = qobject_cast<COptionsPage*>(frame.PageWidget(Page::Options));
    if (!options || !options->ImportOptions())
        return;
    frame.SelectPage(Page::Options);
    auto* tabs = options->findChild<QTabWidget*>(QStringLiteral("optionsTabs"));
    tabs->setCurrentWidget(options->ImportOptions());
    QCoreApplication::processEvents();
    SaveShot(frame, folder.filePath(QStringLiteral("4-options-import.png")));
    CConverterOptionsDialog dialog(AppSettings(), true, &frame);
    dialog.show();
    QCoreApplication::processEvents();
    SaveShot(dialog, folder.filePath(QStringLiteral("4-converter-options.png")));
    tabs->setCurrentIndex(0);
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
        SaveImportOptionsShots(frame, QDir(folder));
        SaveBookMenuShot(frame, QDir(folder));
        SaveWizardShots(frame, QDir(folder));
        frame.close();
    });
}

} // namespace lbv
