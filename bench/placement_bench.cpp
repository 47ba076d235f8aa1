// Places 1,000 synthetic FB2 books (50-500 KB, scanned from a folder as an import does) into a
// library with ZIP compression, and compares the rate with zlib's raw deflate alone on the same
// bytes. Prints MB/s of input for both and their ratio (target: at least 0.7). Each side runs
// twice and keeps its best time.
//
// Usage: placement_bench [book count]
#include "import/book_placement.h"
#include "import/import_source.h"
#include "synthetic_library.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>
#include <zlib.h>

using namespace lbv;

namespace {

constexpr int kDefaultBooks = 1000;
constexpr int kRounds = 2;

double DeflateAloneSeconds(const std::vector<CBookHeader>& headers)
{
    std::vector<QByteArray> books;
    for (const CBookHeader& header : headers) {
        QFile file(header.file);
        if (file.open(QIODevice::ReadOnly))
            books.push_back(file.readAll());
    }
    QElapsedTimer timer;
    timer.start();
    for (const QByteArray& book : books) {
        z_stream stream {};
        deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        QByteArray out(qsizetype(deflateBound(&stream, uLong(book.size()))), Qt::Uninitialized);
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(book.constData()));
        stream.avail_in = uInt(book.size());
        stream.next_out = reinterpret_cast<Bytef*>(out.data());
        stream.avail_out = uInt(out.size());
        deflate(&stream, Z_FINISH);
        deflateEnd(&stream);
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

void CollectHeaders(const CImportSource& source, std::vector<CBookHeader>* headers)
{
    for (const auto& header : source.headers)
        headers->push_back(*header);
    for (const auto& child : source.children)
        CollectHeaders(*child, headers);
}

// Places every book, overwriting what an earlier round left, so each round writes all of them.
double PlacementSeconds(
    const std::vector<CBookHeader>& headers, const StorageOptions& storage, int* failures)
{
    QElapsedTimer timer;
    timer.start();
    *failures = 0;
    for (CBookHeader header : headers) {
        QString error;
        if (PlaceBookFile(header, storage, nullptr, true, &error).isEmpty()) {
            if (++*failures == 1)
                std::fprintf(stderr, "%s\n", qPrintable(error));
        }
    }
    return double(timer.nsecsElapsed()) / 1e9;
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

    double deflateBest = 1e9;
    double placeBest = 1e9;
    int failures = 0;
    for (int round = 0; round < kRounds; ++round) {
        deflateBest = std::min(deflateBest, DeflateAloneSeconds(headers));
        placeBest = std::min(placeBest, PlacementSeconds(headers, storage, &failures));
    }
    const double megabytes = double(inputBytes) / 1e6;
    std::printf(
        "%zu books placed (%d failed), %.1f MB of input\n", headers.size(), failures, megabytes);
    std::printf("zlib raw deflate alone:       %7.1f MB/s\n", megabytes / deflateBest);
    std::printf("PlaceBookFile with ZIP archive: %7.1f MB/s\n", megabytes / placeBest);
    std::printf("ratio: %.2f (target >= 0.70)\n", deflateBest / placeBest);
    return 0;
}
