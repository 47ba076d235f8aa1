#include "catalog/catalog_records.h"
#include "local_time_zone.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "shelf/filter.h"
#include "shelf/filter_list.h"

#include <gtest/gtest.h>

namespace lbv {
namespace {

using FilterStoredForm = LocalTimeZone;
using FilterMatches = LocalTimeZone;
using FilterEditor = LocalTimeZone;

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

bool Admits(const Filter& filter, int year, qint64 added, const char* genre)
{
    CBook book;
    book.year = year;
    book.added = added;
    book.genre = S(genre);
    return Matches(filter, book);
}

TEST_F(FilterStoredForm, NewFilterWritesEveryLeadingFieldAsNoBound)
{
    EXPECT_EQ(Filter().StoredForm(), S("New filter|True|-|-|-|-"));
    Filter unnamed;
    unnamed.name.clear();
    EXPECT_EQ(unnamed.StoredForm(), S("New filter|True|-|-|-|-"));
}

TEST_F(FilterStoredForm, RoundTripsBoundsAndGenresInDescendingOrder)
{
    Filter filter;
    filter.name = S("Старое");
    filter.noYear = false;
    filter.yearFrom = -500;
    filter.yearTo = 1990;
    filter.addedFrom = LocalMidnight(2004, 2, 29);
    filter.addedTo = LocalMidnight(2006, 1, 31);
    filter.SetGenres({S("sf_epic"), S("det_crime"), S("sf"), S("sf_epic"), S("SF")});
    const QString line = filter.StoredForm();
    EXPECT_EQ(line, S("Старое|False|-500|1990|2004-02-29|2006-01-31|sf_epic|sf|det_crime|SF"));

    const Filter read = Filter::FromStoredForm(line);
    EXPECT_EQ(read.name, filter.name);
    EXPECT_FALSE(read.noYear);
    EXPECT_EQ(read.yearFrom, -500);
    EXPECT_EQ(read.yearTo, 1990);
    EXPECT_EQ(read.addedFrom, filter.addedFrom);
    EXPECT_EQ(read.addedTo, filter.addedTo);
    EXPECT_EQ(read.Genres(), filter.Genres());
    EXPECT_EQ(read.StoredForm(), line);
}

TEST_F(FilterStoredForm, ReadingForgivesOddFields)
{
    // Consecutive bars count as one; only exactly "True" is true; a year without digits is 0;
    // a date that is not year-month-day is no bound.
    const Filter odd = Filter::FromStoredForm(S("Odd||true|abc| 12x|2005/01/01|1999-7-4|||x"));
    EXPECT_EQ(odd.name, S("Odd"));
    EXPECT_FALSE(odd.noYear);
    EXPECT_EQ(odd.yearFrom, 0);
    EXPECT_EQ(odd.yearTo, 12);
    EXPECT_EQ(odd.addedFrom, NoDateSentinel());
    EXPECT_EQ(odd.addedTo, LocalMidnight(1999, 7, 4));
    EXPECT_EQ(odd.Genres(), QStringList {S("x")});

    // Fields the line lacks keep the new-filter defaults.
    const Filter shortLine = Filter::FromStoredForm(S("Short|False|1950"));
    EXPECT_EQ(shortLine.yearFrom, 1950);
    EXPECT_EQ(shortLine.yearTo, kNoYearTo);
    EXPECT_EQ(shortLine.addedTo, NoDateSentinel());
    EXPECT_TRUE(shortLine.Genres().isEmpty());

    const Filter huge = Filter::FromStoredForm(S("Huge|True|-99999999999|99999999999"));
    EXPECT_EQ(huge.yearFrom, std::numeric_limits<qint32>::min());
    EXPECT_EQ(huge.yearTo, std::numeric_limits<qint32>::max());
}

TEST_F(FilterStoredForm, BarsInNamesCannotSplitTheLine)
{
    Filter filter;
    filter.name = S("a|b");
    filter.SetGenres({S("sf")});
    const Filter read = Filter::FromStoredForm(filter.StoredForm());
    EXPECT_EQ(read.name, S("a¦b"));
    EXPECT_TRUE(read.noYear);
    EXPECT_EQ(read.Genres(), QStringList {S("sf")});

    FilterEditorInput input;
    input.name = S("x|y");
    EXPECT_EQ(FilterFromEditor(input).name, S("x¦y"));
}

TEST_F(FilterStoredForm, ListIsOrderedDescendingAndStoredInThatOrder)
{
    SettingsStore settings(std::make_unique<MemorySettingsBackend>());
    settings.WriteProfileInt(kFiltersSection, S("FilterCount"), 6);
    const auto stored = [&](int i, const char* line) {
        settings.WriteProfileString(kFiltersSection, QStringLiteral("Filter%1").arg(i), S(line));
    };
    stored(0, "b|True|-|-|-|-|sf");
    stored(1, "A|True|-|-|-|-");
    stored(2, "");
    stored(3, "c|True|-|-|-|-");
    stored(4, "B|False|-|-|-|-"); // same name as the first: the first read wins
    stored(5, "a2|True|1|2|-|-");
    settings.WriteProfileString(kFiltersSection, S("Filter6"), S("beyond the count"));

    FilterList list;
    list.Load(settings);
    QStringList names;
    for (const auto& filter : list.Filters())
        names << filter->name;
    EXPECT_EQ(names, (QStringList {S("c"), S("b"), S("a2"), S("A")}));
    ASSERT_NE(list.Find(S("B")), nullptr);
    EXPECT_TRUE(list.Find(S("B"))->noYear);
    EXPECT_EQ(list.Find(S("zzz")), nullptr);

    list.Save(settings);
    EXPECT_EQ(settings.GetProfileInt(kFiltersSection, S("FilterCount"), -1), 4);
    EXPECT_EQ(settings.GetProfileString(kFiltersSection, S("Filter0")), S("c|True|-|-|-|-"));
    EXPECT_EQ(settings.GetProfileString(kFiltersSection, S("Filter3")), S("A|True|-|-|-|-"));
    // Keys past the count stay where they were.
    EXPECT_EQ(settings.GetProfileString(kFiltersSection, S("Filter5")), S("a2|True|1|2|-|-"));
}

TEST_F(FilterStoredForm, InsertUpdateAndRemoveKeepNamesUniqueAndOrdered)
{
    FilterList list;
    for (const char* name : {"b", "A", "c"}) {
        auto filter = std::make_unique<Filter>();
        filter->name = S(name);
        ASSERT_NE(list.Insert(std::move(filter)), nullptr);
    }
    auto duplicate = std::make_unique<Filter>();
    duplicate->name = S("C");
    EXPECT_EQ(list.Insert(std::move(duplicate)), nullptr);

    Filter* a = list.Find(S("a"));
    Filter renamed = *a;
    renamed.name = S("d");
    ASSERT_TRUE(list.Update(a, renamed));
    EXPECT_EQ(list.Filters().front().get(), a); // moved to its new place
    EXPECT_EQ(list.Find(S("D")), a);

    renamed.name = S("B");
    EXPECT_FALSE(list.Update(a, renamed));
    EXPECT_EQ(a->name, S("d"));

    EXPECT_TRUE(list.Remove(a));
    EXPECT_FALSE(list.Remove(a));
    EXPECT_EQ(list.Filters().size(), 2u);
}

TEST_F(FilterMatches, TestsYearThenDatesThenGenre)
{
    Filter filter;
    filter.SetGenres({S("sf"), S("det_crime")});
    const qint64 added = LocalMidnight(2005, 6, 1);
    EXPECT_TRUE(Admits(filter, 0, added, "SF"));
    EXPECT_FALSE(Admits(filter, 2000, added, "prose"));
    EXPECT_FALSE(Admits(filter, 2000, added, ""));

    filter.noYear = false;
    EXPECT_FALSE(Admits(filter, 0, added, "sf"));
    filter.noYear = true;
    filter.yearFrom = 1990;
    EXPECT_FALSE(Admits(filter, 0, added, "sf")) << "0 is below the lowest year";
    EXPECT_TRUE(Admits(filter, 1990, added, "sf"));
    filter.yearTo = 1999;
    EXPECT_FALSE(Admits(filter, 2000, added, "sf"));

    filter.addedFrom = LocalMidnight(2005, 6, 2);
    EXPECT_FALSE(Admits(filter, 1995, added, "sf"));
    filter.addedFrom = added;
    EXPECT_TRUE(Admits(filter, 1995, added, "sf"));

    Filter none;
    EXPECT_FALSE(Admits(none, 0, added, "sf")) << "no genres admits nothing";
}

TEST_F(FilterMatches, StoredUpperDateAdmitsUpToThatMidnight)
{
    const Filter filter
        = Filter::FromStoredForm(S("Up to 2005|True|-|-|-|2005-12-31|prose_classic"));
    const qint64 lastDay = LocalMidnight(2005, 12, 31);
    EXPECT_TRUE(Admits(filter, 0, LocalMidnight(1970, 1, 2), "prose_classic"));
    EXPECT_TRUE(Admits(filter, 0, lastDay, "prose_classic"));
    EXPECT_FALSE(Admits(filter, 0, lastDay + 1, "prose_classic"));
}

TEST_F(FilterEditor, SwapsReversedDatesButKeepsOpenEnds)
{
    FilterEditorInput input;
    input.addedFrom = QDate(2006, 1, 31);
    input.addedTo = QDate(2006, 1, 1);
    input.genres = {S("sf"), S("adv_geo"), S("sf")};
    Filter filter = FilterFromEditor(input);
    EXPECT_EQ(filter.addedFrom, LocalMidnight(2006, 1, 1));
    EXPECT_EQ(filter.addedTo, LocalMidnight(2006, 1, 31));
    EXPECT_EQ(filter.yearFrom, kNoYearFrom);
    EXPECT_EQ(filter.yearTo, kNoYearTo);
    EXPECT_EQ(filter.Genres(), (QStringList {S("sf"), S("adv_geo")}));
    EXPECT_EQ(filter.name, S("New filter"));

    // "From 2006" with no upper bound must not turn into "up to 2006".
    input.addedTo.reset();
    input.yearFrom = S("1950");
    input.yearTo = S(" ");
    filter = FilterFromEditor(input);
    EXPECT_EQ(filter.addedFrom, LocalMidnight(2006, 1, 31));
    EXPECT_EQ(filter.addedTo, NoDateSentinel());
    EXPECT_EQ(filter.yearFrom, 1950);
    EXPECT_EQ(filter.yearTo, kNoYearTo);
}

} // namespace
} // namespace lbv
