#include "support/converter_test_support.h"

#include <QFile>

using namespace lbv;
using namespace lbv::test;

namespace {

const QString kTitleInfo = QStringLiteral("/fb:FictionBook/fb:description/fb:title-info/");
const QString kFixture = QStringLiteral("Северные письма.html");

QByteArray Page(const QByteArray& body)
{
    return "<html><head><meta charset=\"utf-8\"></head><body>" + body + "</body></html>";
}

} // namespace

TEST(HtmlConverter, ConvertsAWindows1251PageWithItsMetaDataAndStructure)
{
    const Book book = Convert(FixturePath(kFixture));
    ASSERT_TRUE(book) << qPrintable(book.message);
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:author/fb:first-name"), QStringLiteral("Мария"));
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:author/fb:last-name"), QStringLiteral("Левина"));
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:book-title"), QStringLiteral("Северные письма"));
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:annotation/fb:p"),
        QStringLiteral("Письма из маленького северного города."));
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:lang"), QStringLiteral("ru"));
    EXPECT_EQ(book.text.count(QStringLiteral("<genre></genre>")), 1);

    // The heading that repeats the page's title heads the body; <h2> and <h3> nest, and the
    // text before a subsection moves into an untitled section of its own.
    const QString body = QStringLiteral("/fb:FictionBook/fb:body[1]");
    EXPECT_EQ(book.Text(body + u"/fb:title/fb:p"), QStringLiteral("Северные письма"));
    EXPECT_EQ(book.Texts(body + u"/fb:section/fb:title/fb:p"),
        QStringList({QStringLiteral("Письмо первое"), QStringLiteral("Письмо второе")}));
    const QString first = body + u"/fb:section[1]";
    EXPECT_EQ(
        book.Text(first + u"/fb:epigraph/fb:p"), QStringLiteral("Пишите чаще, хоть по строчке."));
    EXPECT_EQ(book.Count(first + u"/fb:p"), 0);
    EXPECT_EQ(book.Count(first + u"/fb:section[1]/fb:title"), 0);
    EXPECT_EQ(
        book.Text(first + u"/fb:section[2]/fb:title/fb:p"), QStringLiteral("Что я взяла с собой"));

    const QString letter = first + u"/fb:section[1]/fb:p[1]";
    EXPECT_EQ(book.Text(letter),
        QStringLiteral("Дорогая Аня! Здесь очень холодно, но красиво. Сегодня я видела "
                       "озеро[1] и старую мельницу."));
    EXPECT_EQ(book.Text(letter + u"/fb:emphasis"), QStringLiteral("очень"));
    EXPECT_EQ(book.Text(letter + u"/fb:strong"), QStringLiteral("красиво"));
    EXPECT_EQ(book.Texts(first + u"/fb:section[2]/fb:p"),
        QStringList({QStringLiteral("• тёплый свитер"), QStringLiteral("• книги & тетради")}));
    EXPECT_EQ(book.Texts(first + u"/fb:section[2]/fb:table/fb:tr/*"),
        QStringList({QStringLiteral("День"), QStringLiteral("Мороз"), QStringLiteral("Понедельник"),
            QStringLiteral("−20")}));
    EXPECT_EQ(book.Count(first + u"/fb:section[2]/fb:table/fb:tr[1]/fb:th"), 2);

    // <br> splits a paragraph, <p>&nbsp;</p> is an empty line; scripts are no text.
    EXPECT_EQ(book.Texts(body + u"/fb:section[2]/fb:p"),
        QStringList({QStringLiteral("Как я писала в первом письме, здесь тихо."),
            QStringLiteral("Очень тихо."), QStringLiteral("Твоя М.")}));
    EXPECT_EQ(book.Count(body + u"/fb:section[2]/fb:empty-line"), 1);
    EXPECT_FALSE(book.text.contains(QStringLiteral("не текст книги")));
}

TEST(HtmlConverter, KeepsInternalLinksAndMovesFootnotesIntoANotesBody)
{
    const Book book = Convert(FixturePath(kFixture));
    ASSERT_TRUE(book) << qPrintable(book.message);
    const QString firstLetterId
        = book.Text(QStringLiteral("/fb:FictionBook/fb:body[1]/fb:section[1]/@id"));
    EXPECT_FALSE(firstLetterId.isEmpty());
    EXPECT_EQ(
        book.Text(QStringLiteral("//fb:a[. = 'первом письме']/@l:href")), u'#' + firstLetterId);

    const QString notes = QStringLiteral("/fb:FictionBook/fb:body[@name='notes']");
    EXPECT_EQ(book.Text(notes + u"/fb:section/fb:title/fb:p"), QStringLiteral("1"));
    EXPECT_EQ(book.Text(notes + u"/fb:section/fb:p"),
        QStringLiteral("Озеро Светлое, в двух верстах от города."));
    const QString noteId = book.Text(notes + u"/fb:section/@id");
    EXPECT_EQ(book.Text(QStringLiteral("//fb:a[@type='note']/@l:href")), u'#' + noteId);
    EXPECT_FALSE(book.Texts(QStringLiteral("/fb:FictionBook/fb:body[1]//fb:p"))
                     .join(u' ')
                     .contains(QStringLiteral("двух верстах")));

    const Book plain = Convert(FixturePath(kFixture), {{"NoFootnotes", 1}});
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain.Count(QStringLiteral("/fb:FictionBook/fb:body")), 1);
    EXPECT_EQ(plain.Count(QStringLiteral("//fb:a[@type='note']")), 1 - 1);
    EXPECT_FALSE(plain.Text(QStringLiteral("//fb:a[. = '[1]']/@l:href")).isEmpty());
}

TEST(HtmlConverter, EmbedsLocalImagesAndTreatsOutsideLinksAndImagesByTheOptions)
{
    Book book = Convert(FixturePath(kFixture));
    ASSERT_TRUE(book) << qPrintable(book.message);
    const QString href = book.Text(QStringLiteral("//fb:image[@alt='Озеро']/@l:href"));
    ASSERT_TRUE(href.startsWith(u'#'));
    const QString binary = QStringLiteral("/fb:FictionBook/fb:binary[@id='%1']").arg(href.mid(1));
    EXPECT_EQ(book.Text(binary + u"/@content-type"), QStringLiteral("image/png"));
    QFile png(FixturePath(QStringLiteral("pictures/lake.png")));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    EXPECT_EQ(QByteArray::fromBase64(book.Text(binary).toLatin1()), png.readAll());
    EXPECT_EQ(book.Text(QStringLiteral("//fb:a[. = 'страница о городе']/@l:href")),
        QStringLiteral("http://example.org/sever"));
    EXPECT_EQ(book.Count(QStringLiteral("//fb:image[@l:href='http://example.org/photo.png']")), 1);

    book = Convert(FixturePath(kFixture), {{"RemoveExternalLinks", 1}, {"RemoveOffSiteImages", 1}});
    ASSERT_TRUE(book);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:a[starts-with(@l:href, 'http')]")), 0);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:image")), 1);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:a[. = 'первом письме']")), 1);
    EXPECT_TRUE(book.Texts(QStringLiteral("//fb:p"))
                    .contains(QStringLiteral("Вот страница о городе и снимок с неё.")));

    book = Convert(FixturePath(kFixture), {{"RemoveAllImages", 1}});
    ASSERT_TRUE(book);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:image")), 0);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:binary")), 0);
}

TEST(HtmlConverter, TakesPicturesOnlyFromTheBooksOwnFolder)
{
    QTemporaryDir dir;
    QFile png(FixturePath(QStringLiteral("pictures/lake.png")));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    const QByteArray picture = png.readAll();
    WriteFile(dir, QStringLiteral("private.png"), picture);
    WriteFile(dir, QStringLiteral("book/own.png"), picture);
    WriteFile(dir, QStringLiteral("book/fake.png"), "<svg/>");
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("private.png")),
        dir.filePath(QStringLiteral("book/link.png"))));
    const QString page = WriteFile(dir, QStringLiteral("book/page.html"),
        Page("<p>Text</p><img src=\"own.png\"><img src=\"own.png\"><img src=\"../private.png\">"
             "<img src=\"link.png\"><img src=\"fake.png\"><img src=\"missing.png\">"
             "<img src=\"data:image/png;base64,"
            + picture.toBase64() + "\">"));
    const Book book = Convert(page);
    ASSERT_TRUE(book) << qPrintable(book.message);
    // The same file twice is one binary; the data: URL is the other.
    EXPECT_EQ(book.Count(QStringLiteral("//fb:section/fb:image")), 3);
    EXPECT_EQ(book.Count(QStringLiteral("/fb:FictionBook/fb:binary")), 2);
}

TEST(HtmlConverter, RepeatedDataPicturesAreOneBinaryAndDifferentOnesGetTheirOwnIds)
{
    QTemporaryDir dir;
    QFile png(FixturePath(QStringLiteral("pictures/lake.png")));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    const QByteArray picture = png.readAll();
    QByteArray images;
    for (int i = 0; i < 2000; ++i)
        images += "<img src=\"data:image/png;base64," + picture.toBase64() + "\">";
    // The same picture with a byte more at its end is a different one.
    images += "<img src=\"data:image/png;base64," + QByteArray(picture + '\0').toBase64() + "\">";
    const Book book
        = Convert(WriteFile(dir, QStringLiteral("page.html"), Page("<p>Text</p>" + images)));
    ASSERT_TRUE(book) << qPrintable(book.message);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:section/fb:image")), 2001);
    EXPECT_EQ(book.Count(QStringLiteral("/fb:FictionBook/fb:binary")), 2);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:image[@l:href='#image']")), 2000);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:image[@l:href='#image_2']")), 1);
}

TEST(HtmlConverter, FollowsLinksToLocalPagesUpToTheLinkDepth)
{
    QTemporaryDir dir;
    const QString index = WriteFile(dir, QStringLiteral("Ann Vell - Road.html"),
        Page("<h1>Road</h1><p><a href=\"ch1.html\">One</a> <a href=\"ch2.html#end\">Two</a> "
             "<a href=\"skip.html\">Skipped</a> <a href=\"../up.html\">Up</a></p>"));
    WriteFile(dir, QStringLiteral("ch1.html"), Page("<h2>One</h2><p>First day.</p>"));
    WriteFile(dir, QStringLiteral("ch2.html"),
        Page("<h2>Two</h2><p><a href=\"ch3.html\">on</a></p><p id=\"end\">Second day.</p>"));
    WriteFile(dir, QStringLiteral("ch3.html"), Page("<h2>Three</h2><p>Third day.</p>"));
    WriteFile(dir, QStringLiteral("skip.html"), Page("<h2>Skip</h2><p>Not this.</p>"));

    Book book = Convert(index);
    ASSERT_TRUE(book) << qPrintable(book.message);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:section/fb:title")), 0);
    EXPECT_EQ(book.Text(QStringLiteral("//fb:a[. = 'One']/@l:href")), QStringLiteral("ch1.html"));

    book = Convert(index, {{"LinkDepth", 1}, {"NeverFollowLinks", QStringLiteral("^skip")}});
    ASSERT_TRUE(book);
    EXPECT_EQ(book.Texts(QStringLiteral("//fb:section/fb:title/fb:p")),
        QStringList({QStringLiteral("One"), QStringLiteral("Two")}));
    const QString one = book.Text(QStringLiteral("//fb:section[fb:title/fb:p = 'One']/@id"));
    const QString end = book.Text(QStringLiteral("//fb:p[. = 'Second day.']/@id"));
    EXPECT_EQ(book.Text(QStringLiteral("//fb:a[. = 'One']/@l:href")), u'#' + one);
    EXPECT_EQ(book.Text(QStringLiteral("//fb:a[. = 'Two']/@l:href")), u'#' + end);
    EXPECT_EQ(book.Text(QStringLiteral("//fb:a[. = 'on']/@l:href")), QStringLiteral("ch3.html"));

    book = Convert(index, {{"LinkDepth", 2}, {"OnlyFollowLinks", QStringLiteral("^ch")}});
    ASSERT_TRUE(book);
    EXPECT_EQ(book.Texts(QStringLiteral("//fb:section/fb:title/fb:p")),
        QStringList({QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")}));
}

TEST(HtmlConverter, ParagraphsThatReadAsChapterLinesStartSectionsUnlessOnlyHeadingsMay)
{
    QTemporaryDir dir;
    const QString page = WriteFile(dir, QStringLiteral("p.html"),
        Page("<p>Пролог</p><p>Было темно.</p><div><b>Глава 1</b></div><p>Рассвело.</p>"));
    Book book = Convert(page);
    ASSERT_TRUE(book) << qPrintable(book.message);
    EXPECT_EQ(book.Texts(QStringLiteral("//fb:section/fb:title/fb:p")),
        QStringList({QStringLiteral("Пролог"), QStringLiteral("Глава 1")}));
    book = Convert(page, {{"OnlyHHeaders", 1}});
    ASSERT_TRUE(book);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:section/fb:title")), 0);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:section/fb:p")), 4);
}

TEST(HtmlConverter, ALinkNumberedLikeAFootnoteToAChapterStaysALink)
{
    QTemporaryDir dir;
    const QString page = WriteFile(dir, QStringLiteral("toc.html"),
        Page("<p><a href=\"#c1\">1</a></p><div id=\"c1\"><h2>One</h2><p>Text.</p></div>"
             "<p><a href=\"#c2\">2</a></p><h2><a name=\"c2\"></a>Two</h2><p>More.</p>"));
    const Book book = Convert(page);
    ASSERT_TRUE(book) << qPrintable(book.message);
    EXPECT_EQ(book.Count(QStringLiteral("/fb:FictionBook/fb:body")), 1);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:a[@type='note']")), 0);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:a[starts-with(@l:href, '#')]")), 2);
}

TEST(HtmlConverter, HonoursTheDeclaredCharsetUnlessTheBytesContradictIt)
{
    QTemporaryDir dir;
    const QString text = QStringLiteral("Снег шёл всю ночь.");
    QByteArray koi8;
    QString error;
    ASSERT_TRUE(ConvertFromUnicode(CodePageIndex(20866), text, koi8, error));
    QByteArray cp1251;
    ASSERT_TRUE(ConvertFromUnicode(CodePageIndex(1251), text, cp1251, error));
    const QByteArray declaredKoi8 = "<html><head><meta http-equiv=\"Content-Type\" "
                                    "content=\"text/html; charset=koi8-r\"></head><body><p>"
        + koi8 + "</p></body></html>";
    const QByteArray falseUtf8 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><html><body><p>"
        + cp1251 + "</p></body></html>";
    for (const QByteArray& bytes : {declaredKoi8, falseUtf8}) {
        const Book book = Convert(WriteFile(dir, QStringLiteral("snow.html"), bytes));
        ASSERT_TRUE(book) << qPrintable(book.message);
        EXPECT_EQ(book.Text(QStringLiteral("//fb:section/fb:p")), text);
    }
}

TEST(HtmlConverter, SurvivesHostilePagesAndRefusesEmptyOnes)
{
    QTemporaryDir dir;
    // Nesting deeper than the converter walks is read as text; far deeper nesting makes the
    // HTML parser give up, which leaves nothing to convert.
    const Book deep = Convert(WriteFile(
        dir, QStringLiteral("deep.html"), Page(QByteArray("<div><span>").repeated(120) + "deep")));
    ASSERT_TRUE(deep) << qPrintable(deep.message);
    EXPECT_TRUE(deep.Texts(QStringLiteral("//fb:p")).contains(QStringLiteral("deep")));
    const QString abyss = WriteFile(dir, QStringLiteral("abyss.html"),
        Page(QByteArray("<div><span>").repeated(20000) + "deep"));
    EXPECT_EQ(Convert(abyss).message, QStringLiteral("\"%1\" holds no text.").arg(abyss));

    const Book broken = Convert(WriteFile(dir, QStringLiteral("broken.html"),
        "<p>one <b>two <i>three</p><p>four &bogus; & < > \x01</b>"));
    ASSERT_TRUE(broken) << qPrintable(broken.message);
    EXPECT_EQ(broken.Texts(QStringLiteral("//fb:section/fb:p")),
        QStringList({QStringLiteral("one two three"), QStringLiteral("four &bogus; & < >")}));

    const QString empty = WriteFile(dir, QStringLiteral("empty.html"), Page("<script>x</script>"));
    EXPECT_EQ(Convert(empty).message, QStringLiteral("\"%1\" holds no text.").arg(empty));
    const QString binary
        = WriteFile(dir, QStringLiteral("binary.html"), QByteArray("\x89PNG\r\n\x1A\n\0\0", 10));
    EXPECT_EQ(Convert(binary).message, QStringLiteral("\"%1\" is not an HTML page.").arg(binary));
}

TEST(HtmlConverter, KeepsPreformattedLinesAndNumbersListItems)
{
    QTemporaryDir dir;
    const Book book = Convert(WriteFile(dir, QStringLiteral("lists.html"),
        Page("<pre>\nline one\n    indented\n\nafter blank\n</pre>"
             "<ol start=\"3\"><li>three<ul><li>nested</li></ul></li><li value=\"7\">seven</li></ol>"
             "<p>Mail <a href=\"mailto:x@example.org\">me</a>.</p>")));
    ASSERT_TRUE(book) << qPrintable(book.message);
    EXPECT_EQ(book.Texts(QStringLiteral("//fb:section/fb:p")),
        QStringList({QStringLiteral("line one"), QStringLiteral("\u00A0\u00A0\u00A0\u00A0indented"),
            QStringLiteral("after blank"), QStringLiteral("3. three"),
            QStringLiteral("\u00A0\u00A0• nested"), QStringLiteral("7. seven"),
            QStringLiteral("Mail me.")}));
    EXPECT_EQ(book.Count(QStringLiteral("//fb:section/fb:empty-line")), 1);
    EXPECT_EQ(book.Text(QStringLiteral("//fb:a/@l:href")), QStringLiteral("mailto:x@example.org"));
}
