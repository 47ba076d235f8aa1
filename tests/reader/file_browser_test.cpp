#include "reader/document_description.h"
#include "reader/document_factory.h"
#include "reader/file_browser.h"
#include "reader_test_support.h"
#include "zip_test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lbv;
using namespace lbv::test;

namespace {

class FileBrowserTest : public ::testing::Test {
protected:
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QStringList Listed(const QString& location)
    {
        std::vector<BrowseEntry> entries;
        QString error;
        EXPECT_TRUE(ListLocation(location, {}, &entries, &error)) << error.toStdString();
        QStringList names;
        for (const BrowseEntry& entry : entries)
            names << entry.name;
        return names;
    }

    QTemporaryDir dir_;
};

TEST_F(FileBrowserTest, FolderListsParentFoldersArchivesThenReadableFilesByName)
{
    Write(u"b.fb2"_qs, "x");
    Write(u"A.png"_qs, "x");
    Write(u"notes.doc"_qs, "x"); // nothing the reader opens
    Write(u"Zeta/c.txt"_qs, "x");
    Write(u"books.zip"_qs, MakeZip({{"a.fb2", "x"}}));
    EXPECT_EQ(Listed(dir_.path()),
        (QStringList {u".."_qs, u"Zeta"_qs, u"books.zip"_qs, u"A.png"_qs, u"b.fb2"_qs}));
    std::vector<BrowseEntry> entries;
    QString error;
    ASSERT_TRUE(ListLocation(dir_.path(), {}, &entries, &error));
    EXPECT_EQ(entries[0].path, ParentLocation(dir_.path()));
    EXPECT_EQ(entries[2].kind, BrowseEntry::Kind::Archive);
    EXPECT_EQ(entries[3].kind, BrowseEntry::Kind::Image);
    EXPECT_EQ(entries[4].path, dir_.filePath(u"b.fb2"_qs));
}

TEST_F(FileBrowserTest, ArchiveIsWalkedLikeFoldersAndItsMembersAreReaderPaths)
{
    const QString archive = Write(u"books.zip"_qs,
        MakeZip({{"top.fb2", "x"}, {"inner/deep.txt", "x"}, {"inner/pic.jpg", "x"},
            {"inner/nested.zip", "x"}, {"readme.doc", "x"}}));
    EXPECT_EQ(Listed(archive), (QStringList {u".."_qs, u"inner"_qs, u"top.fb2"_qs}));
    // A ZIP inside an archive is not opened as one: it isn't listed at all.
    const QString inner = archive + u"/inner"_qs;
    EXPECT_EQ(Listed(inner), (QStringList {u".."_qs, u"deep.txt"_qs, u"pic.jpg"_qs}));

    std::vector<BrowseEntry> entries;
    QString error;
    ASSERT_TRUE(ListLocation(inner, {}, &entries, &error));
    EXPECT_EQ(entries[0].path, archive);
    EXPECT_EQ(entries[1].path, inner + u"/deep.txt"_qs);
    QString archivePath, member;
    ASSERT_TRUE(SplitArchiveMemberPath(entries[1].path, archivePath, member));
    EXPECT_EQ(member, u"inner/deep.txt"_qs);
    EXPECT_EQ(ParentLocation(archive), dir_.path());
}

TEST_F(FileBrowserTest, UnlistablePlacesFailAndStoredLocationFallsBackToAnAncestor)
{
    std::vector<BrowseEntry> entries;
    QString error;
    const QString broken = Write(u"broken.zip"_qs, "PK\x03\x04 short");
    EXPECT_FALSE(ListLocation(broken, {}, &entries, &error));
    EXPECT_FALSE(error.isEmpty());
    const QString archive = Write(u"books.zip"_qs, MakeZip({{"a.fb2", "x"}}));
    EXPECT_FALSE(ListLocation(archive + u"/missing"_qs, {}, &entries, &error));

    EXPECT_EQ(ListableLocation(dir_.filePath(u"gone/deeper"_qs), {}), dir_.path());
    EXPECT_EQ(ListableLocation(archive + u"/missing/folder"_qs, {}), archive);
    EXPECT_EQ(ListableLocation(QString(), {}), QDir::homePath());
    EXPECT_EQ(ListableLocation(u"relative/folder"_qs, {}), QDir::homePath());
    EXPECT_EQ(ParentLocation(u"/"_qs), QString());
    EXPECT_EQ(ParentLocation(u"/books"_qs), u"/"_qs);
}

TEST_F(FileBrowserTest, DescriptionNamesPathFormatEncodingAndStorage)
{
    const QString text = Write(u"plain.txt"_qs, "First line\nSecond line\n");
    QString error;
    auto document = OpenDocument(text, -1, -1, {}, {}, error);
    ASSERT_TRUE(document) << error.toStdString();
    const QStringList lines = DocumentDescription(*document, text, -1);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], u"Path: "_qs + text);
    EXPECT_TRUE(lines[1].startsWith(u"Format: Text ("_qs)) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(u"Encoding: "_qs));
    EXPECT_EQ(lines[3], u"Compression: None"_qs);

    const QString zipped = Write(u"book.zip"_qs,
        MakeZip({{"book.fb2",
            Fb2Body(QByteArray("<section><p>") + QByteArray(3000, 'a') + "</p></section>")}}));
    document = OpenDocument(zipped + u"/book.fb2"_qs, -1, -1, {}, {}, error);
    ASSERT_TRUE(document) << error.toStdString();
    const QStringList fb2 = DocumentDescription(*document, zipped + u"/book.fb2"_qs, -1);
    ASSERT_EQ(fb2.size(), 3); // an FB2 book names its own encoding
    EXPECT_EQ(fb2[1], u"Format: FictionBook 2"_qs);
    EXPECT_TRUE(fb2[2].startsWith(u"Compression: ZIP, deflated (0."_qs)) << fb2[2].toStdString();
}

} // namespace
