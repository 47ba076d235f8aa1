// The reading page on the 10 MB FB2 of the reader benchmarks, offscreen at 1920x1080 with two
// columns and hyphenation: from the open command to the first page painted, page turns (layout
// and paint), a rotation laid out and painted again, and the measurer's advance cache hit rate.
// Times are wall-clock milliseconds; the same figures in this thread's CPU time follow, since on
// a busy machine the wall clock mostly measures the other programs.
#include "gui/reader/qt_text_measurer.h"
#include "gui/reader/reader_view.h"
#include "reader/key_map.h"
#include "reader/reader_settings.h"
#include "sample_book.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int kTurns = 300;
constexpr int kRelayouts = 8;

double CpuMilliseconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Wall-clock and CPU milliseconds since the last Restart.
class Stopwatch {
public:
    void Restart()
    {
        wall_.restart();
        cpuStart_ = CpuMilliseconds();
    }
    double Wall() const { return double(wall_.nsecsElapsed()) / 1e6; }
    double Cpu() const { return CpuMilliseconds() - cpuStart_; }

private:
    QElapsedTimer wall_;
    double cpuStart_ = 0;
};

struct Samples {
    std::vector<double> wall;
    std::vector<double> cpu;
    void Add(const Stopwatch& watch)
    {
        wall.push_back(watch.Wall());
        cpu.push_back(watch.Cpu());
    }
};

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const auto index = std::size_t(fraction * double(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

} // namespace

int main(int argc, char** argv)
{
    using namespace lbv;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    bench::WordSource words;
    const QByteArray fb2 = bench::MakeFb2(words);
    const QString path = dir.filePath(QStringLiteral("bench.fb2"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(fb2) != fb2.size())
        return 1;
    file.close();

    SettingsStore store(std::make_unique<MemorySettingsBackend>());
    store.WriteProfileInt(kParametersSection, QStringLiteral("Columns"), 2);
    store.WriteProfileInt(kParametersSection, QStringLiteral("Hyphenate"), 1);
    CReaderView view(store, [](const QString& text) {
        std::printf("open failed: %s\n", qPrintable(text));
    });
    view.resize(1920, 1080);
    QImage surface(1920, 1080, QImage::Format_RGB32);
    auto paint = [&] { view.render(&surface); };

    Stopwatch watch;
    watch.Restart();
    if (!view.Open(path))
        return 1;
    paint();
    const double first = watch.Wall();
    const double firstCpu = watch.Cpu();

    Samples turns;
    for (int i = 0; i < kTurns; ++i) {
        watch.Restart();
        view.RunCommand(int(ReaderCommand::PageForward));
        paint();
        turns.Add(watch);
    }

    // Rotations and font-size changes, each laid out and painted again.
    Samples relayouts;
    for (int i = 0; i < kRelayouts; ++i) {
        watch.Restart();
        view.RunCommand(int(i % 2 ? ReaderCommand::Rotate
                                  : i % 4 ? ReaderCommand::FontSmaller : ReaderCommand::FontBigger));
        paint();
        relayouts.Add(watch);
    }

    const QtTextMeasurer& measurer = view.Measurer();
    std::printf("first page painted: %.0f ms\n", first);
    std::printf("page turn median: %.1f ms\n", Percentile(turns.wall, 0.5));
    std::printf("page turn p99: %.1f ms\n", Percentile(turns.wall, 0.99));
    std::printf("relayout: %.0f ms\n", *std::max_element(relayouts.wall.begin(), relayouts.wall.end()));
    std::printf("cpu time: first page %.0f ms, page turn median %.1f ms, p99 %.1f ms, relayout %.0f ms\n",
        firstCpu, Percentile(turns.cpu, 0.5), Percentile(turns.cpu, 0.99),
        *std::max_element(relayouts.cpu.begin(), relayouts.cpu.end()));
    std::printf("advance cache hit rate: %.2f%% of %lld look-ups\n",
        measurer.AdvanceLookups() ? 100.0 * double(measurer.AdvanceHits())
                / double(measurer.AdvanceLookups())
                                  : 0.0,
        static_cast<long long>(measurer.AdvanceLookups()));
    return 0;
}
