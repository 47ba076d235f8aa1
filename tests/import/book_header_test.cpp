#include "fb2_samples.h"
#include "import/book_header.h"
#include "import/extra_columns.h"
#include "text/code_pages.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lbv;
using namespace lbv::test;

namespace {

const QString kCyrillicTitleInfo = QStringLiteral(
    "<genre>sf</genre><author><first-name>Иван</first-name><last-name>Ефремов</last-name>"
    "</author><book-title>Туманность Андромеды</book-title><date>1957</date>");

struct Loaded {
    bool ok = false;
    QString error;
    CBookHeader header;
};

Loaded Load(const QByteArray& bytes, const QString& path = QStringLiteral("/books/book.fb2"))
{
    Loaded loaded;
    loaded.header.file = path;
    loaded.ok = loaded.header.LoadFromBytes(bytes, &loaded.error);
    return loaded;
}

QString ValueOf(const ExtraFields& extras, const QString& name)
{
    for (const auto& [key, value] : extras)
        if (key == name)
            return value;
    return QStringLiteral("<absent>");
}

} // namespace

TEST(HeaderReader, StopsAtBodyAndKeepsFirstAuthorGenreAndYear)
{
    const QString titleInfo = QStringLiteral(
        "<genre>sf_history</genre><genre>adventure</genre>"
        "<author><first-name>Ivar</first-name><middle-name>K</middle-name>"
        "<last-name>Kessel</last-name></author>"
        "<author><first-name>Other</first-name><last-name>Writer</last-name></author>"
        "<book-title>  Foundation  </book-title><date value=\"1951-01-01\">1951-05-01</date>"
        "<lang>ru</lang><src-lang>en</src-lang><sequence name=\"Foundation\" number=\"1\"/>");
    // The body is broken XML: it must never reach the parser.
    const Loaded loaded
        = Load(Fb2Text(kUtf8Declaration, titleInfo, QStringLiteral("<body><p>unclosed")).toUtf8());
    ASSERT_TRUE(loaded.ok) << qPrintable(loaded.error);
    const CBookHeader& header = loaded.header;
    EXPECT_EQ(header.format, FormatFb2);
    EXPECT_EQ(header.firstName, u"Ivar");
    EXPECT_EQ(header.lastName, u"Kessel");
    EXPECT_EQ(header.title, u"Foundation");
    EXPECT_EQ(header.genre, u"sf_history");
    EXPECT_EQ(header.year, 1951);
    EXPECT_EQ(header.encoding, CodePageIndex(65001));
    EXPECT_TRUE(header.headerText.startsWith(u"<FictionBook"));
    EXPECT_TRUE(header.headerText.endsWith(u"</description></FictionBook>"));
    EXPECT_EQ(ValueOf(header.extras, QStringLiteral("Language")), u"ru");
    EXPECT_EQ(ValueOf(header.extras, QStringLiteral("Source language")), u"en");
    EXPECT_EQ(ValueOf(header.extras, QStringLiteral("Sequence name")), u"Foundation");
    EXPECT_EQ(ValueOf(header.extras, QStringLiteral("Sequence number")), u"1");
}

TEST(HeaderReader, YearIsTheLeadingNumberOfTheDate)
{
    const auto yearOf = [](const QString& date) {
        return Load(Fb2Utf8(QStringLiteral("<author><first-name>A</first-name><last-name>B"
                                           "</last-name></author><book-title>T</book-title>")
                        + date))
            .header.year;
    };
    EXPECT_EQ(yearOf(QStringLiteral("<date>2004</date>")), 2004);
    EXPECT_EQ(yearOf(QStringLiteral("<date value=\"2004-01-01\">year 2004</date>")), 0);
    EXPECT_EQ(yearOf(QString()), 0);
    EXPECT_EQ(yearOf(QStringLiteral("<date>99999999999999999999</date>")), 2147483647);
}

TEST(HeaderReader, RejectsAuthorsWithoutBothNamesAndBooksWithoutTitle)
{
    const Loaded nickname = Load(Fb2Utf8(QStringLiteral(
        "<author><nickname>ik</nickname></author><book-title>Foundation</book-title>")));
    EXPECT_FALSE(nickname.ok);
    EXPECT_EQ(nickname.error,
        u"File \"/books/book.fb2\" looks like FB2, but broken. Error: [FB2] Can't find author "
        u"name in /books/book.fb2");

    const Loaded firstOnly = Load(Fb2Utf8(QStringLiteral(
        "<author><first-name>Ivar</first-name></author><book-title>Foundation</book-title>")));
    EXPECT_TRUE(
        firstOnly.error.endsWith(u"Error: [FB2] Can't find author name in /books/book.fb2"));

    const Loaded untitled = Load(Fb2Utf8(QStringLiteral(
        "<author><first-name>Ivar</first-name><last-name>Kessel</last-name></author>")));
    EXPECT_TRUE(untitled.error.endsWith(u"Error: [FB2] Can't find book title in /books/book.fb2"));

    const Loaded noTitleInfo = Load(QByteArray(
        "<?xml version=\"1.0\"?><FictionBook><description><title-info><book-title>T</book-title>"
        "</title-info></description><body/></FictionBook>"));
    EXPECT_TRUE(
        noTitleInfo.error.endsWith(u"Error: Can't find <title-info> tag in /books/book.fb2"));
}

TEST(HeaderReader, HonoursTheDeclaredEncodingInAnyQuotingAndCase)
{
    const QString utf8Single = QStringLiteral("<?xml version='1.0' encoding='utf-8'?>\n");
    const QString utf8Mixed = QStringLiteral("<?xml version=\"1.0\" encoding=\"Utf-8\" ?>\n");
    for (const QString& declaration : {utf8Single, utf8Mixed}) {
        const Loaded loaded = Load(Fb2Text(declaration, kCyrillicTitleInfo).toUtf8());
        ASSERT_TRUE(loaded.ok) << qPrintable(loaded.error);
        EXPECT_EQ(loaded.header.lastName, u"Ефремов");
        EXPECT_EQ(loaded.header.encoding, CodePageIndex(65001));
    }
    // KOI8-R read as the detection would guess it garbles the names; the declaration decides.
    const Loaded koi8
        = Load(Encoded(Fb2Text(QStringLiteral("<?xml version = \"1.0\" encoding = \"KOI8-R\"?>"),
                           kCyrillicTitleInfo),
            20866));
    ASSERT_TRUE(koi8.ok) << qPrintable(koi8.error);
    EXPECT_EQ(koi8.header.title, u"Туманность Андромеды");
    EXPECT_EQ(koi8.header.encoding, CodePageIndex(20866));
}

TEST(HeaderReader, DetectsTheEncodingOnlyWithoutAUsableDeclaration)
{
    // No declaration at all: such files are common and are XML all the same.
    const Loaded bare = Load(Encoded(Fb2Text(QString(), kCyrillicTitleInfo), 1251));
    ASSERT_TRUE(bare.ok) << qPrintable(bare.error);
    EXPECT_EQ(bare.header.firstName, u"Иван");
    EXPECT_EQ(bare.header.encoding, CodePageIndex(1251));

    // A name nobody knows, and UTF-16 claimed by a declaration written in single bytes.
    for (const char* name : {"x-unknown-charset", "UTF-16"}) {
        const QString declaration
            = QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>").arg(QLatin1String(name));
        const Loaded guessed = Load(Encoded(Fb2Text(declaration, kCyrillicTitleInfo), 1251));
        ASSERT_TRUE(guessed.ok) << name << qPrintable(guessed.error);
        EXPECT_EQ(guessed.header.lastName, u"Ефремов") << name;
    }
}

TEST(HeaderReader, SkipsAByteOrderMark)
{
    const Loaded utf8
        = Load("\xEF\xBB\xBF" + Fb2Text(kUtf8Declaration, kCyrillicTitleInfo).toUtf8());
    ASSERT_TRUE(utf8.ok) << qPrintable(utf8.error);
    EXPECT_EQ(utf8.header.title, u"Туманность Андромеды");

    const QString text = Fb2Text(
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>"), kCyrillicTitleInfo);
    const Loaded utf16 = Load(QByteArray("\xFF\xFE", 2)
        + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2));
    ASSERT_TRUE(utf16.ok) << qPrintable(utf16.error);
    EXPECT_EQ(utf16.header.lastName, u"Ефремов");
}

TEST(HeaderReader, ClassifiesFilesThatAreNotFb2ByExtension)
{
    // A blank line before the declaration: not XML, whatever the name says.
    const QByteArray leadingBlank = "\n" + Fb2Utf8();
    const Loaded namedFb2 = Load(leadingBlank);
    EXPECT_FALSE(namedFb2.ok);
    EXPECT_EQ(namedFb2.error, u"Can't detect file type for: /books/book.fb2");

    const Loaded text = Load(leadingBlank, QStringLiteral("/books/notes.TXT"));
    ASSERT_TRUE(text.ok);
    EXPECT_EQ(text.header.format, FormatTxt);
    EXPECT_TRUE(text.header.firstName.isEmpty() && text.header.title.isEmpty());
    EXPECT_EQ(Load("binary", QStringLiteral("/b/x.lit")).header.format, FormatLit);
    EXPECT_EQ(Load("binary", QStringLiteral("/b/x.pdb")).header.format, FormatPdb);
    // XML, but no FictionBook: classified by extension as well.
    EXPECT_EQ(Load("<html><body/></html>", QStringLiteral("/b/x.txt")).header.format, FormatTxt);
}

TEST(HeaderReader, ReportsBrokenFb2WithTheParsersReason)
{
    QString longAnnotation = QStringLiteral("<annotation>");
    while (longAnnotation.size() < 5000)
        longAnnotation += u"<p>A rather long annotation paragraph.</p>";
    longAnnotation += u"</annotation>";
    const QByteArray book = Fb2Utf8(StandardTitleInfo() + longAnnotation);
    const Loaded cut = Load(book.left(4096));
    EXPECT_EQ(cut.error,
        u"File \"/books/book.fb2\" looks like FB2, but broken. Error: Element <body> is not found");
    EXPECT_TRUE(Load(book).ok);

    // Damaged markup is read after repair, the strict parse's error kept for the import log.
    const Loaded malformed = Load(Fb2Utf8(StandardTitleInfo() + u"<lang>en</keywords>"));
    ASSERT_TRUE(malformed.ok) << qPrintable(malformed.error);
    EXPECT_TRUE(malformed.header.markupRepair.startsWith(u"Loading XML: ERROR! "));
    EXPECT_TRUE(Load(book).header.markupRepair.isEmpty());
}

TEST(HeaderReader, SurvivesEveryTruncationAndCorruptionOfABook)
{
    const QByteArray book = Encoded(Fb2Text(QStringLiteral("<?xml version=\"1.0\" "
                                                           "encoding=\"windows-1251\"?>"),
                                        kCyrillicTitleInfo),
        1251);
    for (qsizetype length = 0; length <= book.size(); ++length) {
        CBookHeader header;
        QString error;
        header.LoadFromBytes(book.first(length), &error);
    }
    QByteArray corrupt = book;
    for (qsizetype at = 0; at < corrupt.size(); at += 7) {
        corrupt[at] = char(~corrupt[at]);
        CBookHeader header;
        QString error;
        header.LoadFromBytes(corrupt, &error);
    }
    // An entity bomb in the header is refused, not expanded.
    const QByteArray bomb = "<?xml version=\"1.0\"?><!DOCTYPE FictionBook [<!ENTITY a "
                            "\"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
                            "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d "
                            "\"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>"
        + Fb2Text(QString(),
            StandardTitleInfo().replace(
                QStringLiteral("Foundation"), QStringLiteral("&d;&d;&d;&d;")))
              .toUtf8();
    const Loaded expanded = Load(bomb);
    EXPECT_LE(expanded.header.title.size(), 100000);
}

TEST(HeaderReader, CapturesExtraColumnsFromTheInstalledDefinitions)
{
    InstallExtraColumns({{QStringLiteral("Series"),
                             QStringLiteral("/fb:FictionBook/fb:description/fb:title-info/"
                                            "fb:sequence/@name")},
        {QStringLiteral("Translator"),
            QStringLiteral("/fb:FictionBook/fb:description/fb:title-info/fb:translator@missing")},
        {QStringLiteral("Broken"), QStringLiteral("/fb:FictionBook[")}});
    const Loaded loaded = Load(Fb2Utf8(StandardTitleInfo()
        + u"<translator><nickname>t</nickname></translator><sequence name=\"Cycle\"/>"));
    InstallExtraColumns(BuiltInExtraColumns());
    ASSERT_TRUE(loaded.ok) << qPrintable(loaded.error);
    ASSERT_EQ(loaded.header.extras.size(), 1);
    EXPECT_EQ(ValueOf(loaded.header.extras, QStringLiteral("Series")), u"Cycle");
}

TEST(ExtraColumns, ReadsNameEqualsXPathLinesAndSkipsTheRest)
{
    const ExtraColumnList columns = ParseExtraColumns(
        "# comment\n\n  indented = skipped\n\tskipped = too\nno equals sign\n"
        "Series = /fb:FictionBook/fb:description/fb:title-info/fb:sequence@name\r\n"
        " = nameless\nKeywords=a=b\n");
    ASSERT_EQ(columns.size(), 2);
    EXPECT_EQ(columns[0].name, u"Series");
    EXPECT_EQ(columns[0].xpath, u"/fb:FictionBook/fb:description/fb:title-info/fb:sequence@name");
    EXPECT_EQ(columns[1].name, u"Keywords");
    EXPECT_EQ(columns[1].xpath, u"a=b");

    // A file of comments only yields no columns; only a missing file means the built-in four.
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("extras.dat")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# nothing here\n\n");
    file.close();
    EXPECT_TRUE(LoadExtraColumns(file.fileName())->isEmpty());
    EXPECT_FALSE(LoadExtraColumns(folder.filePath(QStringLiteral("none.dat"))).has_value());
    EXPECT_EQ(BuiltInExtraColumns().size(), 4);
}

TEST(ExtraColumns, ShippedFileHoldsTheBuiltInDefinitions)
{
    const auto shipped = LoadExtraColumns(QStringLiteral(LBV_SOURCE_DIR "/resources/extras.dat"));
    ASSERT_TRUE(shipped.has_value());
    const ExtraColumnList builtIn = BuiltInExtraColumns();
    ASSERT_EQ(shipped->size(), builtIn.size());
    for (qsizetype i = 0; i < builtIn.size(); ++i) {
        EXPECT_EQ(shipped->at(i).name, builtIn[i].name);
        EXPECT_EQ(shipped->at(i).xpath, builtIn[i].xpath);
    }
}

TEST(MemberPath, SplitsAtTheFirstAtSign)
{
    QString archive;
    QString member;
    EXPECT_TRUE(SplitMemberPath(QStringLiteral("/l/a.zip@sub/b@c.fb2"), &archive, &member));
    EXPECT_EQ(archive, u"/l/a.zip");
    EXPECT_EQ(member, u"sub/b@c.fb2");

    EXPECT_FALSE(SplitMemberPath(QStringLiteral("@a.fb2"), &archive, &member));
    EXPECT_EQ(archive, u"@a.fb2");
    EXPECT_TRUE(member.isEmpty());
    EXPECT_FALSE(SplitMemberPath(QStringLiteral("/l/a.fb2"), &archive, &member));
    EXPECT_TRUE(SplitMemberPath(QStringLiteral("/l/a.zip@"), &archive, &member));
    EXPECT_TRUE(member.isEmpty());

    // An archive in a folder whose name holds "@" is found when it exists.
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("user@host")));
    const QString zip = root.filePath(QStringLiteral("user@host/a.zip"));
    QFile(zip).open(QIODevice::WriteOnly);
    EXPECT_TRUE(SplitMemberPath(zip + u"@b.fb2", &archive, &member));
    EXPECT_EQ(archive, zip);
    EXPECT_EQ(member, u"b.fb2");
}
