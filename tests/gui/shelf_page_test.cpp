#include "gui/common/grid_tree_view.h"
#include "gui/shelf/author_tree_model.h"
#include "gui/shelf/book_list_ctrl.h"
#include "gui/shelf/shelf_dialogs.h"
#include "gui/shelf/shelf_page.h"
#include "gui/shell/catalog_session.h"
#include "scripted_shelf_dialogs.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "text/messages.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace lbv;

namespace {

class ShelfPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings = std::make_unique<SettingsStore>(std::make_unique<MemorySettingsBackend>());
    }

    CBook* Add(const char* first, const char* last, const char* title, const char* group = nullptr)
    {
        BookDescription book;
        book.firstName = QString::fromUtf8(first);
        book.lastName = QString::fromUtf8(last);
        book.title = QString::fromUtf8(title);
        CLibravonDoc& catalog = session.Catalog();
        catalog.AddBook(book, false);
        CBook* added = catalog.FindBook(book);
        if (group) {
            const QString name = QString::fromUtf8(group);
            CGroup* target = added->Author()->FindGroup(name);
            if (!target)
                target = catalog.CreateGroup(added->Author(), name);
            catalog.MoveBookToGroup(added, target);
        }
        return added;
    }

    // Kessel: default group with two books and group "Series" with one; Holm: default only.
    void FillLibrary()
    {
        Add("Ivar", "Kessel", "North");
        Add("Ivar", "Kessel", "South");
        Add("Ivar", "Kessel", "East", "Series");
        Add("Maria", "Holm", "Tide");
    }

    CShelfPage& Start(bool autorun = false)
    {
        if (autorun)
            settings
                = std::make_unique<SettingsStore>(std::make_unique<MemorySettingsBackend>(), true);
        page = std::make_unique<CShelfPage>(session, *settings, dialogs);
        page->resize(800, 500);
        page->show();
        session.NotifyReplaced();
        return *page;
    }

    CAuthorTreeModel& Model() { return *page->TreeModel(); }
    QModelIndex Row(int author, int group = -1)
    {
        const QModelIndex authorRow = Model().index(author, 0);
        return group < 0 ? authorRow : Model().index(group, 0, authorRow);
    }
    QString Text(const QModelIndex& index, int column)
    {
        return index.siblingAtColumn(column).data().toString();
    }
    void Select(const QModelIndex& index)
    {
        page->Tree()->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    CatalogSession session;
    std::unique_ptr<SettingsStore> settings;
    ScriptedShelfDialogs dialogs;
    std::unique_ptr<CShelfPage> page;
};

} // namespace

TEST_F(ShelfPageTest, TreeShowsAuthorsWithTheirGroupsButNeverTheDefaultGroup)
{
    FillLibrary();
    Start();
    QAbstractItemModelTester tester(
        &Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(Model().rowCount(), 2);
    // Catalog order: by last name.
    EXPECT_EQ(Text(Row(0), 1), QStringLiteral("Holm"));
    EXPECT_EQ(Model().rowCount(Row(0)), 0);
    EXPECT_EQ(Text(Row(1), 0), QStringLiteral("Ivar"));
    EXPECT_EQ(Text(Row(1), 2), QStringLiteral("3"));
    ASSERT_EQ(Model().rowCount(Row(1)), 1);
    EXPECT_EQ(Text(Row(1, 0), 0), QStringLiteral("Series"));
    EXPECT_EQ(Text(Row(1, 0), 1), QString());
    EXPECT_EQ(Text(Row(1, 0), 2), QStringLiteral("1"));
    EXPECT_TRUE(page->Tree()->isExpanded(Row(1)));
    EXPECT_EQ(Model().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
        QStringLiteral("First name/Group"));
    EXPECT_EQ(
        page->StatusText(), QStringLiteral("Selected 2 authors / 3 groups / 4 books of 2/3/4."));
    // The first author and its first group are current, and its row is selected.
    EXPECT_EQ(page->CurrentAuthor(), session.Catalog().Authors()[0].get());
    EXPECT_EQ(page->Tree()->selectionModel()->selectedRows().value(0), Row(0));
}

TEST_F(ShelfPageTest, HiddenCountsAndGroupRowsCollapsedFollowTheSettings)
{
    FillLibrary();
    settings->WriteProfileInt(QStringLiteral("BooksView"), QStringLiteral("ShowBookCount"), 0);
    settings->WriteProfileInt(QStringLiteral("BooksView"), QStringLiteral("ExpandGroups"), 0);
    Start();
    EXPECT_EQ(Text(Row(1), 2), QString());
    EXPECT_FALSE(page->Tree()->isExpanded(Row(1)));
    QAbstractItemModelTester tester(
        &Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
}

TEST_F(ShelfPageTest, HeaderClicksSortSiblingsNumericallyAndCanGoBackToCatalogOrder)
{
    for (int i = 0; i < 10; ++i)
        Add("Anna", "Many", QByteArray("Book " + QByteArray::number(i)).constData());
    for (int i = 0; i < 9; ++i)
        Add("Zoe", "Abel", QByteArray("Book " + QByteArray::number(i)).constData());
    Start();
    QAbstractItemModelTester tester(
        &Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(Text(Row(0), 1), QStringLiteral("Abel"));
    page->Tree()->sortByColumn(CAuthorTreeModel::BooksColumn, Qt::DescendingOrder);
    EXPECT_EQ(Text(Row(0), 2), QStringLiteral("10"));
    page->Tree()->sortByColumn(CAuthorTreeModel::FirstNameColumn, Qt::AscendingOrder);
    EXPECT_EQ(Text(Row(0), 0), QStringLiteral("Anna"));
    // The sort stays through a rebuild, and sorting by no column restores the catalog's order.
    page->Refresh();
    EXPECT_EQ(Text(Row(0), 0), QStringLiteral("Anna"));
    Model().sort(-1);
    EXPECT_EQ(Text(Row(0), 1), QStringLiteral("Abel"));
}

TEST_F(ShelfPageTest, SelectingRowsChoosesTheGroupTheBookListShows)
{
    FillLibrary();
    Start();
    QSignalSpy chosen(page.get(), &CShelfPage::groupChosen);
    CAuthor* kessel = session.Catalog().Authors()[1].get();
    Select(Row(1, 0));
    EXPECT_EQ(page->CurrentGroup(), kessel->FindGroup(QStringLiteral("Series")));
    EXPECT_EQ(page->CurrentAuthor(), kessel);
    Select(Row(1));
    EXPECT_EQ(page->CurrentGroup(), kessel->FindGroup(kDefaultGroupName));
    ASSERT_EQ(chosen.size(), 2);
    EXPECT_EQ(chosen.last().at(1).value<CCatalogItem*>(), kessel->FindGroup(kDefaultGroupName));
}

TEST_F(ShelfPageTest, DeletingAnAuthorAsksThenSelectsTheRowBefore)
{
    FillLibrary();
    Add("Olga", "Zorn", "Last");
    Start();
    Select(Row(2));
    dialogs.yes = false;
    page->DeleteSelected();
    EXPECT_EQ(dialogs.questions.value(0),
        QStringLiteral("Are you sure want to delete all books by Olga Zorn?\r\nNote: All books "
                       "will be removed from index, but not from file storage!"));
    EXPECT_EQ(Model().rowCount(), 3);
    dialogs.yes = true;
    page->DeleteSelected();
    QAbstractItemModelTester tester(
        &Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(Model().rowCount(), 2);
    EXPECT_EQ(session.Catalog().Authors().size(), 2u);
    EXPECT_EQ(page->Tree()->selectionModel()->selectedRows().value(0), Row(1));
    EXPECT_EQ(page->CurrentAuthor(), session.Catalog().Authors()[1].get());
    EXPECT_TRUE(page->StatusText().endsWith(QStringLiteral("of 2/3/4.")));
}

TEST_F(ShelfPageTest, DeletingAGroupMovesItsBooksToANewDefaultGroupAndUpdatesCounts)
{
    Add("Ivar", "Kessel", "North", "Series");
    Add("Ivar", "Kessel", "South", "Series");
    CAuthor* kessel = session.Catalog().Authors()[0].get();
    session.Catalog().RemoveGroup(kessel->FindGroup(kDefaultGroupName));
    Start();
    Select(Row(0, 0));
    page->DeleteSelected();
    EXPECT_EQ(dialogs.questions.value(0),
        QStringLiteral("Are you sure want to delete group \"Series\"?\r\nNote: All books will be "
                       "transfered to default group."));
    ASSERT_EQ(kessel->Groups().size(), 1u);
    EXPECT_EQ(kessel->Groups()[0]->name, kDefaultGroupName);
    EXPECT_EQ(kessel->Groups()[0]->Books().size(), 2u);
    EXPECT_EQ(Model().rowCount(Row(0)), 0);
    EXPECT_EQ(Text(Row(0), 2), QStringLiteral("2"));
    EXPECT_EQ(page->CurrentGroup(), kessel->Groups()[0].get());
}

TEST_F(ShelfPageTest, GroupNamesAreAskedAgainUntilValidAndNewGroupsGetARow)
{
    FillLibrary();
    Start();
    Select(Row(1, 0));
    // Its own name is refused too; then an empty name; then cancel.
    dialogs.answers = {QStringLiteral("Series"), QStringLiteral("   ")};
    page->RenameSelectedGroup();
    EXPECT_EQ(dialogs.messages,
        QStringList({MessageText(Msg::GroupExists), MessageText(Msg::GroupNameEmpty)}));
    EXPECT_EQ(dialogs.inputs.value(0), QStringLiteral("New group|Enter new group name:|Series"));
    EXPECT_EQ(dialogs.inputs.size(), 3);

    dialogs.answers = {QStringLiteral("  Saga ")};
    page->RenameSelectedGroup();
    EXPECT_EQ(Text(Row(1, 0), 0), QStringLiteral("Saga"));

    Select(Row(0));
    dialogs.inputs.clear();
    dialogs.answers = {QStringLiteral("Later")};
    page->NewGroupForSelected();
    EXPECT_EQ(dialogs.inputs.value(0), QStringLiteral("New group|Enter new group name:|"));
    QAbstractItemModelTester tester(
        &Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(Model().rowCount(Row(0)), 1);
    EXPECT_EQ(Text(Row(0, 0), 0), QStringLiteral("Later"));
    EXPECT_EQ(Text(Row(0, 0), 2), QStringLiteral("0"));
    EXPECT_TRUE(session.Catalog().IsModified());
}

TEST_F(ShelfPageTest, TreeCommandsAreOfferedOnlyWhenTheCatalogMayChange)
{
    FillLibrary();
    Start();
    std::unique_ptr<QMenu> authorMenu(page->ContextMenuFor(Row(1)));
    ASSERT_TRUE(authorMenu);
    QStringList texts;
    for (QAction* action : authorMenu->actions()) {
        texts.append(action->text());
        EXPECT_TRUE(action->isEnabled());
    }
    EXPECT_EQ(texts, QStringList({QStringLiteral("&Delete"), QStringLiteral("New &group")}));
    std::unique_ptr<QMenu> groupMenu(page->ContextMenuFor(Row(1, 0)));
    EXPECT_EQ(groupMenu->actions().size(), 3);

    // An import run is the only writer: the commands are shown disabled and do nothing.
    session.SetImportRunning(true);
    std::unique_ptr<QMenu> busyMenu(page->ContextMenuFor(Row(1)));
    EXPECT_FALSE(busyMenu->actions().first()->isEnabled());
    page->DeleteSelected();
    EXPECT_TRUE(dialogs.questions.isEmpty());
    session.SetImportRunning(false);
    authorMenu.reset();
    groupMenu.reset();
    busyMenu.reset();

    page.reset();
    Start(/*autorun=*/true);
    EXPECT_EQ(page->ContextMenuFor(Row(1)), nullptr);
    Select(Row(1));
    page->DeleteSelected();
    page->NewGroupForSelected();
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_TRUE(dialogs.inputs.isEmpty());
}

TEST_F(ShelfPageTest, BooksDroppedOnTheTreeFindTheirRowAndCountsFollowMoves)
{
    CBook* north = Add("Ivar", "Kessel", "North");
    Add("Ivar", "Kessel", "East", "Series");
    Add("Maria", "Holm", "Tide", "Poems");
    Start();
    CAuthor* holm = session.Catalog().Authors()[0].get();
    CAuthor* kessel = session.Catalog().Authors()[1].get();
    CGroup* series = kessel->FindGroup(QStringLiteral("Series"));

    auto pointOf = [&](const QModelIndex& index) {
        return page->Tree()->viewport()->mapToGlobal(page->Tree()->visualRect(index).center());
    };
    EXPECT_EQ(page->RowAtPoint(pointOf(Row(0))), holm);
    EXPECT_EQ(page->RowAtPoint(pointOf(Row(1, 0))), series);
    EXPECT_EQ(page->RowAtPoint(QPoint(-5000, -5000)), nullptr);

    ASSERT_TRUE(session.Catalog().MoveBookToGroup(north, series));
    page->BooksChanged();
    EXPECT_EQ(Text(Row(1, 0), 2), QStringLiteral("2"));
    EXPECT_TRUE(page->StatusText().endsWith(QStringLiteral("of 2/4/3.")));
}

TEST_F(ShelfPageTest, TheBookListShowsTheChosenGroupAndItsDeletesReachTheTreeAtOnce)
{
    FillLibrary();
    Start();
    Select(Row(1)); // Kessel's default group: North and South
    CBookListCtrl& list = *page->BookList();
    ASSERT_EQ(list.model()->rowCount(), 2);
    list.selectAll();
    list.DeleteSelected();
    // The group went with its books: the tree is rebuilt before anything could paint it.
    const QAbstractItemModelTester tester(
        &Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(Model().rowCount(), 2);
    EXPECT_EQ(Text(Row(1), 2), QStringLiteral("1"));
    EXPECT_TRUE(page->StatusText().endsWith(QStringLiteral("of 2/2/2.")));

    settings->WriteProfileInt(QStringLiteral("BooksView"), QStringLiteral("ShowHGrid"), 0);
    settings->WriteProfileInt(QStringLiteral("BooksView"), QStringLiteral("ShowVGrid"), 1);
    page->SettingChanged(QStringLiteral("BooksView_Grid"));
    EXPECT_EQ(static_cast<CGridDelegate*>(list.itemDelegate())->Lines(),
        (GridLines {false, true, false}));
}

TEST_F(ShelfPageTest, HeaderLayoutIsRestoredWhenSaneAndStoredOnDestruction)
{
    FillLibrary();
    const QString section = QStringLiteral("BooksView");
    settings->WriteProfileString(
        section, QStringLiteral("TreeHeaderItem_0"), QStringLiteral("150 0 00004000"));
    settings->WriteProfileString(
        section, QStringLiteral("TreeHeaderItem_1"), QStringLiteral("oops"));
    Start();
    EXPECT_EQ(page->Tree()->header()->sectionSize(0), 150);
    EXPECT_EQ(page->Tree()->header()->sectionSize(1), 100);
    page->Tree()->header()->resizeSection(2, 70);
    page.reset();
    EXPECT_EQ(settings->GetProfileString(section, QStringLiteral("TreeHeaderItem_2")),
        QStringLiteral("70 2 00004000"));
    EXPECT_EQ(settings->GetProfileString(section, QStringLiteral("TreeHeaderItem_1")),
        QStringLiteral("100 1 00004000"));
}

TEST_F(ShelfPageTest, SettingChangesReachTheTreeAndArePassedOn)
{
    FillLibrary();
    Start();
    QSignalSpy relayed(page.get(), &CShelfPage::settingRelayed);
    settings->WriteProfileInt(
        QStringLiteral("BooksView"), QStringLiteral("AuthorTree_ShowVGrid"), 1);
    page->SettingChanged(QStringLiteral("authortree_grid"));
    EXPECT_TRUE(page->Tree()->Lines().vertical);
    EXPECT_FALSE(page->Tree()->Lines().horizontal);

    // "Reload": the catalog changed behind the page's back, the tree follows.
    Add("Olga", "Zorn", "Last");
    page->SettingChanged(QStringLiteral("Reload"));
    EXPECT_EQ(Model().rowCount(), 3);
    ASSERT_EQ(relayed.size(), 2);
    EXPECT_EQ(relayed[1].at(0).toString(), QStringLiteral("Reload"));
}

TEST_F(ShelfPageTest, RowsAreDroppedBeforeTheCatalogIsReplacedEvenDuringAQuestion)
{
    FillLibrary();
    Start();
    QSignalSpy chosen(page.get(), &CShelfPage::groupChosen);
    Select(Row(1));
    // A box is up (here: the delete question) when the frame replaces the catalog: every row
    // and the list let go of the old records first.
    int rowsWhileCleared = -1;
    dialogs.yes = false;
    dialogs.duringQuestion = [&] {
        session.Clear();
        rowsWhileCleared = Model().rowCount();
    };
    page->DeleteSelected();
    EXPECT_EQ(rowsWhileCleared, 0);
    EXPECT_EQ(page->CurrentAuthor(), nullptr);
    EXPECT_EQ(chosen.last().at(1).value<CCatalogItem*>(), nullptr);
    session.NotifyReplaced();
    EXPECT_EQ(Model().rowCount(), 0);
    EXPECT_EQ(
        page->StatusText(), QStringLiteral("Selected 0 authors / 0 groups / 0 books of 0/0/0."));
}

TEST_F(ShelfPageTest, TreeReadsWaitForTheImportWorkersLock)
{
    FillLibrary();
    Start();
    std::atomic<bool> released = false;
    std::atomic<bool> locked = false;
    std::thread worker([&] {
        const std::lock_guard lock(session.Mutex());
        locked = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        released = true;
    });
    while (!locked)
        std::this_thread::yield();
    const QString name = Text(Row(1), 0);
    EXPECT_TRUE(released);
    EXPECT_EQ(name, QStringLiteral("Ivar"));
    worker.join();
}
