// "import": adds files, folders and ZIP archives to a library, as the Import page does.
#include "catalog/libravon_doc.h"
#include "cli/catalog_file.h"
#include "cli/command.h"
#include "cli/terminal.h"
#include "convert/converter_factory.h"
#include "import/import_list.h"
#include "import/import_source.h"
#include "settings/settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <atomic>
#include <csignal>

namespace lbv::cli {
namespace {

std::atomic<bool> interrupted {false};

extern "C" void OnInterrupt(int)
{
    interrupted = true;
}

// Ctrl-C stops the run between books; the books imported so far are saved.
class InterruptStopsRun {
public:
    InterruptStopsRun()
    {
        struct sigaction action { };
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &previous_);
    }
    ~InterruptStopsRun() { sigaction(SIGINT, &previous_, nullptr); }

private:
    struct sigaction previous_ { };
};

bool ParseOperation(const QString& text, ImportOperation* operation)
{
    if (text == u"standard")
        *operation = ImportOperation::Standard;
    else if (text == u"convert")
        *operation = ImportOperation::JustConvert;
    else if (text == u"in-place")
        *operation = ImportOperation::InPlace;
    else
        return false;
    return true;
}

bool ParseExisting(const QString& text, ExistingBookAction* action)
{
    if (text == u"ask")
        *action = ExistingBookAction::Ask;
    else if (text == u"replace")
        *action = ExistingBookAction::Replace;
    else if (text == u"skip")
        *action = ExistingBookAction::Skip;
    else
        return false;
    return true;
}

int RunImport(Arguments& args)
{
    const Command& self = *FindCommand(QStringLiteral("import"));
    const QString operationText
        = args.TakeOption(QStringLiteral("--operation"), QStringLiteral("standard"));
    const QString existingText = args.TakeOption(QStringLiteral("--existing"));
    const QString logDir = args.TakeOption(QStringLiteral("--log-dir"));
    const bool verbose = args.TakeFlag(QStringLiteral("--verbose"));
    const QStringList positional = args.Positional();
    if (!args.Error().isEmpty())
        return UsageError(self, args.Error());
    if (positional.size() < 2)
        return UsageError(self, QStringLiteral("expected INDEX and at least one PATH"));
    ImportOperation operation;
    if (!ParseOperation(operationText, &operation))
        return UsageError(self, QStringLiteral("unknown operation %1").arg(operationText));
    ImportOptions options = ReadImportOptions(AppSettings());
    if (!existingText.isEmpty() && !ParseExisting(existingText, &options.existingBookAction))
        return UsageError(self, QStringLiteral("unknown --existing choice %1").arg(existingText));
    if (!logDir.isEmpty()) {
        // Naming a log folder on the command line asks for the files.
        options.logFilesDir = logDir;
        options.writeLogs = true;
        if (!QDir().mkpath(logDir)) {
            Err(QStringLiteral("libravon-cli: can't create the log folder %1").arg(logDir));
            return 1;
        }
    }
    for (const QString& path : positional.mid(1)) {
        if (!QFileInfo::exists(path)) {
            Err(QStringLiteral("libravon-cli: %1 does not exist").arg(path));
            return 1;
        }
    }

    CLibravonDoc catalog;
    if (!OpenCatalog(catalog, positional[0]))
        return 1;

    ImportReporter reporter(verbose);
    ImportLog log(&reporter);
    log.SetFolder(options.logFilesDir);
    log.SetWriteFiles(options.writeLogs);
    ImportList list;
    const int prefetch = ImportPrefetchSize(AppSettings());
    for (const QString& path : positional.mid(1)) {
        CImportSource source(QFileInfo(path).absoluteFilePath(), prefetch);
        QString error;
        source.Scan(&error);
        if (!error.isEmpty())
            log.LogWarning(error);
        list.AddSource(source);
    }

    TerminalQuestion question(&reporter);
    const std::unique_ptr<DocumentConverter> converter = CreateAny2Fb2Converter();
    ImportContext context;
    context.catalog = &catalog;
    context.log = &log;
    context.settings = &AppSettings();
    context.question = &question;
    context.converter = converter.get();
    context.options = options;
    BookImporter importer(context);
    ImportRun run(list, importer, &reporter);
    QString refusal;
    InterruptStopsRun interruptStopsRun;
    if (!run.Start(operation, &refusal)) {
        Err(QStringLiteral("libravon-cli: ") + refusal);
        return 1;
    }
    while (run.IsRunning()) {
        if (interrupted)
            run.RequestStop();
        QThread::msleep(100);
    }
    const ImportRunSummary summary = run.Wait();

    const bool saved = !catalog.IsModified() || SaveCatalog(catalog);
    // Books the index could not record are not "ok": nobody will find them in the library.
    Err(QStringLiteral("%1 books: %2 %3, %4 already added, %5 failed%6")
            .arg(summary.rows)
            .arg(summary.ok)
            .arg(saved ? QStringLiteral("ok") : QStringLiteral("not saved in the index"))
            .arg(summary.alreadyAdded)
            .arg(summary.failed)
            .arg(summary.stopped ? QStringLiteral("; stopped") : QString()));
    const bool allImported = summary.rows > 0 && summary.failed == 0 && !summary.stopped;
    return saved && allImported ? 0 : 1;
}

const CommandRegistrar registrar({QStringLiteral("import"),
    QStringLiteral("INDEX PATH... [--operation standard|convert|in-place] "
                   "[--existing ask|replace|skip] [--log-dir DIR] [--verbose]"),
    QStringLiteral("Import books from files, folders and ZIP archives into the library."),
    RunImport});

} // namespace
} // namespace lbv::cli
