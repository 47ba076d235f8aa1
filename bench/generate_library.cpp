// Writes a synthetic FB2 library for benchmarks and demos: a folder of books, one ZIP archive
// holding the books as members, or both. The same options always give the same bytes.
#include "synthetic_library.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

using namespace lbv;

namespace {

bool ReadNumber(
    const QCommandLineParser& parser, const QString& name, qint64 low, qint64 high, qint64* value)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const qint64 number = parser.value(name).toLongLong(&ok);
    if (!ok || number < low || number > high) {
        std::fprintf(stderr, "--%s must be a number from %lld to %lld\n", qPrintable(name),
            static_cast<long long>(low), static_cast<long long>(high));
        return false;
    }
    *value = number;
    return true;
}

void Report(const char* what, const SyntheticTotals& totals, const QElapsedTimer& timer)
{
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("%s: %d books, %.1f MB in %.1f s\n", what, totals.books, double(totals.bytes) / 1e6,
        seconds);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes N synthetic FB2 books into a folder and/or as members of one ZIP archive."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("count"), QStringLiteral("Number of books (default 1000)."),
            QStringLiteral("N")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the library (default 1)."),
            QStringLiteral("N")},
        {QStringLiteral("min-kb"), QStringLiteral("Smallest book in KB (default 50)."),
            QStringLiteral("KB")},
        {QStringLiteral("max-kb"), QStringLiteral("Largest book in KB (default 500)."),
            QStringLiteral("KB")},
        {QStringLiteral("cp1251"), QStringLiteral("Percent of books in windows-1251 (default 30)."),
            QStringLiteral("PERCENT")},
        {QStringLiteral("covers"), QStringLiteral("Percent of books with a cover (default 40)."),
            QStringLiteral("PERCENT")},
        {QStringLiteral("authors"), QStringLiteral("Number of distinct authors (default 2000)."),
            QStringLiteral("N")},
        {QStringLiteral("folder"), QStringLiteral("Write the books as files into this folder."),
            QStringLiteral("DIR")},
        {QStringLiteral("zip"), QStringLiteral("Write the books into this ZIP archive."),
            QStringLiteral("FILE")},
    });
    parser.process(app);

    SyntheticOptions options;
    qint64 count = 1000;
    qint64 seed = options.seed;
    qint64 minKb = options.minBytes / 1024;
    qint64 maxKb = options.maxBytes / 1024;
    qint64 cp1251 = options.cp1251Percent;
    qint64 covers = options.coverPercent;
    qint64 authors = options.authorCount;
    if (!ReadNumber(parser, QStringLiteral("count"), 0, 65535, &count)
        || !ReadNumber(parser, QStringLiteral("seed"), 0, 0xFFFFFFFF, &seed)
        || !ReadNumber(parser, QStringLiteral("min-kb"), 1, 100000, &minKb)
        || !ReadNumber(parser, QStringLiteral("max-kb"), minKb, 100000, &maxKb)
        || !ReadNumber(parser, QStringLiteral("cp1251"), 0, 100, &cp1251)
        || !ReadNumber(parser, QStringLiteral("covers"), 0, 100, &covers)
        || !ReadNumber(parser, QStringLiteral("authors"), 2, 1000000, &authors))
        return 2;
    const QString folder = parser.value(QStringLiteral("folder"));
    const QString archive = parser.value(QStringLiteral("zip"));
    if (folder.isEmpty() && archive.isEmpty()) {
        std::fprintf(stderr, "Name a --folder, a --zip or both.\n");
        return 2;
    }
    options.seed = quint32(seed);
    options.minBytes = minKb * 1024;
    options.maxBytes = maxKb * 1024;
    options.cp1251Percent = int(cp1251);
    options.coverPercent = int(covers);
    options.authorCount = int(authors);

    SyntheticTotals totals;
    QString error;
    QElapsedTimer timer;
    if (!folder.isEmpty()) {
        timer.start();
        if (!WriteSyntheticFolder(options, int(count), folder, &totals, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        Report(qPrintable(folder), totals, timer);
    }
    if (!archive.isEmpty()) {
        timer.start();
        if (!WriteSyntheticArchive(options, int(count), archive, &totals, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        Report(qPrintable(archive), totals, timer);
    }
    return 0;
}
