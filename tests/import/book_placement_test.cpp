#include "catalog/libravon_doc.h"
#include "fb2_samples.h"
#include "import/book_placement.h"
#include "import/stored_book.h"
#include "import/temp_files.h"
#include "import/zip_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lbv;
using namespace lbv::test;

namespace {

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

QStringList MemberNames(const QString& archive)
{
    CZipFile zip;
    zip.Open(archive, 'r');
    QStringList names;
    for (const CZipInfo& info : zip.Members())
        names << info.fileName;
    return names;
}

// A library folder, and a private temporary folder in place of the system's.
class Placement : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousTmp_ = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(root_.filePath(QStringLiteral("tmp"))));
        QDir(root_.path()).mkpath(QStringLiteral("tmp"));
        storage_.fileNameMask = QStringLiteral("%f %l\\%f %l. %t");
        storage_.libraryFolder = root_.filePath(QStringLiteral("library")) + u'/';
        header_.firstName = QStringLiteral("Ivar");
        header_.lastName = QStringLiteral("Kessel");
        header_.title = QStringLiteral("Foundation");
        header_.format = FormatFb2;
        header_.file = root_.filePath(QStringLiteral("incoming/foundation.fb2"));
        WriteFile(header_.file, book_);
    }
    void TearDown() override { qputenv("TMPDIR", previousTmp_); }

    QTemporaryDir root_;
    QByteArray previousTmp_;
    StorageOptions storage_;
    CBookHeader header_;
    // Line feeds only: written as they are, never as CR LF.
    const QByteArray book_ = Fb2Utf8() + "\n\n";
};

} // namespace

TEST_F(Placement, FilesABookIntoItsOneBookArchive)
{
    storage_.compressFiles = true;
    QString error;
    const QString placed = PlaceBookFile(header_, storage_, nullptr, false, &error);
    const QString archive = storage_.libraryFolder + u"Ivar Kessel/Ivar Kessel. Foundation.zip";
    EXPECT_EQ(placed, archive + u"@Ivar Kessel. Foundation.fb2");
    EXPECT_TRUE(error.isEmpty()) << qPrintable(error);
    EXPECT_EQ(header_.file, placed);
    EXPECT_EQ(header_.compression, CompressionZip);
    EXPECT_EQ(MemberNames(archive), QStringList({QStringLiteral("Ivar Kessel. Foundation.fb2")}));
    QByteArray stored;
    ASSERT_TRUE(ReadStoredBookBytes(placed, CompressionZip, &stored, &error));
    EXPECT_EQ(stored, book_);
    // No leftovers of the archive's construction beside it.
    EXPECT_EQ(QDir(QFileInfo(archive).path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    // Placed again from where it now is: it is already in its place, nothing is written.
    const QDateTime written = QFileInfo(archive).lastModified();
    EXPECT_EQ(PlaceBookFile(header_, storage_, nullptr, false, &error), placed);
    EXPECT_EQ(QFileInfo(archive).lastModified(), written);
}

TEST_F(Placement, FilesABookAsAPlainFileWithItsBytesUnchanged)
{
    storage_.compressFiles = false;
    QString error;
    const QString placed = PlaceBookFile(header_, storage_, nullptr, false, &error);
    EXPECT_EQ(placed, storage_.libraryFolder + u"Ivar Kessel/Ivar Kessel. Foundation.fb2");
    EXPECT_EQ(header_.compression, CompressionNone);
    EXPECT_EQ(ReadFile(placed), book_);

    // A book read from an archive member is placed from the member's bytes.
    CBookHeader member = header_;
    member.title = QStringLiteral("Second");
    member.file = QStringLiteral(LBV_TEST_DATA_DIR "/import/three-books.zip@third.fb2");
    member.compression = CompressionZip;
    const QString second = PlaceBookFile(member, storage_, nullptr, false, &error);
    ASSERT_FALSE(second.isEmpty()) << qPrintable(error);
    EXPECT_TRUE(ReadFile(second).contains("<book-title>Tides</book-title>"));
}

TEST_F(Placement, KeepsAnExistingTargetUnlessOverwriting)
{
    for (const bool compress : {true, false}) {
        storage_.compressFiles = compress;
        CBookHeader header = header_;
        QString error;
        const QString target = PlaceBookFile(header, storage_, nullptr, false, &error);
        const QString file = compress ? target.left(target.indexOf(u'@')) : target;
        const QByteArray before = ReadFile(file);

        const QByteArray edited = Fb2Utf8() + "<!-- edited -->";
        CBookHeader again = header_;
        EXPECT_EQ(PlaceBookFile(again, storage_, &edited, false, &error), target);
        EXPECT_EQ(error, u"Warning: File \"" + file + u"\" already exists. Importing as is.");
        EXPECT_EQ(ReadFile(file), before);

        EXPECT_EQ(PlaceBookFile(again, storage_, &edited, true, &error), target);
        EXPECT_TRUE(error.isEmpty());
        QByteArray stored;
        ReadStoredBookBytes(target, compress ? CompressionZip : CompressionNone, &stored, &error);
        EXPECT_EQ(stored, edited);
        if (compress) { // rewritten with the single new member, never extended
            EXPECT_EQ(MemberNames(file).size(), 1);
        }
    }
}

TEST_F(Placement, ReportsWhatCannotBePlaced)
{
    QString error;
    header_.format = FormatUnknown;
    EXPECT_TRUE(PlaceBookFile(header_, storage_, nullptr, false, &error).isEmpty());
    EXPECT_EQ(error, u"Error: Unsupported file type for standard import.");

    header_.format = FormatFb2;
    header_.file = root_.filePath(QStringLiteral("incoming/missing.fb2"));
    EXPECT_TRUE(PlaceBookFile(header_, storage_, nullptr, false, &error).isEmpty());
    EXPECT_EQ(error, u"Error: Can't open \"" + header_.file + u"\".");

    WriteFile(header_.file, QByteArray());
    EXPECT_TRUE(PlaceBookFile(header_, storage_, nullptr, false, &error).isEmpty());
    EXPECT_EQ(error, u"Error: Empty file " + header_.file + u".");

    // The library folder's place is taken by a file: its folders can't be made.
    WriteFile(root_.filePath(QStringLiteral("blocked")), "x");
    storage_.libraryFolder = root_.filePath(QStringLiteral("blocked")) + u'/';
    storage_.compressFiles = false;
    const QByteArray content = Fb2Utf8();
    EXPECT_TRUE(PlaceBookFile(header_, storage_, &content, false, &error).isEmpty());
    EXPECT_EQ(error,
        u"Error: Can't create directory for " + storage_.libraryFolder
            + u"Ivar Kessel/Ivar Kessel. Foundation.fb2.");
}

TEST_F(Placement, EncodesBookTextInTheConfiguredCodePage)
{
    const QString text
        = QStringLiteral("<?xml version=\"1.0\"?>\r\n<FictionBook>Ёж — 漢</FictionBook>");
    QByteArray bytes;
    QString error;
    ASSERT_TRUE(EncodeBookText(text, QStringLiteral("1251,windows-1251"), &bytes, &error));
    // Characters the code page lacks survive as references.
    EXPECT_EQ(bytes,
        "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<FictionBook>\xA8\xE6 \x97 "
        "&#28450;</FictionBook>");

    ASSERT_TRUE(EncodeBookText(text, QStringLiteral("65001,utf-8"), &bytes, &error));
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>"));
    EXPECT_TRUE(bytes.endsWith(QStringLiteral("Ёж — 漢</FictionBook>").toUtf8()));

    // A declaration naming another encoding, or none at all: the written one is always named.
    ASSERT_TRUE(EncodeBookText(QStringLiteral("<?xml version='1.0' encoding='utf-8'?><a/>"),
        QStringLiteral("20866,koi8-r"), &bytes, &error));
    EXPECT_EQ(bytes, "<?xml version=\"1.0\" encoding=\"koi8-r\"?><a/>");
    ASSERT_TRUE(EncodeBookText(u"<a/>", QStringLiteral("1251,windows-1251"), &bytes, &error));
    EXPECT_EQ(bytes, "<?xml version=\"1.0\" encoding=\"windows-1251\"?><a/>");

    EXPECT_FALSE(EncodeBookText(text, QStringLiteral("garbage"), &bytes, &error));
    EXPECT_EQ(error, u"Error: Error converting from unicode: unknown code page garbage.");

    const QString saved = root_.filePath(QStringLiteral("out/saved.fb2"));
    ASSERT_TRUE(
        SaveBookText(saved, u"<a>ж</a>", QStringLiteral("1251,windows-1251"), false, &error));
    EXPECT_EQ(ReadFile(saved), "<?xml version=\"1.0\" encoding=\"windows-1251\"?><a>\xE6</a>");
    const QString member = root_.filePath(QStringLiteral("out/saved.zip")) + u"@saved.fb2";
    ASSERT_TRUE(
        SaveBookTextInArchive(member, u"<a/>", QStringLiteral("65001,utf-8"), false, &error));
    QByteArray stored;
    ASSERT_TRUE(ReadStoredBookBytes(member, CompressionZip, &stored, &error));
    EXPECT_EQ(stored, "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?><a/>");
}

TEST_F(Placement, TemporaryNamesCountUpToNinetyNineAndStayInTheTemporaryFolder)
{
    QString error;
    const QString folder = TempFolder();
    EXPECT_TRUE(folder.startsWith(root_.filePath(QStringLiteral("tmp/Libravon-"))));
    // Only the base name counts: a member named to climb out of the folder stays inside it.
    EXPECT_EQ(MakeTempFileName(QStringLiteral("../../x.fb2"), &error), folder + u"/x.fb2");
    EXPECT_EQ(MakeTempFileName(QStringLiteral("sub\\..\\.."), &error), folder + u"/book");

    WriteFile(folder + u"/book.fb2", "x");
    EXPECT_EQ(MakeTempFileName(QStringLiteral("dir/book.fb2"), &error), folder + u"/book01.fb2");
    for (int counter = 1; counter <= 98; ++counter)
        WriteFile(
            folder + QStringLiteral("/book%1.fb2").arg(counter, 2, 10, QLatin1Char('0')), "x");
    EXPECT_EQ(MakeTempFileName(QStringLiteral("book.fb2"), &error), folder + u"/book99.fb2");
    WriteFile(folder + u"/book99.fb2", "x");
    EXPECT_TRUE(MakeTempFileName(QStringLiteral("book.fb2"), &error).isEmpty());
    EXPECT_EQ(error, u"There are too many files in temporary dir like book.fb2");
}

TEST_F(Placement, TemporaryCopiesLiveInAFolderOnlyThisUserCanEnter)
{
    // Names planted in a shared folder of the old fixed name block nothing.
    const QString shared = root_.filePath(QStringLiteral("tmp/Libravon"));
    QDir().mkpath(shared);
    QFile::setPermissions(shared, QFileDevice::Permissions(0x7777));
    WriteFile(shared + u"/second.fb2", "planted");
    for (int counter = 1; counter <= 99; ++counter)
        ASSERT_TRUE(QFile::link(shared + u"/second.fb2",
            shared + QStringLiteral("/second%1.fb2").arg(counter, 2, 10, QLatin1Char('0'))));

    const QString folder = TempFolder();
    EXPECT_NE(folder, shared);
    EXPECT_EQ(QFileInfo(folder).permissions(),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
            | QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
    QString error;
    const QString copy = ExtractToTempFile(
        QStringLiteral(LBV_TEST_DATA_DIR "/import/three-books.zip@sub/second.fb2"), CompressionZip,
        &error);
    ASSERT_EQ(copy, folder + u"/second.fb2") << qPrintable(error);
    EXPECT_EQ(QFileInfo(copy).permissions().toInt() & 0x0077, 0); // nothing for group or others
    const TemporaryCopy remove(copy);
}

TEST_F(Placement, ExtractsArchiveMembersToTemporaryFiles)
{
    QString error;
    const QString archive = QStringLiteral(LBV_TEST_DATA_DIR "/import/three-books.zip");
    const QString copy = ExtractToTempFile(archive + u"@sub/second.fb2", CompressionZip, &error);
    EXPECT_EQ(copy, TempFolder() + u"/second.fb2");
    EXPECT_TRUE(ReadFile(copy).contains("encoding=\"windows-1251\""));

    EXPECT_TRUE(ExtractToTempFile(header_.file, CompressionNone, &error).isEmpty());
    EXPECT_TRUE(error.isEmpty());
    EXPECT_TRUE(ExtractToTempFile(header_.file, CompressionGzip, &error).isEmpty());
    EXPECT_EQ(error, u"GZIP compression is not supported yet.");
    EXPECT_TRUE(ExtractToTempFile(archive + u"@", CompressionZip, &error).isEmpty());
    EXPECT_EQ(error, u"Internal error in ZIP file name " + archive + u"@");
    EXPECT_TRUE(ExtractToTempFile(archive + u"@none.fb2", CompressionZip, &error).isEmpty());
    EXPECT_EQ(error, u"ZIP: Requested file is not in this ZIP");
}

TEST_F(Placement, LoadsStoredBooksAsDocumentsForEditing)
{
    QString error;
    int encoding = -1;
    const QString archive = QStringLiteral(LBV_TEST_DATA_DIR "/import/three-books.zip");
    XmlDocumentPtr document
        = LoadStoredBookDocument(archive + u"@sub/second.fb2", CompressionZip, &error, &encoding);
    ASSERT_TRUE(document) << qPrintable(error);
    EXPECT_EQ(encoding, CodePageIndex(1251));
    CBookHeader header;
    ASSERT_TRUE(header.ReadTitleInfo(*document, &error));
    EXPECT_EQ(header.title, u"Лезвие бритвы");
    EXPECT_TRUE(document->Xml().startsWith(u"<?xml version=\"1.0\"?>"));

    // No declaration, and "?>" in the text: nothing of the book is cut away.
    const QString bare = root_.filePath(QStringLiteral("bare.fb2"));
    WriteFile(bare,
        Fb2Text(
            QString(), StandardTitleInfo(), QStringLiteral("<body><p>What?&gt; Why?></p></body>"))
            .toUtf8());
    document = LoadStoredBookDocument(bare, CompressionNone, &error);
    ASSERT_TRUE(document) << qPrintable(error);
    EXPECT_TRUE(document->Xml().contains(u"Why?"));
    EXPECT_TRUE(document->Xml().startsWith(u"<?xml version=\"1.0\"?>"));

    const QString text = root_.filePath(QStringLiteral("notes.txt"));
    WriteFile(text, "Just some text, <b>no XML</b>.");
    EXPECT_FALSE(LoadStoredBookDocument(text, CompressionNone, &error));
    EXPECT_EQ(error, u"This file is not an XML file: " + text);
}

TEST_F(Placement, ActualBookPathIsEmptyForOfflineBooks)
{
    CLibravonDoc catalog;
    catalog.path = root_.filePath(QStringLiteral("library/index.lvf"));
    catalog.compressFiles = false;
    BookDescription description;
    description.firstName = QStringLiteral("Ivar");
    description.lastName = QStringLiteral("Kessel");
    description.title = QStringLiteral("Foundation");
    description.file = header_.file;
    ASSERT_TRUE(catalog.AddBook(description, false));
    CBook* book = catalog.FindBook(description);
    ASSERT_TRUE(book);
    EXPECT_EQ(ActualBookPath(*book, catalog), header_.file);
    QFile::remove(header_.file);
    EXPECT_TRUE(ActualBookPath(*book, catalog).isEmpty());

    // A plain book in a folder whose name holds "@" is not taken for an archive member.
    book->file = root_.filePath(QStringLiteral("user@host/book.fb2"));
    WriteFile(book->file, "x");
    EXPECT_EQ(ActualBookPath(*book, catalog), book->file);

    book->file = QStringLiteral(LBV_TEST_DATA_DIR "/import/three-books.zip@first.fb2");
    book->compression = CompressionZip;
    EXPECT_EQ(ActualBookPath(*book, catalog), book->file);
}

TEST_F(Placement, NoTargetLiesOutsideTheLibraryFolder)
{
    WriteFile(root_.filePath(QStringLiteral("target.fb2")), "PRECIOUS");
    const QByteArray content = Fb2Utf8();
    QString error;
    storage_.compressFiles = false;
    // Names that once climbed out through a mask of placeholders stay names.
    storage_.fileNameMask = QStringLiteral("%l\\%t");
    header_.firstName = QStringLiteral(".");
    header_.lastName = QStringLiteral(".%F");
    header_.title = QStringLiteral("target");
    EXPECT_EQ(PlaceBookFile(header_, storage_, &content, true, &error),
        storage_.libraryFolder + u".%F/target.fb2");
    // A mask that was never checked still files inside: its ".." is a name, its root a folder.
    for (const char* mask : {"..\\%t", "%l\\..\\..\\%t", "/tmp/%t"}) {
        storage_.fileNameMask = QString::fromLatin1(mask);
        for (const bool compress : {false, true}) {
            storage_.compressFiles = compress;
            const QString placed = PlaceBookFile(header_, storage_, &content, true, &error);
            EXPECT_TRUE(LiesInFolder(placed, storage_.libraryFolder)) << qPrintable(placed);
        }
    }
    EXPECT_EQ(ReadFile(root_.filePath(QStringLiteral("target.fb2"))), "PRECIOUS");
    EXPECT_FALSE(QFileInfo::exists(root_.filePath(QStringLiteral("target.zip"))));
    EXPECT_TRUE(LiesInFolder(QStringLiteral("/lib/a/../b.fb2"), QStringLiteral("/lib/")));
    EXPECT_FALSE(LiesInFolder(QStringLiteral("/lib/a/../../b.fb2"), QStringLiteral("/lib/")));
    EXPECT_FALSE(LiesInFolder(QStringLiteral("/library2/b.fb2"), QStringLiteral("/lib")));
}

TEST_F(Placement, DifferentBooksWithTheSameFileNameGetFilesOfTheirOwn)
{
    for (const bool compress : {true, false}) {
        storage_.compressFiles = compress;
        storage_.libraryFolder
            = root_.filePath(compress ? QStringLiteral("zip/") : QStringLiteral("plain/"));
        // "A:B" and "AB" both clean to "AB"; the second, even when replacing, gets a number.
        QStringList placed;
        for (const char* last : {"A:B", "AB", "AB?"}) {
            const QString title = QStringLiteral("<genre>sf</genre><author><first-name>Ivar"
                                                 "</first-name><last-name>%1</last-name></author>"
                                                 "<book-title>T</book-title>")
                                      .arg(QString::fromLatin1(last));
            const QByteArray content = Fb2Utf8(title);
            CBookHeader header = header_;
            header.lastName = QString::fromLatin1(last);
            header.title = QStringLiteral("T");
            QString error;
            placed << PlaceBookFile(header, storage_, &content, true, &error);
            QByteArray stored;
            ASSERT_TRUE(ReadStoredBookBytes(
                placed.last(), compress ? CompressionZip : CompressionNone, &stored, &error));
            EXPECT_EQ(stored, content);
            // Placing the same book again finds its own numbered file.
            EXPECT_EQ(PlaceBookFile(header, storage_, &content, false, &error), placed.last());
            EXPECT_TRUE(error.contains(u"already exists. Importing as is.")) << qPrintable(error);
        }
        const auto expected = [&](const QString& name) -> QString {
            const QString path = storage_.libraryFolder + u"Ivar AB/" + name;
            return compress ? QString(path + u".zip@" + name + u".fb2") : QString(path + u".fb2");
        };
        EXPECT_EQ(placed,
            QStringList(
                {expected(QStringLiteral("Ivar AB. T")), expected(QStringLiteral("Ivar AB. T (2)")),
                    expected(QStringLiteral("Ivar AB. T (3)"))}));
    }
}

TEST_F(Placement, AtSignsInNamesKeepOneArchivePerBook)
{
    storage_.compressFiles = true;
    QStringList placed;
    for (const char* title : {"At One", "At Two"}) {
        CBookHeader header = header_;
        header.firstName = QStringLiteral("Mail");
        header.lastName = QStringLiteral("user@host");
        header.title = QString::fromLatin1(title);
        const QByteArray content = Fb2Utf8() + title;
        QString error;
        placed << PlaceBookFile(header, storage_, &content, false, &error);
        EXPECT_TRUE(error.isEmpty()) << qPrintable(error);
        QByteArray stored;
        EXPECT_TRUE(ReadStoredBookBytes(placed.last(), CompressionZip, &stored, &error));
        EXPECT_EQ(stored, content);
        EXPECT_TRUE(StoredBookExists(placed.last(), CompressionZip));
    }
    EXPECT_EQ(placed.first(),
        storage_.libraryFolder
            + u"Mail user@host/Mail user@host. At One.zip@Mail user@host. At One.fb2");
    EXPECT_FALSE(QFileInfo::exists(storage_.libraryFolder + u"Mail user"));
}

TEST_F(Placement, StoredBooksExistOnlyWithTheirArchiveMember)
{
    const QString archive = QStringLiteral(LBV_TEST_DATA_DIR "/import/three-books.zip");
    EXPECT_TRUE(StoredBookExists(archive + u"@first.fb2", CompressionZip));
    EXPECT_FALSE(StoredBookExists(archive + u"@gone.fb2", CompressionZip));
    EXPECT_FALSE(StoredBookExists(archive, CompressionZip));
    EXPECT_TRUE(StoredBookExists(header_.file, CompressionNone));
    // A file that is no archive holds no member.
    EXPECT_FALSE(StoredBookExists(header_.file + u"@first.fb2", CompressionZip));
}

TEST_F(Placement, LongNamesAreShortenedAndAFailedWriteLeavesNoFolders)
{
    storage_.compressFiles = false;
    header_.firstName = QString(100, u'F');
    header_.lastName = QString(300, QChar(u'Ж'));
    QString error;
    const QString placed = PlaceBookFile(header_, storage_, nullptr, false, &error);
    ASSERT_FALSE(placed.isEmpty()) << qPrintable(error);
    EXPECT_EQ(ReadFile(placed), book_);

    // The rename at the end fails (the name is too long): the folders made for it go again.
    const QString deep = root_.filePath(QStringLiteral("made/for/nothing/")) + QString(300, u'x');
    EXPECT_FALSE(WriteBookFile(deep, book_, false, &error));
    EXPECT_TRUE(error.startsWith(u"Error: Can't create file")) << qPrintable(error);
    EXPECT_FALSE(QFileInfo::exists(root_.filePath(QStringLiteral("made"))));
    EXPECT_TRUE(QFileInfo(root_.path()).isDir());
}
