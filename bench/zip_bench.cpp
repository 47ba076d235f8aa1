// Packs 1,000 synthetic books of about 200 KB into one-book ZIP archives with CZipFile, as the
// library does with compression on, and compares the rate with zlib's raw deflate alone on the
// same bytes. Prints MB/s of input for both and their ratio (target: at least 0.7). Times are
// processor time of this single-threaded program (file writes included), and each side runs
// twice and keeps its best, which keeps the figures steady on a shared machine.
#include "bench_support.h"
#include "import/zip_file.h"
#include "synthetic_library.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace lbv;

namespace {

constexpr int kBooks = 1000;
constexpr int kRounds = 2;

class CpuTimer {
public:
    double Seconds() const { return double(std::clock() - m_start) / CLOCKS_PER_SEC; }

private:
    std::clock_t m_start = std::clock();
};

double DeflateAloneSeconds(const std::vector<QByteArray>& books, qint64* packedBytes)
{
    const CpuTimer timer;
    *packedBytes = 0;
    for (const QByteArray& book : books)
        *packedBytes += bench::RawDeflate(book);
    return timer.Seconds();
}

double ZipFileSeconds(const std::vector<QByteArray>& books, const QString& folder)
{
    const CpuTimer timer;
    for (std::size_t i = 0; i < books.size(); ++i) {
        const QString name = QStringLiteral("book-%1").arg(i);
        CZipFile zip;
        zip.Open(folder + u'/' + name + u".zip", 'w', ZipDeflated);
        CZipInfo info(name + u".fb2");
        info.compressType = ZipDeflated;
        zip.Write(info, books[i]);
        zip.Close();
    }
    return timer.Seconds();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SyntheticOptions options;
    options.minBytes = 180 * 1024;
    options.maxBytes = 220 * 1024;
    std::vector<QByteArray> books;
    qint64 inputBytes = 0;
    for (int i = 0; i < kBooks; ++i) {
        books.push_back(MakeSyntheticBook(options, i).bytes);
        inputBytes += books.back().size();
    }
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "Can't create a temporary folder\n");
        return 1;
    }

    double zlibBest = 1e9;
    double zipBest = 1e9;
    qint64 packedBytes = 0;
    try {
        for (int round = 0; round < kRounds; ++round) {
            zlibBest = std::min(zlibBest, DeflateAloneSeconds(books, &packedBytes));
            zipBest = std::min(zipBest, ZipFileSeconds(books, folder.path()));
        }
    } catch (const ZipError& error) {
        std::fprintf(stderr, "ZIP: %s\n", error.what());
        return 1;
    }
    const double megabytes = double(inputBytes) / 1e6;
    std::printf("%d books, %.1f MB of input, deflated to %.1f%%\n", kBooks, megabytes,
        100.0 * double(packedBytes) / double(inputBytes));
    std::printf("zlib raw deflate alone:     %7.1f MB/s\n", megabytes / zlibBest);
    std::printf("CZipFile one-book archives: %7.1f MB/s\n", megabytes / zipBest);
    std::printf("ratio: %.2f (target >= 0.70)\n", zlibBest / zipBest);
    return 0;
}
