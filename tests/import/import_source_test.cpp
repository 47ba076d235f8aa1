#include "fb2_samples.h"
#include "import/import_source.h"
#include "import/stored_book.h"
#include "import/zip_file.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "support/raw_zip.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace lbv;
using namespace lbv::test;
using namespace Qt::StringLiterals;

namespace {

const QString kThreeBooks = QStringLiteral(LBV_TEST_DATA_DIR "/import/three-books.zip");

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Scanned {
    bool found = false;
    QString error;
    std::unique_ptr<CImportSource> source;
};

Scanned Scan(const QString& path, int prefetch = 4096)
{
    Scanned scanned;
    scanned.source = std::make_unique<CImportSource>(path, prefetch);
    scanned.found = scanned.source->Scan(&scanned.error);
    return scanned;
}

QStringList HeaderPaths(const CImportSource& source)
{
    QStringList paths;
    for (const auto& header : source.headers)
        paths << header->file;
    for (const auto& child : source.children)
        paths << HeaderPaths(*child);
    return paths;
}

} // namespace

TEST(ImportSource, ZipWithThreeBooksGivesOneHeaderPerMemberInArchiveOrder)
{
    const Scanned scanned = Scan(kThreeBooks);
    ASSERT_TRUE(scanned.found) << qPrintable(scanned.error);
    EXPECT_TRUE(scanned.error.isEmpty());
    const auto& headers = scanned.source->headers;
    ASSERT_EQ(headers.size(), 3u);
    EXPECT_EQ(headers[0]->file, kThreeBooks + u"@first.fb2");
    EXPECT_EQ(headers[1]->file, kThreeBooks + u"@sub/second.fb2");
    EXPECT_EQ(headers[2]->file, kThreeBooks + u"@third.fb2");
    for (const auto& header : headers) {
        EXPECT_EQ(header->compression, CompressionZip);
        EXPECT_EQ(header->format, FormatFb2);
        EXPECT_GT(header->fileSize, 4096); // the member's own size, not the prefetch
    }
    EXPECT_EQ(headers[1]->lastName, u"Ефремов");
    EXPECT_EQ(headers[1]->encoding, CodePageIndex(1251));
    EXPECT_EQ(headers[2]->genre, u"adventure");
}

TEST(ImportSource, WalksFoldersSkippingDotEntriesAndKeepingFoldersWithBooks)
{
    QTemporaryDir root;
    const QString top = root.path();
    WriteFile(top + u"/a.fb2", Fb2Utf8());
    WriteFile(top + u"/.hidden.fb2", Fb2Utf8());
    WriteFile(top + u"/.git/inside.fb2", Fb2Utf8());
    QDir(top).mkpath(QStringLiteral("nothing"));
    WriteFile(top + u"/sub/b.fb2", Fb2Utf8());
    WriteFile(top + u"/sub/empty.fb2", QByteArray());
    WriteFile(top + u"/sub/notes.bin", QByteArray("\x01\x02\x03", 3));

    const Scanned scanned = Scan(top);
    ASSERT_TRUE(scanned.found);
    EXPECT_EQ(HeaderPaths(*scanned.source), QStringList({top + u"/a.fb2", top + u"/sub/b.fb2"}));
    ASSERT_EQ(scanned.source->children.size(), 2u); // "nothing" yielded no book and is dropped
    EXPECT_EQ(scanned.error,
        u"Empty file " + top + u"/sub/empty.fb2.\r\nCan't detect file type for: " + top
            + u"/sub/notes.bin");

    QTemporaryDir emptyRoot;
    EXPECT_FALSE(Scan(emptyRoot.path()).found);

    // A cancelled walk stops; a single file is still read whole.
    const std::atomic<bool> cancel {true};
    CImportSource cancelled(top, 4096);
    cancelled.SetCancel(&cancel);
    QString error;
    EXPECT_FALSE(cancelled.Scan(&error));
    EXPECT_TRUE(cancelled.children.empty());
    CImportSource file(top + u"/a.fb2", 4096);
    file.SetCancel(&cancel);
    EXPECT_TRUE(file.Scan(&error));
}

TEST(ImportSource, ArchiveWithoutBooksIsNotAZipFileAndOtherFilesAreReadPlain)
{
    QTemporaryDir root;
    const QString archive = root.filePath(QStringLiteral("data.zip"));
    {
        CZipFile zip;
        zip.Open(archive, 'w');
        zip.Write(QStringLiteral("x.dat"), QByteArray("\x01\x02\x03\x04", 4));
        zip.Write(QStringLiteral("y.fb2"), "\n" + Fb2Utf8());
        zip.Close();
    }
    const Scanned noBooks = Scan(archive);
    EXPECT_FALSE(noBooks.found);
    // Each member's failure is kept, and the last line names the archive.
    EXPECT_TRUE(noBooks.error.contains(archive + u"@x.dat")) << qPrintable(noBooks.error);
    EXPECT_TRUE(noBooks.error.endsWith(u"\r\nNot a ZIP file. " + archive))
        << qPrintable(noBooks.error);

    const QString book = root.filePath(QStringLiteral("book.fb2"));
    WriteFile(book, Fb2Utf8());
    CImportSource plain(book, 4096);
    QString error;
    EXPECT_FALSE(plain.ReadArchive(&error));
    EXPECT_EQ(error, u"Not a ZIP file");
    EXPECT_TRUE(Scan(book).found);

    // Starts like an archive but is none: read as a plain file.
    const QString fake = root.filePath(QStringLiteral("fake.txt"));
    WriteFile(fake, "PK this is only text");
    const Scanned fakeScan = Scan(fake);
    ASSERT_TRUE(fakeScan.found) << qPrintable(fakeScan.error);
    EXPECT_EQ(fakeScan.source->headers[0]->format, FormatTxt);

    const Scanned missing = Scan(root.filePath(QStringLiteral("missing.fb2")));
    EXPECT_EQ(
        missing.error, u"Can't open \"" + root.filePath(QStringLiteral("missing.fb2")) + u"\".");
}

TEST(ImportSource, HostileFoldersAndArchivesNeitherHangNorCrash)
{
    QTemporaryDir root;
    const QString top = root.path();
    WriteFile(top + u"/sub/b.fb2", Fb2Utf8());
    // A link back up the tree, and a named pipe that would block whoever opens it.
    ASSERT_TRUE(QFile::link(top, top + u"/sub/loop"));
    ASSERT_EQ(mkfifo(QFile::encodeName(top + u"/pipe.fb2").constData(), 0600), 0);
    const Scanned looped = Scan(top);
    EXPECT_EQ(HeaderPaths(*looped.source), QStringList({top + u"/sub/b.fb2"}));
    EXPECT_TRUE(looped.error.contains(u"Can't open \"" + top + u"/pipe.fb2\"."));

    // Truncated and corrupted copies of a real archive: an error or the books they still hold,
    // never a crash.
    const QByteArray archive = ReadFile(kThreeBooks);
    const QString damaged = top + u"/damaged.zip";
    for (qsizetype at = 0; at < archive.size(); at += 37) {
        WriteFile(damaged, archive.left(at));
        Scan(damaged);
        QByteArray corrupt = archive;
        corrupt[at] = char(corrupt[at] ^ 0x5A);
        WriteFile(damaged, corrupt);
        Scan(damaged);
    }

    // A member claiming four gigabytes: only the prefetch is read, the claim is reported.
    const QString liar = top + u"/liar.zip";
    QByteArray bytes = Fb2Utf8();
    bytes.append(QByteArray(8000, ' '));
    {
        CZipFile zip;
        zip.Open(liar, 'w', ZipStored);
        CZipInfo info(QStringLiteral("liar.fb2"));
        zip.Write(info, bytes);
        zip.Close();
    }
    QByteArray zipBytes = ReadFile(liar);
    const quint32 claim = 0xFFFFFF00u;
    qToLittleEndian<quint32>(claim, zipBytes.data() + 22);
    const qsizetype central = zipBytes.indexOf("PK\x01\x02");
    ASSERT_GT(central, 0);
    qToLittleEndian<quint32>(claim, zipBytes.data() + central + 24);
    WriteFile(liar, zipBytes);
    const Scanned lied = Scan(liar);
    ASSERT_TRUE(lied.found) << qPrintable(lied.error);
    EXPECT_EQ(lied.source->headers[0]->fileSize, qint64(claim));
}

QByteArray TitledBook(const QString& title)
{
    return Fb2Utf8(QStringLiteral("<genre>sf</genre><author><first-name>A</first-name>"
                                  "<last-name>B</last-name></author><book-title>%1</book-title>")
                       .arg(title));
}

TEST(ImportSource, EveryMemberTheScanListsCanBeReadAsTheSameBook)
{
    QTemporaryDir root;
    const std::vector<test::RawMember> members {{"win\\dir\\one.fb2", TitledBook(u"One"_s)},
        {"ctl\x01\x0b.fb2", TitledBook(u"Two"_s)}, {"dup.fb2", TitledBook(u"Three"_s)},
        {"dup.fb2", TitledBook(u"Four"_s)}};
    const std::vector<test::RawZipShape> shapes {{}, {"Downloaded from somewhere", {}, false},
        {{}, "MZ" + QByteArray(5000, '\0'), false}, {{}, {}, true}};
    for (const test::RawZipShape& shape : shapes) {
        const QString archive = root.filePath(QStringLiteral("books.zip"));
        WriteFile(archive, test::RawZip(members, shape));
        const Scanned scanned = Scan(archive);
        ASSERT_TRUE(scanned.found) << qPrintable(scanned.error);
        // The repeated name is offered once: the first member of that name.
        EXPECT_EQ(scanned.error,
            u"Skipped: an earlier file inside the zip has the same name: " + archive + u"@dup.fb2");
        const auto& headers = scanned.source->headers;
        ASSERT_EQ(headers.size(), 3u);
        EXPECT_EQ(headers[0]->file, archive + u"@win/dir/one.fb2");
        EXPECT_EQ(headers[1]->file, archive + u"@ctl__.fb2");
        EXPECT_EQ(headers[2]->file, archive + u"@dup.fb2");
        for (std::size_t i = 0; i < headers.size(); ++i) {
            QByteArray bytes;
            QString error;
            EXPECT_TRUE(ReadStoredBookBytes(headers[i]->file, CompressionZip, &bytes, &error))
                << qPrintable(error);
            EXPECT_EQ(bytes, members[i].data);
        }
    }
}

TEST(StoredBook, ArchivesReadDuringARunStayOpenUntilTheyChange)
{
    QTemporaryDir root;
    const QString archive = root.filePath(QStringLiteral("books.zip"));
    WriteFile(archive, test::RawZip({{"a.fb2", "first"}, {"b.fb2", "second"}}));
    ArchiveReuse reuse;
    QByteArray bytes;
    QString error;
    ASSERT_TRUE(ReadStoredBookBytes(archive + u"@a.fb2", CompressionZip, &bytes, &error));
    CZipFile& kept = reuse.Archive(archive);
    EXPECT_EQ(&reuse.Archive(archive), &kept);
    ASSERT_TRUE(ReadStoredBookBytes(archive + u"@b.fb2", CompressionZip, &bytes, &error));
    EXPECT_EQ(bytes, "second");
    // A changed file is opened afresh.
    WriteFile(archive, test::RawZip({{"a.fb2", "other first"}}));
    ASSERT_TRUE(ReadStoredBookBytes(archive + u"@a.fb2", CompressionZip, &bytes, &error));
    EXPECT_EQ(bytes, "other first");
}

TEST(ImportSource, PrefetchSizeIsHeldToSaneBounds)
{
    SettingsStore settings(std::make_unique<MemorySettingsBackend>());
    const QString section = QStringLiteral("Settings");
    const QString key = QStringLiteral("FastPrefetchBufferSize");
    EXPECT_EQ(ImportPrefetchSize(settings), 4096);
    settings.WriteProfileInt(section, key, 100);
    EXPECT_EQ(ImportPrefetchSize(settings), 2048);
    settings.WriteProfileInt(section, key, 65536);
    EXPECT_EQ(ImportPrefetchSize(settings), 65536);
    settings.WriteProfileInt(section, key, 2000000000);
    EXPECT_EQ(ImportPrefetchSize(settings), 16 * 1024 * 1024);
}
