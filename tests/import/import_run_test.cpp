#include "import/stored_book.h"
#include "import/zip_file.h"
#include "import_fixture.h"
#include "text/messages.h"

#include <QFileInfo>
#include <atomic>

using namespace lbv;
using namespace lbv::test;
using namespace Qt::StringLiterals;

namespace {

using Answer = ExistingBookQuestion::Answer;

// Asks the run to stop once a given row has its result.
class StopAfterRow final : public ImportObserver {
public:
    StopAfterRow(ImportList& list, qsizetype row)
        : list_(list)
        , row_(row)
    {
    }
    void RowStatusChanged(qsizetype row) override
    {
        if (row == row_ && list_.Row(row).status != MessageText(Msg::StatusProcessing))
            run->RequestStop();
    }
    void RunFinished(const ImportRunSummary&) override { ++finished; }

    ImportRun* run = nullptr;
    int finished = 0;

private:
    ImportList& list_;
    const qsizetype row_;
};

class ImportRunTest : public ImportFixture { };

} // namespace

TEST_F(ImportRunTest, StandardImportFilesBooksAndCataloguesThem)
{
    const QString source = WriteBook(u"Ivar"_s, u"Kessel"_s, u"Foundation"_s);
    ASSERT_EQ(Add(source), 1);
    const ImportRunSummary summary = RunImport(ImportOperation::Standard);

    EXPECT_EQ(summary.ok, 1);
    EXPECT_EQ(summary.removedRows, 1);
    EXPECT_TRUE(summary.catalogChanged);
    EXPECT_EQ(list_.Count(), 0);
    const QString placed = Path(u"library/Ivar Kessel/Ivar Kessel. Foundation.fb2");
    EXPECT_EQ(ReadBytes(placed), ReadBytes(source));
    const CBook* book
        = catalog_.FindBook(BookDescription {u"Ivar"_s, u"Kessel"_s, u"Foundation"_s});
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->file, placed);
    EXPECT_EQ(book->genre, u"sf");
    EXPECT_EQ(sink_.Lines(), QStringList {u"I Book Ivar Kessel \"Foundation\" added."_s});
}

TEST_F(ImportRunTest, InPlaceCataloguesBooksWhereTheyAre)
{
    catalog_.compressFiles = true;
    const QString source = WriteBook(u"Ivar"_s, u"Kessel"_s, u"Foundation"_s);
    Add(source);
    RunImport(ImportOperation::InPlace);
    ASSERT_EQ(BookCount(), 1);
    const CBook& book = *catalog_.Authors()[0]->Groups()[0]->Books()[0];
    EXPECT_EQ(book.file, source);
    EXPECT_EQ(book.compression, CompressionNone);
    EXPECT_FALSE(QFileInfo::exists(Path(u"library")));
}

TEST_F(ImportRunTest, StopBetweenRowsLeavesLaterRowsCheckedAndRemovesOnlyFinishedOnes)
{
    for (const QString& title : {u"One"_s, u"Two"_s, u"Three"_s, u"Four"_s})
        Add(WriteBook(u"Ivar"_s, u"Kessel"_s, title));
    ASSERT_EQ(list_.Count(), 4);
    StopAfterRow stopper(list_, 1);
    BookImporter importer(Context());
    ImportRun run(list_, importer, &stopper);
    stopper.run = &run;
    const ImportRunSummary summary = run.RunHere(ImportOperation::InPlace);

    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(summary.visited, 2);
    EXPECT_EQ(summary.removedRows, 2);
    EXPECT_EQ(stopper.finished, 1);
    EXPECT_EQ(BookCount(), 2);
    ASSERT_EQ(list_.Count(), 2);
    for (qsizetype row = 0; row < 2; ++row) {
        EXPECT_TRUE(list_.Row(row).checked);
        EXPECT_TRUE(list_.Row(row).status.isEmpty());
    }
    EXPECT_EQ(list_.Row(0).fileName, u"Three");

    // The next run goes on with what is left.
    EXPECT_EQ(RunImport(ImportOperation::InPlace).ok, 2);
    EXPECT_EQ(BookCount(), 4);
}

TEST_F(ImportRunTest, UncheckedRowsAreSkippedAndFailedRowsStayChecked)
{
    Add(WriteBook(u"Ivar"_s, u"Kessel"_s, u"One"_s));
    Add(WriteBook(u"Ivar"_s, u"Kessel"_s, u"Two"_s));
    auto header = std::make_unique<CBookHeader>(Path(u"incoming/missing.fb2"), 100);
    header->firstName = u"Ivar"_s;
    header->lastName = u"Kessel"_s;
    header->title = u"Gone"_s;
    header->genre = u"sf"_s;
    header->format = FormatFb2;
    list_.AddHeader(std::move(header));
    list_.SetChecked(1, false);

    const ImportRunSummary summary = RunImport(ImportOperation::Standard);
    EXPECT_EQ(summary.ok, 1);
    EXPECT_EQ(summary.failed, 1);
    EXPECT_EQ(BookCount(), 1);
    ASSERT_EQ(list_.Count(), 1);
    EXPECT_EQ(list_.Row(0).fileName, u"missing");
    EXPECT_TRUE(list_.Row(0).checked);
    EXPECT_EQ(list_.Row(0).status, u"Failure");
    EXPECT_FALSE(list_.Row(0).time.isEmpty());
    EXPECT_TRUE(sink_.Lines().last().startsWith(u"E Error: Can't open"))
        << qPrintable(sink_.Lines().join(u'\n'));
}

TEST_F(ImportRunTest, NoToAllIsRememberedForOneRunOnly)
{
    const QStringList titles {u"One"_s, u"Two"_s, u"Three"_s};
    QStringList paths;
    for (const QString& title : titles)
        paths << WriteBook(u"Ivar"_s, u"Kessel"_s, title);
    for (const QString& path : paths)
        Add(path);
    RunImport(ImportOperation::InPlace);
    ASSERT_EQ(BookCount(), 3);
    EXPECT_TRUE(question_.questions.isEmpty());

    for (const QString& path : paths)
        Add(path);
    question_.answers = {Answer::NoToAll};
    sink_.Clear();
    const ImportRunSummary summary = RunImport(ImportOperation::InPlace);
    ASSERT_EQ(question_.questions.size(), 1);
    EXPECT_EQ(question_.questions[0],
        u"Book Ivar Kessel \"One\" is already added.\r\nDo you want to replace existing book?");
    EXPECT_EQ(summary.ok, 3);
    EXPECT_EQ(list_.Count(), 0);
    EXPECT_EQ(sink_.Lines(),
        (QStringList {u"W Book Ivar Kessel \"One\" is already added."_s,
            u"W Book Ivar Kessel \"Two\" is already added."_s,
            u"W Book Ivar Kessel \"Three\" is already added."_s}));

    Add(paths[0]);
    question_.answers = {Answer::No};
    RunImport(ImportOperation::InPlace);
    EXPECT_EQ(question_.questions.size(), 2);
}

TEST_F(ImportRunTest, YesReplacesTheBookAndItsFileYesToAllStopsAsking)
{
    const QString first = WriteBook(u"One.fb2"_s, TitleInfo(u"Ivar"_s, u"Kessel"_s, u"One"_s));
    const QString second = WriteBook(u"Two.fb2"_s, TitleInfo(u"Ivar"_s, u"Kessel"_s, u"Two"_s));
    Add(first);
    Add(second);
    RunImport(ImportOperation::Standard);
    ASSERT_EQ(BookCount(), 2);

    // New editions with another genre.
    WriteBytes(first, Fb2Utf8(TitleInfo(u"Ivar"_s, u"Kessel"_s, u"One"_s, u"prose"_s)));
    WriteBytes(second, Fb2Utf8(TitleInfo(u"Ivar"_s, u"Kessel"_s, u"Two"_s, u"prose"_s)));
    Add(first);
    Add(second);
    question_.answers = {Answer::YesToAll};
    RunImport(ImportOperation::Standard);
    EXPECT_EQ(question_.questions.size(), 1);
    EXPECT_EQ(BookCount(), 2);
    for (const auto& book : catalog_.Authors()[0]->Groups()[0]->Books()) {
        EXPECT_EQ(book->genre, u"prose");
        EXPECT_TRUE(ReadBytes(book->file).contains("prose")) << qPrintable(book->file);
    }
}

TEST_F(ImportRunTest, ExistingBookSettingAnswersWithoutAsking)
{
    const QString path = WriteBook(u"Ivar"_s, u"Kessel"_s, u"One"_s);
    Add(path);
    RunImport(ImportOperation::InPlace);
    options_.existingBookAction = ExistingBookAction::Skip;
    Add(path);
    sink_.Clear();
    EXPECT_EQ(RunImport(ImportOperation::InPlace).ok, 1);
    EXPECT_EQ(sink_.Lines(), QStringList {u"W Book Ivar Kessel \"One\" is already added."_s});

    options_.existingBookAction = ExistingBookAction::Replace;
    Add(path);
    sink_.Clear();
    EXPECT_EQ(RunImport(ImportOperation::InPlace).ok, 1);
    EXPECT_EQ(sink_.Lines(), QStringList {u"I Book Ivar Kessel \"One\" added."_s});
    EXPECT_TRUE(question_.questions.isEmpty());
}

TEST_F(ImportRunTest, BooksWithoutAuthorNamesOrTitleFailAndMissingGenreGetsTheDefault)
{
    // The scan refuses an author known by nickname only, so no row is made for it.
    const QString nickname = WriteBook(u"nick.fb2"_s,
        u"<genre>sf</genre><author><nickname>Ghost</nickname></author>"
        u"<book-title>Unsigned</book-title>"_s);
    EXPECT_EQ(Add(nickname), 0);
    EXPECT_TRUE(scanError_.contains(u"[FB2] Can't find author name in " + nickname));

    // A header that reaches the import without names or title fails with the import's texts.
    CBookHeader header(Path(u"incoming/nick.txt"), 10);
    header.format = FormatLit;
    header.title = u"Unsigned"_s;
    header.lastName = u"Ghost"_s;
    BookImporter importer(Context());
    importer.BeginRun();
    EXPECT_EQ(importer.ImportOne(header, ImportOperation::InPlace), ImportStatus::Failure);
    header.firstName = u"Anna"_s;
    header.title.clear();
    EXPECT_EQ(importer.ImportOne(header, ImportOperation::InPlace), ImportStatus::Failure);
    EXPECT_EQ(sink_.Lines(),
        (QStringList {u"E Can't detect author's name in \"" + header.file + u"\".",
            u"E Can't detect book title in \"" + header.file + u"\"."}));

    sink_.Clear();
    header.title = u"Unsigned"_s;
    options_.defaultGenre = u"prose"_s;
    BookImporter withDefault(Context());
    withDefault.BeginRun();
    EXPECT_EQ(withDefault.ImportOne(header, ImportOperation::InPlace), ImportStatus::Ok);
    EXPECT_EQ(sink_.Lines().first(),
        u"W Can't detect book genre in \"" + header.file
            + u"\" Defaults used, but file is not changed.");
    EXPECT_EQ(catalog_.FindBook(header)->genre, u"prose");
    EXPECT_EQ(catalog_.FindBook(header)->format, FormatLit);
}

TEST_F(ImportRunTest, ConvertingOperationsNeedTheConverterInPlaceDoesNot)
{
    Add(WriteBook(u"Ivar"_s, u"Kessel"_s, u"One"_s));
    BookImporter importer(Context());
    ImportRun run(list_, importer);
    QString error;
    EXPECT_FALSE(run.Start(ImportOperation::Standard, &error));
    EXPECT_EQ(error,
        u"Can't create Any2FB2 COM object.\r\nPlease install or reinstall Any 2 FB2 application.");
    EXPECT_FALSE(run.CanStart(ImportOperation::JustConvert, &error));
    EXPECT_TRUE(run.Start(ImportOperation::InPlace));
    EXPECT_EQ(run.Wait().ok, 1);
}

TEST_F(ImportRunTest, ThreeBookArchiveImportsMemberByMember)
{
    const QString archive = QStringLiteral(LBV_TEST_DATA_DIR "/import/three-books.zip");
    ASSERT_EQ(Add(archive), 3);
    catalog_.compressFiles = true;
    const ImportRunSummary summary = RunImport(ImportOperation::Standard);
    EXPECT_EQ(summary.ok, 3) << qPrintable(sink_.Lines().join(u'\n'));
    for (const auto& author : catalog_.Authors())
        for (const auto& group : author->Groups())
            for (const auto& book : group->Books()) {
                EXPECT_EQ(book->compression, CompressionZip);
                EXPECT_TRUE(book->IsAtStandardPlace(catalog_)) << qPrintable(book->file);
                EXPECT_FALSE(ActualBookPath(*book, catalog_).isEmpty());
            }
}

// The worker adds books while this thread, as the GUI would, keeps reading the catalog under the
// shared lock; run under ThreadSanitizer this proves the locking.
TEST_F(ImportRunTest, WorkerAndReaderShareTheCatalogSafely)
{
    constexpr int kBooks = 300;
    for (int i = 0; i < kBooks; ++i)
        WriteBook(QStringLiteral("b%1.fb2").arg(i),
            TitleInfo(QStringLiteral("First%1").arg(i % 37), QStringLiteral("Last%1").arg(i % 41),
                QStringLiteral("Title %1").arg(i)));
    Add(Path(u"incoming"));
    ASSERT_EQ(list_.Count(), kBooks);

    BookImporter importer(Context());
    ImportRun run(list_, importer);
    ASSERT_TRUE(run.Start(ImportOperation::InPlace));
    int reads = 0;
    qsizetype lastSeen = 0;
    while (run.IsRunning() || reads == 0) {
        std::lock_guard lock(catalogMutex_);
        qsizetype books = 0;
        QString previousKey;
        for (const auto& author : catalog_.Authors()) {
            EXPECT_LE(previousKey, author->sortKey);
            previousKey = author->sortKey;
            for (const auto& group : author->Groups())
                for (const auto& book : group->Books())
                    books += book->title.isEmpty() ? 0 : 1;
        }
        EXPECT_GE(books, lastSeen);
        lastSeen = books;
        ++reads;
        (void)list_.Row(0); // the GUI shows the list meanwhile
    }
    EXPECT_EQ(run.Wait().ok, kBooks);
    EXPECT_EQ(BookCount(), kBooks);
}

TEST_F(ImportRunTest, NothingIsCopiedForAnIndexThatCannotBeSaved)
{
    Add(WriteBook(u"Ivar"_s, u"Kessel"_s, u"One"_s));
    WriteBytes(Path(u"blocked"), "a file where the index's folder should be");
    catalog_.path = Path(u"blocked/index.lvf");
    BookImporter importer(Context());
    ImportRun run(list_, importer);
    QString error;
    EXPECT_FALSE(run.Start(ImportOperation::InPlace, &error));
    EXPECT_EQ(
        error, u"The index \"" + catalog_.path + u"\" can't be written; nothing is imported.");
    EXPECT_EQ(BookCount(), 0);

    // A folder still to be made is fine: saving makes it.
    catalog_.path = Path(u"new/library/index.lvf");
    EXPECT_TRUE(run.Start(ImportOperation::InPlace, &error)) << qPrintable(error);
    EXPECT_EQ(run.Wait().ok, 1);
}

TEST_F(ImportRunTest, PathsWithControlCharactersAreStoredReadablyOrRefused)
{
    // Archive members are named as the scan shows them, control characters made visible, so
    // the stored path reads back.
    const QString archive = Path(u"incoming/ctrl.zip");
    QDir().mkpath(Path(u"incoming"));
    CZipFile zip;
    zip.Open(archive, 'w');
    zip.Write(u"ctl\x01\x1b.fb2"_s, Fb2Utf8(TitleInfo(u"Ctrl"_s, u"Member"_s, u"Member"_s)));
    zip.Close();
    ASSERT_EQ(Add(archive), 1);
    EXPECT_EQ(RunImport(ImportOperation::InPlace).ok, 1);
    const CBook* book = catalog_.Authors().front()->Groups().front()->Books().front().get();
    QByteArray bytes;
    QString error;
    EXPECT_TRUE(ReadStoredBookBytes(book->file, book->compression, &bytes, &error))
        << qPrintable(book->file) << qPrintable(error);

    // A file on disk keeps its name, which the index can't hold: refused in place.
    const QString plain = WriteBook(u"ctl\x01.fb2"_s, TitleInfo(u"Ctrl"_s, u"Plain"_s, u"Plain"_s));
    ASSERT_EQ(Add(plain), 1);
    const ImportRunSummary summary = RunImport(ImportOperation::InPlace);
    EXPECT_EQ(summary.ok, 0);
    EXPECT_EQ(summary.failed, 1);
    EXPECT_TRUE(sink_.Lines().contains(u"E The path \"" + Path(u"incoming/ctl .fb2")
        + u"\" holds control characters the index can't store."))
        << qPrintable(sink_.Lines().join(u'\n'));
    EXPECT_EQ(BookCount(), 1);
    // The standard import names the file itself, so the same book imports there.
    RunImport(ImportOperation::Standard);
    EXPECT_EQ(BookCount(), 2);
}

TEST_F(ImportRunTest, LineBreaksInNamesForgeNoLogLinesAndNoFileNames)
{
    Add(WriteBook(u"newline.fb2"_s, TitleInfo(u"New\nLine"_s, u"Tab\tHere"_s, u"Title\r\nX"_s)));
    EXPECT_EQ(RunImport(ImportOperation::Standard).ok, 1);
    EXPECT_EQ(sink_.Lines(), QStringList {u"I Book New Line Tab Here \"Title X\" added."_s});
    EXPECT_TRUE(
        QFileInfo::exists(Path(u"library/New Line Tab Here/New Line Tab Here. Title X.fb2")));
}
