#include "synthetic_library.h"

#include "import/zip_file.h"
#include "synthetic_cover.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <random>
#include <vector>

namespace lbv {
namespace {

// Word lists hold no XML markup characters, so nothing written below needs escaping.
const char16_t* const kRussianWords[] = {u"дом", u"город", u"река", u"ветер", u"снег", u"дорога",
    u"окно", u"свет", u"ночь", u"утро", u"лес", u"поле", u"море", u"небо", u"сердце", u"память",
    u"письмо", u"голос", u"тишина", u"время", u"старый", u"новый", u"тихий", u"далёкий", u"тёмный",
    u"светлый", u"холодный", u"тёплый", u"последний", u"первый", u"шёл", u"смотрел", u"говорил",
    u"молчал", u"думал", u"ждал", u"знал", u"видел", u"помнил", u"искал", u"и", u"но", u"в", u"на",
    u"под", u"за", u"через", u"когда", u"потом", u"снова", u"уже", u"ещё", u"только", u"очень",
    u"совсем", u"почти", u"он", u"она", u"они", u"мы", u"никто", u"всё", u"каждый", u"вечер",
    u"зима", u"лето", u"осень", u"весна", u"мост", u"берег", u"огонь", u"звезда", u"книга",
    u"слово", u"рука", u"лицо", u"глаза", u"друг", u"брат", u"сестра", u"мать", u"отец", u"ёлка",
    u"вьюга", u"щель", u"цель", u"чудо", u"жизнь", u"шорох", u"эхо", u"юг", u"яблоко"};
const char16_t* const kEnglishWords[] = {u"house", u"city", u"river", u"wind", u"snow", u"road",
    u"window", u"light", u"night", u"morning", u"forest", u"field", u"sea", u"sky", u"heart",
    u"memory", u"letter", u"voice", u"silence", u"time", u"old", u"new", u"quiet", u"distant",
    u"dark", u"bright", u"cold", u"warm", u"last", u"first", u"walked", u"looked", u"said",
    u"waited", u"thought", u"knew", u"saw", u"remembered", u"searched", u"and", u"but", u"in",
    u"on", u"under", u"behind", u"across", u"when", u"then", u"again", u"already", u"still",
    u"only", u"very", u"almost", u"he", u"she", u"they", u"we", u"nobody", u"everything", u"each",
    u"evening", u"winter", u"summer", u"autumn", u"spring", u"bridge", u"shore", u"fire", u"star",
    u"book", u"word", u"hand", u"face", u"eyes", u"friend", u"brother", u"sister", u"mother",
    u"father", u"the", u"a", u"of", u"to", u"with"};

const char16_t* const kRussianFirst[] = {u"Иван", u"Пётр", u"Алексей", u"Сергей", u"Андрей",
    u"Михаил", u"Николай", u"Дмитрий", u"Юрий", u"Фёдор", u"Борис", u"Григорий", u"Лев", u"Виктор",
    u"Олег", u"Анна", u"Мария", u"Елена", u"Ольга", u"Татьяна", u"Наталья", u"Ирина", u"Вера",
    u"Людмила", u"Светлана", u"Нина", u"Галина", u"Софья", u"Дарья", u"Ксения"};
constexpr int kRussianFemaleFrom = 15; // the names from here on are women's names
const char16_t* const kRussianLast[] = {u"Иванов", u"Петров", u"Смирнов", u"Кузнецов", u"Соколов",
    u"Попов", u"Лебедев", u"Козлов", u"Новиков", u"Морозов", u"Волков", u"Соловьёв", u"Васильев",
    u"Зайцев", u"Павлов", u"Семёнов", u"Голубев", u"Виноградов", u"Богданов", u"Воробьёв",
    u"Фёдоров", u"Михайлов", u"Беляев", u"Тарасов", u"Белов", u"Комаров", u"Орлов", u"Киселёв",
    u"Макаров", u"Андреев", u"Ковалёв", u"Ильин", u"Гусев", u"Титов", u"Кузьмин", u"Кудрявцев",
    u"Баранов", u"Куликов", u"Алексеев", u"Степанов"};
const char16_t* const kLatinFirst[] = {u"John", u"Mary", u"Peter", u"Anna", u"David", u"Laura",
    u"Thomas", u"Emma", u"James", u"Clara", u"Robert", u"Alice", u"Michael", u"Helen", u"William",
    u"Sarah", u"Henry", u"Julia", u"George", u"Grace", u"Ivar", u"Nora", u"Karl", u"Ingrid",
    u"Paul", u"Eva", u"Oscar", u"Lena", u"Hugo", u"Mia"};
const char16_t* const kLatinLast[] = {u"Adams", u"Baker", u"Carter", u"Dalton", u"Ellis", u"Fisher",
    u"Grant", u"Hughes", u"Irving", u"Jensen", u"Keller", u"Larsen", u"Morgan", u"Nolan", u"Owens",
    u"Parker", u"Quinn", u"Reed", u"Stone", u"Turner", u"Vance", u"Walsh", u"Young", u"Kessel",
    u"Brook", u"Church", u"Dunn", u"Foster", u"Hale", u"Lloyd", u"Marsh", u"North", u"Price",
    u"Rowe", u"Shaw", u"Todd", u"Wade", u"West", u"Wood", u"Yates"};

const char16_t* const kRussianTitleHeads[] = {u"Тайна", u"Дорога", u"Город", u"Песня", u"Тень",
    u"Письма", u"Остров", u"Зима", u"Память", u"Последний день", u"Хроника", u"Дом", u"Берег",
    u"Сны", u"Огни", u"Голос", u"Время", u"Карта", u"Ключ", u"Возвращение"};
const char16_t* const kRussianTitleTails[] = {u"северного ветра", u"старого дома", u"белой реки",
    u"забытых звёзд", u"одного лета", u"тёмного леса", u"далёкого берега", u"последней зимы",
    u"пустого города", u"холодного моря", u"светлой ночи", u"чужой земли", u"нового мира",
    u"тихой улицы", u"первого снега", u"долгой дороги", u"высоких гор", u"синего неба",
    u"весенней грозы", u"ушедшего века"};
const char16_t* const kEnglishTitleHeads[] = {u"The Secret", u"The Road", u"The City", u"The Song",
    u"The Shadow", u"Letters", u"The Island", u"Winter", u"Memory", u"The Last Day",
    u"The Chronicle", u"The House", u"The Shore", u"Dreams", u"Lights", u"The Voice", u"Time",
    u"The Map", u"The Key", u"The Return"};
const char16_t* const kEnglishTitleTails[]
    = {u"of the North Wind", u"of the Old House", u"of the White River", u"of Forgotten Stars",
        u"of One Summer", u"of the Dark Forest", u"of the Far Shore", u"of the Last Winter",
        u"of the Empty City", u"of the Cold Sea", u"of the Bright Night", u"of a Strange Land",
        u"of the New World", u"of the Quiet Street", u"of the First Snow", u"of the Long Road",
        u"of the High Mountains", u"of the Blue Sky", u"of the Spring Storm", u"of a Bygone Age"};

const char* const kGenres[] = {"sf", "sf_fantasy", "sf_history", "detective", "det_classic",
    "thriller", "prose_classic", "prose_contemporary", "love_contemporary", "adventure",
    "child_tale", "poetry", "humor", "sci_history", "nonf_biography", "antique"};

constexpr qint64 kArchiveMemberTime = 1704067200; // 2024-01-01, so archives repeat byte for byte

template<typename T, std::size_t N> const T& Pick(const T (&list)[N], std::mt19937& rng)
{
    return list[rng() % N];
}

bool Chance(std::mt19937& rng, int percent)
{
    return int(rng() % 100) < percent;
}

// A word list encoded once for each encoding a book may use, in lower and capitalised form.
struct Vocabulary {
    std::vector<QByteArray> lower;
    std::vector<QByteArray> capital;
};

template<std::size_t N> Vocabulary Encoded(const char16_t* const (&words)[N], bool windows1251)
{
    QStringEncoder encoder(windows1251 ? "windows-1251" : "UTF-8");
    Vocabulary vocabulary;
    for (const char16_t* word : words) {
        QString text = QString::fromUtf16(word);
        vocabulary.lower.push_back(encoder.encode(text));
        text[0] = text[0].toUpper();
        vocabulary.capital.push_back(encoder.encode(text));
    }
    return vocabulary;
}

const Vocabulary& Words(bool russian, bool windows1251)
{
    static const Vocabulary russianUtf8 = Encoded(kRussianWords, false);
    static const Vocabulary russian1251 = Encoded(kRussianWords, true);
    static const Vocabulary english = Encoded(kEnglishWords, false); // ASCII in both
    return !russian ? english : windows1251 ? russian1251 : russianUtf8;
}

// Appends one book's bytes in its encoding; markup is ASCII in both encodings.
class BookWriter {
public:
    BookWriter(bool russian, bool windows1251, std::mt19937& rng)
        : m_russian(russian)
        , m_encoder(windows1251 ? "windows-1251" : "UTF-8")
        , m_words(Words(russian, windows1251))
        , m_rng(rng)
    {
    }

    QByteArray& Out() { return m_out; }
    QByteArray& Notes() { return m_notes; }
    void Markup(const char* ascii) { m_out.append(ascii); }
    void Markup(const QByteArray& ascii) { m_out.append(ascii); }
    void Text(const QString& text) { m_out.append(m_encoder.encode(text)); }
    void Element(const char* name, const QString& text)
    {
        m_out.append('<').append(name).append('>');
        Text(text);
        m_out.append("</").append(name).append(">\n");
    }

    void Sentence(QByteArray& out)
    {
        const int words = 4 + int(m_rng() % 12);
        for (int i = 0; i < words; ++i) {
            const std::size_t word = m_rng() % m_words.lower.size();
            if (i > 0)
                out.append(Chance(m_rng, 8) ? ", " : " ");
            out.append(i == 0 ? m_words.capital[word] : m_words.lower[word]);
        }
        static const char* const kEnds[] = {".", ".", ".", "!", "?"};
        out.append(Pick(kEnds, m_rng));
    }

    void Paragraph(int sentences, bool withMarkup)
    {
        m_out.append("<p>");
        if (m_russian && withMarkup && Chance(m_rng, 15))
            Text(QStringLiteral(u"— ")); // dialogue
        for (int i = 0; i < sentences; ++i) {
            if (i > 0)
                m_out.append(' ');
            const bool emphasis = withMarkup && Chance(m_rng, 6);
            const bool strong = withMarkup && !emphasis && Chance(m_rng, 2);
            m_out.append(emphasis ? "<emphasis>" : strong ? "<strong>" : "");
            Sentence(m_out);
            m_out.append(emphasis ? "</emphasis>" : strong ? "</strong>" : "");
            if (withMarkup && Chance(m_rng, 2))
                Footnote();
        }
        m_out.append("</p>\n");
    }

private:
    void Footnote()
    {
        const QByteArray number = QByteArray::number(++m_noteCount);
        m_out.append("<a l:href=\"#n" + number + "\" type=\"note\">[" + number + "]</a>");
        m_notes.append("<section id=\"n" + number + "\"><title><p>" + number + "</p></title><p>");
        Sentence(m_notes);
        m_notes.append("</p></section>\n");
    }

    bool m_russian;
    QStringEncoder m_encoder;
    const Vocabulary& m_words;
    std::mt19937& m_rng;
    QByteArray m_out;
    QByteArray m_notes;
    int m_noteCount = 0;
};

void AppendAuthor(BookWriter& writer, const QString& first, const QString& last)
{
    writer.Markup("<author>");
    writer.Element("first-name", first);
    writer.Element("last-name", last);
    writer.Markup("</author>\n");
}

// Author number n: even numbers are Cyrillic, odd ones Latin. Women get the feminine surname.
void AuthorName(int n, QString* first, QString* last)
{
    const int half = n / 2;
    if (n % 2 == 0) {
        const int firstIndex = half % int(std::size(kRussianFirst));
        *first = QString::fromUtf16(kRussianFirst[firstIndex]);
        *last = QString::fromUtf16(
            kRussianLast[(half / int(std::size(kRussianFirst))) % int(std::size(kRussianLast))]);
        if (firstIndex >= kRussianFemaleFrom)
            last->append(QChar(u'а'));
    } else {
        *first = QString::fromUtf16(kLatinFirst[half % int(std::size(kLatinFirst))]);
        *last = QString::fromUtf16(
            kLatinLast[(half / int(std::size(kLatinFirst))) % int(std::size(kLatinLast))]);
    }
}

QByteArray WrappedBase64(const QByteArray& bytes)
{
    const QByteArray base64 = bytes.toBase64();
    QByteArray out;
    out.reserve(base64.size() + base64.size() / 76 + 1);
    for (qsizetype at = 0; at < base64.size(); at += 76)
        out.append(base64.mid(at, 76)).append('\n');
    return out;
}

void AppendTitleInfo(BookWriter& writer, SyntheticBook& book, bool russian,
    const SyntheticCover* cover, std::mt19937& rng)
{
    writer.Markup("<title-info>\n");
    writer.Element("genre", book.genre);
    if (Chance(rng, 30))
        writer.Element("genre", QString::fromLatin1(Pick(kGenres, rng)));
    AppendAuthor(writer, book.firstName, book.lastName);
    if (Chance(rng, 10)) {
        QString first;
        QString last;
        AuthorName(int(rng() % 1000) * 2 + (russian ? 0 : 1), &first, &last);
        AppendAuthor(writer, first, last);
    }
    writer.Element("book-title", book.title);
    writer.Markup("<annotation>\n");
    for (int i = 1 + int(rng() % 3); i > 0; --i)
        writer.Paragraph(2 + int(rng() % 3), false);
    writer.Markup("</annotation>\n");
    if (Chance(rng, 10)) {
        const QByteArray year = QByteArray::number(book.year);
        writer.Markup("<date value=\"" + year + "-05-12\">" + year + "-05-12</date>\n");
    } else {
        writer.Element("date", QString::number(book.year));
    }
    if (cover)
        writer.Markup(
            "<coverpage><image l:href=\"#" + QByteArray(cover->id) + "\"/></coverpage>\n");
    writer.Element("lang", russian ? QStringLiteral("ru") : QStringLiteral("en"));
    if (Chance(rng, 40)) {
        const QString series = russian
            ? QStringLiteral(u"Хроники ") + QString::fromUtf16(Pick(kRussianTitleTails, rng))
            : QStringLiteral("Chronicles ") + QString::fromUtf16(Pick(kEnglishTitleTails, rng));
        writer.Markup("<sequence name=\"");
        writer.Text(series);
        writer.Markup("\" number=\"" + QByteArray::number(1 + int(rng() % 12)) + "\"/>\n");
    }
    writer.Markup("</title-info>\n");
}

QString MakeTitle(bool russian, std::mt19937& rng)
{
    if (russian)
        return QString::fromUtf16(Pick(kRussianTitleHeads, rng)) + u' '
            + QString::fromUtf16(Pick(kRussianTitleTails, rng));
    return QString::fromUtf16(Pick(kEnglishTitleHeads, rng)) + u' '
        + QString::fromUtf16(Pick(kEnglishTitleTails, rng));
}

const char* Declaration(bool windows1251, std::mt19937& rng)
{
    if (windows1251)
        return "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n";
    return rng() % 2 ? "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     : "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
}

// Sections of paragraphs until the text, with the notes and the reserved bytes, reaches target.
void AppendSections(
    BookWriter& writer, bool russian, qint64 target, qint64 reserved, std::mt19937& rng)
{
    const auto full
        = [&] { return writer.Out().size() + writer.Notes().size() + reserved >= target; };
    int chapter = 0;
    do {
        writer.Markup("<section>\n<title><p>");
        writer.Text((russian ? QStringLiteral(u"Глава ") : QStringLiteral("Chapter "))
            + QString::number(++chapter));
        writer.Markup("</p></title>\n");
        if (chapter == 1 && Chance(rng, 30)) {
            writer.Markup("<epigraph>");
            writer.Paragraph(1, false);
            writer.Markup("</epigraph>\n");
        }
        for (int p = 20 + int(rng() % 40); p > 0 && !full(); --p) {
            if (Chance(rng, 3))
                writer.Markup("<empty-line/>\n");
            writer.Paragraph(1 + int(rng() % 7), true);
        }
        writer.Markup("</section>\n");
    } while (!full());
}

} // namespace

SyntheticBook MakeSyntheticBook(const SyntheticOptions& options, int number)
{
    std::seed_seq seed {options.seed, quint32(number)};
    std::mt19937 rng(seed);
    SyntheticBook book;
    book.fileName = QStringLiteral("book-%1.fb2").arg(number, 6, 10, QLatin1Char('0'));
    book.windows1251 = Chance(rng, options.cp1251Percent);
    // windows-1251 books are Russian; UTF-8 books go to authors of either script.
    const int authors = qMax(2, options.authorCount);
    const int author = book.windows1251 ? int(rng() % unsigned(authors / 2)) * 2
                                        : int(rng() % unsigned(authors));
    const bool russian = author % 2 == 0;
    AuthorName(author, &book.firstName, &book.lastName);
    book.title = MakeTitle(russian, rng);
    book.genre = QString::fromLatin1(Pick(kGenres, rng));
    book.year = 1900 + int(rng() % 124);
    const qint64 span = qMax<qint64>(0, options.maxBytes - options.minBytes);
    const qint64 target = options.minBytes + qint64(rng() % quint64(span + 1));
    book.hasCover = Chance(rng, options.coverPercent);
    const SyntheticCover cover = book.hasCover ? MakeSyntheticCover(rng) : SyntheticCover {};
    const QByteArray binary = book.hasCover
        ? "<binary id=\"" + QByteArray(cover.id) + "\" content-type=\"" + cover.contentType
            + "\">\n" + WrappedBase64(cover.bytes) + "</binary>\n"
        : QByteArray();

    BookWriter writer(russian, book.windows1251, rng);
    writer.Out().reserve(target + 4096);
    writer.Markup(Declaration(book.windows1251, rng));
    writer.Markup("<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
                  "xmlns:l=\"http://www.w3.org/1999/xlink\">\n<description>\n");
    AppendTitleInfo(writer, book, russian, book.hasCover ? &cover : nullptr, rng);
    writer.Markup(QByteArray("<document-info><author><nickname>generate-library</nickname></author>"
                             "<program-used>generate-library</program-used>"
                             "<date value=\"2024-01-01\">2024</date><id>synthetic-"
        + QByteArray::number(options.seed) + '-' + QByteArray::number(number)
        + "</id><version>1.0</version></document-info>\n</description>\n<body>\n<title><p>"));
    writer.Text(book.firstName + u' ' + book.lastName);
    writer.Markup("</p><p>");
    writer.Text(book.title);
    writer.Markup("</p></title>\n");
    AppendSections(writer, russian, target, binary.size(), rng);
    writer.Markup("</body>\n");
    if (!writer.Notes().isEmpty())
        writer.Markup("<body name=\"notes\">\n" + writer.Notes() + "</body>\n");
    writer.Markup(binary);
    writer.Markup("</FictionBook>\n");
    book.bytes = std::move(writer.Out());
    return book;
}

bool WriteSyntheticFolder(const SyntheticOptions& options, int count, const QString& folder,
    SyntheticTotals* totals, QString* error)
{
    *totals = {};
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("Can't create folder %1").arg(folder);
        return false;
    }
    for (int number = 0; number < count; ++number) {
        const SyntheticBook book = MakeSyntheticBook(options, number);
        QFile file(folder + u'/' + book.fileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(book.bytes) != book.bytes.size()) {
            *error = QStringLiteral("Can't write %1").arg(file.fileName());
            return false;
        }
        ++totals->books;
        totals->bytes += book.bytes.size();
    }
    return true;
}

bool WriteSyntheticArchive(const SyntheticOptions& options, int count, const QString& archivePath,
    SyntheticTotals* totals, QString* error)
{
    *totals = {};
    try {
        CZipFile zip;
        zip.Open(archivePath, 'w', ZipDeflated);
        for (int number = 0; number < count; ++number) {
            const SyntheticBook book = MakeSyntheticBook(options, number);
            CZipInfo info(book.fileName, kArchiveMemberTime);
            info.compressType = ZipDeflated;
            zip.Write(info, book.bytes);
            ++totals->books;
            totals->bytes += book.bytes.size();
        }
        zip.Close();
    } catch (const ZipError& failure) {
        *error = QStringLiteral("ZIP: ") + failure.Text();
        return false;
    }
    return true;
}

} // namespace lbv
