// Saves and opens the index of a synthetic library of 100,000 books by 20,000 authors. Prints
// the Save and Open times, the peak memory of Open (VmHWM of a fresh process that only opens
// the index, reset through /proc/self/clear_refs just before), the bare limit (gunzip plus a
// libxml2 parse of the same file, no catalog built) and the ratio of Open to it.
//
//   index_file_bench [books authors [folder]]   (the index stays in folder when one is named)
// Open and the bare parse run in child processes (the program started again with --open or
// --bare), so that the memory of the generated catalog does not distort them.
#include "bench_support.h"
#include "catalog/libravon_doc.h"
#include "synthetic_catalog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <libxml/parser.h>
#include <zlib.h>

using namespace lbv;
using lbv::bench::ProcessStatusKb;

namespace {

constexpr int kRuns = 3;

void ResetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// Wall-clock and CPU seconds of one run; on a busy machine the CPU time is the steadier one.
struct Timing {
    double wall = 1e9;
    double cpu = 1e9;
};

double CpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

class Stopwatch {
public:
    Stopwatch()
        : cpuStart_(CpuSeconds())
    {
        timer_.start();
    }
    // Keeps the best of the runs seen so far.
    void Record(Timing& best) const
    {
        best.wall = std::min(best.wall, double(timer_.nsecsElapsed()) / 1e9);
        best.cpu = std::min(best.cpu, CpuSeconds() - cpuStart_);
    }

private:
    QElapsedTimer timer_;
    double cpuStart_;
};

// Child: opens the index; prints the best times, peak and starting resident memory in KB.
int OpenIndex(const QString& path)
{
    Timing best;
    long peak = 0;
    long base = 0;
    for (int run = 0; run < kRuns; ++run) {
        CLibravonDoc doc;
        if (run == 0) {
            base = ProcessStatusKb("VmRSS");
            ResetPeak();
        }
        const Stopwatch watch;
        if (!doc.Open(path)) {
            std::fprintf(stderr, "open failed\n");
            return 1;
        }
        watch.Record(best);
        if (run == 0)
            peak = ProcessStatusKb("VmHWM");
    }
    std::printf("%.4f %.4f %ld %ld\n", best.wall, best.cpu, peak, base);
    return 0;
}

QByteArray Gunzip(const QString& path)
{
    gzFile file = gzopen(QFile::encodeName(path).constData(), "rb");
    QByteArray bytes;
    if (!file)
        return bytes;
    gzbuffer(file, 256 * 1024);
    qsizetype used = 0;
    for (int count = 1; count > 0; used += count) {
        if (bytes.size() - used < 256 * 1024)
            bytes.resize(std::max(bytes.size() * 2, used + 256 * 1024));
        count = std::max(gzread(file, bytes.data() + used, 256 * 1024), 0);
    }
    gzclose(file);
    bytes.truncate(used);
    return bytes;
}

// Child: gunzip plus a libxml2 parse of the same file with the layer's options, first into a
// tree (then freed), then with no handlers at all (the least any libxml2 reader can do).
int BareParse(const QString& path)
{
    Timing tree;
    Timing sax;
    constexpr int options
        = XML_PARSE_NONET | XML_PARSE_NOBLANKS | XML_PARSE_COMPACT | XML_PARSE_IGNORE_ENC;
    for (int run = 0; run < kRuns; ++run) {
        const Stopwatch watch;
        const QByteArray bytes = Gunzip(path);
        xmlDoc* doc
            = xmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, "UTF-8", options);
        if (!doc)
            return 1;
        xmlFreeDoc(doc);
        watch.Record(tree);
    }
    for (int run = 0; run < kRuns; ++run) {
        const Stopwatch watch;
        const QByteArray bytes = Gunzip(path);
        xmlSAXHandler nothing {};
        nothing.initialized = XML_SAX2_MAGIC;
        if (xmlSAXUserParseMemory(&nothing, nullptr, bytes.constData(), int(bytes.size())) != 0)
            return 1;
        watch.Record(sax);
    }
    std::printf("%.4f %.4f %.4f %.4f\n", tree.wall, tree.cpu, sax.wall, sax.cpu);
    return 0;
}

QList<QByteArray> RunChild(const QString& mode, const QString& path)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {mode, path});
    if (!child.waitForFinished(-1) || child.exitCode() != 0) {
        std::fprintf(
            stderr, "%s failed: %s\n", qPrintable(mode), child.readAllStandardError().constData());
        return {};
    }
    return child.readAllStandardOutput().trimmed().split(' ');
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--open"))
        return OpenIndex(args[2]);
    if (args.size() == 3 && args[1] == QLatin1String("--bare"))
        return BareParse(args[2]);
    const int books = args.size() > 2 ? args[1].toInt() : 100000;
    const int authors = args.size() > 2 ? args[2].toInt() : 20000;

    QTemporaryDir dir;
    const QString folder = args.size() > 3 ? args[3] : dir.path();
    const QString path = folder + QStringLiteral("/library/index.lvf");
    CLibravonDoc doc;
    doc.path = path;
    bench::FillSyntheticCatalog(doc, books, authors);
    std::size_t bookCount = 0;
    for (const auto& author : doc.Authors())
        bookCount += std::size_t(author->BookCount());

    Timing save;
    for (int run = 0; run < kRuns; ++run) {
        const Stopwatch watch;
        if (!doc.Save(path)) {
            std::fprintf(stderr, "save failed\n");
            return 1;
        }
        watch.Record(save);
    }
    const QList<QByteArray> open = RunChild(QStringLiteral("--open"), path);
    const QList<QByteArray> bare = RunChild(QStringLiteral("--bare"), path);
    if (open.size() != 4 || bare.size() != 4)
        return 1;
    const Timing opening {open[0].toDouble(), open[1].toDouble()};
    const Timing bareTree {bare[0].toDouble(), bare[1].toDouble()};
    const Timing bareSax {bare[2].toDouble(), bare[3].toDouble()};
    std::printf("index: %zu books by %zu authors, %.1f MB compressed\n", bookCount,
        doc.Authors().size(), double(QFileInfo(path).size()) / 1e6);
    std::printf("times are the best of %d runs, wall clock and (CPU)\n", kRuns);
    std::printf("Save: %.3f s (%.3f s CPU), target <= 1.5 s\n", save.wall, save.cpu);
    std::printf("Open: %.3f s (%.3f s CPU), target <= 1.0 s\n", opening.wall, opening.cpu);
    std::printf("peak memory of Open: %.0f MB (VmHWM of the opening process, %.0f MB before "
                "Open), target <= 400 MB\n",
        open[2].toDouble() / 1024, open[3].toDouble() / 1024);
    std::printf("bare limit, gunzip + libxml2 parse into a tree: %.3f s (%.3f s CPU)\n",
        bareTree.wall, bareTree.cpu);
    std::printf("  ratio Open/bare: %.2f (%.2f CPU), target <= 2.5\n", opening.wall / bareTree.wall,
        opening.cpu / bareTree.cpu);
    std::printf("bare floor, gunzip + libxml2 parse with no handlers: %.3f s (%.3f s CPU)\n",
        bareSax.wall, bareSax.cpu);
    std::printf("  ratio Open/floor: %.2f (%.2f CPU)\n", opening.wall / bareSax.wall,
        opening.cpu / bareSax.cpu);
    return 0;
}
