// libravon-cli end to end on the sample library: the built program is run as a user would.
#include "import/zip_file.h"
#include "import_fixture.h"

#include <QDirIterator>
#include <QProcess>

using namespace lbv;
using namespace lbv::test;
using namespace Qt::StringLiterals;

namespace {

const QString kSamples = QStringLiteral(LBV_SOURCE_DIR "/samples");
constexpr int kSampleBooks = 7; // four FB2 files, two books in a ZIP, one TXT

struct CliResult {
    int code = -1;
    QString out;
    QString err;
};

class CliTest : public ::testing::Test {
protected:
    CliResult Run(const QStringList& arguments, const QByteArray& input = {})
    {
        QProcess process;
        process.setProgram(QStringLiteral(LBV_CLI_PATH));
        process.setArguments(arguments);
        process.start();
        process.write(input);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(120000));
        CliResult result;
        if (process.exitStatus() == QProcess::NormalExit)
            result.code = process.exitCode();
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }
    QString Index() const { return root_.filePath(u"library/index.lvf"_s); }

    QTemporaryDir root_;
};

} // namespace

TEST_F(CliTest, BuildsListsShowsAndChecksTheSampleLibrary)
{
    CliResult result = Run({u"new"_s, Index()});
    ASSERT_EQ(result.code, 0) << qPrintable(result.err);
    ASSERT_TRUE(QFileInfo(Index()).isFile());

    result = Run({u"import"_s, Index(), kSamples});
    ASSERT_EQ(result.code, 0) << qPrintable(result.err);
    EXPECT_TRUE(result.err.contains(QStringLiteral("%1 books: %1 ok").arg(kSampleBooks)))
        << qPrintable(result.err);
    EXPECT_TRUE(result.err.contains(u"I Book Ivar Kessel \"Salt and Iron\" added."));

    result = Run({u"list"_s, Index()});
    ASSERT_EQ(result.code, 0) << qPrintable(result.err);
    const QStringList lines = result.out.split(u'\n');
    EXPECT_TRUE(lines.contains(u"Ivar Kessel"_s)) << qPrintable(result.out);
    EXPECT_TRUE(lines.contains(u"Пётр Лавров"_s)) << qPrintable(result.out);
    EXPECT_TRUE(result.out.contains(u"  Salt and Iron (2021, "_s));
    EXPECT_TRUE(result.out.contains(QStringLiteral("%1 books by").arg(kSampleBooks)));

    result = Run({u"list"_s, Index(), u"--search"_s, u"lantern"_s});
    EXPECT_EQ(result.code, 0);
    EXPECT_TRUE(result.out.contains(u"The Lantern Keeper"));
    EXPECT_TRUE(result.out.contains(u"1 books by 1 authors"));

    result = Run({u"show"_s, Index(), u"Salt and Iron"_s});
    ASSERT_EQ(result.code, 0) << qPrintable(result.err);
    for (const QString& field :
        {u"Title: Salt and Iron"_s, u"Author: Ivar Kessel"_s, u"Group: default"_s, u"Year: 2021"_s,
            u"Format: FB2"_s, u"Compression: ZIP"_s, u"At standard place: yes"_s,
            u"Available: yes"_s, u"Annotation: The ninth winter comes early"_s})
        EXPECT_TRUE(result.out.contains(field)) << qPrintable(field) << "\n"
                                                << qPrintable(result.out);
    EXPECT_TRUE(result.out.contains(u"Genre: sf_fantasy"));
    EXPECT_EQ(Run({u"show"_s, Index(), u"no such book"_s}).code, 1);

    result = Run({u"check"_s, Index()});
    EXPECT_EQ(result.code, 0) << qPrintable(result.out);
    EXPECT_TRUE(result.out.contains(QStringLiteral("0 of %1 books missing").arg(kSampleBooks)));
    const QString archive = root_.filePath(u"library/Ivar Kessel/Ivar Kessel. Salt and Iron.zip"_s);
    ASSERT_TRUE(QFile::remove(archive));
    result = Run({u"check"_s, Index()});
    EXPECT_EQ(result.code, 1);
    EXPECT_TRUE(result.out.contains(u"Ivar Kessel \"Salt and Iron\": " + archive));
}

TEST_F(CliTest, ReimportAsksOnStdinAndRemembersNoToAll)
{
    // In place: the FB2 books and the archive (a TXT book would need converting).
    QStringList books;
    for (const QString& name :
        QDir(kSamples).entryList({u"*.fb2"_s, u"*.zip"_s}, QDir::Files, QDir::Name))
        books << kSamples + u'/' + name;
    ASSERT_EQ(Run({u"new"_s, Index(), u"--no-zip"_s}).code, 0);
    ASSERT_EQ(Run(QStringList {u"import"_s, Index(), u"--operation=in-place"_s} + books).code, 0);
    const QByteArray before = ReadBytes(Index());

    CliResult result = Run(QStringList {u"import"_s, Index(), u"--operation=in-place"_s,
                               u"--existing"_s, u"ask"_s, u"--log-dir"_s, root_.filePath(u"logs"_s)}
            + books,
        "what\nl\n");
    EXPECT_EQ(result.code, 0) << qPrintable(result.err);
    // Asked once (again after the answer it did not understand), then remembered.
    EXPECT_EQ(result.err.count(u"Do you want to replace existing book?"), 2)
        << qPrintable(result.err);
    EXPECT_TRUE(result.err.contains(u"[Y]es, [N]o, Yes to [a]ll, No to a[l]l"));
    EXPECT_TRUE(result.err.contains(u"W Book Ivar Kessel \"Salt and Iron\" is already added."));
    EXPECT_EQ(ReadBytes(Index()), before);
    const QStringList logs = QDir(root_.filePath(u"logs"_s)).entryList(QDir::Files);
    ASSERT_EQ(logs.size(), 1);
    EXPECT_TRUE(logs[0].startsWith(u"Libravon") && logs[0].endsWith(u".ucp"));
}

TEST_F(CliTest, BadInputGetsAMessageAndANonZeroCodeAndNeverTouchesTheIndex)
{
    CliResult result = Run({u"import"_s, Index(), kSamples});
    EXPECT_EQ(result.code, 1);
    EXPECT_TRUE(result.err.contains(u"no index file at"));
    EXPECT_FALSE(QFileInfo::exists(Index()));

    ASSERT_EQ(Run({u"new"_s, Index()}).code, 0);
    result = Run({u"new"_s, Index()});
    EXPECT_EQ(result.code, 1);
    EXPECT_TRUE(result.err.contains(u"already exists"));

    EXPECT_EQ(Run({u"import"_s, Index(), kSamples, u"--operation"_s, u"bogus"_s}).code, 2);
    EXPECT_EQ(Run({u"import"_s, Index(), kSamples, u"--existing"_s, u"maybe"_s}).code, 2);
    EXPECT_EQ(Run({u"import"_s, Index(), kSamples, u"--frobnicate"_s}).code, 2);
    EXPECT_EQ(Run({u"list"_s}).code, 2);
    result = Run({u"import"_s, Index(), root_.filePath(u"nowhere"_s)});
    EXPECT_EQ(result.code, 1);
    EXPECT_TRUE(result.err.contains(u"does not exist"));

    const QByteArray garbage("\x1f\x8b not really gzip, not XML either");
    WriteBytes(Index(), garbage);
    result = Run({u"import"_s, Index(), kSamples});
    EXPECT_EQ(result.code, 1);
    EXPECT_FALSE(result.err.isEmpty());
    EXPECT_EQ(ReadBytes(Index()), garbage);
    EXPECT_EQ(Run({u"list"_s, Index()}).code, 1);
    EXPECT_EQ(Run({u"check"_s, Index()}).code, 1);
}

TEST_F(CliTest, ArchiveMembersAreLookedForAndAddressedWithTheirAtSigns)
{
    const QString archive = root_.filePath(u"src/trav.zip"_s);
    QDir().mkpath(root_.filePath(u"src"_s));
    CZipFile zip;
    zip.Open(archive, 'w');
    zip.Write(u"a@b@c.fb2"_s, Fb2Utf8(TitleInfo(u"Trav"_s, u"Member"_s, u"At Book"_s)));
    zip.Close();
    for (const QString& path : QStringList {archive + u"/a@b@c.fb2", archive + u"@a@b@c.fb2"}) {
        const CliResult result
            = Run({u"read"_s, path, u"--width"_s, u"60"_s, u"--height"_s, u"4"_s});
        EXPECT_EQ(result.code, 0) << qPrintable(path) << qPrintable(result.err);
        EXPECT_TRUE(result.out.contains(u"Text.")) << qPrintable(result.out);
    }

    ASSERT_EQ(Run({u"new"_s, Index(), u"--zip"_s}).code, 0);
    CliResult result = Run({u"import"_s, Index(), archive});
    ASSERT_EQ(result.code, 0) << qPrintable(result.err);
    EXPECT_EQ(Run({u"check"_s, Index()}).code, 0);
    // The archive is there but no longer holds the book.
    const QString placed = root_.filePath(u"library/Trav Member/Trav Member. At Book.zip"_s);
    ASSERT_TRUE(QFile::remove(placed));
    zip.Open(placed, 'w');
    zip.Write(u"other.fb2"_s, Fb2Utf8());
    zip.Close();
    result = Run({u"check"_s, Index()});
    EXPECT_EQ(result.code, 1);
    EXPECT_TRUE(result.out.contains(u"1 of 1 books missing")) << qPrintable(result.out);
    result = Run({u"show"_s, Index(), u"At Book"_s});
    EXPECT_TRUE(result.out.contains(u"Available: no")) << qPrintable(result.out);
}

TEST_F(CliTest, AnImportThatImportsNothingFails)
{
    ASSERT_EQ(Run({u"new"_s, Index()}).code, 0);
    const QString broken = root_.filePath(u"broken.zip"_s);
    WriteBytes(broken, QByteArray("PK\x03\x04", 4) + QByteArray(200, 'x'));
    const CliResult result = Run({u"import"_s, Index(), broken});
    EXPECT_EQ(result.code, 1) << qPrintable(result.err);
    EXPECT_TRUE(result.err.contains(u"0 books: 0 ok")) << qPrintable(result.err);
}
