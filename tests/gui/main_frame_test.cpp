#include "gui/import/import_page.h"
#include "gui/reader/reader_toolbar.h"
#include "gui/reader/reader_view.h"
#include "gui/reader/recent_books_menu.h"
#include "gui/shell/command_line.h"
#include "gui/shell/frame_dialogs.h"
#include "gui/shell/main_frame.h"
#include "gui/shelf/author_tree_model.h"
#include "gui/shelf/shelf_page.h"
#include "gui/shell/window_placement.h"
#include "reader/key_map.h"
#include "settings/memory_settings_backend.h"
#include "import/fb2_samples.h"
#include "scripted_import_dialogs.h"
#include "settings/settings_store.h"

#include <QDir>
#include <QAction>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTreeView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

// Answers the frame's questions from a script and records what was asked.
class ScriptedDialogs : public FrameDialogs {
public:
    std::optional<NewLibraryChoice> AskNewLibrary(QWidget*) override
    {
        ++wizardRuns;
        return newLibrary;
    }
    QString AskOpenIndex(QWidget*) override { return openAnswer; }
    QString AskSaveIndex(QWidget*, const QString& proposed) override
    {
        saveProposals.append(proposed);
        return saveAnswer;
    }
    QMessageBox::StandardButton AskSaveModified(QWidget*) override
    {
        ++closeQuestions;
        return closeAnswer;
    }
    void ShowError(QWidget*, const QString& text) override { errors.append(text); }
    void ShowMessage(QWidget*, const QString& text) override
    {
        messages.append(text);
        if (whileShown)
            whileShown();
    }
    bool AskYesNo(QWidget*, const QString& question) override
    {
        questions.append(question);
        return false;
    }
    ImportDialogs& ImportPageDialogs() override { return importDialogs; }

    std::optional<NewLibraryChoice> newLibrary; // cancelled unless set
    int wizardRuns = 0;
    QString openAnswer;
    QString saveAnswer; // cancelled while empty
    QStringList saveProposals;
    QMessageBox::StandardButton closeAnswer = QMessageBox::Cancel;
    int closeQuestions = 0;
    QStringList errors;
    QStringList messages;
    QStringList questions;
    std::function<void()> whileShown;
    test::ScriptedImportDialogs importDialogs;
};

// A plain UTF-8 index, which opens through the compressed attempt as well.
QByteArray IndexText(const QString& title)
{
    return QStringLiteral("<books><options><file-name-mask>%f %l\\%f %l. %t</file-name-mask>"
                          "<file-compression>None</file-compression></options>"
                          "<author firstName=\"Ivar\" lastName=\"Kessel\"><group name=\"default\">"
                          "<book><book-title>%1</book-title><genre>sf</genre></book>"
                          "</group></author></books>")
        .arg(title)
        .toUtf8();
}

class MainFrameTest : public ::testing::Test {
protected:
    QString WriteFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // Creates the frame and lets its start-up open run.
    CMainFrame& Start(const QString& commandLineFile = {}, bool autorun = false)
    {
        frame.reset(); // it writes its header layouts to the settings it was made with
        settings = std::make_unique<SettingsStore>(std::make_unique<MemorySettingsBackend>(), autorun);
        if (!lastIndex.isEmpty())
            settings->WriteProfileString(QString(), QStringLiteral("LastIndex"), lastIndex);
        frame = std::make_unique<CMainFrame>(*settings, dialogs, commandLineFile);
        QCoreApplication::processEvents();
        return *frame;
    }

    void AddBook()
    {
        BookDescription book;
        book.firstName = QStringLiteral("Maria");
        book.lastName = QStringLiteral("Holm");
        book.title = QStringLiteral("North");
        ASSERT_TRUE(frame->Catalog().AddBook(book, false));
    }

    QString FirstTitle()
    {
        const auto& authors = frame->Catalog().Authors();
        if (authors.empty() || authors[0]->Groups().empty() || authors[0]->Groups()[0]->Books().empty())
            return {};
        return authors[0]->Groups()[0]->Books()[0]->title;
    }

    QStringList TabCaptions()
    {
        auto* tabs = frame->findChild<QTabWidget*>(QStringLiteral("tabs"));
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions.append(tabs->tabText(i));
        return captions;
    }

    void Drop(const QString& path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        // As a drag does: enter first, then drop.
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame.get(), &enter);
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame.get(), &drop);
    }

    QTemporaryDir folder;
    QString lastIndex;
    ScriptedDialogs dialogs;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<CMainFrame> frame;
};

// The smallest book the reader opens.
QByteArray BookText()
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\"><description>"
           "<title-info><book-title>Salt</book-title></title-info></description>"
           "<body><section><p>Salt</p></section></body></FictionBook>";
}

} // namespace

TEST_F(MainFrameTest, WithoutALastIndexTheWizardRunsAndCancellingLeavesAnEmptyUntitledCatalog)
{
    Start();
    EXPECT_EQ(dialogs.wizardRuns, 1);
    EXPECT_TRUE(frame->Catalog().Authors().empty());
    EXPECT_EQ(frame->Catalog().path, QStringLiteral("untitled"));
    EXPECT_FALSE(frame->Catalog().IsModified());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Libravon"));
    EXPECT_TRUE(dialogs.errors.isEmpty());

    // A last index that is gone counts as none.
    lastIndex = folder.filePath(QStringLiteral("gone.lvf"));
    Start();
    EXPECT_EQ(dialogs.wizardRuns, 2);
}

TEST_F(MainFrameTest, AnIndexArgumentOpensInsteadOfTheLastIndexWhateverTheCaseOfItsExtension)
{
    lastIndex = WriteFile(QStringLiteral("last.lvf"), IndexText(QStringLiteral("Last")));
    const QString argument = WriteFile(QStringLiteral("Shelf.LVF"), IndexText(QStringLiteral("Argument")));
    Start(argument);
    EXPECT_EQ(FirstTitle(), QStringLiteral("Argument"));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Shelf.LVF - Libravon"));
    EXPECT_EQ(frame->CurrentPage(), Page::Shelf);
    EXPECT_EQ(dialogs.wizardRuns, 0);

    Start();
    EXPECT_EQ(FirstTitle(), QStringLiteral("Last"));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("last.lvf - Libravon"));
}

TEST_F(MainFrameTest, ABookArgumentSelectsTheReaderAndTheLastIndexStillOpens)
{
    lastIndex = WriteFile(QStringLiteral("index.lvf"), IndexText(QStringLiteral("Last")));
    const QString book = folder.filePath(QStringLiteral("Salt and Iron.fb2"));
    Start(book);
    EXPECT_EQ(frame->CurrentPage(), Page::Reader);
    EXPECT_EQ(FirstTitle(), QStringLiteral("Last"));
    ASSERT_NE(qobject_cast<CReaderView*>(frame->PageWidget(Page::Reader)), nullptr);
}

TEST_F(MainFrameTest, AnIndexThatFailsToOpenAtStartLeavesAnEmptyCatalogAndSaysWhich)
{
    lastIndex = WriteFile(QStringLiteral("broken.lvf"), QByteArray("<books><author firstName="));
    Start();
    EXPECT_TRUE(frame->Catalog().Authors().empty());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Libravon"));
    // The index file says why, then the frame says which.
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("Compressed index error: ")));
    EXPECT_EQ(dialogs.errors, QStringList {QStringLiteral("Can't open \"%1\".").arg(lastIndex)});
    EXPECT_EQ(dialogs.wizardRuns, 0);
}

TEST_F(MainFrameTest, APlainIndexIsOfferedForSavingCompressedAndCancelKeepsItModifiedAndUntitled)
{
    lastIndex = WriteFile(QStringLiteral("index.lvf"), IndexText(QStringLiteral("Last")));
    Start();
    // A UTF-16 index is no UTF-8 text, so only the plain attempt reads it.
    const QString utf16 = QString::fromUtf8(IndexText(QStringLiteral("Plain")));
    QByteArray plain("\xff\xfe");
    plain.append(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2);
    dialogs.openAnswer = WriteFile(QStringLiteral("plain.xml"), plain);
    EXPECT_TRUE(frame->OpenIndex());
    ASSERT_EQ(dialogs.saveProposals.size(), 1);
    EXPECT_EQ(dialogs.saveProposals[0], folder.filePath(QStringLiteral("plain.lvf")));
    EXPECT_EQ(FirstTitle(), QStringLiteral("Plain"));
    EXPECT_TRUE(frame->Catalog().IsModified());
    EXPECT_EQ(frame->Catalog().path, QStringLiteral("untitled"));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("untitled - Libravon"));

    // Saving goes through Save as, as the catalog has no index name yet.
    dialogs.saveAnswer = folder.filePath(QStringLiteral("kept.lvf"));
    EXPECT_TRUE(frame->SaveIndex());
    EXPECT_EQ(dialogs.saveProposals.size(), 2);
    EXPECT_FALSE(frame->Catalog().IsModified());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("kept.lvf - Libravon"));
    EXPECT_TRUE(QFile::exists(dialogs.saveAnswer));
}

TEST_F(MainFrameTest, CancelWhenClosingAModifiedCatalogKeepsTheWindowAndWritesNothing)
{
    lastIndex = WriteFile(QStringLiteral("index.lvf"), IndexText(QStringLiteral("Last")));
    Start();
    frame->show();
    AddBook();
    settings->WriteProfileString(QString(), QStringLiteral("LastIndex"), QStringLiteral("kept"));

    dialogs.closeAnswer = QMessageBox::Cancel;
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(dialogs.closeQuestions, 1);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(settings->GetProfileString(QString(), QStringLiteral("LastIndex")), QStringLiteral("kept"));
    EXPECT_FALSE(settings->GetProfileBinary(QStringLiteral("MainWindow"), QStringLiteral("FrameWndPlacement")));
    QFile index(lastIndex);
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    EXPECT_EQ(index.readAll(), IndexText(QStringLiteral("Last")));

    // Yes whose save does not happen (the catalog is untitled and Save as is cancelled) keeps
    // the window rather than losing the changes.
    frame->Catalog().path = QStringLiteral("untitled");
    dialogs.closeAnswer = QMessageBox::Yes;
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->Catalog().IsModified());

    // No closes and remembers the index and the window.
    dialogs.closeAnswer = QMessageBox::No;
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(settings->GetProfileString(QString(), QStringLiteral("LastIndex")), QStringLiteral("untitled"));
    const auto placement = settings->GetProfileBinary(QStringLiteral("MainWindow"), QStringLiteral("FrameWndPlacement"));
    ASSERT_TRUE(placement);
    EXPECT_TRUE(DecodePlacement(*placement));
}

TEST_F(MainFrameTest, YesWhenClosingSavesTheIndexBeforeClosing)
{
    lastIndex = WriteFile(QStringLiteral("index.lvf"), IndexText(QStringLiteral("Last")));
    Start();
    frame->show();
    AddBook();
    dialogs.closeAnswer = QMessageBox::Yes;
    EXPECT_TRUE(frame->close());
    EXPECT_TRUE(dialogs.saveProposals.isEmpty());
    EXPECT_EQ(settings->GetProfileString(QString(), QStringLiteral("LastIndex")), lastIndex);

    CLibravonDoc reopened;
    ASSERT_TRUE(reopened.Open(lastIndex));
    EXPECT_EQ(reopened.Authors().size(), 2u);
}

TEST_F(MainFrameTest, TheWizardCreatesTheLibraryFolderAndSavesTheNewIndex)
{
    const QString libraryFolder = folder.filePath(QStringLiteral("books/fiction"));
    dialogs.newLibrary = NewLibraryChoice {QStringLiteral("%l %f\\%t"), true, libraryFolder,
        QStringLiteral("shelf.lvf")};
    Start();
    const QString indexPath = QDir(libraryFolder).filePath(QStringLiteral("shelf.lvf"));
    EXPECT_TRUE(QFile::exists(indexPath));
    EXPECT_EQ(frame->Catalog().path, indexPath);
    EXPECT_EQ(frame->Catalog().fileNameMask, QStringLiteral("%l %f\\%t"));
    EXPECT_TRUE(frame->Catalog().compressFiles);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("shelf.lvf - Libravon"));
    EXPECT_TRUE(dialogs.errors.isEmpty());

    // A folder below a plain file cannot be made.
    const QString plainFile = WriteFile(QStringLiteral("file"), "x");
    dialogs.newLibrary->folder = plainFile + QStringLiteral("/lib");
    EXPECT_FALSE(frame->NewLibrary());
    EXPECT_EQ(frame->Catalog().path, QStringLiteral("untitled"));
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(dialogs.errors[0], QStringLiteral("Invalid index name ") + plainFile + QStringLiteral("/lib/shelf.lvf"));
}

TEST_F(MainFrameTest, TabsAndTheirShortcutsFollowTheAutorunShift)
{
    Start();
    EXPECT_EQ(TabCaptions(), (QStringList {QStringLiteral("Shelf"), QStringLiteral("Reader"),
                                 QStringLiteral("Import"), QStringLiteral("Options"), QStringLiteral("Maintenance")}));
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    QTest::keyClick(frame.get(), Qt::Key_5, Qt::ControlModifier);
    EXPECT_EQ(frame->CurrentPage(), Page::Maintenance);
    QTest::keyClick(frame.get(), Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(frame->CurrentPage(), Page::Import);

    Start({}, true);
    EXPECT_EQ(dialogs.wizardRuns, 1); // nothing may be created in autorun mode
    EXPECT_EQ(TabCaptions(), (QStringList {QStringLiteral("Shelf"), QStringLiteral("Reader"),
                                 QStringLiteral("Options")}));
    EXPECT_EQ(frame->PageWidget(Page::Import), nullptr);
    EXPECT_EQ(frame->PageWidget(Page::Maintenance), nullptr);
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    QTest::keyClick(frame.get(), Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(frame->CurrentPage(), Page::Options);
    EXPECT_EQ(frame->PageWidget(Page::Options), frame->findChild<QTabWidget*>(QStringLiteral("tabs"))->currentWidget());
    QTest::keyClick(frame.get(), Qt::Key_5, Qt::ControlModifier);
    QTest::keyClick(frame.get(), Qt::Key_4, Qt::ControlModifier);
    EXPECT_EQ(frame->CurrentPage(), Page::Options);
    QTest::keyClick(frame.get(), Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(frame->CurrentPage(), Page::Reader);
}

TEST_F(MainFrameTest, DroppedFilesGoToTheImportPageExceptInAutorun)
{
    const QString book = WriteFile(QStringLiteral("book.fb2"), "<FictionBook/>");
    Start();
    QSignalSpy dropped(frame.get(), &CMainFrame::filesDropped);
    Drop(book);
    EXPECT_EQ(frame->CurrentPage(), Page::Import);
    ASSERT_EQ(dropped.size(), 1);
    EXPECT_EQ(dropped[0][0].toStringList(), QStringList {book});
    // The page scans what was dropped; a file without a book header is a warning in the log.
    QTRY_VERIFY(!frame->ImportPage()->IsScanning());
    QTRY_VERIFY(frame->ImportPage()->findChild<QTreeView*>(QStringLiteral("importLog"))
                    ->model()->rowCount() > 0);

    Start({}, true);
    QSignalSpy ignored(frame.get(), &CMainFrame::filesDropped);
    Drop(book);
    EXPECT_EQ(frame->CurrentPage(), Page::Shelf);
    EXPECT_TRUE(ignored.isEmpty());
}

TEST_F(MainFrameTest, HandedOverIndexReplacesTheLibraryOnlyPastTheSaveQuestionAndBooksGoToTheReader)
{
    lastIndex = WriteFile(QStringLiteral("last.lvf"), IndexText(QStringLiteral("Last")));
    Start();
    AddBook();
    const QString other
        = WriteFile(QStringLiteral("other.lvf"), IndexText(QStringLiteral("Other")));
    frame->TakeHandedOver(ParseCommandLine({other}));
    EXPECT_EQ(dialogs.closeQuestions, 1);
    EXPECT_EQ(frame->Catalog().path, lastIndex); // cancelled: the changes are kept
    EXPECT_TRUE(frame->Catalog().IsModified());

    dialogs.closeAnswer = QMessageBox::No;
    frame->TakeHandedOver(ParseCommandLine({other}));
    EXPECT_EQ(FirstTitle(), QStringLiteral("Other"));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("other.lvf - Libravon"));

    const QString book = WriteFile(QStringLiteral("Salt and Iron.fb2"), BookText());
    frame->TakeHandedOver(ParseCommandLine({book}));
    EXPECT_EQ(frame->CurrentPage(), Page::Reader);
    EXPECT_EQ(FirstTitle(), QStringLiteral("Other"));
}

TEST_F(MainFrameTest, DesktopActionsRunAfterTheStartupOpenAndOpenLibraryReplacesTheFirstWizard)
{
    dialogs.openAnswer
        = WriteFile(QStringLiteral("chosen.lvf"), IndexText(QStringLiteral("Chosen")));
    settings = std::make_unique<SettingsStore>(std::make_unique<MemorySettingsBackend>(), false);
    frame = std::make_unique<CMainFrame>(*settings, dialogs, QString());
    frame->SetStartAction(StartAction::OpenLibrary);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs.wizardRuns, 0);
    EXPECT_EQ(FirstTitle(), QStringLiteral("Chosen"));

    frame->TakeHandedOver(ParseCommandLine({QStringLiteral("--new-library")}));
    EXPECT_EQ(dialogs.wizardRuns, 1);

    // Nothing is created in autorun mode.
    lastIndex = dialogs.openAnswer;
    Start({}, true);
    frame->TakeHandedOver(ParseCommandLine({QStringLiteral("--new-library")}));
    EXPECT_EQ(dialogs.wizardRuns, 1);
}

TEST_F(MainFrameTest, TheShelfLetsGoOfTheOldCatalogBeforeAnOpenShowsItsMessages)
{
    lastIndex = WriteFile(QStringLiteral("index.lvf"), IndexText(QStringLiteral("Last")));
    Start();
    CAuthorTreeModel* tree = frame->ShelfPage()->TreeModel();
    ASSERT_EQ(tree->rowCount(), 1);
    int rowsDuringMessage = -1;
    dialogs.whileShown = [&] { rowsDuringMessage = tree->rowCount(); };
    dialogs.openAnswer
        = WriteFile(QStringLiteral("broken.lvf"), QByteArray("<books><author firstName="));
    EXPECT_FALSE(frame->OpenIndex());
    EXPECT_EQ(rowsDuringMessage, 0);
    EXPECT_EQ(tree->rowCount(), 0);

    dialogs.openAnswer = lastIndex;
    EXPECT_TRUE(frame->OpenIndex());
    EXPECT_EQ(tree->rowCount(), 1);
}

TEST_F(MainFrameTest, WhileAnImportRunsTheCatalogIsNeitherReplacedNorWritten)
{
    lastIndex = WriteFile(QStringLiteral("index.lvf"), IndexText(QStringLiteral("Last")));
    Start();
    frame->Session().SetImportRunning(true);
    dialogs.openAnswer
        = WriteFile(QStringLiteral("other.lvf"), IndexText(QStringLiteral("Other")));
    dialogs.saveAnswer = folder.filePath(QStringLiteral("copy.lvf"));
    EXPECT_FALSE(frame->OpenIndex());
    EXPECT_FALSE(frame->SaveIndexAs());
    EXPECT_EQ(FirstTitle(), QStringLiteral("Last"));
    EXPECT_FALSE(QFile::exists(dialogs.saveAnswer));
    // The run's end shows its books: one rebuild.
    AddBook();
    frame->Session().SetImportRunning(false);
    EXPECT_EQ(frame->ShelfPage()->TreeModel()->rowCount(), 2);
}

TEST_F(MainFrameTest, OpenInReaderTakesBooksInFoldersWithAtSignsAndShowsTheReader)
{
    Start();
    QDir(folder.path()).mkpath(QStringLiteral("user@host"));
    const QString book
        = WriteFile(QStringLiteral("user@host/Salt.fb2"), BookText());
    EXPECT_FALSE(frame->OpenInReader(QString()));
    EXPECT_EQ(frame->CurrentPage(), Page::Shelf);
    EXPECT_TRUE(frame->OpenInReader(book));
    EXPECT_EQ(frame->CurrentPage(), Page::Reader);
    auto* reader = qobject_cast<CReaderView*>(frame->PageWidget(Page::Reader));
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->BookPath(), book);

    // A book that doesn't load says why and leaves the open one on the Reader.
    frame->SelectPage(Page::Shelf);
    const QString broken = WriteFile(QStringLiteral("broken.fb2"), QByteArray("<FictionBook"));
    EXPECT_FALSE(frame->OpenInReader(broken));
    EXPECT_EQ(frame->CurrentPage(), Page::Shelf);
    EXPECT_EQ(dialogs.errors.size(), 1) << dialogs.errors.join(u'|').toStdString();
    EXPECT_EQ(reader->BookPath(), book);
}

TEST_F(MainFrameTest, TheReaderToolbarShowsWithTheReaderRunsItsCommandsAndIsStoredOutsideAutorun)
{
    for (const bool autorun : {false, true}) {
        Start({}, autorun);
        frame->show();
        auto* toolbar = frame->findChild<CReaderToolbar*>(QStringLiteral("readerToolbar"));
        ASSERT_NE(toolbar, nullptr);
        frame->SelectPage(Page::Shelf);
        EXPECT_FALSE(toolbar->isVisible());
        frame->SelectPage(Page::Reader);
        EXPECT_TRUE(toolbar->isVisible());
        EXPECT_EQ(toolbar->ActionFor(int(ReaderCommand::Rotate))->toolTip(), QStringLiteral("Rotate"));

        toolbar->ActionFor(int(ReaderCommand::Rotate))->trigger();
        EXPECT_EQ(settings->GetProfileInt(QStringLiteral("Parameters"), QStringLiteral("Orientation"), 0), 900);
        frame->close();
        EXPECT_EQ(settings->GetProfileBinary(QStringLiteral("ReaderView"), QStringLiteral("MainToolbarState"))
                      .has_value(),
            !autorun);
    }
}

TEST_F(MainFrameTest, TheRecentMenuListsTheReadBooksAndOpensThemInTheReader)
{
    Start();
    auto* recent = frame->findChild<CRecentBooksMenu*>(QStringLiteral("recentBooksMenu"));
    ASSERT_NE(recent, nullptr);
    recent->Refill();
    ASSERT_EQ(recent->actions().size(), 1);
    EXPECT_EQ(recent->actions()[0]->text(), QStringLiteral("No Files"));
    EXPECT_FALSE(recent->actions()[0]->isEnabled());

    QStringList books;
    for (int i = 0; i < kRecentBookCount + 2; ++i) {
        books.append(WriteFile(QStringLiteral("book %1 & co.fb2").arg(i), BookText()));
        ASSERT_TRUE(frame->OpenInReader(books.last()));
        QTest::qWait(2); // books are ordered by the millisecond they were left
    }
    frame->SelectPage(Page::Shelf);
    recent->Refill(); // the books read before the open one, newest first, at most eight
    ASSERT_EQ(recent->actions().size(), kRecentBookCount);
    EXPECT_EQ(recent->actions()[0]->text(), QStringLiteral("&1 book %1 && co.fb2").arg(kRecentBookCount));
    EXPECT_EQ(recent->actions()[1]->data().toInt(), kFirstRecentBook + 1);
    recent->actions()[1]->trigger();
    auto* reader = qobject_cast<CReaderView*>(frame->PageWidget(Page::Reader));
    EXPECT_EQ(reader->BookPath(), books[kRecentBookCount - 1]);
    EXPECT_EQ(frame->CurrentPage(), Page::Reader);
}

TEST_F(MainFrameTest, ShelfBooksOpenInTheReaderWhoseKeysLeaveCtrlDigitsAndFullscreenToTheFrame)
{
    Start();
    frame->showMaximized();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    const QString book = WriteFile(QStringLiteral("salt.fb2"), BookText());
    Q_EMIT frame->ShelfPage()->openBookRequested(book);
    auto* reader = qobject_cast<CReaderView*>(frame->PageWidget(Page::Reader));
    EXPECT_EQ(reader->BookPath(), book);
    ASSERT_EQ(frame->CurrentPage(), Page::Reader);

    auto* toolbar = frame->findChild<CReaderToolbar*>(QStringLiteral("readerToolbar"));
    QTest::keyClick(reader, Qt::Key_Return); // Enter toggles fullscreen
    EXPECT_TRUE(frame->isFullScreen());
    EXPECT_FALSE(toolbar->isVisible());
    QTest::keyClick(reader, Qt::Key_Escape);
    EXPECT_FALSE(frame->isFullScreen());
    EXPECT_TRUE(frame->isMaximized()); // as it was before
    EXPECT_TRUE(toolbar->isVisible());

    reader->setFocus();
    QTest::keyClick(reader, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(frame->CurrentPage(), Page::Shelf);
}

TEST_F(MainFrameTest, ClosingDuringAnImportQuestionAnswersNoAndClosesOnceTheRunHasStopped)
{
    lastIndex = WriteFile(QStringLiteral("index.lvf"), IndexText(QStringLiteral("Last")));
    QDir(folder.path()).mkpath(QStringLiteral("in"));
    for (const QString& title : {QStringLiteral("Last"), QStringLiteral("Other")})
        WriteFile(QStringLiteral("in/") + title + QStringLiteral(".fb2"),
            test::Fb2Text(test::kUtf8Declaration,
                QStringLiteral("<genre>sf</genre><author><first-name>Ivar</first-name>"
                               "<last-name>Kessel</last-name></author><book-title>%1</book-title>")
                    .arg(title))
                .toUtf8());
    Start();
    frame->show();
    CImportPage* page = frame->ImportPage();
    ASSERT_NE(page, nullptr);
    Drop(folder.filePath(QStringLiteral("in")));
    QTRY_VERIFY(!page->IsScanning());
    ASSERT_EQ(page->List().Count(), 2);

    dialogs.closeAnswer = QMessageBox::No; // a plain index opens as modified
    bool stillOpen = false;
    dialogs.importDialogs.answers = {ExistingBookQuestion::Answer::Yes};
    dialogs.importDialogs.whileAsked = [&] {
        frame->close();
        stillOpen = frame->isVisible();
    };
    page->findChild<QPushButton*>(QStringLiteral("importStart"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(!frame->isVisible(), 20000);
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(dialogs.importDialogs.dismissed);
    EXPECT_EQ(dialogs.importDialogs.questions.size(), 1);
    ASSERT_EQ(page->List().Count(), 1);
    EXPECT_EQ(page->List().Row(0).fileName, QStringLiteral("Other"));
}
