// Imports a generated folder of 10,000 synthetic FB2 books (50-500 KB, 30% windows-1251) into a
// new library, as adding the folder on the Import page and pressing Start does (scan and run):
// in place (target: at least 3,000 books/s), standard without compression (at least 800
// books/s) and standard with ZIP compression (MB/s of input, and the ratio to zlib's raw deflate
// alone on the same bytes: at least 0.6). Then 10,000 and 100,000 small books in place, whose
// times should grow near-linearly (at most 11 times). Prints the peak memory after each step.
//
// Usage: import_bench [book count] [large count]
#include "bench_support.h"
#include "catalog/libravon_doc.h"
#include "import/import_book.h"
#include "import/import_list.h"
#include "import/import_run.h"
#include "import/import_source.h"
#include "import/log_line.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "synthetic_library.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

using namespace lbv;

namespace {

constexpr int kDefaultBooks = 10000;
constexpr int kDefaultLargeCount = 100000;
constexpr int kPrefetch = 4096;

double PeakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

struct ImportTimes {
    double scanSeconds = 0;
    double runSeconds = 0;
    int ok = 0;
    qsizetype rows = 0;
    double Total() const { return scanSeconds + runSeconds; }
};

// Adds `folder` to a new list and imports it into a new library at `libraryFolder`.
ImportTimes ImportFolder(
    const QString& folder, const QString& libraryFolder, ImportOperation operation, bool compress)
{
    SettingsStore settings(std::make_unique<MemorySettingsBackend>());
    CLibravonDoc catalog;
    catalog.New();
    catalog.path = libraryFolder + u"/index.lvf";
    catalog.compressFiles = compress;
    ImportLog log;
    ImportList list;
    ImportTimes times;

    QElapsedTimer timer;
    timer.start();
    CImportSource source(folder, kPrefetch);
    QString error;
    source.Scan(&error);
    list.AddSource(source);
    times.scanSeconds = double(timer.nsecsElapsed()) / 1e9;

    ImportContext context;
    context.catalog = &catalog;
    context.log = &log;
    context.settings = &settings;
    context.options.existingBookAction = ExistingBookAction::Skip;
    BookImporter importer(context);
    ImportRun run(list, importer);
    timer.restart();
    const ImportRunSummary summary = run.RunHere(operation);
    times.runSeconds = double(timer.nsecsElapsed()) / 1e9;
    times.ok = summary.ok;
    times.rows = summary.rows;
    return times;
}

void Report(const char* what, int books, const ImportTimes& times)
{
    std::printf("%-34s %6.0f books/s (scan %.2f s + run %.2f s; %d of %d ok); peak %.0f MB\n", what,
        books / times.Total(), times.scanSeconds, times.runSeconds, times.ok, books,
        PeakMegabytes());
    std::fflush(stdout);
}

// zlib's raw deflate (as the library's archives use it) over every book of the folder, timing
// the deflate calls only (each book is read first): the floor of what packing them can cost.
double DeflateAloneSeconds(const QString& folder, qint64* bytes)
{
    *bytes = 0;
    qint64 nanoseconds = 0;
    QElapsedTimer timer;
    QDirIterator files(folder, QDir::Files);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray book = file.readAll();
        *bytes += book.size();
        timer.start();
        bench::RawDeflate(book);
        nanoseconds += timer.nsecsElapsed();
    }
    return double(nanoseconds) / 1e9;
}

bool Generate(const SyntheticOptions& options, int count, const QString& folder)
{
    SyntheticTotals totals;
    QString error;
    QElapsedTimer timer;
    timer.start();
    if (!WriteSyntheticFolder(options, count, folder, &totals, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    std::printf("generated %d books, %.1f MB, in %.0f s\n", totals.books,
        double(totals.bytes) / 1e6, double(timer.elapsed()) / 1e3);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int books = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : kDefaultBooks;
    const int largeCount = argc > 2 ? std::max(1, QByteArray(argv[2]).toInt()) : kDefaultLargeCount;
    QTemporaryDir root;
    if (!root.isValid()) {
        std::fprintf(stderr, "Can't create a temporary folder\n");
        return 1;
    }
    const QString folder = root.path() + u"/books";
    if (!Generate(SyntheticOptions(), books, folder))
        return 1;
    // One untimed scan warms the page cache, as a folder the user just looked at is warm.
    ImportFolder(folder, root.path() + u"/warm", ImportOperation::InPlace, false);

    Report("in place (target >= 3000)", books,
        ImportFolder(folder, root.path() + u"/in-place", ImportOperation::InPlace, false));
    const QString plainLibrary = root.path() + u"/plain";
    Report("standard, no compression (>= 800)", books,
        ImportFolder(folder, plainLibrary, ImportOperation::Standard, false));
    QDir(plainLibrary).removeRecursively();

    const ImportTimes zipped
        = ImportFolder(folder, root.path() + u"/zip", ImportOperation::Standard, true);
    Report("standard, ZIP compression", books, zipped);
    qint64 bytes = 0;
    const double deflateSeconds = DeflateAloneSeconds(folder, &bytes);
    const double importRate = double(bytes) / 1e6 / zipped.Total();
    const double deflateRate = double(bytes) / 1e6 / deflateSeconds;
    std::printf("  %.1f MB/s of input; zlib deflate alone %.1f MB/s; ratio %.2f (target >= 0.6)\n",
        importRate, deflateRate, importRate / deflateRate);
    QDir(root.path() + u"/zip").removeRecursively();
    QDir(folder).removeRecursively();

    // Small books, so that the large library fits on any disk; only the prefix is read anyway.
    SyntheticOptions small;
    small.minBytes = 3 * 1024;
    small.maxBytes = 6 * 1024;
    small.coverPercent = 0;
    small.authorCount = 20000;
    const QString smallFolder = root.path() + u"/small";
    if (!Generate(small, books, smallFolder))
        return 1;
    ImportFolder(smallFolder, root.path() + u"/warm-small", ImportOperation::InPlace, false);
    const ImportTimes base
        = ImportFolder(smallFolder, root.path() + u"/small-lib", ImportOperation::InPlace, false);
    Report("small books in place", books, base);
    QDir(smallFolder).removeRecursively();
    const QString largeFolder = root.path() + u"/large";
    if (!Generate(small, largeCount, largeFolder))
        return 1;
    ImportFolder(largeFolder, root.path() + u"/warm-large", ImportOperation::InPlace, false);
    const ImportTimes large
        = ImportFolder(largeFolder, root.path() + u"/large-lib", ImportOperation::InPlace, false);
    Report("small books in place, large library", largeCount, large);
    std::printf("  %d books took %.1f times as long as %d (target <= %.1f)\n", largeCount,
        large.Total() / base.Total(), books, 1.1 * largeCount / books);
    return 0;
}
