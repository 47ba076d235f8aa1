#include "catalog/libravon_doc.h"
#include "catalog/xml_document.h"
#include "text/messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <ctime>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <zlib.h>

using namespace lbv;

namespace {

class RecordingUi : public IndexFileUi {
public:
    void ShowError(const QString& text) override { errors << text; }
    void ShowMessage(const QString& text) override { messages << text; }
    bool AskYesNo(const QString& question) override
    {
        questions << question;
        return answer;
    }
    void BeginWait() override { ++waits; }
    void EndWait() override { --waits; }

    QStringList errors;
    QStringList messages;
    QStringList questions;
    bool answer = false;
    int waits = 0;
};

qint64 LocalMidnight(int year, int month, int day)
{
    std::tm tm {};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_isdst = -1;
    return qint64(std::mktime(&tm));
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Gunzip(const QString& path)
{
    gzFile file = gzopen(QFile::encodeName(path).constData(), "rb");
    QByteArray out;
    char buffer[4096];
    for (int n; file && (n = gzread(file, buffer, sizeof buffer)) > 0;)
        out.append(buffer, n);
    if (file)
        gzclose(file);
    return out;
}

void WriteFile(const QString& path, const QByteArray& bytes, bool compressed)
{
    if (compressed) {
        gzFile file = gzopen(QFile::encodeName(path).constData(), "wb");
        gzwrite(file, bytes.constData(), unsigned(bytes.size()));
        gzclose(file);
        return;
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

CBook* AddBook(CLibravonDoc& doc, const QString& first, const QString& last, const QString& title)
{
    BookDescription h;
    h.firstName = first;
    h.lastName = last;
    h.title = title;
    h.compression = doc.compressFiles ? CompressionZip : CompressionNone;
    h.file = doc.StandardFileName(first, last, title, {}, FormatFb2, h.compression);
    doc.AddBook(h, false);
    return doc.FindBook(h);
}

class IndexFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A zone east of UTC with daylight saving, so that local days and midnights matter.
        oldTz_ = qgetenv("TZ");
        hadTz_ = qEnvironmentVariableIsSet("TZ");
        qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
        tzset();
        indexPath = dir.filePath(QStringLiteral("index.lvf"));
    }
    void TearDown() override
    {
        if (hadTz_)
            qputenv("TZ", oldTz_);
        else
            qunsetenv("TZ");
        tzset();
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    // Opens an index given as XML text, written compressed (or plain) under `name`.
    bool OpenText(CLibravonDoc& doc, const QString& xml, bool compressed = true,
        const QString& name = QStringLiteral("index.lvf"))
    {
        WriteFile(Path(name), xml.toUtf8(), compressed);
        return doc.Open(Path(name), &ui);
    }
    // A catalog with what the index format has to carry.
    void FillVaried(CLibravonDoc& doc)
    {
        doc.path = indexPath;
        doc.fileNameMask = QStringLiteral("%L %F\\%l %f - %t");
        CBook* war = AddBook(
            doc, QStringLiteral("Лев"), QStringLiteral("Толстой"), QStringLiteral("Война и мир"));
        war->genre = QStringLiteral("prose_classic");
        war->year = 1869;
        war->added = LocalMidnight(2004, 1, 5) + 3600 * 13;
        war->extras = {{QStringLiteral("Издательство"), QStringLiteral("Эксмо & Co \"<1>\"")},
            {QStringLiteral("ISBN"), {}}};
        CBook* odd = AddBook(doc, QStringLiteral("Lev"), QStringLiteral("Tolstoy"),
            QStringLiteral("A <b> & 'c'\tline\r\nnext"));
        odd->file = QStringLiteral("/elsewhere/odd book.pdb");
        odd->format = FormatPdb;
        odd->compression = CompressionGzip;
        odd->added = NoDateSentinel();
        CBook* html = AddBook(
            doc, QStringLiteral("Lev"), QStringLiteral("Tolstoy"), QStringLiteral("Html"));
        html->format = FormatHtml;
        html->compression = CompressionNone;
        html->file = html->DefaultFileName(doc);
        html->year = -5;
        CGroup* series = doc.CreateGroup(html->Author(), QStringLiteral("Серия"));
        doc.MoveBookToGroup(html, series);
        AddBook(doc, QStringLiteral("Anna"), QStringLiteral("Abel"), QStringLiteral("Zeta"));
    }

    QTemporaryDir dir;
    QString indexPath;
    RecordingUi ui;

private:
    QByteArray oldTz_;
    bool hadTz_ = false;
};

} // namespace

TEST_F(IndexFile, SaveOpenSaveGivesIdenticalBytes)
{
    CLibravonDoc doc;
    FillVaried(doc);
    ASSERT_TRUE(doc.Save(indexPath, &ui));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(ui.waits, 0);
    const QByteArray first = ReadFile(indexPath);
    // The document handed to plug-ins holds the same text as the file.
    XmlDocumentPtr document = CreateDocument(false, nullptr);
    ASSERT_TRUE(doc.BuildIndex(*document, &ui));
    EXPECT_EQ(document->XmlUtf8(), Gunzip(indexPath));

    CLibravonDoc reopened;
    ASSERT_TRUE(reopened.Open(indexPath, &ui)) << ui.errors.join(u'\n').toStdString();
    EXPECT_FALSE(reopened.IsModified());
    EXPECT_EQ(reopened.path, indexPath);
    EXPECT_EQ(reopened.fileNameMask, doc.fileNameMask);
    ASSERT_TRUE(reopened.Save(indexPath, &ui));
    EXPECT_EQ(ReadFile(indexPath), first);
    EXPECT_TRUE(ui.errors.isEmpty() && ui.messages.isEmpty() && ui.questions.isEmpty());

    // What went in came back: order, groups, formats, compressions, dates, extras.
    const CBook* war = reopened.FindBook(
        {QStringLiteral("Лев"), QStringLiteral("Толстой"), QStringLiteral("Война и мир")});
    ASSERT_TRUE(war);
    EXPECT_EQ(war->year, 1869);
    EXPECT_EQ(war->added, LocalMidnight(2004, 1, 5));
    EXPECT_EQ(war->extras,
        doc.FindBook(
               {QStringLiteral("Лев"), QStringLiteral("Толстой"), QStringLiteral("Война и мир")})
            ->extras);
    EXPECT_TRUE(war->IsAtStandardPlace(reopened));
    const CAuthor* lev = reopened.FindAuthor(QStringLiteral("Lev"), QStringLiteral("Tolstoy"));
    ASSERT_TRUE(lev);
    ASSERT_EQ(lev->Groups().size(), 2u);
    EXPECT_EQ(lev->Groups()[1]->name, QStringLiteral("Серия"));
    const CBook* odd = lev->Groups()[0]->Books()[0].get();
    EXPECT_EQ(odd->title, QStringLiteral("A <b> & 'c'\tline\r\nnext"));
    EXPECT_EQ(odd->file, QStringLiteral("/elsewhere/odd book.pdb"));
    EXPECT_EQ(odd->format, FormatPdb);
    EXPECT_EQ(odd->compression, CompressionGzip);
    EXPECT_EQ(odd->added, NoDateSentinel());
    const CBook* html = lev->Groups()[1]->Books()[0].get();
    EXPECT_EQ(html->format, FormatHtml);
    EXPECT_EQ(html->compression, CompressionNone);
    EXPECT_EQ(html->year, -5);
    EXPECT_EQ(html->file, html->DefaultFileName(reopened));
    EXPECT_EQ(reopened.Authors().front()->lastName, QStringLiteral("Abel"));
}

TEST_F(IndexFile, WritesTheCompactFormExactly)
{
    CLibravonDoc doc;
    doc.path = indexPath;
    CBook* plain = AddBook(
        doc, QStringLiteral("Ivar"), QStringLiteral("Kessel"), QStringLiteral("Foundation"));
    plain->genre = QStringLiteral("sf");
    plain->added = NoDateSentinel();
    CBook* full
        = AddBook(doc, QStringLiteral("Ivar"), QStringLiteral("Kessel"), QStringLiteral("Empire"));
    full->year = 1952;
    full->added = LocalMidnight(2010, 7, 9) + 5;
    full->file = QStringLiteral("/x/e.txt");
    full->format = FormatTxt;
    full->compression = CompressionNone;
    full->extras = {{QStringLiteral("n"), QStringLiteral("v")}};
    ASSERT_TRUE(doc.Save(indexPath, &ui));

    const QByteArray expected
        = "<books><options><file-name-mask>%f %l\\%f %l. %t</file-name-mask>"
          "<file-compression>ZIP</file-compression></options>"
          "<author firstName=\"Ivar\" lastName=\"Kessel\"><group name=\"default\">"
          "<book><book-title>Foundation</book-title><genre>sf</genre></book>"
          "<book year=\"1952\" added=\"2010-07-09\" file=\"/x/e.txt\" "
          "format=\"TXT\" compression=\"None\"><book-title>Empire</book-title>"
          "<genre/><extra><param name=\"n\" value=\"v\"/></extra></book>"
          "</group></author></books>";
    EXPECT_EQ(Gunzip(indexPath), expected);
    // gzip as zlib's writer makes it: deflate, no name, no time, Unix.
    const QByteArray bytes = ReadFile(indexPath);
    EXPECT_EQ(bytes.left(10), QByteArray("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10));

    // The document handed to plug-ins holds the same text.
    XmlDocumentPtr document = CreateDocument(false, nullptr);
    AppendElement(document->Node(), "leftover");
    ASSERT_TRUE(doc.BuildIndex(*document, &ui));
    EXPECT_EQ(document->XmlUtf8(), expected);
}

TEST_F(IndexFile, MissingOptionsAndLowerCaseZipTakeTheirDefaults)
{
    CLibravonDoc doc;
    ASSERT_TRUE(OpenText(doc,
        QStringLiteral("<books><author firstName=\"Ivar\" lastName=\"Kessel\">"
                       "<group name=\"default\"><book><book-title>T</book-title>"
                       "</book></group></author></books>")));
    EXPECT_EQ(doc.fileNameMask, QStringLiteral("%f %l/%f %l. %t"));
    EXPECT_TRUE(doc.compressFiles);
    const CBook* book = doc.Authors().front()->Groups().front()->Books().front().get();
    EXPECT_EQ(book->compression, CompressionZip);
    EXPECT_EQ(
        book->file, Path(QStringLiteral("Ivar Kessel/Ivar Kessel. T.zip@Ivar Kessel. T.fb2")));
    EXPECT_EQ(book->genre, QString());
    EXPECT_EQ(book->added, NoDateSentinel());

    ASSERT_TRUE(OpenText(doc,
        QStringLiteral("<books><options><file-compression>zip</file-compression>"
                       "</options></books>")));
    EXPECT_FALSE(doc.compressFiles);
    EXPECT_EQ(doc.fileNameMask, QStringLiteral("%f %l/%f %l. %t"));
}

TEST_F(IndexFile, AnotherRootOpensAsAnEmptyCatalog)
{
    CLibravonDoc doc;
    doc.compressFiles = false;
    doc.fileNameMask = QStringLiteral("%t");
    AddBook(doc, QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"));
    ASSERT_TRUE(OpenText(doc,
        QStringLiteral("<library><books><author firstName=\"a\" lastName=\"b\"/>"
                       "</books></library>")));
    EXPECT_TRUE(doc.Authors().empty());
    EXPECT_TRUE(doc.compressFiles);
    EXPECT_EQ(doc.fileNameMask, QStringLiteral("%f %l/%f %l. %t"));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(ui.errors.isEmpty() && ui.messages.isEmpty());
}

TEST_F(IndexFile, PlainIndexesOpenThroughEitherAttempt)
{
    const QString utf8Index = QStringLiteral(
        "<books><author firstName=\"Лев\" lastName=\"Толстой\"><group name=\"default\">"
        "<book><book-title>Война и мир</book-title></book></group></author></books>");
    // Plain UTF-8 passes through the gzip reader: a regular open.
    CLibravonDoc doc;
    ASSERT_TRUE(OpenText(doc, utf8Index, false));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.path, indexPath);

    // Other encodings are read by the parser itself: the catalog becomes untitled and modified.
    QByteArray cp1251
        = "<?xml version=\"1.0\" encoding=\"windows-1251\"?><books><author "
          "firstName=\"\xcb\xe5\xe2\" lastName=\"\xd2\xee\xeb\xf1\xf2\xee\xe9\"/></books>";
    WriteFile(Path(QStringLiteral("old.xml")), cp1251, false);
    ASSERT_TRUE(doc.Open(Path(QStringLiteral("old.xml")), &ui));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.path, QStringLiteral("untitled"));
    ASSERT_EQ(doc.Authors().size(), 1u);
    EXPECT_EQ(doc.Authors().front()->lastName, QStringLiteral("Толстой"));

    const QByteArray utf16 = QByteArray("\xff\xfe", 2)
        + QByteArray(reinterpret_cast<const char*>(utf8Index.utf16()), utf8Index.size() * 2);
    WriteFile(Path(QStringLiteral("wide.xml")), utf16, false);
    ASSERT_TRUE(doc.Open(Path(QStringLiteral("wide.xml")), &ui));
    EXPECT_EQ(doc.path, QStringLiteral("untitled"));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.Authors().front()->firstName, QStringLiteral("Лев"));
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(IndexFile, UnreadableIndexesReportBothAttempts)
{
    CLibravonDoc doc;
    AddBook(doc, QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"));
    const QString missing = Path(QStringLiteral("missing.lvf"));
    EXPECT_FALSE(doc.Open(missing, &ui));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(
        ui.messages[0].startsWith(QStringLiteral("Compressed index error: Load: Can't open file \"")
            + missing + QStringLiteral("\".\r\nUncompressed index error: Loading ") + missing
            + QStringLiteral(": ERROR! ")))
        << ui.messages[0].toStdString();
    EXPECT_TRUE(doc.Authors().empty());
    EXPECT_EQ(doc.path, missing);
    EXPECT_FALSE(doc.IsModified());

    // A truncated gzip stream fails the compressed attempt instead of loading half a library.
    CLibravonDoc full;
    FillVaried(full);
    ASSERT_TRUE(full.Save(indexPath, &ui));
    const QByteArray bytes = ReadFile(indexPath);
    WriteFile(indexPath, bytes.left(bytes.size() - 30), false);
    EXPECT_FALSE(doc.Open(indexPath, &ui));
    ASSERT_EQ(ui.messages.size(), 2);
    EXPECT_TRUE(
        ui.messages[1].startsWith(QStringLiteral("Compressed index error: Load: Can't read file")))
        << ui.messages[1].toStdString();
    EXPECT_TRUE(doc.Authors().empty());
}

TEST_F(IndexFile, AGzipBombIsRefusedBeforeItIsUnpacked)
{
    // 48 MB of blanks pack into about 50 KB: far past what an index's XML ever packs to.
    gzFile file = gzopen(QFile::encodeName(indexPath).constData(), "wb9");
    ASSERT_NE(file, nullptr);
    gzputs(file, "<books>");
    const QByteArray blanks(1 << 20, ' ');
    for (int i = 0; i < 48; ++i)
        gzwrite(file, blanks.constData(), unsigned(blanks.size()));
    gzputs(file, "</books>");
    gzclose(file);
    ASSERT_LT(QFileInfo(indexPath).size(), 200 * 1024);

    CLibravonDoc doc;
    EXPECT_FALSE(doc.Open(indexPath, &ui));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(
        ui.messages[0].startsWith(QStringLiteral("Compressed index error: Load: Can't read file \"")
            + indexPath + QStringLiteral("\": the unpacked index is too large")))
        << ui.messages[0].toStdString();
    EXPECT_TRUE(doc.Authors().empty());
}

TEST_F(IndexFile, BrokenRecordsEmptyTheCatalogWithTheirText)
{
    const struct {
        const char* xml;
        const char* error;
    } cases[] = {
        {"<books><author lastName=\"K\"/></books>", "Attribute \"firstName\" not found"},
        {"<books><author firstName=\"I\" lastName=\"K\"><group/></author></books>",
            "Attribute \"name\" not found"},
        {"<books><author firstName=\"I\" lastName=\"K\"><group name=\"g\"><book><genre>x</genre>"
         "</book></group></author></books>",
            "CBook::Load: Book load failed (book-title)"},
        {"<books><author firstName=\"I\" lastName=\"K\"><group name=\"g\"><book "
         "added=\"1969-12-31\">"
         "<book-title>t</book-title></book></group></author></books>",
            "CBook::Load: The date \"1969-12-31\" cannot be represented"},
    };
    for (const auto& c : cases) {
        CLibravonDoc doc;
        AddBook(doc, QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"));
        ui.errors.clear();
        const QString good = QStringLiteral("<author firstName=\"A\" lastName=\"B\"/>");
        QString xml = QString::fromUtf8(c.xml);
        xml.insert(7, good); // a valid author before the broken one is dropped too
        EXPECT_FALSE(OpenText(doc, xml)) << c.xml;
        EXPECT_EQ(ui.errors, QStringList {QString::fromUtf8(c.error)});
        EXPECT_TRUE(doc.Authors().empty());
        EXPECT_FALSE(doc.IsModified());
        EXPECT_EQ(doc.path, indexPath);
    }
    // A file that is not well-formed after a broken record is reported as not well-formed.
    CLibravonDoc doc;
    ui.errors.clear();
    EXPECT_FALSE(OpenText(doc, QStringLiteral("<books><author/><author firstName=\"a\">")));
    EXPECT_TRUE(ui.errors.isEmpty());
    ASSERT_FALSE(ui.messages.isEmpty());
    EXPECT_TRUE(ui.messages.last().contains(QStringLiteral("Loading XML: ERROR! ")));
}

TEST_F(IndexFile, AttributesAreReadLeniently)
{
    CLibravonDoc doc;
    ASSERT_TRUE(OpenText(doc,
        QStringLiteral(
            "<books><options><file-name-mask>%t</file-name-mask>"
            "<file-compression>None</file-compression></options>"
            "<author firstName=\"I\" lastName=\"K\"><group name=\"g\">"
            "<book year=\" 12abc\" added=\"2004-1-5\" format=\"PDB\" compression=\"odd\">"
            "<book-title>a</book-title><genre>sf</genre><genre>other</genre>"
            "<extra><param value=\"lost\"/><param name=\"kept\"/>"
            "<param name=\"\" value=\"lost\"/><param name=\"n\" value=\"v\"/></extra>"
            "</book>"
            "<book year=\"x\" added=\"2004-13-01\" format=\"fb2\"><book-title>b</book-title></book>"
            "<book year=\"-7\" added=\"2004/01/05\"><book-title>c</book-title></book>"
            "</group></author></books>")))
        << ui.errors.join(u'\n').toStdString();
    const auto& books = doc.Authors().front()->Groups().front()->Books();
    ASSERT_EQ(books.size(), 3u);
    EXPECT_EQ(books[0]->year, 12);
    EXPECT_EQ(books[0]->added, LocalMidnight(2004, 1, 5));
    EXPECT_EQ(books[0]->format, FormatPdb);
    EXPECT_EQ(books[0]->compression, CompressionZip);
    EXPECT_EQ(books[0]->genre, QStringLiteral("sf"));
    EXPECT_EQ(books[0]->extras,
        (ExtraFields {
            {QStringLiteral("kept"), QString()}, {QStringLiteral("n"), QStringLiteral("v")}}));
    EXPECT_EQ(books[1]->year, 0);
    EXPECT_EQ(books[1]->added, LocalMidnight(2005, 1, 1)); // month 13 carries over
    EXPECT_EQ(books[1]->format, FormatFb2);
    EXPECT_EQ(books[1]->compression, CompressionNone);
    EXPECT_EQ(books[1]->file, Path(QStringLiteral("b.fb2")));
    EXPECT_EQ(books[2]->year, -7);
    EXPECT_EQ(books[2]->added, NoDateSentinel());
}

TEST_F(IndexFile, UnusualDocumentsFallBackToTheWholeDocumentRead)
{
    // Options after an author still apply to it, and a DTD's entities are honoured.
    CLibravonDoc doc;
    ASSERT_TRUE(OpenText(doc,
        QStringLiteral("<!DOCTYPE books [<!ENTITY who \"Kessel\">]><books>"
                       "<author firstName=\"I\" lastName=\"&who;\"><group name=\"g\">"
                       "<book><book-title>T</book-title></book></group></author>"
                       "<options><file-name-mask>%l-%t</file-name-mask></options></books>")))
        << ui.errors.join(u'\n').toStdString();
    EXPECT_EQ(doc.Authors().front()->lastName, QStringLiteral("Kessel"));
    EXPECT_EQ(doc.Authors().front()->Groups().front()->Books().front()->file,
        Path(QStringLiteral("Kessel-T.zip@Kessel-T.fb2")));
    ASSERT_TRUE(OpenText(doc,
        QStringLiteral("<books><author firstName=\"I\" lastName=\"K\"><group name=\"g\">"
                       "<book><book-title>T</book-title></book></group></author>"
                       "<options><file-name-mask>%l-%t</file-name-mask></options></books>")));
    EXPECT_EQ(doc.fileNameMask, QStringLiteral("%l-%t"));
    EXPECT_EQ(doc.Authors().front()->Groups().front()->Books().front()->file,
        Path(QStringLiteral("K-T.zip@K-T.fb2")));
}

TEST_F(IndexFile, DatesOnlyAreWrittenThatCanBeReadBack)
{
    CLibravonDoc doc;
    doc.path = indexPath;
    // 1970-01-01 01:00 here: the local day began before 1970 and could not be read back.
    AddBook(doc, QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("Epoch"))->added = 0;
    AddBook(doc, QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("Day"))->added
        = LocalMidnight(1970, 1, 2);
    ASSERT_TRUE(doc.Save(indexPath, &ui));
    const QByteArray text = Gunzip(indexPath);
    EXPECT_FALSE(text.contains("1970-01-01"));
    EXPECT_TRUE(text.contains("added=\"1970-01-02\""));
    CLibravonDoc reopened;
    ASSERT_TRUE(reopened.Open(indexPath, &ui)) << ui.errors.join(u'\n').toStdString();
}

TEST_F(IndexFile, SavingCreatesMissingFoldersAndNeverWritesInAutorun)
{
    CLibravonDoc doc;
    FillVaried(doc);
    const QString deep = Path(QStringLiteral("a/b/c/index.lvf"));
    EXPECT_TRUE(doc.Save(deep, &ui, true));
    EXPECT_FALSE(QFileInfo::exists(deep));
    EXPECT_TRUE(doc.IsModified());

    ASSERT_TRUE(doc.Save(deep, &ui));
    EXPECT_TRUE(QFileInfo::exists(deep));
    EXPECT_EQ(doc.path, deep);

    // Relative names are made absolute.
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    EXPECT_TRUE(doc.Save(QStringLiteral("x/../rel.lvf"), &ui));
    QDir::setCurrent(before);
    EXPECT_EQ(doc.path, Path(QStringLiteral("rel.lvf")));

    // A folder that cannot be made (a file stands in the way).
    WriteFile(Path(QStringLiteral("file")), "x", false);
    doc.SetModified(true);
    const QString blocked = Path(QStringLiteral("file/sub/index.lvf"));
    EXPECT_FALSE(doc.Save(blocked, &ui));
    EXPECT_EQ(ui.errors, QStringList {MessageText(Msg::CantCreateDirectoryFor) + blocked});
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.path, Path(QStringLiteral("rel.lvf")));
}

TEST_F(IndexFile, ASaveThatFailsHalfWayLeavesTheOldIndex)
{
    CLibravonDoc doc;
    FillVaried(doc);
    ASSERT_TRUE(doc.Save(indexPath, &ui));
    const QByteArray old = ReadFile(indexPath);
    // Enough varied text that the compressed index outgrows the size limit below.
    for (int i = 0; i < 3000; ++i)
        AddBook(doc, QStringLiteral("N%1").arg(i * 7919 % 10007), QStringLiteral("L%1").arg(i),
            QStringLiteral("T%1").arg(i * 104729 % 1000003));
    ASSERT_TRUE(doc.IsModified());

    // Writes past 16 KB fail as on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 16 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool saved_ok = doc.Save(indexPath, &ui);
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(saved_ok);
    ASSERT_EQ(ui.errors.size(), 1);
    EXPECT_TRUE(ui.errors[0].startsWith(QStringLiteral("Can't write \"") + indexPath))
        << ui.errors[0].toStdString();
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(ReadFile(indexPath), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList {QStringLiteral("index.lvf")});
    CLibravonDoc reopened;
    EXPECT_TRUE(reopened.Open(indexPath, &ui));
}

TEST_F(IndexFile, ImportDatesCanBeTakenFromTheFiles)
{
    CLibravonDoc doc;
    doc.path = indexPath;
    CBook* present = AddBook(doc, QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("Here"));
    CBook* absent = AddBook(doc, QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("Gone"));
    present->added = absent->added = NoDateSentinel();
    present->file = Path(QStringLiteral("here.zip@here.fb2"));
    WriteFile(Path(QStringLiteral("here.zip")), "zip", false);
    ASSERT_TRUE(doc.Save(indexPath, &ui));

    CLibravonDoc declined;
    ASSERT_TRUE(declined.Open(indexPath, &ui));
    EXPECT_EQ(ui.questions, QStringList {MessageText(Msg::ImportDateMigration)});
    EXPECT_FALSE(declined.IsModified());

    ui.answer = true;
    CLibravonDoc accepted;
    ASSERT_TRUE(accepted.Open(indexPath, &ui));
    EXPECT_TRUE(accepted.IsModified());
    const auto& books = accepted.Authors().front()->Groups().front()->Books();
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    EXPECT_GT(books[0]->added, now - 600);
    EXPECT_LE(books[0]->added, now);
    EXPECT_EQ(books[1]->added, NoDateSentinel());

    // Without any file to date there is nothing to ask.
    QFile::remove(Path(QStringLiteral("here.zip")));
    ui.questions.clear();
    CLibravonDoc quiet;
    ASSERT_TRUE(quiet.Open(indexPath, &ui));
    EXPECT_TRUE(ui.questions.isEmpty());
}

TEST_F(IndexFile, ReloadingFromABadDocumentCanKeepTheCatalog)
{
    CLibravonDoc doc;
    FillVaried(doc);
    doc.SetModified(false);
    XmlDocumentPtr bad = LoadXmlText(u"<books><author firstName=\"x\"/></books>", nullptr);
    ASSERT_TRUE(bad);
    EXPECT_FALSE(doc.ParseIndex(*bad, &ui, ParseFailure::KeepCatalog));
    EXPECT_EQ(ui.errors, QStringList {QStringLiteral("Attribute \"lastName\" not found")});
    EXPECT_EQ(doc.Authors().size(), 3u);
    EXPECT_EQ(doc.fileNameMask, QStringLiteral("%L %F\\%l %f - %t"));

    XmlDocumentPtr good = CreateDocument(false, nullptr);
    ASSERT_TRUE(doc.BuildIndex(*good));
    CLibravonDoc copy;
    copy.path = doc.path;
    ASSERT_TRUE(copy.ParseIndex(*good));
    EXPECT_EQ(copy.Authors().size(), 3u);
    EXPECT_EQ(copy.fileNameMask, doc.fileNameMask);
    EXPECT_FALSE(copy.IsModified());
}

TEST_F(IndexFile, AMaskLeadingOutOfTheLibraryFallsBackToTheDefault)
{
    CLibravonDoc doc;
    ASSERT_TRUE(OpenText(doc,
        QStringLiteral("<books><options><file-name-mask>..\\..\\..\\tmp\\escape\\%t"
                       "</file-name-mask><file-compression>None</file-compression></options>"
                       "<author firstName=\"Ivar\" lastName=\"Kessel\"><group name=\"default\">"
                       "<book><book-title>T</book-title></book></group></author></books>")));
    EXPECT_EQ(doc.fileNameMask, QStringLiteral("%f %l/%f %l. %t"));
    // Books without a stored path are placed by the default mask too.
    const CBook* book = doc.Authors().front()->Groups().front()->Books().front().get();
    EXPECT_EQ(book->file, Path(QStringLiteral("Ivar Kessel/Ivar Kessel. T.fb2")));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages.front(),
        QStringLiteral(
            "The index's file name mask \"..\\..\\..\\tmp\\escape\\%t\" leads outside "
            "the library folder; the default mask \"%f %l/%f %l. %t\" is used instead."));
}
