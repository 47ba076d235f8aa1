// Scans a folder of 10,000 synthetic FB2 books (50-500 KB, 30% windows-1251) and one ZIP archive
// holding the same books as members into import headers, with a warm page cache, and prints
// headers per second against the limit of only reading each file's or member's prefetch bytes
// (targets: at least 5,000 headers/s from each). Each figure is the best of three rounds.
//
// Usage: header_scan_bench [book count]
#include "import/import_source.h"
#include "synthetic_library.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <unzip.h>

using namespace lbv;

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

double BestSeconds(const std::function<int()>& round, int expected, const char* what)
{
    double best = 1e9;
    for (int i = 0; i < kRounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        const int count = round();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e9);
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

void Report(const char* what, int books, double scanSeconds, double limitSeconds)
{
    std::printf("%s: %8.0f headers/s (limit, prefetch reads only: %8.0f/s; ratio %.2f)\n", what,
        books / scanSeconds, books / limitSeconds, limitSeconds / scanSeconds);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int books = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : kDefaultBooks;
    QTemporaryDir root;
    if (!root.isValid()) {
        std::fprintf(stderr, "Can't create a temporary folder\n");
        return 1;
    }
    const QString folder = root.path() + u"/books";
    const QString archive = root.path() + u"/books.zip";
    SyntheticOptions options;
    SyntheticTotals folderTotals;
    SyntheticTotals archiveTotals;
    QString error;
    std::printf("generating %d books...\n", books);
    std::fflush(stdout);
    if (!WriteSyntheticFolder(options, books, folder, &folderTotals, &error)
        || !WriteSyntheticArchive(options, books, archive, &archiveTotals, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("%d books, %.1f MB; archive of %.1f MB; prefetch %d bytes\n", books,
        double(folderTotals.bytes) / 1e6, double(QFile(archive).size()) / 1e6, kPrefetch);

    // One untimed pass of each warms the page cache and the reader's per-thread state.
    ScanSource(folder);
    ScanSource(archive);
    const double folderLimit
        = BestSeconds([&] { return ReadFolderPrefixes(folder); }, books, "folder prefixes");
    const double folderScan = BestSeconds([&] { return ScanSource(folder); }, books, "folder scan");
    const double archiveLimit
        = BestSeconds([&] { return ReadMemberPrefixes(archive); }, books, "member prefixes");
    const double archiveScan
        = BestSeconds([&] { return ScanSource(archive); }, books, "archive scan");
    Report("folder of FB2 files", books, folderScan, folderLimit);
    Report("ZIP archive members", books, archiveScan, archiveLimit);
    std::printf("targets: >= 5000 headers/s from the folder and from the archive\n");
    return 0;
}
