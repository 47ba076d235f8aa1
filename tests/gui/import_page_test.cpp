#include "catalog/libravon_doc.h"
#include "gui/import/import_list_model.h"
#include "gui/import/import_page.h"
#include "gui/shell/catalog_session.h"
#include "import/fb2_samples.h"
#include "import/import_source.h"
#include "scripted_import_dialogs.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace lbv;
using namespace Qt::StringLiterals;
using Answer = ExistingBookQuestion::Answer;

namespace {

QString BookTitleInfo(const QString& first, const QString& last, const QString& title)
{
    return u"<genre>sf</genre><author><first-name>"_s + first + u"</first-name><last-name>"_s + last
        + u"</last-name></author><book-title>"_s + title + u"</book-title>"_s;
}

class ImportPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(dir.filePath(u"lib"_s));
        session.Catalog().path = dir.filePath(u"lib/index.lvf"_s);
        session.Catalog().fileNameMask = u"%f %l\\%t"_s;
        session.Catalog().compressFiles = false;
        MakePage();
    }
    void MakePage()
    {
        page.reset();
        page = std::make_unique<CImportPage>(session, settings, dialogs);
        page->resize(800, 600);
    }

    QString WriteBook(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(u"in/"_s + name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QString WriteBook(const QString& title)
    {
        return WriteBook(title + u".fb2"_s,
            test::Fb2Text(test::kUtf8Declaration, BookTitleInfo(u"Ivar"_s, u"Kessel"_s, title))
                .toUtf8());
    }
    void Add(const QStringList& paths)
    {
        page->AddPaths(paths);
        QTRY_VERIFY_WITH_TIMEOUT(!page->IsScanning(), 10000);
    }
    void Run()
    {
        StartButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page->IsRunning(), 20000);
    }
    QPushButton* StartButton() const { return page->findChild<QPushButton*>(u"importStart"_s); }
    QTreeView* ListView() const { return page->findChild<QTreeView*>(u"importList"_s); }
    QTreeView* LogView() const { return page->findChild<QTreeView*>(u"importLog"_s); }
    QStringList Column(int column) const
    {
        QStringList texts;
        const QAbstractItemModel* model = ListView()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, column).data().toString();
        return texts;
    }
    QStringList LogTexts() const
    {
        QStringList texts;
        const QAbstractItemModel* model = LogView()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, 1).data().toString();
        return texts;
    }
    int BookCount()
    {
        const auto lock = session.ReadLock();
        int books = 0;
        for (const auto& author : session.Catalog().Authors())
            books += int(author->BookCount());
        return books;
    }

    QTemporaryDir dir;
    SettingsStore settings {std::make_unique<MemorySettingsBackend>()};
    CatalogSession session;
    test::ScriptedImportDialogs dialogs;
    std::unique_ptr<CImportPage> page;
};

} // namespace

TEST(ImportListModelTest, ShowsTheRowsAndTheirChecksAndToleratesRowsGoneMeanwhile)
{
    ImportList list;
    for (const auto& [name, size] :
        {std::pair {u"/in/small.fb2"_s, 100}, {u"/in/mid.txt"_s, 9000}, {u"/in/big.fb2"_s, 200000}})
        list.AddHeader(std::make_unique<CBookHeader>(name, size));
    CImportListModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole), u"Directory"_s);
    EXPECT_EQ(model.headerData(5, Qt::Horizontal, Qt::DisplayRole), u"Time"_s);
    EXPECT_EQ(model.index(1, CImportListModel::FileName).data(), u"mid"_s);
    EXPECT_EQ(model.index(1, CImportListModel::Extension).data(), u".txt"_s);
    EXPECT_EQ(model.index(1, CImportListModel::Size).data(), u"8K"_s);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(model.index(row, 0).data(CImportListModel::SizeClassRole), row);
        EXPECT_EQ(model.index(row, 0).data(Qt::CheckStateRole), Qt::Checked);
    }

    EXPECT_TRUE(model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_FALSE(list.IsChecked(0));
    // A run owns the checks.
    model.SetRunActive(true);
    EXPECT_FALSE(model.flags(model.index(1, 0)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model.setData(model.index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_TRUE(list.IsChecked(1));

    // The worker removed rows before the model heard of it: they read as empty, until Reload.
    list.SetRunActive(false);
    list.RemoveUnchecked();
    ASSERT_TRUE(list.RemoveRow(1));
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.index(2, CImportListModel::FileName).data().toString(), QString());
    model.RowsChanged(0, 5);
    model.SetRunActive(false);
    model.Reload();
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.index(0, CImportListModel::FileName).data(), u"mid"_s);
}

TEST_F(ImportPageTest, ARunShowsItsCaptionsRemovesImportedRowsAndKeepsFailedOnesChecked)
{
    QSignalSpy changed(&session, &CatalogSession::changed);
    auto* hint = page->findChild<QLabel*>(u"importEmptyHint"_s);
    EXPECT_FALSE(hint->isHidden());
    EXPECT_EQ(StartButton()->text(), u"&Start"_s);
    WriteBook(u"One"_s);
    WriteBook(u"Two"_s);
    const QString gone = WriteBook(u"Gone"_s);
    Add({dir.filePath(u"in"_s)});
    ASSERT_EQ(Column(CImportListModel::FileName), (QStringList {u"Gone"_s, u"One"_s, u"Two"_s}));
    EXPECT_TRUE(hint->isHidden());
    QFile::remove(gone); // fails at the import

    StartButton()->click();
    EXPECT_EQ(StartButton()->text(), u"Stop"_s);
    EXPECT_TRUE(session.IsImportRunning());
    EXPECT_FALSE(page->findChild<QComboBox*>(u"importOperation"_s)->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!page->IsRunning(), 20000);

    EXPECT_EQ(StartButton()->text(), u"Import"_s);
    EXPECT_TRUE(StartButton()->isEnabled());
    EXPECT_FALSE(session.IsImportRunning());
    EXPECT_EQ(changed.size(), 1);
    EXPECT_TRUE(session.Catalog().IsModified());
    EXPECT_EQ(BookCount(), 2);
    ASSERT_EQ(Column(CImportListModel::FileName), QStringList {u"Gone"_s});
    EXPECT_EQ(Column(CImportListModel::Status), QStringList {u"Failure"_s});
    EXPECT_EQ(Column(CImportListModel::Time)[0].size(), 8); // HH:mm:ss
    EXPECT_EQ(ListView()->model()->index(0, 0).data(Qt::CheckStateRole), Qt::Checked);
    QTRY_VERIFY(LogTexts().size() >= 3);
    const QStringList log = LogTexts();
    EXPECT_TRUE(log.contains(u"Book Ivar Kessel \"One\" added."_s));
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const QString& text) {
        return text.startsWith(u"Error: Can't open"_s);
    })) << qPrintable(log.join(u'\n'));
}

TEST_F(ImportPageTest, TheExistingBookQuestionIsAskedFromTheWorkerAndRememberedForOneRun)
{
    for (const QString& title : {u"One"_s, u"Two"_s, u"Three"_s})
        session.Catalog().AddBook({u"Ivar"_s, u"Kessel"_s, title, u"sf"_s}, false);
    const QStringList books {WriteBook(u"One"_s), WriteBook(u"Two"_s), WriteBook(u"Three"_s)};

    dialogs.answers = {Answer::NoToAll};
    Add(books);
    Run();
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(dialogs.questions[0],
        u"Book Ivar Kessel \"One\" is already added.\r\nDo you want to replace existing book?"_s);
    EXPECT_EQ(ListView()->model()->rowCount(), 0); // skipped books count as done

    // The next run asks again; Yes to all ends the asking.
    dialogs.answers = {Answer::No, Answer::YesToAll};
    Add(books);
    Run();
    EXPECT_EQ(dialogs.questions.size(), 3);
    EXPECT_EQ(BookCount(), 3);
    EXPECT_TRUE(QFile::exists(dir.filePath(u"lib/Ivar Kessel/Three.fb2"_s)));
    EXPECT_FALSE(QFile::exists(dir.filePath(u"lib/Ivar Kessel/One.fb2"_s)));
}

TEST_F(ImportPageTest, OptionsAreReadAfreshAtEveryStart)
{
    session.Catalog().AddBook({u"Ivar"_s, u"Kessel"_s, u"One"_s, u"sf"_s}, false);
    const QString book = WriteBook(u"One"_s);
    settings.WriteProfileInt(u"Settings"_s, u"ExistingBookAction"_s, 2);
    Add({book});
    Run();
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(u"lib/Ivar Kessel/One.fb2"_s)));

    settings.WriteProfileInt(u"Settings"_s, u"ExistingBookAction"_s, 1);
    Add({book});
    Run();
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_TRUE(QFile::exists(dir.filePath(u"lib/Ivar Kessel/One.fb2"_s)));
}

TEST_F(ImportPageTest, StopAndCloseWhileTheQuestionIsOpenNeitherBlockNorLoseRows)
{
    session.Catalog().AddBook({u"Ivar"_s, u"Kessel"_s, u"One"_s, u"sf"_s}, false);
    Add({WriteBook(u"One"_s), WriteBook(u"Two"_s), WriteBook(u"Three"_s)});
    const QString late = WriteBook(u"Late"_s);
    QSignalSpy ended(page.get(), &CImportPage::runEnded);
    bool checked = false;
    dialogs.answers = {Answer::Yes};
    dialogs.whileAsked = [&] {
        // The GUI thread is live while the worker waits for the answer.
        StartButton()->click();
        EXPECT_EQ(StartButton()->text(), u"Stopping..."_s);
        EXPECT_FALSE(StartButton()->isEnabled());
        // Rows added now wait for the run's end; the run's rows keep their checks.
        page->AddPaths({late});
        QTRY_VERIFY(!page->IsScanning());
        EXPECT_EQ(ListView()->model()->rowCount(), 3);
        QAbstractItemModel* model = ListView()->model();
        EXPECT_FALSE(model->setData(model->index(2, 0), Qt::Unchecked, Qt::CheckStateRole));
        page->StopForClose();
        EXPECT_TRUE(dialogs.dismissed);
        checked = true;
    };
    StartButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(ended.size() == 1, 20000);
    EXPECT_TRUE(checked);
    // Closing answered "No": the book stays as it was, and the run stopped after that row.
    EXPECT_FALSE(QFile::exists(dir.filePath(u"lib/Ivar Kessel/One.fb2"_s)));
    EXPECT_EQ(Column(CImportListModel::FileName), (QStringList {u"Two"_s, u"Three"_s, u"Late"_s}));
    EXPECT_EQ(StartButton()->text(), u"Import"_s);
    EXPECT_TRUE(StartButton()->isEnabled());
}

TEST_F(ImportPageTest, ScanWarningsAreLoggedAndTheGenreChoiceIsStored)
{
    Add({dir.filePath(u"missing.fb2"_s), WriteBook(u"notes.xyz"_s, "plain words")});
    EXPECT_EQ(ListView()->model()->rowCount(), 0);
    QTRY_VERIFY(LogTexts().size() >= 1);
    const QAbstractItemModel* log = LogView()->model();
    EXPECT_EQ(log->index(0, 0).data().toString().size(), 8);
    EXPECT_TRUE(log->index(0, 0).data(Qt::DecorationRole).isValid());
    EXPECT_TRUE(log->index(0, 1).data(Qt::BackgroundRole).isValid());

    auto* genre = page->findChild<QComboBox*>(u"importDefaultGenre"_s);
    ASSERT_GE(genre->count(), 1);
    EXPECT_EQ(genre->currentData(), u"SF"_s);
}

TEST_F(ImportPageTest, ColumnLayoutsOfBothListsSurviveThePage)
{
    ListView()->header()->resizeSection(1, 333);
    ListView()->header()->moveSection(4, 0);
    LogView()->header()->resizeSection(0, 77);
    MakePage();
    EXPECT_EQ(ListView()->header()->sectionSize(1), 333);
    EXPECT_EQ(ListView()->header()->visualIndex(4), 0);
    EXPECT_EQ(LogView()->header()->sectionSize(0), 77);
    EXPECT_FALSE(
        settings.GetProfileString(u"ImportView"_s, u"ImportListHeaderItem_5"_s, {}).isEmpty());
    EXPECT_FALSE(settings.GetProfileString(u"ImportView"_s, u"LogHeaderItem_1"_s, {}).isEmpty());
}

TEST(ImportListModelTest, SizeTextsAndIconsChangeAtTheClassBounds)
{
    ImportList list;
    for (const qint64 size : {5120, 5121, 102400, 102401})
        list.AddHeader(
            std::make_unique<CBookHeader>(u"/in/b"_s + QString::number(size) + u".fb2"_s, size));
    CImportListModel model(list);
    const auto size = [&](int row) { return model.index(row, CImportListModel::Size).data(); };
    EXPECT_EQ(size(0), u"5120"_s);
    EXPECT_EQ(size(1), u"5K"_s);
    EXPECT_EQ(size(2), u"100K"_s);
    EXPECT_EQ(size(3), u"100K"_s);
    const auto icon = [&](int row) {
        return model.index(row, CImportListModel::Directory)
            .data(Qt::DecorationRole)
            .value<QIcon>();
    };
    EXPECT_EQ(icon(0).pixmap(16).toImage(), icon(0).pixmap(16).toImage());
    EXPECT_NE(icon(0).pixmap(16).toImage(), icon(1).pixmap(16).toImage());
    EXPECT_EQ(icon(1).pixmap(16).toImage(), icon(2).pixmap(16).toImage());
    EXPECT_NE(icon(2).pixmap(16).toImage(), icon(3).pixmap(16).toImage());

    // Each class takes its own colours; an unset colour leaves the view's own.
    model.SetColors({QColor(Qt::green), QColor(), QColor(Qt::red)},
        {QColor(Qt::white), QColor(), QColor(Qt::yellow)});
    EXPECT_EQ(model.index(0, CImportListModel::Status).data(Qt::ForegroundRole), QColor(Qt::green));
    EXPECT_FALSE(model.index(1, CImportListModel::Status).data(Qt::ForegroundRole).isValid());
    EXPECT_EQ(model.index(3, CImportListModel::Time).data(Qt::BackgroundRole), QColor(Qt::yellow));
}

TEST_F(ImportPageTest, LogLinesSplitTakeTheirLevelsLookAndStayInView)
{
    page->show();
    settings.WriteProfileInt(u"Settings"_s, u"LogDebugFG"_s, 0x00FF00); // BGR: green
    page->SettingChanged(u"LogDebugFG"_s);
    page->Log().LogLine(u'Q', u"first\r\nsecond\n"_s);
    page->Log().LogDebug(u"debug"_s);
    page->Log().LogInfo(u"info"_s);
    page->Log().LogError(u"error"_s);
    QTRY_COMPARE(LogTexts().size(), 5);
    EXPECT_EQ(
        LogTexts(), (QStringList {u"first"_s, u"second"_s, u"debug"_s, u"info"_s, u"error"_s}));

    const QAbstractItemModel* log = LogView()->model();
    const auto look = [&](int row, int role) { return log->index(row, 1).data(role); };
    const auto icon = [&](int row) {
        return log->index(row, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage();
    };
    // An unknown letter reads as Debug.
    for (const int role : {int(Qt::ForegroundRole), int(Qt::BackgroundRole)}) {
        EXPECT_EQ(look(0, role), look(2, role));
        EXPECT_EQ(look(1, role), look(2, role));
    }
    EXPECT_EQ(look(0, Qt::ForegroundRole), QColor(Qt::green));
    EXPECT_EQ(icon(0), icon(2));
    EXPECT_NE(icon(2), icon(3));
    EXPECT_NE(icon(3), icon(4));
    EXPECT_NE(look(3, Qt::ForegroundRole), look(4, Qt::ForegroundRole));
    EXPECT_EQ(log->index(1, 0).data().toString().size(), 8); // each line has its own time

    // The newest line is in view however long the log grows.
    for (int line = 0; line < 300; ++line)
        page->Log().LogInfo(u"line "_s + QString::number(line));
    QTRY_COMPARE(log->rowCount(), 305);
    QTRY_VERIFY(
        LogView()->viewport()->rect().intersects(LogView()->visualRect(log->index(304, 1))));
}

TEST_F(ImportPageTest, AddButtonsScanTheChosenPathsAndTheHintReturnsWhenAllAreImported)
{
    auto* hint = page->findChild<QLabel*>(u"importEmptyHint"_s);
    EXPECT_EQ(hint->text(), u"You can drag and drop files and directories here."_s);
    dialogs.files = {WriteBook(u"One"_s)};
    page->findChild<QPushButton*>(u"importAddFile"_s)->click();
    QTRY_VERIFY(!page->IsScanning());
    const auto book = [](const QString& title) {
        return test::Fb2Text(test::kUtf8Declaration, BookTitleInfo(u"Ivar"_s, u"Kessel"_s, title))
            .toUtf8();
    };
    WriteBook(u"sub/zeta.fb2"_s, book(u"Two"_s));
    WriteBook(u"sub/a/Three.fb2"_s, book(u"Three"_s));
    auto* addDir = page->findChild<QPushButton*>(u"importAddDir"_s);
    addDir->click(); // cancelled: no folder
    QTRY_VERIFY(!page->IsScanning());
    EXPECT_EQ(ListView()->model()->rowCount(), 1);
    dialogs.folder = dir.filePath(u"in/sub"_s);
    addDir->click();
    QTRY_VERIFY(!page->IsScanning());
    // Depth first: a subfolder's books come where its name falls among the files.
    EXPECT_EQ(Column(CImportListModel::FileName), (QStringList {u"One"_s, u"Three"_s, u"zeta"_s}));
    EXPECT_TRUE(hint->isHidden());

    Run();
    EXPECT_EQ(BookCount(), 3);
    EXPECT_EQ(ListView()->model()->rowCount(), 0);
    EXPECT_FALSE(hint->isHidden());
}

TEST_F(ImportPageTest, LogFilesFollowTheirSettingsWithoutARestart)
{
    const QString folder = dir.filePath(u"logs"_s);
    QDir().mkpath(folder);
    const auto logFiles = [&] { return QDir(folder).entryList({u"Libravon*.ucp"_s}, QDir::Files); };
    settings.WriteProfileString(u"Settings"_s, u"LogFilesDir"_s, folder);
    page->SettingChanged(u"LogFilesDir"_s);
    page->Log().LogInfo(u"unwritten"_s);
    EXPECT_TRUE(logFiles().isEmpty()); // "Write logs" is off

    settings.WriteProfileInt(u"Settings"_s, u"WriteLogs"_s, 1);
    page->SettingChanged(u"WriteLogs"_s);
    page->Log().LogInfo(u"written"_s);
    ASSERT_EQ(logFiles().size(), 1);
    QFile file(folder + u'/' + logFiles()[0]);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(u"written"_s));
    EXPECT_FALSE(text.contains(u"unwritten"_s));
}
