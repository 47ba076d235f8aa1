// The reader's session on the 10 MB FB2 of the reader benchmarks: opening through the session
// (state read, open, position restored, contents built) against the bare open, a Find that runs
// to the body's end, "find next" for a word met every 100 paragraphs, and hit-testing a point.
// The figures are this thread's processor time, what one core spends on a machine shared with
// other work; the wall-clock times follow on a line of their own.
#include "bench_support.h"
#include "reader/content_kind.h"
#include "reader/document_factory.h"
#include "reader/fixed_width_measurer.h"
#include "reader/page_hit_test.h"
#include "reader/reader_session.h"
#include "sample_book.h"
#include "settings/memory_settings_backend.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <random>

namespace {

constexpr int kMarkerEvery = 100;
const QByteArray kMarker = "xylophone";

template<class F> lbv::bench::Timing Best(int runs, F f)
{
    lbv::bench::Timing best;
    for (int i = 0; i < runs; ++i) {
        const lbv::bench::Stopwatch watch;
        f();
        watch.KeepBest(&best);
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace lbv;
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    bench::WordSource words;
    const QByteArray fb2 = bench::MakeFb2(words, kMarkerEvery, kMarker);
    const QString path = dir.filePath(QStringLiteral("bench.fb2"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(fb2) != fb2.size())
        return 1;
    file.close();

    const bench::Timing bare = Best(4, [&] {
        QString error;
        if (!OpenDocument(path, kDocumentFb2, -1, {}, {}, error))
            std::printf("open failed: %s\n", qPrintable(error));
    });

    SettingsStore store(std::make_unique<MemorySettingsBackend>());
    FixedWidthMeasurer measurer;
    const auto report = [](const QString& text) { std::printf("%s\n", qPrintable(text)); };
    {
        ReaderSession first(store, measurer, report);
        if (!first.Open(path))
            return 1;
        first.SetPosition({first.Document()->ParagraphCount(0) / 2, 0, 0});
        first.Close();
    }
    std::unique_ptr<ReaderSession> session;
    bench::Timing opening;
    for (int run = 0; run < 4; ++run) {
        session.reset(); // the previous book is freed outside the timing
        session = std::make_unique<ReaderSession>(store, measurer, report);
        const bench::Stopwatch watch;
        session->Open(path);
        watch.KeepBest(&opening);
    }

    TextFinder& finder = *session->Finder();
    const bench::Timing find = Best(3, [&] {
        if (finder.FindFirst(0, QStringLiteral("QQQ not there"), false))
            std::printf("unexpected hit\n");
    });

    const QString marker = QString::fromLatin1(kMarker).toUpper();
    finder.FindFirst(0, marker, false);
    constexpr int kNexts = 200;
    int hits = 0;
    const bench::Timing next = Best(1, [&] {
        for (int i = 0; i < kNexts; ++i)
            hits += finder.FindNext() ? 1 : 0;
    });
    if (hits != kNexts)
        std::printf("find next found %d of %d\n", hits, kNexts);

    TextFormatter& formatter = *session->Formatter();
    formatter.SetGeometry(PageGeometry::ForClient(1200, 1600, 0, 2, 3, 0));
    const Page page = formatter.LayoutPage(session->Position());
    std::mt19937 rng(3);
    constexpr int kPoints = 100000;
    int found = 0;
    const bench::Timing hit = Best(3, [&] {
        for (int i = 0; i < kPoints; ++i) {
            const int x = int(rng() % 1200);
            const int y = int(rng() % 1600);
            found += HitTest(page, formatter.Geometry(), x, y) ? 1 : 0;
        }
    });
    if (found == 0)
        std::printf("no point hit a line\n");

    std::printf("bare open: %.1f ms, session open: %.1f ms, %d contents entries\n", bare.cpu * 1e3,
        opening.cpu * 1e3, int(session->State()->Entries().size()));
    std::printf("find to body end: %.1f ms\n", find.cpu * 1e3);
    std::printf("find next: %.3f ms\n", next.cpu * 1e3 / kNexts);
    std::printf("hit test: %.3f us\n", hit.cpu * 1e6 / kPoints);
    std::printf("session open ratio: %.2f\n", opening.cpu / bare.cpu);
    std::printf("wall clock: bare open %.1f ms, session open %.1f ms, find to body end %.1f ms, "
                "find next %.3f ms, hit test %.3f us\n",
        bare.wall * 1e3, opening.wall * 1e3, find.wall * 1e3, next.wall * 1e3 / kNexts,
        hit.wall * 1e6 / kPoints);
    return 0;
}
