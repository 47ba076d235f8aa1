// Searches a generated 100,000-book catalog (20,000 authors, genres from the genre dictionary):
// a three-letter text that about 1% of the titles hold, a genre title, and a filter with a year
// range and ten genres. Prints the first call (which builds the lower-cased text cache) and the
// mean of the calls after it; targets 150 ms and 30 ms. Both as wall-clock time and as the
// thread's CPU time, which a busy machine inflates less.
#include "catalog/libravon_doc.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "shelf/filter.h"
#include "shelf/genre_dictionary.h"
#include "shelf/shelf_search.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <ctime>
#include <random>

using namespace lbv;

namespace {

constexpr int kBooks = 100000;
constexpr int kAuthors = 20000;
constexpr int kRepeats = 20;

const char16_t* const kWords[] = {u"Silent", u"River", u"Stone", u"Garden", u"Winter", u"Night",
    u"Empire", u"Shadow", u"Mirror", u"Star", u"Road", u"Fire", u"Glass", u"Iron", u"Dream",
    u"Harbor", u"Forest", u"Storm", u"Crown", u"Tower", u"Тихий", u"Дон", u"Война", u"Мир",
    u"Остров", u"Город", u"Ветер", u"Солнце", u"Море", u"Звезда", u"Дорога", u"Лес", u"Сад",
    u"Огонь", u"Снег", u"Ночь", u"Тень", u"Зеркало", u"Камень", u"Река"};
const char16_t* const kRareWord = u"Quill"; // the only text holding "qui"
const char16_t* const kFirst[]
    = {u"Ivar", u"Anna", u"John", u"Mary", u"Peter", u"Лев", u"Анна", u"Иван", u"Мария", u"Пётр"};
const char16_t* const kLast[] = {u"Kessel", u"Adams", u"Brown", u"Clark", u"Mills", u"Толстой",
    u"Иванов", u"Петров", u"Сидоров", u"Чехов"};

double CpuMilliseconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

class NoDisplay : public ShelfDisplay {
public:
    void ShowAuthors(CLibravonDoc*, const SearchResult*) override { }
    void ClearCurrentAuthorAndGroup() override { }
    void Beep() override { }
};

void FillCatalog(CLibravonDoc& doc, const GenreDictionary& genres)
{
    std::mt19937 rng(7);
    const auto word = [&]() {
        return QString::fromUtf16(rng() % 200 == 0 ? kRareWord : kWords[rng() % std::size(kWords)]);
    };
    for (int i = 0; i < kBooks; ++i) {
        const int a = int(rng() % kAuthors);
        BookDescription header;
        header.firstName = QString::fromUtf16(kFirst[a % 10]);
        header.lastName = QString::fromUtf16(kLast[(a / 10) % 10]) + QString::number(a / 100);
        header.title = word() + QLatin1Char(' ') + word() + QLatin1Char(' ') + QString::number(i);
        header.genre = genres.AllGenres()[qsizetype(rng() % genres.AllGenres().size())].code;
        header.year = rng() % 10 == 0 ? 0 : 1800 + int(rng() % 220);
        header.file = QStringLiteral("/library/%1/%2.fb2").arg(a).arg(i);
        doc.AddBook(header, false);
    }
    // Import dates spread over twenty years.
    const qint64 start = LocalMidnight(2004, 1, 1);
    for (const auto& author : doc.Authors())
        for (const auto& group : author->Groups())
            for (const auto& book : group->Books())
                book->added = start + qint64(rng() % (20 * 365)) * 86400;
}

std::size_t CountBooks(const SearchResult* result)
{
    std::size_t books = 0;
    if (result)
        for (const auto& author : result->authors)
            for (const auto& group : author->groups)
                books += group->books.size();
    return books;
}

void Measure(const char* label, CLibravonDoc& doc, const GenreDictionary& genres, Filter* filter,
    const QString& text)
{
    NoDisplay display;
    SettingsStore settings(std::make_unique<MemorySettingsBackend>());
    ShelfSearch search(genres, settings, display);
    search.SetCatalog(&doc);
    QElapsedTimer timer;
    timer.start();
    double cpu = CpuMilliseconds();
    search.Apply(filter, text);
    const double first = double(timer.nsecsElapsed()) / 1e6;
    const double firstCpu = CpuMilliseconds() - cpu;
    timer.restart();
    cpu = CpuMilliseconds();
    for (int i = 0; i < kRepeats; ++i)
        search.Search(text);
    const double after = double(timer.nsecsElapsed()) / 1e6 / kRepeats;
    const double afterCpu = (CpuMilliseconds() - cpu) / kRepeats;
    std::printf("%-34s %5zu books  first %6.1f ms (cpu %6.1f)  then %5.1f ms (cpu %5.1f)\n", label,
        CountBooks(search.Result()), first, firstCpu, after, afterCpu);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    GenreDictionary genres;
    QString error;
    const QString path = QStringLiteral(LBV_SOURCE_DIR "/resources/genre-dict.xml");
    if (!genres.Load(path, QStringLiteral("en"), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    CLibravonDoc doc;
    doc.path = QStringLiteral("/library/index.lvf");
    FillCatalog(doc, genres);
    std::printf("%d books by %zu authors, %lld genres\n", kBooks, doc.Authors().size(),
        qlonglong(genres.AllGenres().size()));

    Measure("text \"qui\"", doc, genres, nullptr, QStringLiteral("qui"));
    Measure("genre title \"Space SF\"", doc, genres, nullptr, QStringLiteral("Space SF"));
    Filter filter;
    filter.yearFrom = 1950;
    filter.yearTo = 1999;
    QStringList tenGenres;
    for (int i = 0; i < 10; ++i)
        tenGenres << genres.AllGenres()[i * 20].code;
    filter.SetGenres(tenGenres);
    Measure("filter: years 1950-1999, 10 genres", doc, genres, &filter, QString());
    return 0;
}
