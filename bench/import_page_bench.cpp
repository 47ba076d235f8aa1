// Imports a generated folder of synthetic FB2 books (standard import, no ZIP) twice: with
// `libravon-cli import` in a process of its own, and through the Import page offscreen (drop the
// folder, wait for the scan, Start, wait for the end), its log already holding 100,000 lines.
// A 10 ms timer runs on the GUI thread throughout; its longest gap is the longest stall. Three
// alternating rounds; the best time of each side and the longest stall of all are reported.
// Prints "gui/cli throughput: <R>" (books per second of the page over those of the CLI; target
// at least 0.9) and "longest gui stall: <N> ms" (target at most 100).
//
// With a drop count, that many small books are then dropped on an idle page, and the longest
// stall while they are scanned and listed is printed too (the window must keep working).
//
// Usage: import_page_bench [book count] [largest book in KB] [drop count]
#include "catalog/libravon_doc.h"
#include "gui/import/import_dialogs.h"
#include "gui/import/import_page.h"
#include "gui/shell/catalog_session.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "synthetic_library.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

using namespace lbv;

namespace {

// Processor time of the calling thread.
double ThreadCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_THREAD, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

constexpr int kDefaultBooks = 10000;
constexpr int kLogLines = 100000;
constexpr int kRounds = 3;

// Nothing is asked in a run into an empty library; the file choosers are never opened.
class NoDialogs final : public ImportDialogs {
public:
    QStringList AskFiles(QWidget*) override { return {}; }
    QString AskFolder(QWidget*) override { return {}; }
    void ShowError(QWidget*, const QString& text) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    ExistingBookQuestion::Answer AskExistingBook(QWidget*, const QString&) override
    {
        return ExistingBookQuestion::Answer::No;
    }
    void DismissQuestion() override { }
};

// Reads every book once, so that neither import finds a colder page cache than the other.
void WarmUp(const QString& folder)
{
    QDirIterator files(folder, QDir::Files);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.open(QIODevice::ReadOnly))
            file.readAll();
    }
}

double CliSeconds(const QString& folder, const QString& root)
{
    const QString cli = QStringLiteral(LBV_CLI_PROGRAM);
    const QString index = root + u"/index.lvf";
    QDir().mkpath(root);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), root + u"/cliconfig");
    QProcess process;
    process.setProcessEnvironment(environment);
    // Its log lines are not what is timed; its last line is the summary.
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(cli, {QStringLiteral("new"), index, QStringLiteral("--no-zip")});
    process.waitForFinished(-1);
    QElapsedTimer timer;
    timer.start();
    process.start(cli,
        {QStringLiteral("import"), index, folder, QStringLiteral("--existing"),
            QStringLiteral("skip")});
    process.waitForFinished(-1);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const QList<QByteArray> lines = process.readAll().trimmed().split('\n');
    std::printf("libravon-cli: %s (exit code %d)\n", lines.last().constData(), process.exitCode());
    return seconds;
}

struct GuiFigures {
    double seconds = 0;
    double scanSeconds = 0; // until the rows were on the list
    double guiThreadCpuSeconds = 0;
    qint64 longestStallMs = 0;
};

GuiFigures GuiRun(const QString& folder, const QString& root)
{
    SettingsStore settings(std::make_unique<MemorySettingsBackend>());
    settings.WriteProfileInt(QStringLiteral("Settings"), QStringLiteral("ExistingBookAction"), 2);
    CatalogSession session;
    QDir().mkpath(root);
    session.Catalog().path = root + u"/index.lvf";
    session.Catalog().compressFiles = false;
    NoDialogs dialogs;
    CImportPage page(session, settings, dialogs);
    page.resize(1000, 700);
    page.show();
    for (int line = 0; line < kLogLines; ++line)
        page.Log().LogDebug(QStringLiteral("Earlier line %1").arg(line));
    QCoreApplication::processEvents();

    GuiFigures figures;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        figures.longestStallMs = std::max(figures.longestStallMs, sinceTick.restart());
    });
    QEventLoop loop;
    QElapsedTimer timer;
    QObject::connect(&page, &CImportPage::scanFinished, &page, [&] {
        figures.scanSeconds = double(timer.nsecsElapsed()) / 1e9;
        page.StartOrStop();
    });
    QObject::connect(&page, &CImportPage::runEnded, &loop, &QEventLoop::quit);
    const double cpuBefore = ThreadCpuSeconds();
    timer.start();
    sinceTick.start();
    ticker.start();
    page.AddPaths({folder});
    loop.exec();
    figures.seconds = double(timer.nsecsElapsed()) / 1e9;
    figures.guiThreadCpuSeconds = ThreadCpuSeconds() - cpuBefore;
    return figures;
}

// Drops `folder` on a shown page and waits until its rows are listed; the longest stall.
qint64 DropStallMs(const QString& folder, double* seconds)
{
    SettingsStore settings(std::make_unique<MemorySettingsBackend>());
    CatalogSession session;
    NoDialogs dialogs;
    CImportPage page(session, settings, dialogs);
    page.resize(1000, 700);
    page.show();
    QCoreApplication::processEvents();
    qint64 longest = 0;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout,
        [&] { longest = std::max(longest, sinceTick.restart()); });
    QEventLoop loop;
    QObject::connect(&page, &CImportPage::scanFinished, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    sinceTick.start();
    ticker.start();
    page.AddPaths({folder});
    loop.exec();
    // The listed rows are laid out and painted once more before the stall is read.
    QTimer::singleShot(50, &loop, &QEventLoop::quit);
    loop.exec();
    *seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("listed %lld rows\n", static_cast<long long>(page.List().Count()));
    return longest;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int books = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : kDefaultBooks;
    SyntheticOptions options;
    if (argc > 2) {
        options.maxBytes = std::max(8, QByteArray(argv[2]).toInt()) * qint64(1024);
        options.minBytes = std::min(options.minBytes, options.maxBytes / 4);
    }
    QTemporaryDir root;
    if (!root.isValid()) {
        std::fprintf(stderr, "Can't create a temporary folder\n");
        return 1;
    }
    const QString folder = root.path() + u"/books";
    SyntheticTotals totals;
    QString error;
    if (!WriteSyntheticFolder(options, books, folder, &totals, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("generated %d books, %.1f MB\n", totals.books, double(totals.bytes) / 1e6);
    WarmUp(folder);
    // Other work on the machine makes single runs vary: the best of alternating rounds counts.
    double cli = 0;
    GuiFigures gui;
    for (int round = 0; round < kRounds; ++round) {
        const QString place = root.path() + u"/round" + QString::number(round);
        const double cliRound = CliSeconds(folder, place + u"/cli");
        const GuiFigures guiRound = GuiRun(folder, place + u"/gui");
        std::printf("round %d: cli %.2f s; page %.2f s (scan %.2f s, GUI thread busy %.2f s, "
                    "longest stall %lld ms)\n",
            round + 1, cliRound, guiRound.seconds, guiRound.scanSeconds,
            guiRound.guiThreadCpuSeconds, static_cast<long long>(guiRound.longestStallMs));
        std::fflush(stdout);
        cli = round == 0 ? cliRound : std::min(cli, cliRound);
        gui.seconds = round == 0 ? guiRound.seconds : std::min(gui.seconds, guiRound.seconds);
        gui.longestStallMs = std::max(gui.longestStallMs, guiRound.longestStallMs);
    }
    std::printf("cli: %.0f books/s; page: %.0f books/s (best of %d rounds)\n", books / cli,
        books / gui.seconds, kRounds);
    std::printf("gui/cli throughput: %.2f\n", cli / gui.seconds);
    std::printf("longest gui stall: %lld ms\n", static_cast<long long>(gui.longestStallMs));

    const int dropCount = argc > 3 ? QByteArray(argv[3]).toInt() : 0;
    if (dropCount <= 0)
        return 0;
    SyntheticOptions small;
    small.minBytes = 2 * 1024;
    small.maxBytes = 4 * 1024;
    small.coverPercent = 0;
    const QString dropFolder = root.path() + u"/drop";
    if (!WriteSyntheticFolder(small, dropCount, dropFolder, &totals, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    double dropSeconds = 0;
    const qint64 dropStall = DropStallMs(dropFolder, &dropSeconds);
    std::printf("drop of %d files: listed in %.2f s, longest gui stall: %lld ms\n", dropCount,
        dropSeconds, static_cast<long long>(dropStall));
    return 0;
}
