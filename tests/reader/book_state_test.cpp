#include "reader/book_state.h"
#include "settings/memory_settings_backend.h"
#include "settings/qt_settings_backend.h"

#include <gtest/gtest.h>

using namespace lbv;

namespace {

std::unique_ptr<SettingsStore> MemoryStore()
{
    return std::make_unique<SettingsStore>(std::make_unique<MemorySettingsBackend>());
}

QString Stored(SettingsStore& store, const QString& section, const QString& name)
{
    return store.GetProfileString(section, name, QStringLiteral("<absent>"));
}

const QString kBookmarks = QStringLiteral("Bookmarks");

} // namespace

TEST(BookState, KeyIsTheEscapedFileName)
{
    EXPECT_EQ(
        BookKey(QStringLiteral("/home/ann/books/50% off.fb2")), QStringLiteral("50%0025 off.fb2"));
    EXPECT_EQ(BookKey(QStringLiteral("C:\\Books\\War.fb2")), QStringLiteral("War.fb2"));
    EXPECT_EQ(BookKey(QStringLiteral("/lib/Война и мир.fb2")), QStringLiteral("Война и мир.fb2"));
    EXPECT_EQ(BookKey(QStringLiteral("plain.txt")), QStringLiteral("plain.txt"));
}

TEST(BookState, SavedStateComesBackWithBookmarksInOrder)
{
    // Through memory and through the INI file the program uses, with a key that needs escaping.
    std::vector<std::unique_ptr<SettingsStore>> stores;
    stores.push_back(MemoryStore());
    stores.push_back(std::make_unique<SettingsStore>(
        QtSettingsBackend::UserScope(ProfileOrganisation(), ProfileApplication())));
    const QString path = QStringLiteral("/books/Чехов, рассказы 100%.fb2");
    for (auto& store : stores) {
        BookState state(*store, path);
        EXPECT_FALSE(state.Position());
        state.SetFormat(4);
        state.SetEncoding(12);
        state.SetPosition({120, 15, 0});
        state.AddSection({3, 0, 0}, 2, 1, QStringLiteral("Chapter 1"));
        state.AddBookmark({200, 5, 0}, QStringLiteral("later, with a comma"));
        state.AddBookmark({10, 0, 0}, QStringLiteral("early"));
        state.AddBookmark({5, 0, 1}, QStringLiteral("in the notes"));
        ASSERT_TRUE(state.Save(0x0000000500000007ull));
        EXPECT_FALSE(state.IsModified());
        EXPECT_FALSE(state.Save());

        const QString section = kBookmarks + u'/' + state.Key();
        EXPECT_EQ(Stored(*store, kBookmarks, state.Key()), QStringLiteral("4,12,7,5,") + path);
        EXPECT_EQ(Stored(*store, section, QString()), QStringLiteral("120,15,0"));
        EXPECT_EQ(Stored(*store, section, QStringLiteral("0")), QStringLiteral("10,0,0,early"));
        EXPECT_EQ(
            Stored(*store, section, QStringLiteral("2")), QStringLiteral("5,0,1,in the notes"));

        const BookState again(*store, path);
        EXPECT_EQ(again.Format(), 4);
        EXPECT_EQ(again.Encoding(), 12);
        ASSERT_TRUE(again.Position());
        EXPECT_EQ(*again.Position(), (BookPosition {120, 15, 0}));
        ASSERT_EQ(again.Entries().size(), 3u); // sections are not saved
        EXPECT_EQ(again.BookmarkCount(), 3);
        EXPECT_EQ(again.Entries()[0].text, QStringLiteral("early"));
        EXPECT_EQ(again.Entries()[1].text, QStringLiteral("later, with a comma"));
        EXPECT_EQ(again.Entries()[2].position, (BookPosition {5, 0, 1}));
    }
}

TEST(BookState, SectionsAndBookmarksShareOneOrderedList)
{
    auto store = MemoryStore();
    BookState state(*store, QStringLiteral("/b/book.fb2"));
    state.AddSection({10, 0, 0}, 1, 1, QStringLiteral("One"));
    state.AddSection({30, 0, 0}, 1, 1, QStringLiteral("Two"));
    EXPECT_FALSE(state.IsModified());
    state.AddBookmark({20, 4, 0}, QStringLiteral("mark"));
    state.AddBookmark({10, 0, 0}, QStringLiteral("same place"));
    QStringList order;
    for (const BookEntry& entry : state.Entries())
        order.append(entry.text);
    EXPECT_EQ(order,
        QStringList({QStringLiteral("One"), QStringLiteral("same place"), QStringLiteral("mark"),
            QStringLiteral("Two")}));
    EXPECT_FALSE(state.DeleteBookmark(0)); // a section
    EXPECT_FALSE(state.DeleteBookmark(7));
    EXPECT_TRUE(state.DeleteBookmark(1));
    EXPECT_EQ(state.BookmarkCount(), 1);
    EXPECT_EQ(state.Entries().size(), 3u);
}

TEST(BookState, BookmarksAreSavedWithoutGapsAfterDeletion)
{
    auto store = MemoryStore();
    const QString path = QStringLiteral("/b/gaps.fb2");
    {
        BookState state(*store, path);
        for (int i = 0; i < 4; ++i)
            state.AddBookmark({i, 0, 0}, QStringLiteral("mark %1").arg(i));
        state.Save(1);
    }
    BookState state(*store, path);
    ASSERT_TRUE(state.DeleteBookmark(1));
    ASSERT_TRUE(state.DeleteBookmark(0));
    ASSERT_TRUE(state.Save(2));
    const QString section = kBookmarks + QStringLiteral("/gaps.fb2");
    EXPECT_EQ(store->ValueNames(section).size(), 2);
    EXPECT_EQ(Stored(*store, section, QStringLiteral("0")), QStringLiteral("2,0,0,mark 2"));
    EXPECT_EQ(Stored(*store, section, QStringLiteral("1")), QStringLiteral("3,0,0,mark 3"));
    EXPECT_EQ(Stored(*store, section, QStringLiteral("2")), QStringLiteral("<absent>"));
}

TEST(BookState, OldAndDamagedValuesAreReadAsFarAsTheyGo)
{
    auto store = MemoryStore();
    store->WriteProfileInt(QStringLiteral("Parameters"), QStringLiteral("DefEncoding"), 7);
    const QString section = kBookmarks + QStringLiteral("/old.fb2");
    store->WriteProfileString(
        kBookmarks, QStringLiteral("old.fb2"), QStringLiteral("4,x,1,2,/b/old.fb2"));
    store->WriteProfileString(section, QString(), QStringLiteral("42,7"));
    store->WriteProfileString(section, QStringLiteral("0"), QStringLiteral("12,3,3 bears"));
    store->WriteProfileString(section, QStringLiteral("1"), QStringLiteral("broken"));
    store->WriteProfileString(section, QStringLiteral("2"), QStringLiteral("1,2,0,"));
    store->WriteProfileString(section, QStringLiteral("4"), QStringLiteral("9,9,0,after a gap"));

    const BookState state(*store, QStringLiteral("/elsewhere/old.fb2"));
    EXPECT_EQ(state.Format(), -1); // the book value doesn't parse
    EXPECT_EQ(state.Encoding(), 7);
    ASSERT_TRUE(state.Position());
    EXPECT_EQ(*state.Position(), (BookPosition {42, 7, 0}));
    ASSERT_EQ(state.Entries().size(), 2u);
    EXPECT_EQ(state.Entries()[0].position, (BookPosition {1, 2, 0}));
    EXPECT_TRUE(state.Entries()[0].text.isEmpty());
    // The three-field form: paragraph, offset, text.
    EXPECT_EQ(state.Entries()[1].position, (BookPosition {12, 3, 0}));
    EXPECT_EQ(state.Entries()[1].text, QStringLiteral("3 bears"));

    store->WriteProfileString(section, QString(), QStringLiteral("42"));
    EXPECT_FALSE(BookState(*store, QStringLiteral("old.fb2")).Position());
}

TEST(BookState, PruneKeepsTheNewestBooks)
{
    auto store = MemoryStore();
    const QString paths[] = {QStringLiteral("/b/first.fb2"), QStringLiteral("/b/second.fb2"),
        QStringLiteral("/b/third.fb2")};
    // Saved in the order second, third, first; the high part of the time outweighs the low.
    const quint64 times[] = {0x0000000300000000ull, 0x00000001FFFFFFFFull, 0x0000000200000000ull};
    for (int i = 0; i < 3; ++i) {
        BookState state(*store, paths[i]);
        state.SetPosition({i + 1, 0, 0});
        state.AddBookmark({i, 0, 0}, QStringLiteral("mark"));
        ASSERT_TRUE(state.Save(times[i]));
    }
    store->WriteProfileString(kBookmarks, QStringLiteral("junk"), QStringLiteral("not a state"));

    EXPECT_EQ(RecentBooks(*store, 8), QStringList({paths[0], paths[2], paths[1]}));
    EXPECT_EQ(RecentBooks(*store, 1), QStringList(paths[0]));

    PruneBooks(*store, 2);
    EXPECT_EQ(store->ValueNames(kBookmarks),
        QStringList({QStringLiteral("first.fb2"), QStringLiteral("third.fb2")}));
    EXPECT_EQ(store->Subsections(kBookmarks),
        QStringList({QStringLiteral("first.fb2"), QStringLiteral("third.fb2")}));
    EXPECT_EQ(RecentBooks(*store, 8), QStringList({paths[0], paths[2]}));
}

TEST(BookState, LocalFileTimeCountsFrom1601)
{
    // 1970-01-01 is 11644473600 seconds after 1601-01-01; today is well past 2020.
    const quint64 year2020 = (11644473600ull + 1577836800ull) * 10000000ull;
    EXPECT_GT(CurrentLocalFileTime(), year2020);
    EXPECT_LT(CurrentLocalFileTime(), year2020 * 2);
}
