// The reading page on the 10 MB FB2 of the reader benchmarks, offscreen at 1920x1080 with two
// columns and hyphenation: from the open command to the first page painted, page turns (layout
// and paint), a rotation laid out and painted again, and the measurer's advance cache hit rate.
// Times are wall-clock milliseconds.
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
#include <vector>

namespace {

constexpr int kTurns = 300;
constexpr int kRelayouts = 8;

double Milliseconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

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

    QElapsedTimer timer;
    timer.start();
    if (!view.Open(path))
        return 1;
    paint();
    const double first = Milliseconds(timer);

    std::vector<double> turns;
    for (int i = 0; i < kTurns; ++i) {
        timer.restart();
        view.RunCommand(int(ReaderCommand::PageForward));
        paint();
        turns.push_back(Milliseconds(timer));
    }

    std::vector<double> relayouts;
    for (int i = 0; i < kRelayouts; ++i) {
        timer.restart();
        view.RunCommand(int(ReaderCommand::Rotate));
        paint();
        relayouts.push_back(Milliseconds(timer));
    }

    const QtTextMeasurer& measurer = view.Measurer();
    std::printf("first page painted: %.0f ms\n", first);
    std::printf("page turn median: %.1f ms\n", Percentile(turns, 0.5));
    std::printf("page turn p99: %.1f ms\n", Percentile(turns, 0.99));
    std::printf("relayout: %.0f ms\n", *std::max_element(relayouts.begin(), relayouts.end()));
    std::printf("advance cache hit rate: %.2f%% of %lld look-ups\n",
        measurer.AdvanceLookups() ? 100.0 * double(measurer.AdvanceHits())
                / double(measurer.AdvanceLookups())
                                  : 0.0,
        static_cast<long long>(measurer.AdvanceLookups()));
    return 0;
}
