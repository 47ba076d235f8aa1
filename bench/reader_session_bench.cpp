// The reader's session on the 10 MB FB2 of the reader benchmarks: opening through the session
// (state read, open, position restored, contents built) against the bare open, a Find that runs
// to the body's end, "find next" for a word met every 100 paragraphs, and hit-testing a point.
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

template<class F> double BestMs(int runs, F f)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
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

    const double bareMs = BestMs(4, [&] {
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
    double sessionMs = 1e30;
    for (int run = 0; run < 4; ++run) {
        session.reset(); // the previous book is freed outside the timing
        session = std::make_unique<ReaderSession>(store, measurer, report);
        sessionMs = std::min(sessionMs, BestMs(1, [&] { session->Open(path); }));
    }

    TextFinder& finder = *session->Finder();
    const double findMs = BestMs(3, [&] {
        if (finder.FindFirst(0, QStringLiteral("QQQ not there"), false))
            std::printf("unexpected hit\n");
    });

    const QString marker = QString::fromLatin1(kMarker).toUpper();
    finder.FindFirst(0, marker, false);
    constexpr int kNexts = 200;
    int hits = 0;
    const double nextMs = BestMs(1, [&] {
        for (int i = 0; i < kNexts; ++i)
            hits += finder.FindNext() ? 1 : 0;
    }) / kNexts;
    if (hits != kNexts)
        std::printf("find next found %d of %d\n", hits, kNexts);

    TextFormatter& formatter = *session->Formatter();
    formatter.SetGeometry(PageGeometry::ForClient(1200, 1600, 0, 2, 3, 0));
    const Page page = formatter.LayoutPage(session->Position());
    std::mt19937 rng(3);
    constexpr int kPoints = 100000;
    int found = 0;
    const double hitUs = BestMs(3,
                             [&] {
                                 for (int i = 0; i < kPoints; ++i)
                                     found += HitTest(page, formatter.Geometry(), int(rng() % 1200),
                                                  int(rng() % 1600))
                                         ? 1
                                         : 0;
                             })
        * 1000 / kPoints;
    if (found == 0)
        std::printf("no point hit a line\n");

    std::printf("bare open: %.1f ms, session open: %.1f ms, %d contents entries\n", bareMs,
        sessionMs, int(session->State()->Entries().size()));
    std::printf("find to body end: %.1f ms\n", findMs);
    std::printf("find next: %.3f ms\n", nextMs);
    std::printf("hit test: %.3f us\n", hitUs);
    std::printf("session open ratio: %.2f\n", sessionMs / bareMs);
    return 0;
}
