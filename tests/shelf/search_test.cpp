#include "catalog/libravon_doc.h"
#include "local_time_zone.h"
#include "recording_display.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "shelf/filter.h"
#include "shelf/filter_list.h"
#include "shelf/genre_dictionary.h"
#include "shelf/shelf_search.h"
#include "text/case_fold.h"

#include <gtest/gtest.h>

namespace lbv {
namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

const QString kDictionary = QStringLiteral(LBV_SOURCE_DIR "/resources/genre-dict.xml");

class ShelfSearchTest : public LocalTimeZone {
protected:
    void SetUp() override
    {
        LocalTimeZone::SetUp();
        doc.path = S("/library/index.lvf");
        Add("Ivar", "Kessel", "Foundation", "sf", 1951);
        Add("Ivar", "Kessel", "Empire", "sf_space", 1952);
        Add("Ivar", "Kessel", "Caves of Steel", "det_crime", 0);
        CAuthor* kessel = doc.FindAuthor(S("Ivar"), S("Kessel"));
        CGroup* robots = doc.CreateGroup(kessel, S("Robots"));
        doc.MoveBookToGroup(Find("Caves of Steel"), robots);
        Add("Anna", "Adams", "Garden Notes", "home_garden", 2001);
        Add("Олег", "Петров", "Тихий Дон", "prose_classic", 1940);
        search.SetCatalog(&doc);
    }

    void Add(const char* first, const char* last, const char* title, const char* genre, int year)
    {
        BookDescription header;
        header.firstName = S(first);
        header.lastName = S(last);
        header.title = S(title);
        header.genre = S(genre);
        header.year = year;
        header.file = S("/library/") + header.title + S(".fb2");
        ASSERT_TRUE(doc.AddBook(header, false));
    }

    CBook* Find(const char* title)
    {
        for (const auto& author : doc.Authors())
            for (const auto& group : author->Groups())
                for (const auto& book : group->Books())
                    if (book->title == S(title))
                        return book.get();
        return nullptr;
    }

    // The shown result as "Last First: group[title, title] group[...]; ...".
    QString Shown() const
    {
        if (!display.shownResult)
            return S("<whole catalog>");
        QStringList authors;
        for (const auto& author : display.shownResult->authors) {
            QStringList groups;
            for (const auto& group : author->groups) {
                QStringList titles;
                for (const CBook* book : group->books)
                    titles << book->title;
                groups << group->name + S("[") + titles.join(S(", ")) + S("]");
            }
            authors << author->lastName + S(" ") + author->firstName + S(": ")
                    + groups.join(S(" "));
        }
        return authors.join(S("; "));
    }

    CLibravonDoc doc;
    GenreDictionary genres;
    SettingsStore settings {std::make_unique<MemorySettingsBackend>()};
    RecordingDisplay display;
    ShelfSearch search {genres, settings, display};
};

TEST_F(ShelfSearchTest, ShortTextWithoutFilterShowsTheWholeCatalogOnce)
{
    EXPECT_TRUE(search.Search(S("ke")));
    EXPECT_EQ(display.shows, 1);
    EXPECT_EQ(display.shownCatalog, &doc);
    EXPECT_EQ(display.shownResult, nullptr);
    EXPECT_TRUE(search.ShowsWholeCatalog());

    EXPECT_TRUE(search.Search(S("k")));
    EXPECT_EQ(display.shows, 1) << "already shown";

    // Once records may have gone, the tree is rebuilt even for a short text.
    doc.RemoveBook(Find("Garden Notes"));
    EXPECT_TRUE(search.Search(QString()));
    EXPECT_EQ(display.shows, 2);

    EXPECT_TRUE(search.Search(S("kes")));
    EXPECT_FALSE(search.ShowsWholeCatalog());
    EXPECT_EQ(Shown(), S("Kessel Ivar: default[Foundation, Empire] Robots[Caves of Steel]"));
}

TEST_F(ShelfSearchTest, ResultRecordsStandForCatalogRecords)
{
    ASSERT_TRUE(search.Search(S("STEEL")));
    const SearchResult* result = search.Result();
    ASSERT_EQ(result, display.shownResult);
    ASSERT_EQ(result->authors.size(), 1u);
    SearchAuthor& author = *result->authors[0];
    EXPECT_EQ(author.kind, KindAuthor);
    EXPECT_EQ(author.Record(), doc.FindAuthor(S("Ivar"), S("Kessel")));
    ASSERT_EQ(author.groups.size(), 1u);
    EXPECT_EQ(author.groups[0]->kind, KindGroup);
    EXPECT_EQ(author.groups[0]->Record(), author.author->FindGroup(S("Robots")));
    EXPECT_EQ(author.groups[0]->books, std::vector<CBook*> {Find("Caves of Steel")});

    EXPECT_FALSE(result->IsStale(doc));
    Find("Empire")->title = S("Empire Reborn");
    doc.RecordsChanged();
    EXPECT_TRUE(result->IsStale(doc));
    ASSERT_TRUE(search.Search(S("reborn"))) << "the cached texts follow the change";
    EXPECT_EQ(Shown(), S("Kessel Ivar: default[Empire Reborn]"));
}

TEST_F(ShelfSearchTest, FindsGroupsByNameAndBooksByGenreCode)
{
    ASSERT_TRUE(search.Search(S("default")));
    EXPECT_EQ(Shown(),
        S("Adams Anna: default[Garden Notes]; Kessel Ivar: default[Foundation, Empire]; "
          "Петров Олег: default[Тихий Дон]"));

    ASSERT_TRUE(search.Search(S("robots")));
    EXPECT_EQ(Shown(), S("Kessel Ivar: Robots[Caves of Steel]"));

    ASSERT_TRUE(search.Search(S("prose_classic")));
    EXPECT_EQ(Shown(), S("Петров Олег: default[Тихий Дон]"));

    ASSERT_TRUE(search.Search(S("ТИХ"))) << "Cyrillic text is lower-cased too";
    EXPECT_EQ(Shown(), S("Петров Олег: default[Тихий Дон]"));
}

TEST_F(ShelfSearchTest, FindsBooksByTheGenreTitleOfTheLoadedLanguage)
{
    QString error;
    ASSERT_TRUE(genres.Load(kDictionary, S("en"), &error)) << error.toStdString();
    ASSERT_TRUE(search.Search(S("space sf")));
    EXPECT_EQ(Shown(), S("Kessel Ivar: default[Empire]"));

    ASSERT_TRUE(genres.Load(kDictionary, S("ru"), &error)) << error.toStdString();
    EXPECT_FALSE(search.Search(S("space sf"))) << "titles follow the language";
    ASSERT_TRUE(search.Search(S("Космическая")));
    EXPECT_EQ(Shown(), S("Kessel Ivar: default[Empire]"));
}

TEST_F(ShelfSearchTest, BookTextRunsFromTitleIntoGenre)
{
    QString error;
    ASSERT_TRUE(genres.Load(kDictionary, S("en"), &error)) << error.toStdString();
    ASSERT_TRUE(search.Search(S("ion|sf|science")));
    EXPECT_EQ(Shown(), S("Kessel Ivar: default[Foundation]"));
    EXPECT_FALSE(search.Search(S("ion|sf_space")));
}

TEST_F(ShelfSearchTest, TextsStayInPlaceWhenLowerCasingChangesTheirLength)
{
    if (LowerCase(S("İ")).size() == 1)
        GTEST_SKIP() << "this locale lower-cases the dotted capital I to one character";
    Add("İlker", "Aaron", "İstanbul", "adv_geo", 1999);
    ASSERT_TRUE(search.Search(S("İstanbul")));
    EXPECT_EQ(Shown(), S("Aaron İlker: default[İstanbul]"));
    ASSERT_TRUE(search.Search(S("garden")));
    EXPECT_EQ(Shown(), S("Adams Anna: default[Garden Notes]"));
    ASSERT_TRUE(search.Search(S("петров")));
    EXPECT_EQ(Shown(), S("Петров Олег: default[Тихий Дон]"));
}

TEST_F(ShelfSearchTest, EachTextIsLowerCasedOnItsOwn)
{
    // Run together, the last capital sigma would not end a word and lose its final form.
    Add("Ομηρος", "Ομηρος", "ΟΔΥΣΣΕΥΣ", "antique_ant", 0);
    Add("Ομηρος", "Ομηρος", "Αλφα", "antique_ant", 0);
    ASSERT_TRUE(search.Search(S("ΟΔΥΣΣΕΥΣ")));
    EXPECT_EQ(Shown(), S("Ομηρος Ομηρος: default[ΟΔΥΣΣΕΥΣ]"));
}

TEST_F(ShelfSearchTest, NothingFoundBeepsAndShowsAnEmptyTree)
{
    EXPECT_FALSE(search.Search(S("zzz")));
    EXPECT_EQ(display.beeps, 1);
    ASSERT_NE(display.shownResult, nullptr);
    EXPECT_TRUE(display.shownResult->authors.empty());
    EXPECT_EQ(display.clears, 1);

    search.SetCatalog(nullptr);
    EXPECT_FALSE(search.Search(S("kes")));
    EXPECT_EQ(display.clears, 2);
    EXPECT_EQ(display.beeps, 1);
}

TEST_F(ShelfSearchTest, ActiveFilterNarrowsEveryWayOfMatching)
{
    Filter filter;
    filter.name = S("Old SF");
    filter.noYear = false;
    filter.yearFrom = 1900;
    filter.yearTo = 1951;
    filter.SetGenres({S("SF"), S("det_crime"), S("prose_classic")});

    // Even an empty text searches while a filter is active, and the choice is stored.
    EXPECT_TRUE(search.Apply(&filter, QString()));
    EXPECT_EQ(settings.GetProfileString(kFiltersSection, S("Filter")), S("Old SF"));
    EXPECT_EQ(Shown(), S("Kessel Ivar: default[Foundation]; Петров Олег: default[Тихий Дон]"));

    EXPECT_TRUE(search.Search(S("kessel"))); // by author name: only passing books
    EXPECT_EQ(Shown(), S("Kessel Ivar: default[Foundation]"));
    EXPECT_FALSE(search.Search(S("steel"))) << "Caves of Steel has no year";
    EXPECT_FALSE(search.Search(S("empire"))) << "Empire is out of the year range";

    filter.addedFrom = Find("Foundation")->added + 1;
    EXPECT_FALSE(search.Search(S("found")));

    EXPECT_TRUE(search.Apply(nullptr, S("em")));
    EXPECT_EQ(settings.GetProfileString(kFiltersSection, S("Filter")), S("<No filter>"));
    EXPECT_EQ(display.shownResult, nullptr);
}

} // namespace
} // namespace lbv
