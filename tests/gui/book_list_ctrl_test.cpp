#include "catalog/libravon_doc.h"
#include "gui/shelf/book_list_ctrl.h"
#include "gui/shelf/book_list_dialogs.h"
#include "gui/common/grid_tree_view.h"
#include "gui/shelf/author_tree_model.h"
#include "gui/shelf/book_list_model.h"
#include "gui/shelf/shelf_dialogs.h"
#include "gui/shelf/shelf_page.h"
#include "gui/shell/catalog_session.h"
#include "import/extra_columns.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "shelf/genre_dictionary.h"
#include "shelf/search_result.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace lbv;
using namespace Qt::StringLiterals;

namespace {

class ScriptedDialogs : public ShelfDialogs {
public:
    bool AskYesNo(QWidget*, const QString& caption, const QString& text) override
    {
        questions.append(caption + u'|' + text);
        return answer;
    }
    void ShowError(QWidget*, const QString& text) override { errors.append(text); }
    void ShowMessage(QWidget*, const QString& text) override { messages.append(text); }
    bool RunSheet(QDialog&) override
    {
        ++sheetsRun;
        return false;
    }
    std::optional<QString> AskText(QWidget*, const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<Filter> EditFilter(QWidget*, const Filter&, SettingsStore&) override
    {
        return std::nullopt;
    }

    bool answer = true;
    QStringList questions;
    QStringList errors;
    QStringList messages;
    int sheetsRun = 0;
};

QByteArray Fb2(const QString& annotation)
{
    return (u"<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\"><description>"
            u"<title-info><author><first-name>Ivar</first-name><last-name>Kessel</last-name>"
            u"</author><book-title>T</book-title><annotation><p>"
        + annotation + u"</p></annotation></title-info></description><body><p>x</p></body>"
                       u"</FictionBook>")
        .toUtf8();
}

class BookListCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallExtraColumns({{u"Series"_s, u"/fb:x"_s}});
        ASSERT_TRUE(dir.isValid());
        doc.path = dir.filePath(u"index.lvf"_s);
        doc.compressFiles = false;
        MakeList(false);
    }
    void TearDown() override { InstallExtraColumns(BuiltInExtraColumns()); }
    void MakeList(bool autorun)
    {
        list.reset();
        settings = std::make_unique<SettingsStore>(std::make_unique<MemorySettingsBackend>(), autorun);
        list = std::make_unique<CBookListCtrl>(session, *settings, dialogs, genres);
        list->resize(600, 400);
        tester = std::make_unique<QAbstractItemModelTester>(
            &list->Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    CBook* Add(const QString& title, const QString& last = u"Kessel"_s, bool withFile = true)
    {
        BookDescription h;
        h.firstName = u"Ivar"_s;
        h.lastName = last;
        h.title = title;
        h.year = title.size() > 3 ? 1951 : 0;
        h.extras = {{u"Series"_s, u"Foundation"_s}};
        if (withFile) {
            h.file = dir.filePath(last + title + u".fb2"_s);
            QFile file(h.file);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(Fb2(u"About "_s + title));
        }
        doc.AddBook(h, false);
        return doc.FindBook(h);
    }
    QStringList Rows() const
    {
        QStringList titles;
        for (int row = 0; row < list->Model().rowCount(); ++row)
            titles << list->Model().BookAt(row)->title;
        return titles;
    }
    void Select(std::initializer_list<int> rows)
    {
        list->clearSelection();
        for (int row : rows)
            list->selectionModel()->select(list->Model().index(row, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    QTemporaryDir dir;
    CatalogSession session;
    CLibravonDoc& doc = session.Catalog();
    GenreDictionary genres;
    ScriptedDialogs dialogs;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<CBookListCtrl> list;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

} // namespace

TEST_F(BookListCtrlTest, ColumnsShowTheBookFieldsAndOneColumnPerExtraDefinition)
{
    CBook* book = Add(u"Foundation"_s);
    Add(u"Gap"_s, u"Kessel"_s, false);
    list->ShowGroup(&doc, book->group);
    const BookListModel& model = list->Model();
    ASSERT_EQ(model.columnCount(), 5);
    QStringList headers;
    for (int column = 0; column < model.columnCount(); ++column)
        headers << model.headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(headers, (QStringList {u"Title"_s, u"Year"_s, u"Genre"_s, u"Series"_s, u"Details"_s}));
    EXPECT_EQ(model.index(0, 1).data().toString(), u"1951"_s);
    EXPECT_EQ(model.index(1, 1).data().toString(), QString()); // year 0
    EXPECT_EQ(model.index(0, 3).data().toString(), u"Foundation"_s);
    EXPECT_TRUE(model.index(1, 4).data().toString().contains(u"-- N/A (added"_s));
    EXPECT_EQ(model.index(1, 0).data(BookListModel::SizeClassRole).toInt(),
        int(BookSizeClass::NotAvailable));
    EXPECT_EQ(list->columnWidth(0), 200);

    list->ShowGroup(&doc, nullptr);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(BookListCtrlTest, RowsAreColouredByTheirSizeClass)
{
    CBook* book = Add(u"Alpha"_s);
    Add(u"Gap"_s, u"Kessel"_s, false);
    list->ShowGroup(&doc, book->group);
    list->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list.get()));
    list->setCurrentIndex(list->Model().index(0, 0)); // the current row is drawn with a tint
    const QRect cell = list->visualRect(list->Model().index(1, 1));
    const QImage image = list->viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(cell.center()), QColor(255, 225, 225)); // ColorNABookBG

    settings->WriteProfileInt(u"Settings"_s, u"ColorNABookBG"_s, 0x00FF00);
    list->settingChanged(u"colornabookbg"_s);
    EXPECT_EQ(list->viewport()->grab().toImage().pixelColor(cell.center()), QColor(0, 255, 0));
}

TEST_F(BookListCtrlTest, SelectedRowsGrowByThePreviewBandWithTheAnnotation)
{
    CBook* book = Add(u"Foundation"_s);
    Add(u"Empire"_s);
    list->ShowGroup(&doc, book->group);
    list->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list.get()));
    const int plain = list->visualRect(list->Model().index(0, 0)).height();
    Select({0});
    QApplication::processEvents();
    list->doItemsLayout();
    EXPECT_GE(list->visualRect(list->Model().index(0, 0)).height(), plain + 20);
    EXPECT_EQ(list->visualRect(list->Model().index(1, 0)).height(), plain);
    EXPECT_TRUE(book->annotationLoaded);
    EXPECT_EQ(book->annotation, QStringList {u"About Foundation"_s});

    list->clearSelection();
    QApplication::processEvents();
    list->doItemsLayout();
    EXPECT_EQ(list->visualRect(list->Model().index(0, 0)).height(), plain);
}

TEST_F(BookListCtrlTest, DeleteAsksThenRemovesRowsAndBooksFromLastToFirst)
{
    CBook* a = Add(u"Alpha"_s);
    Add(u"Beta"_s);
    Add(u"Gamma"_s);
    CGroup* group = a->group;
    list->ShowGroup(&doc, group);
    QSignalSpy counts(list.get(), &CBookListCtrl::bookCountsChanged);
    QSignalSpy refresh(list.get(), &CBookListCtrl::shelfRefreshRequested);

    Select({1});
    dialogs.answer = false;
    list->DeleteSelected();
    EXPECT_EQ(dialogs.questions.value(0),
        u"Delete book|Are you sure want to delete book \"Beta\"?"_s);
    EXPECT_EQ(group->Books().size(), 3u);

    dialogs.answer = true;
    Select({0, 2});
    list->DeleteSelected();
    EXPECT_EQ(dialogs.questions.value(1),
        u"Delete book|Are you sure want to delete 2 selected books?"_s);
    EXPECT_EQ(Rows(), QStringList {u"Beta"_s});
    EXPECT_EQ(group->Books().size(), 1u);
    EXPECT_EQ(counts.size(), 1);
    EXPECT_EQ(refresh.size(), 0);

    // The last book takes its group and author along: the list lets go of them.
    Select({0});
    list->DeleteSelected();
    EXPECT_TRUE(doc.Authors().empty());
    EXPECT_EQ(list->Model().Group(), nullptr);
    EXPECT_EQ(refresh.size(), 1);
    EXPECT_EQ(counts.size(), 1); // the refresh recounts; the old tree rows are gone
}

TEST_F(BookListCtrlTest, AutorunOffersNoEditingInTheMenu)
{
    MakeList(true);
    CBook* book = Add(u"Alpha"_s);
    list->ShowGroup(&doc, book->group);
    list->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list.get()));

    QStringList enabled;
    QTimer::singleShot(0, [&enabled] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions())
            if (action->isEnabled() && !action->isSeparator())
                enabled << action->text();
        menu->close();
    });
    const QPoint at = list->visualRect(list->Model().index(0, 0)).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &event);
    // Right-clicking a row selects it; only reading offers remain.
    EXPECT_EQ(enabled, (QStringList {u"Select all\tCtrl-A"_s, u"&Read"_s, u"&Properties"_s}));

    list->selectAll();
    list->DeleteSelected();
    list->SortGroup();
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(doc.Authors().size(), 1u);
}

TEST_F(BookListCtrlTest, SortOrdersTheCatalogGroupOrAsksForANewSearch)
{
    CBook* b = Add(u"Banana"_s);
    Add(u"apple"_s);
    list->ShowGroup(&doc, b->group);
    doc.SetModified(false);
    list->SortGroup();
    EXPECT_EQ(dialogs.questions.value(0),
        u"Sort group|Are you sure want to phisicaly sort books in current group?"_s);
    EXPECT_EQ(Rows(), (QStringList {u"apple"_s, u"Banana"_s}));
    EXPECT_TRUE(doc.IsModified());

    SearchGroup result(b->group);
    result.books = {b};
    list->ShowGroup(&doc, &result);
    QSignalSpy refresh(list.get(), &CBookListCtrl::shelfRefreshRequested);
    list->SortGroup();
    EXPECT_EQ(refresh.size(), 1);
}

TEST_F(BookListCtrlTest, DragIsRefusedWhileSortedUntilTheThirdHeaderClick)
{
    CBook* b = Add(u"Banana"_s);
    Add(u"apple"_s);
    list->ShowGroup(&doc, b->group);
    Select({0});
    list->header()->sectionClicked(0);
    EXPECT_EQ(Rows(), (QStringList {u"apple"_s, u"Banana"_s}));
    EXPECT_FALSE(list->BeginDrag());
    EXPECT_EQ(dialogs.messages, QStringList {u"Can't use drag and drop when sorting is active."_s});

    list->header()->sectionClicked(0);
    EXPECT_EQ(Rows(), (QStringList {u"Banana"_s, u"apple"_s}));
    list->header()->sectionClicked(0); // back to the group's order
    EXPECT_FALSE(list->Model().IsSorted());
    EXPECT_TRUE(list->BeginDrag());
    list->EndDrag();
}

TEST_F(BookListCtrlTest, DropsReorderWithinTheGroupOrMoveToAGroupOfTheSameAuthor)
{
    CBook* a = Add(u"Alpha"_s);
    Add(u"Beta"_s);
    CBook* c = Add(u"Gamma"_s);
    CGroup* group = a->group;
    CGroup* series = doc.CreateGroup(a->Author(), u"Series"_s);
    list->ShowGroup(&doc, group);

    Select({2});
    ASSERT_TRUE(list->BeginDrag());
    list->DropBefore(a);
    list->EndDrag();
    EXPECT_EQ(Rows(), (QStringList {u"Gamma"_s, u"Alpha"_s, u"Beta"_s}));

    QSignalSpy counts(list.get(), &CBookListCtrl::bookCountsChanged);
    Select({0});
    ASSERT_TRUE(list->BeginDrag());
    list->DropOnTreeRow(series);
    list->EndDrag();
    EXPECT_EQ(c->group, series);
    EXPECT_EQ(Rows(), (QStringList {u"Alpha"_s, u"Beta"_s}));
    EXPECT_EQ(counts.size(), 1);
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(BookListCtrlTest, DropOnAnotherAuthorIsRefusedAndChangesNothing)
{
    CBook* a = Add(u"Alpha"_s);
    CBook* other = Add(u"Other"_s, u"Adams"_s);
    CAuthor* adams = other->Author();
    CGroup* series = doc.CreateGroup(adams, u"Series"_s);
    doc.MoveBookToGroup(other, series);
    doc.RemoveGroup(adams->FindGroup(kDefaultGroupName));
    list->ShowGroup(&doc, a->group);
    doc.SetModified(false);

    Select({0});
    ASSERT_TRUE(list->BeginDrag());
    list->DropOnTreeRow(adams);
    list->EndDrag();
    EXPECT_EQ(dialogs.errors,
        QStringList {u"Can't drop here!\r\nThis book can only be dropped at subgroups of Kessel Ivar"_s});
    EXPECT_EQ(adams->FindGroup(kDefaultGroupName), nullptr);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(Rows(), QStringList {u"Alpha"_s});
}

TEST_F(BookListCtrlTest, EnterAndDoubleClickOpenTheBookOrItsProperties)
{
    CBook* a = Add(u"Alpha"_s);
    Add(u"Gap"_s, u"Kessel"_s, false);
    list->ShowGroup(&doc, a->group);
    QSignalSpy opened(list.get(), &CBookListCtrl::openBookRequested);

    list->setCurrentIndex(list->Model().index(0, 0));
    QTest::keyClick(list.get(), Qt::Key_Return);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0][0].toString(), a->file);

    list->setCurrentIndex(list->Model().index(1, 0)); // its file is missing: nothing to open
    QTest::keyClick(list.get(), Qt::Key_Return);
    EXPECT_EQ(opened.size(), 1);

    settings->WriteProfileInt(u"BooksView"_s, u"DoubleClickStyle"_s, 1);
    Q_EMIT list->doubleClicked(list->Model().index(0, 0));
    EXPECT_EQ(dialogs.sheetsRun, 1);
    EXPECT_EQ(opened.size(), 1);
}

TEST_F(BookListCtrlTest, ColumnLayoutIsStoredAndOnlySaneValuesComeBack)
{
    list->setColumnWidth(1, 77);
    list->header()->moveSection(2, 0);
    ASSERT_EQ(list->header()->visualIndex(2), 0);
    list.reset();
    EXPECT_EQ(settings->GetProfileString(u"BooksView"_s, u"BooksView_HeaderItem_1"_s),
        u"77 2 00004000"_s);
    EXPECT_EQ(settings->GetProfileString(u"BooksView"_s, u"BooksView_HeaderItem_2"_s),
        u"100 0 00004000"_s);

    list = std::make_unique<CBookListCtrl>(session, *settings, dialogs, genres);
    EXPECT_EQ(list->columnWidth(1), 77);
    EXPECT_EQ(list->header()->visualIndex(2), 0);

    // Broken values: a duplicated order and a width beyond reason are not applied.
    settings->WriteProfileString(u"BooksView"_s, u"BooksView_HeaderItem_0"_s, u"90 1 0"_s);
    settings->WriteProfileString(u"BooksView"_s, u"BooksView_HeaderItem_1"_s, u"99999 1 0"_s);
    settings->WriteProfileString(u"BooksView"_s, u"BooksView_HeaderItem_2"_s, u"80 x"_s);
    list.reset(new CBookListCtrl(session, *settings, dialogs, genres));
    EXPECT_EQ(list->columnWidth(0), 90);
    EXPECT_EQ(list->columnWidth(1), 50);
    EXPECT_EQ(list->header()->visualIndex(0), 0);
}

TEST_F(BookListCtrlTest, OnTheShelfPageTheListFollowsTheTreeAndRebuildsItAfterDeletes)
{
    Add(u"Alpha"_s);
    Add(u"Tide"_s, u"Adams"_s);
    CShelfPage page(session, *settings, dialogs);
    auto* books = page.findChild<CBookListCtrl*>();
    ASSERT_NE(books, nullptr);
    session.NotifyReplaced();
    ASSERT_EQ(books->Model().rowCount(), 1);
    EXPECT_EQ(books->Model().BookAt(0)->title, u"Tide"_s);

    books->selectAll();
    books->DeleteSelected();
    // Adams went with his last book: the tree is rebuilt and the list shows Kessel's books.
    EXPECT_EQ(page.TreeModel()->rowCount(), 1);
    ASSERT_EQ(books->Model().rowCount(), 1);
    EXPECT_EQ(books->Model().BookAt(0)->title, u"Alpha"_s);

    // The catalog's records are freed only after the list let go of them.
    session.Clear();
    EXPECT_EQ(books->Model().rowCount(), 0);
}

TEST_F(BookListCtrlTest, DropsFromOutsideThisListAreRefusedByTheListAndTheTree)
{
    CBook* a = Add(u"Alpha"_s);
    Add(u"Beta"_s);
    CShelfPage page(session, *settings, dialogs);
    auto* books = page.findChild<CBookListCtrl*>();
    ASSERT_NE(books, nullptr);
    session.NotifyReplaced();
    doc.SetModified(false);

    // Another program offering the books' type: no drag of this list is running.
    QMimeData data;
    data.setData(kBookDragMimeType, QByteArray(16, 'x'));
    for (QWidget* target : {books->viewport(), page.Tree()->viewport()}) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        EXPECT_FALSE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &drop);
        EXPECT_FALSE(drop.isAccepted());
    }
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(a->group->Books().front().get(), a);
}

TEST_F(BookListCtrlTest, NothingChangesTheCatalogWhileAnImportRuns)
{
    CBook* a = Add(u"Alpha"_s);
    Add(u"Beta"_s);
    list->ShowGroup(&doc, a->group);
    list->SetImportRunning(true);
    list->selectAll();
    list->DeleteSelected();
    list->SortGroup();
    EXPECT_FALSE(list->BeginDrag());
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(a->group->Books().size(), 2u);
}
