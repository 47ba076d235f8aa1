#include "import/zip_file.h"
#include "import_fixture.h"

#include <QFileInfo>

using namespace lbv;
using namespace lbv::test;
using namespace Qt::StringLiterals;

namespace {

QString Fixture(const QString& name)
{
    return QStringLiteral(LBV_TEST_DATA_DIR "/realworld/") + name;
}

class DamagedBooksTest : public ImportFixture {
protected:
    // Copies a fixture below the incoming folder, scans it and imports it in place.
    ImportRunSummary ImportFixtureBook(const QString& name)
    {
        const QString path = Path(QString(u"incoming/" + name));
        WriteBytes(path, ReadBytes(Fixture(name)));
        EXPECT_EQ(Add(path), 1) << qPrintable(scanError_);
        return RunImport(ImportOperation::InPlace);
    }

    const CBook* Book(const QString& first, const QString& last, const QString& title) const
    {
        return catalog_.FindBook(BookDescription {first, last, title});
    }
};

} // namespace

TEST_F(DamagedBooksTest, ImportsEachDamagedHeaderWithAWarningNamingTheFirstError)
{
    struct Case {
        QString file;
        QString title;
        QString firstError;
    };
    const Case cases[] = {
        {u"raw-ampersand.fb2"_s, u"Tom & Jerry"_s, u"xmlParseEntityRef: no name"_s},
        {u"html-entities.fb2"_s, u"«Salt\u00A0and\u00A0Iron»"_s, u"Entity 'laquo' not defined"_s},
        {u"mismatched-tags.fb2"_s, u"Salt and Iron"_s, u"Opening and ending tag mismatch"_s},
        {u"control-characters.fb2"_s, u"Salt and Iron"_s, u"PCDATA invalid Char value 1"_s},
        {u"duplicate-declaration.fb2"_s, u"Salt and Iron"_s, u"Attribute xmlns:l redefined"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.file));
        catalog_.New();
        sink_.Clear();
        const ImportRunSummary summary = ImportFixtureBook(c.file);
        EXPECT_EQ(summary.ok, 1);
        EXPECT_NE(Book(u"Ivar"_s, u"Kessel"_s, c.title), nullptr);
        const QStringList lines = sink_.Lines();
        ASSERT_FALSE(lines.isEmpty());
        const QString warning = u"W File \"" + Path(QString(u"incoming/" + c.file))
            + u"\" has damaged markup; it was read after repair. First error: Loading XML: "
              u"ERROR! "
            + c.firstError;
        EXPECT_TRUE(lines[0].startsWith(warning)) << qPrintable(lines[0]);
    }
}

TEST_F(DamagedBooksTest, ReadsBooksThatNeedNoRepairWithoutAWarning)
{
    // Undeclared prefixes cost libxml2 only a namespace error; a body cut off is never read.
    for (const QString& file : {u"undeclared-prefix.fb2"_s, u"truncated.fb2"_s,
             u"fictionbook-2.1.fb2"_s, u"long-annotation.fb2"_s}) {
        SCOPED_TRACE(qPrintable(file));
        catalog_.New();
        sink_.Clear();
        EXPECT_EQ(ImportFixtureBook(file).ok, 1);
        EXPECT_NE(Book(u"Ivar"_s, u"Kessel"_s, u"Salt and Iron"_s), nullptr);
        EXPECT_EQ(sink_.Lines(), QStringList {u"I Book Ivar Kessel \"Salt and Iron\" added."_s});
    }
}

TEST_F(DamagedBooksTest, TakesTheBytesOfAFalseUtf8DeclarationForTheirCodePage)
{
    EXPECT_EQ(ImportFixtureBook(u"wrong-encoding.fb2"_s).ok, 1);
    EXPECT_NE(Book(u"Пётр"_s, u"Лавров"_s, u"Зимний сад"_s), nullptr);
}

TEST_F(DamagedBooksTest, ReadsFictionBook21HeadersWithTheirGenre)
{
    CBookHeader header(Fixture(u"fictionbook-2.1.fb2"_s), 0);
    QString error;
    ASSERT_TRUE(header.LoadFromBytes(ReadBytes(header.file), &error)) << qPrintable(error);
    EXPECT_EQ(header.genre, u"sf_fantasy");
    EXPECT_TRUE(header.markupRepair.isEmpty());

    // Another namespace keeps its refusal.
    QByteArray other = ReadBytes(header.file);
    other.replace("fictionbook/2.1", "fictionbook/3.0");
    CBookHeader refused(header.file, other.size());
    EXPECT_FALSE(refused.LoadFromBytes(other, &error));
    EXPECT_TRUE(error.endsWith(u"Error: Can't find <title-info> tag in " + header.file));
}

TEST_F(DamagedBooksTest, ReadsHeadersLongerThanThePrefetchFromFilesAndArchives)
{
    const QByteArray book = ReadBytes(Fixture(u"long-annotation.fb2"_s));
    ASSERT_GT(book.indexOf("<body"), 4096);
    const QString archive = Path(u"incoming/long.zip");
    QDir().mkpath(Path(u"incoming"));
    {
        CZipFile zip;
        zip.Open(archive, 'w');
        zip.Write(u"sub/long.fb2"_s, book);
        zip.Close();
    }
    CImportSource source(archive, 4096);
    QString error;
    ASSERT_TRUE(source.Scan(&error)) << qPrintable(error);
    ASSERT_EQ(source.headers.size(), 1u);
    EXPECT_EQ(source.headers[0]->title, u"Salt and Iron");

    // Only up to the bound: a header that does not end within it is still refused.
    QByteArray endless = book.left(book.indexOf("</annotation>"));
    while (endless.size() <= kLongestFb2Header)
        endless += "<p>More and more annotation text, never ending.</p>";
    const QString path = Path(u"incoming/endless.fb2");
    WriteBytes(path, endless);
    CImportSource endlessSource(path, 4096);
    EXPECT_FALSE(endlessSource.Scan(&error));
    EXPECT_TRUE(error.endsWith(u"Error: Element <body> is not found")) << qPrintable(error);
}

TEST_F(DamagedBooksTest, NamesLitAndPdbBooksFromTheirFileNames)
{
    EXPECT_EQ(ImportFixtureBook(u"Ivan Petrov - Dark Water.lit"_s).ok, 1);
    EXPECT_EQ(ImportFixtureBook(u"Anna Belova - Snow.pdb"_s).ok, 1);
    const CBook* lit = Book(u"Ivan"_s, u"Petrov"_s, u"Dark Water"_s);
    ASSERT_NE(lit, nullptr);
    EXPECT_EQ(lit->format, FormatLit);
    EXPECT_NE(Book(u"Anna"_s, u"Belova"_s, u"Snow"_s), nullptr);

    // Without an "Author - Title" name a PDB book has its database name for a title, but no
    // author, and is refused as before.
    CBookHeader unnamed(Fixture(u"unnamed.pdb"_s), 168);
    QString error;
    ASSERT_TRUE(unnamed.LoadFromBytes(ReadBytes(unnamed.file), &error));
    EXPECT_EQ(unnamed.title, u"Winter Garden");
    EXPECT_TRUE(unnamed.firstName.isEmpty());
    sink_.Clear();
    EXPECT_EQ(ImportFixtureBook(u"unnamed.pdb"_s).failed, 1);
    EXPECT_EQ(sink_.Lines().value(0),
        u"E Can't detect author's name in \"" + Path(u"incoming/unnamed.pdb") + u"\".");

    // A book inside an archive is named by its member.
    CBookHeader member(u"/x/books.zip@Lena Ort - Tide.lit"_s, 208);
    ASSERT_TRUE(member.LoadFromBytes("ITOLITLS", &error));
    EXPECT_EQ(member.lastName, u"Ort");
    EXPECT_EQ(member.title, u"Tide");
}
