#include "reader/entry_navigation.h"
#include "reader/jump_history.h"
#include "reader/sibling_pictures.h"
#include "reader/virtual_key.h"
#include "reader_test_support.h"
#include "zip_test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

ReadingPosition Place(int paragraph, int offset = 0, int body = 0)
{
    return {paragraph, offset, body};
}

bool Same(const std::optional<ReadingPosition>& p, const ReadingPosition& expected)
{
    return p && p->paragraph == expected.paragraph && p->offset == expected.offset
        && p->body == expected.body;
}

void Touch(const QString& path, const QByteArray& bytes = "x")
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(JumpHistory, BackAndForwardReturnWhereTheyLeftAndStopAtBothEnds)
{
    JumpHistory history;
    EXPECT_FALSE(history.Back(Place(5)));
    EXPECT_FALSE(history.Forward(Place(5)));

    history.Jumped(Place(1)); // 1 -> 10
    history.Jumped(Place(10)); // 10 -> 20
    EXPECT_TRUE(Same(history.Back(Place(20)), Place(10)));
    EXPECT_TRUE(Same(history.Back(Place(10)), Place(1)));
    EXPECT_FALSE(history.Back(Place(1)));
    EXPECT_TRUE(Same(history.Forward(Place(1)), Place(10)));
    EXPECT_TRUE(Same(history.Forward(Place(10)), Place(20)));
    EXPECT_FALSE(history.Forward(Place(20)));

    // A new jump from the middle forgets what lay ahead.
    history.Back(Place(20));
    history.Jumped(Place(10, 3));
    EXPECT_FALSE(history.CanGoForward());
    EXPECT_TRUE(Same(history.Back(Place(30)), Place(10, 3)));
}

TEST(EntryNavigation, SectionsAndBookmarksInOrderWithinTheBody)
{
    auto store = test::MemoryStore();
    BookState state(*store, u"/books/a.fb2"_qs);
    state.AddSection({0, 0, 0}, 1, 1, u"One"_qs);
    state.AddSection({10, 0, 0}, 1, 1, u"Two"_qs);
    state.AddBookmark({15, 2, 0}, u"mark"_qs);
    state.AddSection({20, 0, 0}, 1, 1, u"Three"_qs);
    state.AddSection({0, 0, 1}, 1, 1, u"Notes"_qs);
    const auto& entries = state.Entries();
    const auto text
        = [&](std::optional<int> i) { return i ? entries[std::size_t(*i)].text : QString(); };

    EXPECT_EQ(text(NextEntry(entries, Place(10), EntryKinds::Sections)), u"Three");
    EXPECT_EQ(text(NextEntry(entries, Place(10), EntryKinds::SectionsAndBookmarks)), u"mark");
    EXPECT_EQ(text(PreviousEntry(entries, Place(10), EntryKinds::Sections)), u"One");
    EXPECT_EQ(text(PreviousEntry(entries, Place(20), EntryKinds::SectionsAndBookmarks)), u"mark");
    EXPECT_FALSE(NextEntry(entries, Place(20), EntryKinds::Sections)); // body 1 is not next
    EXPECT_FALSE(PreviousEntry(entries, Place(0), EntryKinds::SectionsAndBookmarks));

    EXPECT_EQ(ChapterTitle(entries, Place(15, 5)), u"Two"); // bookmarks are no chapters
    EXPECT_EQ(ChapterTitle(entries, Place(0, 0, 1)), u"Notes");
    EXPECT_EQ(ChapterTitle(entries, Place(3, 0, 2)), QString());
}

TEST(SiblingPictures, NeighboursByNameInAFolderAndInAnArchive)
{
    QTemporaryDir dir;
    for (const char* name : {"b.png", "A.jpg", "c.JPEG", "notes.txt"})
        Touch(dir.filePath(QString::fromLatin1(name)));
    const QString b = dir.filePath(u"b.png"_qs);
    EXPECT_EQ(SiblingPicture(b, -1, {}), dir.filePath(u"A.jpg"_qs));
    EXPECT_EQ(SiblingPicture(b, 1, {}), dir.filePath(u"c.JPEG"_qs));
    EXPECT_FALSE(SiblingPicture(dir.filePath(u"c.JPEG"_qs), 1, {}));

    // Neighbours in an archive stay within their folder.
    const QByteArray zip = test::MakeZip(
        {{"pics/2.png", "x", false}, {"pics/1.png", "x", false}, {"top.png", "x", false}});
    const QString archive = dir.filePath(u"p.zip"_qs);
    Touch(archive, zip);
    EXPECT_EQ(SiblingPicture(archive + u"/pics/2.png"_qs, -1, {}), archive + u"/pics/1.png"_qs);
    EXPECT_FALSE(SiblingPicture(archive + u"/pics/2.png"_qs, 1, {}));
}

TEST(VirtualKey, DesktopKeysGetTheKeyMapCodes)
{
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Left), 0x25);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_PageUp), 0x21);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Return), 0x0D);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Enter), 0x0D);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_F12), 0x7B);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_A), 0x41);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_7), 0x37);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Shift), 0);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_QuoteLeft), 0); // its code is a hardware button's
}
