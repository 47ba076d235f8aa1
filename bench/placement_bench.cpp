// Places 1,000 synthetic FB2 books (50-500 KB, scanned from a folder as an import does) into a
// library with ZIP compression, and compares the rate with zlib's raw deflate alone on the same
// bytes. Prints MB/s of input for both and their ratio (target: at least 0.7). Each side runs
// twice and keeps its best time.
//
// Usage: placement_bench [book count]
#include "bench_support.h"
#include "import/book_placement.h"
#include "import/import_source.h"
#include "synthetic_library.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace lbv;
using namespace lbv::bench;

namespace {

constexpr int kDefaultBooks = 1000;
constexpr int kRounds = 2;

void DeflateAlone(const std::vector<CBookHeader>& headers, Timing* best)
{
    std::vector<QByteArray> books;
    for (const CBookHeader& header : headers) {
        QFile file(header.file);
        if (file.open(QIODevice::ReadOnly))
            books.push_back(file.readAll());
    }
    const Stopwatch stopwatch;
    for (const QByteArray& book : books)
        RawDeflate(book);
    stopwatch.KeepBest(best);
}

void CollectHeaders(const CImportSource& source, std::vector<CBookHeader>* headers)
{
    for (const auto& header : source.headers)
        headers->push_back(*header);
    for (const auto& child : source.children)
        CollectHeaders(*child, headers);
}

// Places every book, overwriting what an earlier round left, so each round writes all of them.
void Place(const std::vector<CBookHeader>& headers, const StorageOptions& storage, int* failures,
    Timing* best)
{
    const Stopwatch stopwatch;
    *failures = 0;
    for (CBookHeader header : headers) {
        QString error;
        if (PlaceBookFile(header, storage, nullptr, true, &error).isEmpty()) {
            if (++*failures == 1)
                std::fprintf(stderr, "%s\n", qPrintable(error));
        }
    }
    stopwatch.KeepBest(best);
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
    const QString sources = root.path() + u"/sources";
    SyntheticTotals totals;
    QString error;
    if (!WriteSyntheticFolder(SyntheticOptions(), books, sources, &totals, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    CImportSource scanned(sources, 4096);
    scanned.Scan(&error);
    std::vector<CBookHeader> headers;
    CollectHeaders(scanned, &headers);
    qint64 inputBytes = 0;
    for (const CBookHeader& header : headers)
        inputBytes += header.fileSize;

    StorageOptions storage;
    storage.fileNameMask = QStringLiteral("%f %l\\%f %l. %t");
    storage.compressFiles = true;
    storage.libraryFolder = root.path() + u"/library/";

    Timing deflateBest;
    Timing placeBest;
    int failures = 0;
    for (int round = 0; round < kRounds; ++round) {
        DeflateAlone(headers, &deflateBest);
        Place(headers, storage, &failures, &placeBest);
    }
    const double megabytes = double(inputBytes) / 1e6;
    std::printf(
        "%zu books placed (%d failed), %.1f MB of input\n", headers.size(), failures, megabytes);
    std::printf("                         one core (thread CPU time)   wall clock\n");
    std::printf("zlib raw deflate alone:        %7.1f MB/s           %7.1f MB/s\n",
        megabytes / deflateBest.cpu, megabytes / deflateBest.wall);
    std::printf("PlaceBookFile into ZIP:        %7.1f MB/s           %7.1f MB/s\n",
        megabytes / placeBest.cpu, megabytes / placeBest.wall);
    std::printf("ratio (target >= 0.70):        %7.2f                %7.2f\n",
        deflateBest.cpu / placeBest.cpu, deflateBest.wall / placeBest.wall);
    return 0;
}
