#pragma once
// What "import" shows on the terminal: the log on stderr with a progress bar below it when
// stderr is a terminal, and the existing-book question asked on stdin.
#include "import/import_book.h"
#include "import/import_run.h"
#include "import/log_line.h"

#include <mutex>

namespace lbv::cli {

// The log and the run's progress, from the worker thread. On a terminal: warnings and errors
// (every line with `verbose`) above a bar that is redrawn in place. Otherwise every line as
// "<letter> <text>" and no bar.
class ImportReporter final : public LogSink, public ImportObserver {
public:
    explicit ImportReporter(bool verbose);

    void LogAdded(const LogEntry& entry) override;
    void RunStarted(qsizetype rowCount) override;
    void Progress(qsizetype done, qsizetype total) override;
    void RunFinished(const ImportRunSummary& summary) override;

    // Clears the bar so that other text can follow (the question).
    void ClearBar();
    void DrawBar();

private:
    const bool terminal_;
    const bool verbose_;
    std::recursive_mutex mutex_;
    qsizetype done_ = 0;
    qsizetype total_ = 0;
    bool barShown_ = false;
};

// Asks on stderr and reads the answer from stdin: y(es), n(o), a (yes to all), l (no to all),
// the letters the dialog's buttons underline. End of input, or an interrupt, answers No.
class TerminalQuestion final : public ExistingBookQuestion {
public:
    explicit TerminalQuestion(ImportReporter* reporter)
        : reporter_(reporter)
    {
    }
    Answer Ask(const QString& text) override;

private:
    ImportReporter* reporter_;
};

} // namespace lbv::cli
