#include "convert/converter_title_info.h"
#include "convert/converter_typography.h"
#include "support/converter_test_support.h"
#include "text/code_pages.h"

using namespace lbv;
using namespace lbv::test;

namespace {

const QString kTitleInfo = QStringLiteral("/fb:FictionBook/fb:description/fb:title-info/");

QByteArray Cp1251(const QString& text)
{
    QByteArray bytes;
    QString error;
    EXPECT_TRUE(ConvertFromUnicode(CodePageIndex(1251), text, bytes, error));
    return bytes;
}

} // namespace

TEST(TextConverter, ConvertsAWindows1251BookWithItsTitleEpigraphChaptersAndVerse)
{
    const Book book = Convert(
        FixturePath(QStringLiteral("Ирина Соколова - Тихая гавань.txt")), {{"ConvertDash", 1}});
    ASSERT_TRUE(book) << qPrintable(book.message);
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:author/fb:first-name"), QStringLiteral("Ирина"));
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:author/fb:last-name"), QStringLiteral("Соколова"));
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:book-title"), QStringLiteral("Тихая гавань"));
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:lang"), QStringLiteral("ru"));
    // No genre: the import writes its default genre into exactly this text.
    EXPECT_TRUE(book.text.startsWith(QStringLiteral("<?xml version=\"1.0\"?>\r\n<FictionBook")))
        << qPrintable(book.text.left(60));
    EXPECT_EQ(book.text.count(QStringLiteral("<genre></genre>")), 1);

    // The opening lines repeat the file's name: they head the body rather than start its text.
    EXPECT_EQ(book.Texts(QStringLiteral("/fb:FictionBook/fb:body/fb:title/fb:p")),
        QStringList({QStringLiteral("Ирина Соколова"), QStringLiteral("ТИХАЯ ГАВАНЬ")}));
    EXPECT_EQ(book.Text(QStringLiteral("/fb:FictionBook/fb:body/fb:epigraph/fb:p")),
        QStringLiteral("Море помнит всех, кто уходил."));
    EXPECT_EQ(book.Text(QStringLiteral("/fb:FictionBook/fb:body/fb:epigraph/fb:text-author")),
        QStringLiteral("Старая поговорка"));
    EXPECT_EQ(book.Texts(QStringLiteral("//fb:section/fb:title/fb:p")),
        QStringList({QStringLiteral("Глава 1. Приезд"), QStringLiteral("Глава 2. Дом у реки"),
            QStringLiteral("***")}));

    // Wrapped lines are joined; indented lines and dialogue start paragraphs; dashes and
    // quotes are typeset.
    const QStringList first = book.Texts(QStringLiteral("//fb:section[1]/fb:p"));
    ASSERT_EQ(first.size(), 5);
    EXPECT_TRUE(first[0].startsWith(QStringLiteral("Поезд пришёл")));
    EXPECT_TRUE(first[0].endsWith(QStringLiteral("последнего вагона уходят в темноту.")));
    EXPECT_EQ(first[1], QStringLiteral("—\u00A0Вы к Мельниковым?\u00A0— спросил её сторож."));
    EXPECT_EQ(first[3],
        QStringLiteral(
            "—\u00A0Да нет, минут десять. Только фонарь возьмите, тут «темно, как в погребе»."));
    EXPECT_EQ(book.Count(QStringLiteral("//fb:section[1]/fb:empty-line")), 1);

    EXPECT_EQ(book.Texts(QStringLiteral("//fb:section[2]/fb:poem/fb:stanza/fb:v")),
        QStringList({QStringLiteral("Над рекою туман,"), QStringLiteral("над туманом луна,"),
            QStringLiteral("а за дальним холмом"), QStringLiteral("тишина, тишина.")}));
    EXPECT_EQ(
        book.Text(QStringLiteral("//fb:section[2]/fb:p/fb:emphasis")), QStringLiteral("тот самый"));
    EXPECT_TRUE(book.Text(QStringLiteral("//fb:section[3]/fb:p"))
                    .contains(QStringLiteral("в саду\u00A0— под старой яблоней\u00A0— стоял")));
}

TEST(TextConverter, OptionsSwitchOffWhatTheyName)
{
    const Book book = Convert(FixturePath(QStringLiteral("Ирина Соколова - Тихая гавань.txt")),
        {{"NoEpigraphs", 1}, {"NoPoems", 1}, {"NoQuotes", 1}, {"NoItalic", 1}, {"NoEmptyLine", 1}});
    ASSERT_TRUE(book) << qPrintable(book.message);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:epigraph")), 0);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:poem")), 0);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:emphasis")), 0);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:empty-line")), 0);
    const QString all = book.Texts(QStringLiteral("//fb:p")).join(u'\n');
    EXPECT_TRUE(all.contains(QStringLiteral("- Вы к Мельниковым? - спросил"))); // ConvertDash off
    EXPECT_TRUE(all.contains(QStringLiteral("тут \"темно, как в погребе\".")));
    EXPECT_TRUE(all.contains(QStringLiteral("_тот самый_")));
    EXPECT_TRUE(all.contains(QStringLiteral("Над рекою туман,")));
}

TEST(TextConverter, FindsParagraphsByBlankLinesOrLinesAndRestoresBrokenOnes)
{
    QTemporaryDir dir;
    // Wrapped paragraphs separated by blank lines.
    const QString emptyLines = dir.filePath(QStringLiteral("a.txt"));
    WriteFile(dir, QStringLiteral("a.txt"),
        "The wind came off the sea in the evening and the harbour lights went on one\n"
        "by one along the pier.\n\n"
        "Nobody was waiting for the last boat that night, and the keeper closed the\n"
        "gate early.\n\n\n"
        "In the morning the fog was gone.\n");
    Book book = Convert(emptyLines);
    ASSERT_TRUE(book) << qPrintable(book.message);
    EXPECT_EQ(book.Texts(QStringLiteral("//fb:section/fb:p")),
        QStringList({QStringLiteral("The wind came off the sea in the evening and the harbour "
                                    "lights went on one by one along the pier."),
            QStringLiteral("Nobody was waiting for the last boat that night, and the keeper closed "
                           "the gate early."),
            QStringLiteral("In the morning the fog was gone.")}));
    // A single blank line separates; two or more also leave an empty line.
    EXPECT_EQ(book.Count(QStringLiteral("//fb:section/fb:empty-line")), 1);
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:lang"), QStringLiteral("en"));

    // One paragraph per line, except where a line was broken inside a sentence.
    const QString lines = WriteFile(dir, QStringLiteral("b.txt"),
        QByteArray("A long first paragraph that goes on and on without any wrapping at all, "
                   "the way editors save text today.\n"
                   "A second paragraph that was broken in the middle of a\n"
                   "sentence by a careless copy and paste from somewhere else entirely, "
                   "which happens.\n"
                   "Third.\n"));
    book = Convert(lines);
    ASSERT_TRUE(book);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:section/fb:p")), 3);
    EXPECT_TRUE(book.Text(QStringLiteral("//fb:section/fb:p[2]"))
                    .contains(QStringLiteral("middle of a sentence by")));
    book = Convert(lines, {{"NoRestoreBrokenParas", 1}});
    ASSERT_TRUE(book);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:section/fb:p")), 4);

    // The user's choice of text type overrules what the text looks like.
    book = Convert(emptyLines, {{"TextType", int(TextType::Indented)}});
    ASSERT_TRUE(book);
    EXPECT_EQ(book.Count(QStringLiteral("//fb:section/fb:p")), 3);
}

TEST(TextConverter, PreserveFormKeepsEveryLineAndItsIndentation)
{
    QTemporaryDir dir;
    const QString path = WriteFile(
        dir, QStringLiteral("table.txt"), "name      age\n  Anna    31\n\n  Boris Z. 45\n");
    const Book book = Convert(path, {{"PreserveForm", 1}});
    ASSERT_TRUE(book) << qPrintable(book.message);
    EXPECT_EQ(book.Texts(QStringLiteral("//fb:section/fb:p")),
        QStringList({QStringLiteral("name\u00A0\u00A0\u00A0\u00A0\u00A0\u00A0age"),
            QStringLiteral("\u00A0\u00A0Anna\u00A0\u00A0\u00A0\u00A031"),
            QStringLiteral("\u00A0\u00A0Boris Z. 45")}));
    EXPECT_EQ(book.Count(QStringLiteral("//fb:section/fb:empty-line")), 1);
}

TEST(TextConverter, TakesAuthorAndTitleFromTheOpeningLinesUnlessTheFileNameGivesThem)
{
    QTemporaryDir dir;
    const QByteArray text = "MARK ELLISON\n\nThe Lighthouse Keeper\n\nChapter 1\n\n"
                            "The lamp had to be lit every evening at six.\n";
    Book book = Convert(WriteFile(dir, QStringLiteral("keeper.txt"), text));
    ASSERT_TRUE(book) << qPrintable(book.message);
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:author/fb:first-name"), QStringLiteral("Mark"));
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:author/fb:last-name"), QStringLiteral("Ellison"));
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:book-title"), QStringLiteral("The Lighthouse Keeper"));
    EXPECT_EQ(book.Texts(QStringLiteral("/fb:FictionBook/fb:body/fb:title/fb:p")),
        QStringList({QStringLiteral("MARK ELLISON"), QStringLiteral("The Lighthouse Keeper")}));
    EXPECT_EQ(book.Text(QStringLiteral("//fb:section/fb:title/fb:p")), QStringLiteral("Chapter 1"));

    // "Last, First - Title" file names say who wrote it, whatever the text begins with.
    book = Convert(WriteFile(dir, QStringLiteral("Ellison, Mark - The Keeper.txt"), text));
    ASSERT_TRUE(book);
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:author/fb:first-name"), QStringLiteral("Mark"));
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:book-title"), QStringLiteral("The Keeper"));
    EXPECT_EQ(book.Texts(QStringLiteral("/fb:FictionBook/fb:body/fb:title/fb:p")),
        QStringList({QStringLiteral("MARK ELLISON")}));

    // Told not to look, it finds no author: the import then refuses the book.
    book = Convert(WriteFile(dir, QStringLiteral("keeper.txt"), text), {{"NoDescription", 1}});
    ASSERT_TRUE(book);
    EXPECT_EQ(book.Count(kTitleInfo + u"fb:author"), 0);
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:book-title"), QStringLiteral("keeper"));
    EXPECT_EQ(book.Text(QStringLiteral("//fb:section/fb:p[1]")), QStringLiteral("MARK ELLISON"));
}

TEST(TextConverter, UsesTheUsersHeadersExpression)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, QStringLiteral("Ann Vell - Parts.txt"),
        "PART ONE\nIt began in May.\nGlava 1\nPART TWO\nIt ended in June.\n");
    Book book = Convert(path, {{"HeadersRegexp", QStringLiteral("^PART \\w+$")}});
    ASSERT_TRUE(book) << qPrintable(book.message);
    EXPECT_EQ(book.Texts(QStringLiteral("//fb:section/fb:title/fb:p")),
        QStringList({QStringLiteral("PART ONE"), QStringLiteral("PART TWO")}));
    EXPECT_EQ(book.Texts(QStringLiteral("//fb:section[1]/fb:p")),
        QStringList({QStringLiteral("It began in May."), QStringLiteral("Glava 1")}));
}

TEST(TextConverter, TextThatLooksLikeMarkupIsKeptAsText)
{
    QTemporaryDir dir;
    const Book book = Convert(WriteFile(dir, QStringLiteral("Ann Vell - Code.txt"),
        "if (a < b && c > d) { x = \"<p>\"; }\n]]> &amp; \x01\x02 <!-- -->\n"));
    ASSERT_TRUE(book) << qPrintable(book.message);
    EXPECT_EQ(book.Texts(QStringLiteral("//fb:section/fb:p")),
        QStringList({QStringLiteral("if (a < b && c > d) { x = “<p>”; }"),
            QStringLiteral("]]> &amp;  <!-- -->")}));
}

TEST(TextConverter, DecodesByteOrderMarksAndDetectedCodePages)
{
    QTemporaryDir dir;
    const QString text = QStringLiteral("Ирина Соколова\n\nЗимняя дорога\n\nСнег шёл всю ночь.\n");
    QByteArray utf16("\xFF\xFE");
    for (QChar c : text)
        utf16.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    for (const QByteArray& bytes : {utf16, Cp1251(text), text.toUtf8()}) {
        const Book book = Convert(WriteFile(dir, QStringLiteral("road.txt"), bytes));
        ASSERT_TRUE(book) << qPrintable(book.message);
        EXPECT_EQ(book.Text(kTitleInfo + u"fb:book-title"), QStringLiteral("Зимняя дорога"));
        EXPECT_EQ(
            book.Text(QStringLiteral("//fb:section/fb:p")), QStringLiteral("Снег шёл всю ночь."));
    }
}

TEST(TextConverter, RefusesWhatIsNoTextWithAMessage)
{
    QTemporaryDir dir;
    const QString binary
        = WriteFile(dir, QStringLiteral("image.txt"), QByteArray("GIF89a\0\0\x01", 9));
    const QString empty = WriteFile(dir, QStringLiteral("empty.txt"), {});
    const QString blank = WriteFile(dir, QStringLiteral("blank.txt"), "\n  \n\t\n");
    EXPECT_EQ(Convert(binary).message, QStringLiteral("\"%1\" is not a text file.").arg(binary));
    EXPECT_EQ(Convert(empty).message, QStringLiteral("\"%1\" is empty.").arg(empty));
    EXPECT_EQ(Convert(blank).message, QStringLiteral("\"%1\" holds no text.").arg(blank));
    EXPECT_TRUE(Convert(dir.filePath(QStringLiteral("missing.txt")))
                    .message.startsWith(QStringLiteral("Can't open \"")));
    EXPECT_TRUE(Convert(dir.path() + QStringLiteral("/folder.txt/..")).message.contains(u"folder"));
}

TEST(TextConverter, ExpressionsRunOnLoadAndOnTheResult)
{
    QTemporaryDir dir;
    const QString path = WriteFile(
        dir, QStringLiteral("Ann Vell - Rules.txt"), "Page 1\nThe sea was calm.\nPage 2\n");
    Book book = Convert(path,
        {{"OnLoad", QStringLiteral("^Page \\d+$")},
            {"OnResult", QStringLiteral("calm\tquiet\n<lang>en</lang>\t<lang>en-GB</lang>")}});
    ASSERT_TRUE(book) << qPrintable(book.message);
    EXPECT_EQ(book.Texts(QStringLiteral("//fb:section/fb:p")),
        QStringList({QStringLiteral("The sea was quiet.")}));
    EXPECT_EQ(book.Text(kTitleInfo + u"fb:lang"), QStringLiteral("en-GB"));
    EXPECT_EQ(book.text.count(QStringLiteral("<genre></genre>")), 1);

    book = Convert(path, {{"OnResult", QStringLiteral("</FictionBook>")}});
    EXPECT_FALSE(book);
    EXPECT_TRUE(book.message.startsWith(
        QStringLiteral("The expressions run on the result left it unreadable: ")));
}

TEST(ConverterTitleInfo, SplitsNamesTheWayTheyAreWritten)
{
    const auto parts = [](const char* name) {
        const Fb2Author a = ParseAuthorName(QString::fromUtf8(name));
        return QStringList {a.firstName, a.middleName, a.lastName, a.nickname}.join(u'|');
    };
    EXPECT_EQ(parts("Пётр Лавров"), QStringLiteral("Пётр||Лавров|"));
    EXPECT_EQ(parts("Лавров Пётр Ильич"), QStringLiteral("Пётр|Ильич|Лавров|"));
    EXPECT_EQ(parts("Пётр Ильич Лавров"), QStringLiteral("Пётр|Ильич|Лавров|"));
    EXPECT_EQ(parts("Лавров П.И."), QStringLiteral("П.И.||Лавров|"));
    EXPECT_EQ(parts("Лавров П. И."), QStringLiteral("П.|И.|Лавров|"));
    EXPECT_EQ(parts("Lavrov, Pyotr"), QStringLiteral("Pyotr||Lavrov|"));
    EXPECT_EQ(parts("Mary Ann Evans"), QStringLiteral("Mary|Ann|Evans|"));
    EXPECT_EQ(parts("САЛТЫКОВ-ЩЕДРИН МИХАИЛ"), QStringLiteral("Салтыков-Щедрин||Михаил|"));
    EXPECT_EQ(parts("Гомер"), QStringLiteral("|||Гомер"));

    EXPECT_TRUE(LooksLikePersonName(u"Пётр Лавров"));
    EXPECT_TRUE(LooksLikePersonName(u"П. И. Лавров"));
    EXPECT_FALSE(LooksLikePersonName(u"Глава первая, в которой"));
    EXPECT_FALSE(LooksLikePersonName(u"П. И."));
    EXPECT_FALSE(LooksLikePersonName(u"Лавров"));
}

TEST(ConverterTitleInfo, ReadsAuthorAndTitleFromFileNames)
{
    Fb2Author author;
    QString title;
    ASSERT_TRUE(AuthorAndTitleFromFileName(
        QStringLiteral("/books/Пётр_Лавров_-_Письма_с_севера.txt"), &author, &title));
    EXPECT_EQ(author.lastName, QStringLiteral("Лавров"));
    EXPECT_EQ(title, QStringLiteral("Письма с севера"));
    ASSERT_TRUE(AuthorAndTitleFromFileName(
        QStringLiteral("Ann Vell & Bo Dahl — \"The Road\". Part 2.md"), &author, &title));
    EXPECT_EQ(author.firstName, QStringLiteral("Ann"));
    EXPECT_EQ(title, QStringLiteral("\"The Road\". Part 2"));
    EXPECT_FALSE(AuthorAndTitleFromFileName(QStringLiteral("road-trip.txt"), &author, &title));
    EXPECT_FALSE(AuthorAndTitleFromText(u"Chapter 1 - The Road", true, &author, &title));
    EXPECT_EQ(FileTitle(QStringLiteral("/x/my_book.v2.txt")), QStringLiteral("my book.v2"));
    EXPECT_EQ(TidyTitle(u"  «ТИХАЯ ГАВАНЬ» "), QStringLiteral("Тихая гавань"));
}

TEST(ConverterTitleInfo, GuessesTheLanguageFromTheLetters)
{
    EXPECT_EQ(GuessLanguage(u"Снег шёл всю ночь, и утром дорогу было не узнать."), u"ru");
    EXPECT_EQ(GuessLanguage(u"Сніг ішов усю ніч, і вранці дорогу не можна було впізнати."), u"uk");
    EXPECT_EQ(GuessLanguage(u"Снег ішоў усю ноч, і раніцай дарогу было не пазнаць."), u"be");
    EXPECT_EQ(
        GuessLanguage(u"Der Schnee fiel die ganze Nacht, und morgens war alles weiß."), u"de");
    EXPECT_EQ(GuessLanguage(u"Snow fell all night; in the morning the road was gone."), u"en");
    EXPECT_EQ(GuessLanguage(u"1234 !!!"), u"en");
}

TEST(ConverterTypography, TurnsTypewriterDashesAndQuotesIntoTypography)
{
    Typography russian(true, true, QStringLiteral("ru"));
    const auto apply = [](Typography& typography, const char* text) {
        typography.StartParagraph();
        return typography.Apply(QString::fromUtf8(text));
    };
    EXPECT_EQ(apply(russian, "- Да, - сказал он. -- Нет."),
        QStringLiteral("—\u00A0Да,\u00A0— сказал он.\u00A0— Нет."));
    EXPECT_EQ(apply(russian, "-- Кто там?"), QStringLiteral("—\u00A0Кто там?"));
    EXPECT_EQ(apply(russian, "1941-1945, северо-запад, слово--другое, -----"),
        QStringLiteral("1941-1945, северо-запад, слово—другое, -----"));
    EXPECT_EQ(apply(russian, "Он сказал: \"Иди (\"сейчас\")\"."),
        QStringLiteral("Он сказал: «Иди («сейчас»)»."));

    // A paragraph given in pieces keeps its quotes paired and knows where it started.
    russian.StartParagraph();
    EXPECT_EQ(russian.Apply(u"- \"Да"), QStringLiteral("—\u00A0«Да"));
    EXPECT_EQ(russian.Apply(u"\" - и"), QStringLiteral("»\u00A0— и"));

    Typography english(true, true, QStringLiteral("en"));
    EXPECT_EQ(apply(english, "He said \"yes\" - then left."),
        QStringLiteral("He said “yes”\u00A0– then left."));
    Typography german(false, true, QStringLiteral("de"));
    EXPECT_EQ(apply(german, "\"Ja\" - sagte er"), QStringLiteral("„Ja“ - sagte er"));
}
