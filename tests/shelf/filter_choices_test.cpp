#include "catalog/libravon_doc.h"
#include "recording_display.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "shelf/filter_choices.h"
#include "shelf/filter_list.h"
#include "shelf/genre_dictionary.h"

#include <gtest/gtest.h>

namespace lbv {
namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

class FilterChoicesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Store(0, "b|True|-|-|-|-|sf");
        Store(1, "A|True|-|-|-|-|sf");
        Store(2, "c|True|-|-|-|-|sf");
        settings.WriteProfileInt(kFiltersSection, S("FilterCount"), 3);
        BookDescription header;
        header.firstName = S("Ivar");
        header.lastName = S("Kessel");
        header.title = S("Foundation");
        header.genre = S("sf");
        doc.AddBook(header, false);
        search.SetCatalog(&doc);
    }

    void Store(int index, const char* line)
    {
        settings.WriteProfileString(
            kFiltersSection, QStringLiteral("Filter%1").arg(index), S(line));
    }
    QString Stored(const char* key) { return settings.GetProfileString(kFiltersSection, S(key)); }
    QStringList Texts() const
    {
        QStringList texts;
        for (const auto& entry : choices.Entries())
            texts << entry.text;
        return texts;
    }

    CLibravonDoc doc;
    GenreDictionary genres;
    SettingsStore settings {std::make_unique<MemorySettingsBackend>()};
    RecordingDisplay display;
    ShelfSearch search {genres, settings, display};
    FilterList filters;
    FilterChoices choices {filters, search, settings};
};

TEST_F(FilterChoicesTest, StartOffersFiltersInListOrderAndFindsTheStoredNameInAnyCase)
{
    settings.WriteProfileString(kFiltersSection, S("Filter"), S("B"));
    QString warning;
    choices.Start(QString(), &warning);
    EXPECT_EQ(
        Texts(), (QStringList {S("<No filter>"), S("<Create filter>"), S("c"), S("b"), S("A")}));
    EXPECT_TRUE(warning.isEmpty());
    EXPECT_EQ(choices.SelectedIndex(), 3);
    EXPECT_TRUE(choices.CanEditSelected());
    ASSERT_NE(search.ActiveFilter(), nullptr);
    EXPECT_EQ(search.ActiveFilter()->name, S("b"));
    EXPECT_EQ(display.shows, 1);
    EXPECT_EQ(Stored("Filter"), S("b"));
}

TEST_F(FilterChoicesTest, StartWithAnUnknownNameWarnsAndUsesNoFilter)
{
    settings.WriteProfileString(kFiltersSection, S("Filter"), S("Gone"));
    QString warning;
    choices.Start(QString(), &warning);
    EXPECT_EQ(warning, S("Filter \"Gone\" is not found. Using defaults."));
    EXPECT_EQ(choices.SelectedIndex(), 0);
    EXPECT_FALSE(choices.CanEditSelected());
    EXPECT_EQ(search.ActiveFilter(), nullptr);
    EXPECT_TRUE(search.ShowsWholeCatalog());

    // Nothing stored at all means no filter, silently.
    SettingsStore empty(std::make_unique<MemorySettingsBackend>());
    FilterChoices fresh {filters, search, empty};
    warning.clear();
    fresh.Start(QString(), &warning);
    EXPECT_TRUE(warning.isEmpty());
    EXPECT_EQ(fresh.Entries().size(), 2u);
}

TEST_F(FilterChoicesTest, CreatedFiltersAreAppendedStoredAndApplied)
{
    choices.Start(QString(), nullptr);
    Filter created;
    created.name = S("B2");
    created.SetGenres({S("sf")});
    EXPECT_EQ(choices.Create(created, QString()), 5);
    EXPECT_EQ(Texts().last(), S("B2"));
    EXPECT_EQ(search.ActiveFilter(), filters.Find(S("b2")));
    EXPECT_EQ(Stored("Filter"), S("B2"));
    // Stored in list order: c, B2, b, A.
    EXPECT_EQ(settings.GetProfileInt(kFiltersSection, S("FilterCount"), -1), 4);
    EXPECT_EQ(Stored("Filter1"), S("B2|True|-|-|-|-|sf"));
    EXPECT_EQ(Stored("Filter3"), S("A|True|-|-|-|-|sf"));

    created.name = S("c");
    EXPECT_EQ(choices.Create(created, QString()), -1);
    EXPECT_EQ(choices.Entries().size(), 6u);
    EXPECT_EQ(choices.SelectedIndex(), 5);

    choices.CancelCreate(QString());
    EXPECT_EQ(choices.SelectedIndex(), 0);
    EXPECT_EQ(search.ActiveFilter(), nullptr);
}

TEST_F(FilterChoicesTest, EditingRenamesTheEntryInPlace)
{
    choices.Start(QString(), nullptr);
    choices.Select(4, QString()); // "A"
    Filter edited = *search.ActiveFilter();
    edited.name = S("z");
    ASSERT_TRUE(choices.EditSelected(edited, QString()));
    EXPECT_EQ(Texts()[4], S("z"));
    EXPECT_EQ(choices.SelectedIndex(), 4);
    EXPECT_EQ(Stored("Filter0"), S("z|True|-|-|-|-|sf"));
    EXPECT_EQ(Stored("Filter"), S("z"));

    edited.name = S("C");
    EXPECT_FALSE(choices.EditSelected(edited, QString()));
    EXPECT_EQ(Texts()[4], S("z"));

    choices.Select(0, QString());
    EXPECT_FALSE(choices.EditSelected(edited, QString()));
}

TEST_F(FilterChoicesTest, DeletingTheActiveFilterStoresNoFilter)
{
    choices.Start(QString(), nullptr);
    choices.Select(2, QString()); // "c"
    ASSERT_TRUE(choices.DeleteActive(QString()));
    EXPECT_EQ(Texts(), (QStringList {S("<No filter>"), S("<Create filter>"), S("b"), S("A")}));
    EXPECT_EQ(choices.SelectedIndex(), 0);
    EXPECT_EQ(search.ActiveFilter(), nullptr);
    EXPECT_EQ(filters.Find(S("c")), nullptr);
    EXPECT_EQ(settings.GetProfileInt(kFiltersSection, S("FilterCount"), -1), 2);
    EXPECT_EQ(Stored("Filter"), S("<No filter>"));
    EXPECT_TRUE(search.ShowsWholeCatalog());
    EXPECT_FALSE(choices.DeleteActive(QString()));

    // The next start finds the stored choice and warns about nothing.
    QString warning;
    choices.Start(QString(), &warning);
    EXPECT_TRUE(warning.isEmpty());
    EXPECT_EQ(choices.SelectedIndex(), 0);
}

} // namespace
} // namespace lbv
