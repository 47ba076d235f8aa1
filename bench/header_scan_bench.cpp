// Scans a folder of 10,000 synthetic FB2 books (50-500 KB, 30% windows-1251) and one ZIP archive
// holding the same books as members into import headers, with a warm page cache, and prints
// headers per second against the limit of only reading each file's or member's prefetch bytes
// (targets: at least 5,000 headers/s from each). Each figure is the best of three rounds.
//
// Usage: header_scan_bench [book count [data folder]]; a data folder that already holds the
// books from an earlier run is reused, which spares the generation when profiling.
#include "bench_support.h"
#include "import/import_source.h"
#include "synthetic_library.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <unzip.h>

using namespace lbv;
using namespace lbv::bench;

namespace {

constexpr int kDefaultBooks = 10000;
constexpr int kPrefetch = 4096;
constexpr int kRounds = 3;

int CountHeaders(const CImportSource& source)
{
    int count = int(source.headers.size());
    for (const auto& child : source.children)
        count += CountHeaders(*child);
    return count;
}

Timing BestOf(const std::function<int()>& round, int expected, const char* what)
{
    Timing best;
    for (int i = 0; i < kRounds; ++i) {
        const Stopwatch stopwatch;
        const int count = round();
        stopwatch.KeepBest(&best);
        if (count != expected)
            std::fprintf(stderr, "%s: %d of %d books\n", what, count, expected);
    }
    return best;
}

int ScanSource(const QString& path)
{
    CImportSource source(path, kPrefetch);
    QString error;
    source.Scan(&error);
    return CountHeaders(source);
}

int ReadFolderPrefixes(const QString& folder)
{
    int count = 0;
    for (const QString& name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
        QFile file(folder + u'/' + name);
        if (file.open(QIODevice::ReadOnly)
            && !file.read(std::min<qint64>(file.size(), kPrefetch)).isEmpty())
            ++count;
    }
    return count;
}

int ReadMemberPrefixes(const QString& archive)
{
    unzFile zip = unzOpen64(QFile::encodeName(archive).constData());
    if (!zip)
        return 0;
    int count = 0;
    QByteArray buffer(kPrefetch, Qt::Uninitialized);
    for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
        unz_file_info64 info {};
        unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0);
        if (unzOpenCurrentFile(zip) != UNZ_OK)
            continue;
        const unsigned wanted = unsigned(std::min<ZPOS64_T>(info.uncompressed_size, kPrefetch));
        if (unzReadCurrentFile(zip, buffer.data(), wanted) > 0)
            ++count;
        unzCloseCurrentFile(zip);
    }
    unzClose(zip);
    return count;
}

void Report(const char* what, int books, const Timing& scan, const Timing& limit)
{
    std::printf("%s\n", what);
    std::printf("  one core (thread CPU time): %7.0f headers/s; limit, prefetch reads only: "
                "%7.0f/s; ratio %.2f\n",
        books / scan.cpu, books / limit.cpu, limit.cpu / scan.cpu);
    std::printf("  wall clock:                 %7.0f headers/s; limit, prefetch reads only: "
                "%7.0f/s; ratio %.2f\n",
        books / scan.wall, books / limit.wall, limit.wall / scan.wall);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int books = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : kDefaultBooks;
    QTemporaryDir temporary;
    const QString root = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path();
    if (root.isEmpty()) {
        std::fprintf(stderr, "Can't create a temporary folder\n");
        return 1;
    }
    const QString folder = root + u"/books";
    const QString archive = root + u"/books.zip";
    const bool reuse
        = QDir(folder).entryList(QDir::Files).size() == books && QFile::exists(archive);
    if (!reuse) {
        SyntheticTotals totals;
        QString error;
        std::printf("generating %d books...\n", books);
        std::fflush(stdout);
        if (!WriteSyntheticFolder(SyntheticOptions(), books, folder, &totals, &error)
            || !WriteSyntheticArchive(SyntheticOptions(), books, archive, &totals, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
    std::printf("%d books; archive of %.1f MB; prefetch %d bytes\n", books,
        double(QFile(archive).size()) / 1e6, kPrefetch);

    // One untimed pass of each warms the page cache and the reader's per-thread state.
    ScanSource(folder);
    ScanSource(archive);
    const Timing folderLimit
        = BestOf([&] { return ReadFolderPrefixes(folder); }, books, "folder prefixes");
    const Timing folderScan = BestOf([&] { return ScanSource(folder); }, books, "folder scan");
    const Timing archiveLimit
        = BestOf([&] { return ReadMemberPrefixes(archive); }, books, "member prefixes");
    const Timing archiveScan = BestOf([&] { return ScanSource(archive); }, books, "archive scan");
    Report("folder of FB2 files", books, folderScan, folderLimit);
    Report("ZIP archive members", books, archiveScan, archiveLimit);
    std::printf("targets: >= 5000 headers/s from the folder and from the archive\n");
    return 0;
}
