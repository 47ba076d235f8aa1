#pragma once
// One import run over the import list: every checked row in order, on a worker thread (or on the
// caller's, for scripts), until the end or a stop request, which is honoured between rows.
// Rows imported successfully lose their check mark and leave the list when the run ends; failed
// rows stay checked for another run.
#include "import/import_book.h"

#include <atomic>
#include <thread>

namespace lbv {

class ImportList;

struct ImportRunSummary {
    qsizetype rows = 0; // rows in the list when the run started
    qsizetype visited = 0; // rows the run reached before it ended or stopped
    int ok = 0;
    int alreadyAdded = 0;
    int failed = 0;
    bool stopped = false;
    qsizetype removedRows = 0;
    bool catalogChanged = false;
};

// What the Import page learns of a run, on the worker thread. A GUI hands each call on to its
// own thread without waiting (a queued signal): the worker must never block on the GUI here.
class ImportObserver {
public:
    virtual ~ImportObserver() = default;
    virtual void RunStarted(qsizetype rowCount) { (void)rowCount; }
    // The row's status changed ("Processing..." when it starts, its result when it ends).
    virtual void RowStatusChanged(qsizetype row) { (void)row; }
    // One step of the progress bar: `done` of the run's rows are behind.
    virtual void Progress(qsizetype done, qsizetype total) { (void)done, (void)total; }
    // Once per run, after the finished rows were removed and new authors were sorted in: the
    // moment to rebuild the views of the catalog and the list.
    virtual void RunFinished(const ImportRunSummary& summary) { (void)summary; }
};

class ImportRun {
public:
    ImportRun(ImportList& list, BookImporter& importer, ImportObserver* observer = nullptr);
    // Stops a running worker (after its current row) and waits for it.
    ~ImportRun();
    ImportRun(const ImportRun&) = delete;
    ImportRun& operator=(const ImportRun&) = delete;

    // Whether a run of this operation can start: converting operations need the converter, and
    // runs that add to the catalog an index that can be saved. False with the text to show
    // otherwise.
    bool CanStart(ImportOperation operation, QString* error) const;
    // Starts a run on a worker thread; false when one is running or CanStart refuses.
    bool Start(ImportOperation operation, QString* error = nullptr);
    // Runs on the calling thread and returns when the run has ended.
    ImportRunSummary RunHere(ImportOperation operation);

    // Asks the running worker to stop after its current row.
    void RequestStop() { stopRequested_ = true; }
    bool IsRunning() const { return running_; }
    // Waits for the worker to end (at once when none runs); the summary of the last run.
    ImportRunSummary Wait();

private:
    ImportRunSummary Loop(ImportOperation operation);
    quint64 CatalogGeneration();

    ImportList& list_;
    BookImporter& importer_;
    ImportObserver* observer_;
    std::thread worker_;
    std::atomic<bool> running_ {false};
    std::atomic<bool> stopRequested_ {false};
    ImportRunSummary lastSummary_; // written by the worker, read after joining it
};

} // namespace lbv
