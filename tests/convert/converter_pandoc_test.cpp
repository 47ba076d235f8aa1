#include "support/converter_test_support.h"

#include <QFile>

using namespace lbv;
using namespace lbv::test;

namespace {

const QString kTitleInfo = QStringLiteral("/fb:FictionBook/fb:description/fb:title-info/");

// A stand-in for pandoc: a shell script that prints what a test wants.
QString FakePandoc(const QTemporaryDir& dir, const QByteArray& script)
{
    const QString path = WriteFile(dir, QStringLiteral("fake-pandoc"), "#!/bin/sh\n" + script);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

Book ConvertWith(const QString& program, const QString& path, int timeoutMs = kPandocTimeoutMs)
{
    Any2Fb2Converter converter(program, timeoutMs);
    return Reload(converter.Convert(path));
}

} // namespace

TEST(ConverterChoice, PicksTheConverterByTheFilesExtension)
{
    EXPECT_EQ(ConverterKindFor(QStringLiteral("/a/b.TXT")), ConverterKind::PlainText);
    EXPECT_EQ(ConverterKindFor(QStringLiteral("b.htm")), ConverterKind::Html);
    EXPECT_EQ(ConverterKindFor(QStringLiteral("b.xhtml")), ConverterKind::Html);
    for (const char* name : {"b.epub", "b.docx", "b.odt", "b.rtf", "b.md", "b.markdown"})
        EXPECT_EQ(ConverterKindFor(QString::fromLatin1(name)), ConverterKind::Pandoc) << name;
    EXPECT_EQ(ConverterKindFor(QStringLiteral("b.pdf")), ConverterKind::None);
    EXPECT_EQ(PandocInputFormat(QStringLiteral("b.md")), QStringLiteral("markdown"));
    QString error;
    EXPECT_NE(CreateAny2Fb2Converter(&error), nullptr);
    EXPECT_TRUE(error.isEmpty());
}

TEST(ConverterChoice, SaysWhatIsMissingForDocumentsItCannotRead)
{
    QTemporaryDir dir;
    const QString epub = WriteFile(dir, QStringLiteral("book.epub"), "PK");
    const QString pdf = WriteFile(dir, QStringLiteral("book.pdf"), "%PDF");
    Any2Fb2Converter withoutPandoc {QString()};
    EXPECT_EQ(withoutPandoc.Convert(epub).message,
        QStringLiteral("Converting \"%1\" needs the pandoc program, which is not installed. "
                       "Install pandoc and import the file again.")
            .arg(epub));
    EXPECT_TRUE(withoutPandoc.Convert(pdf).message.startsWith(
        QStringLiteral("No converter reads \"%1\"").arg(pdf)));
}

TEST(PandocConverter, ReturnsItsDocumentWithTheGenreAndAuthorLeftForTheImport)
{
    QTemporaryDir dir;
    const QString program = FakePandoc(dir,
        "echo \"$@\" > \"$(dirname \"$0\")/arguments\"\n"
        "cat <<'EOF'\n"
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
        "xmlns:l=\"http://www.w3.org/1999/xlink\"><description><title-info>"
        "<genre>unrecognised</genre><book-title></book-title><lang>en</lang></title-info>"
        "</description><body><title><p/></title><section><p>Text</p></section></body></"
        "FictionBook>\n"
        "EOF\n");
    const QString source = WriteFile(dir, QStringLiteral("Ann Vell - The Road.md"), "Text\n");
    const Book book = ConvertWith(program, source);
    ASSERT_TRUE(book) << qPrintable(book.message);
    EXPECT_EQ(book.text.count(QStringLiteral("<genre></genre>")), 1);
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:author/fb:first-name"), QStringLiteral("Ann"));
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:author/fb:last-name"), QStringLiteral("Vell"));
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:book-title"), QStringLiteral("The Road"));
    // The author comes after the genre, as FB2 orders them.
    EXPECT_EQ(book.Text(kTitleInfo + u"*[2]/fb:last-name"), QStringLiteral("Vell"));
    // pandoc's empty body title shows the author and the title instead of blank lines.
    const QString bodyTitle = QStringLiteral("/fb:FictionBook/fb:body/fb:title/fb:p");
    EXPECT_EQ(book.Texts(bodyTitle),
        QStringList({QStringLiteral("Ann Vell"), QStringLiteral("The Road")}));

    QFile arguments(dir.filePath(QStringLiteral("arguments")));
    ASSERT_TRUE(arguments.open(QIODevice::ReadOnly));
    EXPECT_EQ(arguments.readAll().trimmed(),
        "--from=markdown --to=fb2 --sandbox " + QFile::encodeName(source));
}

TEST(PandocConverter, ItsErrorsTimeOutsAndGarbageAreTheMessage)
{
    QTemporaryDir dir;
    const QString source = WriteFile(dir, QStringLiteral("book.docx"), "PK");

    Book book = ConvertWith(FakePandoc(dir, "echo 'Unknown input format' >&2\nexit 21\n"), source);
    EXPECT_FALSE(book);
    EXPECT_EQ(book.message, QStringLiteral("Unknown input format"));

    book = ConvertWith(FakePandoc(dir, "exit 3\n"), source);
    EXPECT_EQ(book.message, QStringLiteral("pandoc ended with exit code 3."));

    book = ConvertWith(FakePandoc(dir, "echo '<FictionBook><body>'\n"), source);
    EXPECT_FALSE(book);
    EXPECT_TRUE(book.message.startsWith(QStringLiteral("pandoc gave no readable FB2: ")));

    book = ConvertWith(FakePandoc(dir, "exec sleep 30\n"), source, 300);
    EXPECT_EQ(book.message, QStringLiteral("pandoc took longer than 0.3 seconds and was stopped."));

    book = ConvertWith(dir.filePath(QStringLiteral("no-such-program")), source);
    EXPECT_TRUE(book.message.startsWith(QStringLiteral("pandoc could not be started: ")));
}

TEST(PandocConverter, AnOldPandocWithoutSandboxIsRunWithoutIt)
{
    QTemporaryDir dir;
    const QString program = FakePandoc(dir,
        "case \"$*\" in *--sandbox*) echo 'Unknown option --sandbox.' >&2; exit 2;; esac\n"
        "echo '<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\">"
        "<description><title-info><genre>prose</genre></title-info></description>"
        "<body><section><p>x</p></section></body></FictionBook>'\n");
    const Book book = ConvertWith(program, WriteFile(dir, QStringLiteral("a.rtf"), "{\\rtf1}"));
    ASSERT_TRUE(book) << qPrintable(book.message);
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:genre"), QStringLiteral("prose"));
}

TEST(PandocConverter, ConvertsMarkdownWithTheInstalledPandoc)
{
    if (FindPandoc().isEmpty())
        GTEST_SKIP() << "pandoc is not installed";
    QTemporaryDir dir;
    const QString source = WriteFile(dir, QStringLiteral("notes.md"),
        "---\ntitle: Winter Road\nauthor: Ann Vell\n---\n\n# One\n\nSnow *fell* all night.\n");
    const Book book = Convert(source);
    ASSERT_TRUE(book) << qPrintable(book.message);
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:book-title"), QStringLiteral("Winter Road"));
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:author/fb:last-name"), QStringLiteral("Vell"));
    EXPECT_EQ(book.text.count(QStringLiteral("<genre></genre>")), 1);
    EXPECT_EQ(book.Text(QStringLiteral("//fb:section/fb:p/fb:emphasis")), QStringLiteral("fell"));

    // Without metadata the file's name tells author and title, and the text the language.
    const Book rtf = Convert(WriteFile(dir, QStringLiteral("Ann Vell - Winter.rtf"),
        "{\\rtf1\\ansi {\\b Winter}\\par Snow fell all night.\\par}"));
    ASSERT_TRUE(rtf) << qPrintable(rtf.message);
    EXPECT_EQ(rtf.Text(kTitleInfo + u"fb:author/fb:first-name"), QStringLiteral("Ann"));
    EXPECT_EQ(rtf.Text(kTitleInfo + u"fb:book-title"), QStringLiteral("Winter"));
    EXPECT_EQ(rtf.Text(kTitleInfo + u"fb:lang"), QStringLiteral("en"));

    const Book broken = Convert(WriteFile(dir, QStringLiteral("broken.docx"), "not a zip"));
    EXPECT_FALSE(broken);
    EXPECT_FALSE(broken.message.isEmpty());
}
