#include "app/screenshot_tour.h"

#include "app/reader_dialog_shots.h"
#include "app/shot_saving.h"
#include "catalog/libravon_doc.h"
#include "gui/common/grid_tree_view.h"
#include "gui/options/buttons_dialog.h"
#include "gui/options/converter_options_dialog.h"
#include "gui/options/import_options_page.h"
#include "gui/options/options_page.h"
#include "gui/options/reader_options_page.h"
#include "gui/options/styles_dialog.h"
#include "gui/reader/advanced_parameters_dialog.h"
#include "gui/reader/reader_colors_dialog.h"
#include "gui/import/import_page.h"
#include "gui/reader/reader_view.h"
#include "gui/shelf/author_tree_model.h"
#include "gui/shelf/book_list_ctrl.h"
#include "gui/shelf/shelf_page.h"
#include "gui/shell/main_frame.h"
#include "gui/shell/new_library_wizard.h"
#include "reader/key_map.h"
#include "reader/reader_settings.h"
#include "settings/settings_store.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTabWidget>
#include <QTimer>

#include <functional>

namespace lbv {
namespace {

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

// A bookmark's text in the pop-up that a tap on its line opens.
void SaveReaderPopupShot(CMainFrame& frame, const QDir& folder)
{
    auto* reader = qobject_cast<CReaderView*>(frame.PageWidget(Page::Reader));
    if (!reader)
        return;
    frame.SelectPage(Page::Reader);
    QCoreApplication::processEvents();
    SaveBookmarkPopupShot(*reader, frame, folder.filePath(QStringLiteral("2-reader-popup.png")));
}

// The library's first book kept in an archive: its archive, or empty.
QString FirstArchive(CMainFrame& frame)
{
    for (const auto& author : frame.Session().Catalog().Authors())
        for (const auto& group : author->Groups())
            for (const auto& book : group->Books())
                if (book->StoredFilePath().endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
                    return book->StoredFilePath();
    return {};
}

void SetReaderParameter(CMainFrame& frame, const QString& name, int value, const QString& group)
{
    AppSettings().WriteProfileInt(kParametersSection, name, value);
    frame.RelaySettingChanged(group);
}

// Turns pages until one shows a picture (the book is short: at its end turning does nothing).
bool FindPageWithPicture(CReaderView& reader)
{
    for (int turn = 0; turn < 50 && !reader.PageShowsPicture(); ++turn)
        reader.RunCommand(int(ReaderCommand::PageForward));
    return reader.PageShowsPicture();
}

// The reading page as a reader of a Cyrillic book with pictures sees it: justified and
// hyphenated in two columns with the chapter title below, then a page with pictures in one
// column with the gauge, upright and turned a quarter.
void SaveReaderShots(CMainFrame& frame, const QDir& folder)
{
    auto* reader = qobject_cast<CReaderView*>(frame.PageWidget(Page::Reader));
    const QString book = qEnvironmentVariable("LIBRAVON_SCREENSHOT_BOOK");
    if (!reader || book.isEmpty() || !frame.OpenInReader(book))
        return;
    const QString display = QStringLiteral("ReaderDisplay");
    const QString bar = QStringLiteral("ReaderProgressBar");
    SetReaderParameter(frame, QStringLiteral("FontSize"), 17, display);
    SetReaderParameter(frame, QStringLiteral("Justify"), 1, display);
    SetReaderParameter(frame, QStringLiteral("Hyphenate"), 1, display);
    SetReaderParameter(frame, QStringLiteral("Columns"), 2, display);
    SetReaderParameter(frame, QStringLiteral("ShowProgress"), 1, bar);
    // Position with length, time and the chapter title.
    SetReaderParameter(frame, QStringLiteral("ProgressBar"), 1 | 2 | 16 | 32, bar);
    // At the first chapter, so the bar has its title.
    reader->RunCommand(int(ReaderCommand::StartOfFile));
    reader->RunCommand(int(ReaderCommand::NextSection));
    QCoreApplication::processEvents();
    SaveShot(frame, folder.filePath(QStringLiteral("2-reader-two-columns.png")));

    SetReaderParameter(frame, QStringLiteral("Columns"), 1, display);
    SetReaderParameter(frame, QStringLiteral("ProgressBar"), 1 | 2 | 16, bar);
    if (!FindPageWithPicture(*reader))
        return;
    QCoreApplication::processEvents();
    SaveShot(frame, folder.filePath(QStringLiteral("2-reader-picture.png")));
    reader->RunCommand(int(ReaderCommand::Rotate));
    QCoreApplication::processEvents();
    SaveShot(frame, folder.filePath(QStringLiteral("2-reader-picture-turned.png")));
    for (int turn = 0; turn < 3; ++turn)
        reader->RunCommand(int(ReaderCommand::Rotate));
}

// The Options page's Reader tab, then each reader settings dialog as it first opens.
void SaveReaderOptionsShots(CMainFrame& frame, const QDir& folder)
{
    frame.SelectPage(Page::Options);
    auto* page = qobject_cast<COptionsPage*>(frame.PageWidget(Page::Options));
    auto* tabs = page ? page->findChild<QTabWidget*>(QStringLiteral("optionsTabs")) : nullptr;
    if (!tabs)
        return;
    tabs->setCurrentWidget(page->ReaderOptions());
    QCoreApplication::processEvents();
    SaveShot(frame, folder.filePath(QStringLiteral("4-options-reader.png")));
    tabs->setCurrentIndex(0);
    SettingsStore& settings = AppSettings();
    CStylesDialog styles(settings, &frame);
    CButtonsDialog buttons(settings, &frame);
    CAdvancedParametersDialog advanced(settings, &frame);
    CReaderColorsDialog colors(settings, &frame);
    const std::pair<QDialog*, const char*> dialogs[] = {{&styles, "4-reader-styles.png"},
        {&buttons, "4-reader-buttons.png"}, {&advanced, "2-reader-advanced.png"},
        {&colors, "2-reader-colors.png"}};
    for (const auto& [dialog, name] : dialogs) {
        dialog->show();
        QCoreApplication::processEvents();
        SaveShot(*dialog, folder.filePath(QString::fromLatin1(name)));
        dialog->hide();
    }
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
        SaveReaderPopupShot(frame, QDir(folder));
        if (auto* reader = qobject_cast<CReaderView*>(frame.PageWidget(Page::Reader)))
            SaveReaderDialogShots(*reader, FirstArchive(frame), folder);
        SaveReaderShots(frame, QDir(folder));
        SaveReaderOptionsShots(frame, QDir(folder));
        SaveImportOptionsShots(frame, QDir(folder));
        SaveBookMenuShot(frame, QDir(folder));
        SaveWizardShots(frame, QDir(folder));
        SaveImportRunShot(frame, QDir(folder), [&frame] { frame.close(); });
    });
}

} // namespace lbv
