// Laying out a 10 MB FB2 book (windows-1251, Russian text) with the fixed-width measurer: one
// page of 60 lines, paging forward through the whole main body, and one page backward, with and
// without hyphenation.
#include "reader/document_factory.h"
#include "reader/fixed_width_measurer.h"
#include "reader/reader_settings.h"
#include "reader/text_formatter.h"
#include "synthetic_library.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <random>

namespace {

constexpr int kPageRows = 60;
constexpr int kPageCells = 70;

struct Reader {
    std::unique_ptr<lbv::DocumentSource> document;
    lbv::FixedWidthMeasurer measurer;
    std::unique_ptr<lbv::TextFormatter> formatter;
};

std::unique_ptr<Reader> Open(const QString& path, bool hyphenate)
{
    auto reader = std::make_unique<Reader>();
    QString error;
    reader->document = lbv::OpenDocument(path, -1, -1, {}, {}, error);
    if (!reader->document) {
        std::printf("open failed: %s\n", qPrintable(error));
        return nullptr;
    }
    reader->formatter = std::make_unique<lbv::TextFormatter>(*reader->document, reader->measurer);
    lbv::ReaderParameters parameters;
    parameters.hyphenate = hyphenate;
    reader->formatter->SetSettings(lbv::FormatterSettings::From(parameters));
    const lbv::CellSize& cell = reader->measurer.Cell();
    reader->formatter->SetGeometry(lbv::PageGeometry::ForClient(
        kPageCells * cell.width, kPageRows * cell.height, 0, 1, parameters.margins, 0));
    return reader;
}

// Every page start of the main body, paging forward from its start.
std::vector<lbv::ReadingPosition> PageForward(
    lbv::TextFormatter& formatter, double& ms, qint64& lines)
{
    std::vector<lbv::ReadingPosition> starts;
    QElapsedTimer timer;
    timer.start();
    lbv::ReadingPosition position;
    lines = 0;
    while (!formatter.AtBodyEnd(position)) {
        starts.push_back(position);
        const lbv::Page page = formatter.LayoutPage(position);
        lines += qint64(page.lines.size());
        position = formatter.NextPageStart(page);
    }
    ms = timer.nsecsElapsed() / 1e6;
    return starts;
}

// The average of the fastest half of `runs` timings of f, in microseconds: a shared machine's
// interruptions don't count.
template<class F> double MedianUs(int runs, F f)
{
    std::vector<double> us;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        f(i);
        us.push_back(timer.nsecsElapsed() / 1e3);
    }
    std::sort(us.begin(), us.end());
    return us[us.size() / 2];
}

void Report(const QString& path, bool hyphenate)
{
    auto reader = Open(path, hyphenate);
    if (!reader)
        return;
    lbv::TextFormatter& formatter = *reader->formatter;
    double forwardMs = 0;
    qint64 lines = 0;
    const std::vector<lbv::ReadingPosition> starts = PageForward(formatter, forwardMs, lines);
    std::printf("%s: %zu pages, %.1f lines a page\n",
        hyphenate ? "hyphenation on" : "hyphenation off", starts.size(),
        double(lines) / double(starts.size()));
    std::printf("  paging forward through the book: %.0f ms (target <= 3000)\n", forwardMs);

    // Random pages, each from a fresh formatter state, as after a jump.
    std::mt19937 rng(11);
    std::vector<lbv::ReadingPosition> picks;
    for (int i = 0; i < 400; ++i)
        picks.push_back(starts[rng() % starts.size()]);
    const double pageUs = MedianUs(int(picks.size()), [&](int i) {
        formatter.SetGeometry(formatter.Geometry()); // drops the paragraph cache
        formatter.LayoutPage(picks[std::size_t(i)]);
    });
    std::printf("  one page of %d rows: median %.0f us (target <= 2000)\n", kPageRows, pageUs);
    const double backUs = MedianUs(int(picks.size()), [&](int i) {
        formatter.SetGeometry(formatter.Geometry());
        formatter.LayoutPage(formatter.PreviousPageStart(picks[std::size_t(i)]));
    });
    std::printf(
        "  one page backward (previous start and its layout): median %.0f us (target <= 3000)\n",
        backUs);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    lbv::SyntheticOptions options;
    options.minBytes = options.maxBytes = 10 * 1024 * 1024;
    options.cp1251Percent = 100;
    options.coverPercent = 100;
    const lbv::SyntheticBook book = lbv::MakeSyntheticBook(options, 0);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.fb2"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(book.bytes) != book.bytes.size()) {
        std::printf("can't write %s\n", qPrintable(path));
        return 1;
    }
    file.close();
    std::printf("book: %.1f MB, %d x %d cells a page\n", book.bytes.size() / 1048576.0, kPageCells,
        kPageRows);
    Report(path, false);
    Report(path, true);
    return 0;
}
