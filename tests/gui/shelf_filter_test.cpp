#include "gui/common/grid_tree_view.h"
#include "gui/shelf/author_tree_model.h"
#include "gui/shelf/filter_editor_dialog.h"
#include "gui/shelf/shelf_page.h"
#include "gui/shell/catalog_session.h"
#include "scripted_shelf_dialogs.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "shelf/genre_dictionary.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QToolButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

Filter Named(const char* name, QStringList genres)
{
    Filter filter;
    filter.name = S(name);
    filter.SetGenres(genres);
    return filter;
}

class ShelfFilterTest : public ::testing::Test {
protected:
    ShelfFilterTest()
        : settings(std::make_unique<MemorySettingsBackend>())
    {
        Add("Ivar", "Kessel", "North", "sf");
        Add("Maria", "Holm", "Tide", "love");
        Add("Maria", "Hollis", "Dune", "sf");
    }

    void Add(const char* first, const char* last, const char* title, const char* genre)
    {
        BookDescription book;
        book.firstName = S(first);
        book.lastName = S(last);
        book.title = S(title);
        book.genre = S(genre);
        session.Catalog().AddBook(book, false);
    }

    CShelfPage& Start()
    {
        page = std::make_unique<CShelfPage>(session, settings, dialogs);
        session.NotifyReplaced();
        page->StartFilters();
        return *page;
    }

    QStringList ShownLastNames()
    {
        QStringList names;
        CAuthorTreeModel& model = *page->TreeModel();
        for (int row = 0; row < model.rowCount(); ++row)
            names << model.index(row, 1).data().toString();
        return names;
    }

    QStringList Choices()
    {
        QStringList texts;
        for (int i = 0; i < page->FilterBox()->count(); ++i)
            texts << page->FilterBox()->itemText(i);
        return texts;
    }

    void Choose(int index) { Q_EMIT page->FilterBox()->activated(index); }

    CatalogSession session;
    SettingsStore settings;
    ScriptedShelfDialogs dialogs;
    std::unique_ptr<CShelfPage> page;
};

TEST_F(ShelfFilterTest, SearchRunsOnEveryChangeOrOnlyOnEnterAsSet)
{
    Start();
    page->SearchBox()->setText(S("Hol"));
    EXPECT_EQ(ShownLastNames(), (QStringList {S("Hollis"), S("Holm")}));
    page->SearchBox()->setText(S("Ho")); // two characters: the whole catalog again
    EXPECT_EQ(ShownLastNames().size(), 3);

    // The setting is read at each keystroke.
    settings.WriteProfileInt(S("BooksView"), S("SearchAfterEnter"), 1);
    page->SearchBox()->setText(S("Kessel"));
    EXPECT_EQ(ShownLastNames().size(), 3);
    QTest::keyClick(page->SearchBox(), Qt::Key_Return);
    EXPECT_EQ(ShownLastNames(), QStringList {S("Kessel")});

    page->SearchBox()->setText(S("nobody"));
    QTest::keyClick(page->SearchBox(), Qt::Key_Return);
    EXPECT_TRUE(ShownLastNames().isEmpty());
}

TEST_F(ShelfFilterTest, CreatingAFilterAppliesItAndADuplicateNameReopensTheEditor)
{
    settings.WriteProfileInt(kFiltersSection, S("FilterCount"), 1);
    settings.WriteProfileString(
        kFiltersSection, S("Filter0"), Named("Love", {S("love")}).StoredForm());
    Start();
    EXPECT_EQ(Choices(), (QStringList {S("<No filter>"), S("<Create filter>"), S("Love")}));
    EXPECT_FALSE(page->EditFilterButton()->isEnabled());

    // The first answer takes an existing name (any case): told, and asked again with it.
    dialogs.filterAnswers = {Named("LOVE", {S("sf")}), Named("Space", {S("sf")})};
    Choose(1);
    ASSERT_EQ(dialogs.edited.size(), 2u);
    EXPECT_EQ(dialogs.edited[0].name, S("New filter"));
    EXPECT_EQ(dialogs.edited[1].name, S("LOVE"));
    EXPECT_EQ(dialogs.messages,
        QStringList {S("A filter named \"LOVE\" already exists. Please choose another name.")});
    EXPECT_EQ(Choices().size(), 4);
    EXPECT_EQ(page->FilterBox()->currentText(), S("Space"));
    EXPECT_TRUE(page->EditFilterButton()->isEnabled());
    EXPECT_TRUE(page->DeleteFilterButton()->isEnabled());
    EXPECT_EQ(ShownLastNames(), (QStringList {S("Hollis"), S("Kessel")}));
    EXPECT_EQ(settings.GetProfileString(kFiltersSection, kActiveFilterKey, {}), S("Space"));

    // Cancelling a new filter falls back to no filter.
    Choose(1);
    EXPECT_EQ(page->FilterBox()->currentIndex(), 0);
    EXPECT_EQ(page->ActiveFilter(), nullptr);
    EXPECT_EQ(ShownLastNames().size(), 3);
}

TEST_F(ShelfFilterTest, EditingRenamesTheEntryAndDeletingForgetsTheStoredChoice)
{
    settings.WriteProfileInt(kFiltersSection, S("FilterCount"), 2);
    settings.WriteProfileString(
        kFiltersSection, S("Filter0"), Named("Love", {S("love")}).StoredForm());
    settings.WriteProfileString(
        kFiltersSection, S("Filter1"), Named("Any", {S("love")}).StoredForm());
    settings.WriteProfileString(kFiltersSection, kActiveFilterKey, S("love"));
    Start();
    EXPECT_EQ(page->FilterBox()->currentText(), S("Love"));
    EXPECT_EQ(ShownLastNames(), QStringList {S("Holm")});

    dialogs.filterAnswers = {Named("Any", {S("sf")}), Named("Stars", {S("sf")})};
    page->EditFilterButton()->click();
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(page->FilterBox()->currentText(), S("Stars"));
    EXPECT_EQ(ShownLastNames(), (QStringList {S("Hollis"), S("Kessel")}));

    page->DeleteFilterButton()->click();
    EXPECT_EQ(Choices(), (QStringList {S("<No filter>"), S("<Create filter>"), S("Any")}));
    EXPECT_FALSE(page->DeleteFilterButton()->isEnabled());
    EXPECT_EQ(ShownLastNames().size(), 3);

    // The next start finds "<No filter>" stored and has nothing to report.
    page.reset();
    Start();
    EXPECT_TRUE(dialogs.messages.size() == 1);
    EXPECT_EQ(page->FilterBox()->currentIndex(), 0);
}

TEST_F(ShelfFilterTest, AStoredFilterThatIsGoneIsReportedAndNoFilterUsed)
{
    settings.WriteProfileString(kFiltersSection, kActiveFilterKey, S("Gone"));
    Start();
    EXPECT_EQ(dialogs.messages, QStringList {S("Filter \"Gone\" is not found. Using defaults.")});
    EXPECT_EQ(page->FilterBox()->currentIndex(), 0);
}

class FilterEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(genres.Load(S(LBV_SOURCE_DIR "/resources/genre-dict.xml"), S("en"), &error));
    }

    QTreeWidgetItem* RowOf(QTreeWidget* tree, const QString& code)
    {
        const auto found = tree->findItems(code, Qt::MatchExactly | Qt::MatchRecursive, 1);
        return found.isEmpty() ? nullptr : found.first();
    }

    void Click(QTreeWidget* tree, QTreeWidgetItem* row, Qt::KeyboardModifiers modifiers = {})
    {
        tree->scrollToItem(row);
        QTest::mouseClick(
            tree->viewport(), Qt::LeftButton, modifiers, tree->visualItemRect(row).center());
    }

    SettingsStore settings {std::make_unique<MemorySettingsBackend>()};
    GenreDictionary genres;
};

TEST_F(FilterEditorTest, RoundTripKeepsUnseenGenresYearsAndDates)
{
    const RootGenre& root = genres.Roots().first();
    Filter filter = Named("Mine", {root.code, S("no_such_code")});
    filter.noYear = false;
    filter.yearFrom = 1990;
    filter.addedTo = LocalMidnight(2020, 5, 17);

    FilterEditorDialog dialog(filter, genres, settings);
    dialog.show();
    QTreeWidget* tree = dialog.GenreTree();
    EXPECT_EQ(tree->topLevelItemCount(), genres.Roots().size());
    EXPECT_TRUE(RowOf(tree, root.code)->isSelected());
    EXPECT_EQ(dialog.findChild<QLineEdit*>(S("yearTo"))->text(), QString());
    EXPECT_FALSE(dialog.findChild<QCheckBox*>(S("hasAddedFrom"))->isChecked());
    EXPECT_TRUE(dialog.findChild<QCheckBox*>(S("hasAddedTo"))->isChecked());

    Filter same = dialog.Edited();
    EXPECT_EQ(same.StoredForm(), filter.StoredForm());

    dialog.findChild<QLineEdit*>(S("yearTo"))->setText(S("2000"));
    dialog.findChild<QCheckBox*>(S("hasAddedTo"))->setChecked(false);
    const Filter edited = dialog.Edited();
    EXPECT_EQ(edited.yearTo, 2000);
    EXPECT_EQ(edited.addedTo, NoDateSentinel());
    EXPECT_TRUE(edited.HasGenre(S("no_such_code")));
}

TEST_F(FilterEditorTest, ClickTogglesARowAndCtrlClickTheWholeSubtree)
{
    const RootGenre* parent = nullptr;
    for (const RootGenre& root : genres.Roots())
        if (root.subgenres.size() >= 2)
            parent = &root;
    ASSERT_NE(parent, nullptr);
    FilterEditorDialog dialog(Named("x", {}), genres, settings);
    dialog.show();
    QTreeWidget* tree = dialog.GenreTree();
    tree->expandAll();
    QTreeWidgetItem* root = RowOf(tree, parent->code);

    Click(tree, RowOf(tree, parent->subgenres[0].code));
    EXPECT_EQ(dialog.Edited().Genres(), QStringList {parent->subgenres[0].code});
    Click(tree, RowOf(tree, parent->subgenres[0].code));
    EXPECT_TRUE(dialog.Edited().Genres().isEmpty());

    Click(tree, root, Qt::ControlModifier);
    EXPECT_EQ(dialog.Edited().Genres().size(), parent->subgenres.size() + 1);
    Click(tree, root, Qt::ControlModifier);
    EXPECT_TRUE(dialog.Edited().Genres().isEmpty());
}

} // namespace
