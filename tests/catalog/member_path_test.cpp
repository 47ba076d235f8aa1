#include "catalog/catalog_records.h"
#include "catalog/member_path.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

void Touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile(path).open(QIODevice::WriteOnly);
}

} // namespace

TEST(MemberPathRule, ArchivesTheLibraryWritesAreCutAtTheirZipMarker)
{
    QString archive;
    QString member;
    // Not written yet: the ".zip@" placement puts there decides, whatever "@" the names hold.
    const QString target = QStringLiteral(
        "/lib/Mail user@host/Mail user@host. At One.zip@Mail user@host. At One.fb2");
    ASSERT_TRUE(SplitMemberPath(target, &archive, &member));
    EXPECT_EQ(archive, u"/lib/Mail user@host/Mail user@host. At One.zip");
    EXPECT_EQ(member, u"Mail user@host. At One.fb2");
    // Indexes naming other archives that are gone still read as before: the first "@".
    ASSERT_TRUE(SplitMemberPath(QStringLiteral("/gone/books.fbz@a@b.fb2"), &archive, &member));
    EXPECT_EQ(archive, u"/gone/books.fbz");
    EXPECT_EQ(member, u"a@b.fb2");
}

TEST(MemberPathRule, AnExistingArchiveDecidesTheCut)
{
    QTemporaryDir root;
    // An archive of any name, in a folder with "@", whose member names hold ".zip@" too.
    const QString zip = root.filePath(QStringLiteral("me@box/books.fbz"));
    Touch(zip);
    QString archive;
    QString member;
    ASSERT_TRUE(SplitMemberPath(zip + u"@a.zip@b.fb2", &archive, &member));
    EXPECT_EQ(archive, zip);
    EXPECT_EQ(member, u"a.zip@b.fb2");

    // A stray file named like the start of a library path loses to the archive after it.
    const QString stray = root.filePath(QStringLiteral("lib/Mail user"));
    const QString real = root.filePath(QStringLiteral("lib/Mail user@host/T.zip"));
    Touch(stray);
    Touch(real);
    ASSERT_TRUE(SplitMemberPath(real + u"@T.fb2", &archive, &member));
    EXPECT_EQ(archive, real);
}

TEST(MemberPathRule, StoredFilePathCutsOnlyArchiveMembers)
{
    CBook book;
    book.file = QStringLiteral("/home/user@host/books/a.fb2");
    EXPECT_EQ(book.StoredFilePath(), book.file);
    book.compression = CompressionZip;
    book.file = QStringLiteral("/home/user@host/books/a@b.zip@a@b.fb2");
    EXPECT_EQ(book.StoredFilePath(), u"/home/user@host/books/a@b.zip");
}

TEST(MemberPathRule, PathsWithControlCharactersCannotBeStored)
{
    EXPECT_TRUE(IsStorablePath(QStringLiteral("/l/ctrl.zip@Ёж @ x.fb2")));
    EXPECT_FALSE(IsStorablePath(QStringLiteral("/l/ctrl.zip@ctl\x01\x1b.fb2")));
    EXPECT_FALSE(IsStorablePath(QStringLiteral("/l/nul.zip@nul") + QChar(0) + u"x.fb2"));
    EXPECT_FALSE(IsStorablePath(QStringLiteral("/l/a\tb.fb2")));
}
