#include "import/import_run.h"

#include "catalog/libravon_doc.h"
#include "import/import_list.h"
#include "import/stored_book.h"
#include "text/messages.h"

namespace lbv {

ImportRun::ImportRun(ImportList& list, BookImporter& importer, ImportObserver* observer)
    : list_(list)
    , importer_(importer)
    , observer_(observer)
{
}

ImportRun::~ImportRun()
{
    RequestStop();
    Wait();
}

bool ImportRun::CanStart(ImportOperation operation, QString* error) const
{
    const ImportContext& context = importer_.Context();
    if (operation != ImportOperation::InPlace && !context.converter) {
        if (error)
            *error = MessageText(Msg::ConverterMissing);
        return false;
    }
    // Books copied into a library whose index then can't be saved would be files nobody lists.
    if (operation != ImportOperation::JustConvert && context.catalog) {
        const auto lock = LockCatalog(context);
        if (!context.catalog->IndexWritable()) {
            if (error)
                *error = MessageText(Msg::IndexNotWritable).arg(context.catalog->path);
            return false;
        }
    }
    return true;
}

bool ImportRun::Start(ImportOperation operation, QString* error)
{
    if (running_ || !CanStart(operation, error))
        return false;
    Wait(); // the thread of the previous run has ended, but must be joined
    stopRequested_ = false;
    running_ = true;
    // Set before the worker starts, so the GUI can't remove a row the worker is about to read.
    list_.SetRunActive(true);
    worker_ = std::thread([this, operation] {
        lastSummary_ = Loop(operation);
        running_ = false;
    });
    return true;
}

ImportRunSummary ImportRun::RunHere(ImportOperation operation)
{
    stopRequested_ = false;
    running_ = true;
    list_.SetRunActive(true);
    lastSummary_ = Loop(operation);
    running_ = false;
    return lastSummary_;
}

ImportRunSummary ImportRun::Wait()
{
    if (worker_.joinable())
        worker_.join();
    return lastSummary_;
}

quint64 ImportRun::CatalogGeneration()
{
    const ImportContext& context = importer_.Context();
    if (!context.catalog)
        return 0;
    const auto lock = LockCatalog(context);
    // Reading the authors merges those added since into their sorted places, so the GUI's
    // first look after the run costs nothing.
    context.catalog->Authors();
    return context.catalog->Generation();
}

ImportRunSummary ImportRun::Loop(ImportOperation operation)
{
    ImportRunSummary summary;
    const ArchiveReuse archives;
    const quint64 generationBefore = CatalogGeneration();
    importer_.BeginRun();
    // Rows added while the run goes on wait for the next run.
    summary.rows = list_.Count();
    if (observer_)
        observer_->RunStarted(summary.rows);
    for (qsizetype row = 0; row < summary.rows; ++row) {
        if (stopRequested_) {
            summary.stopped = true;
            break;
        }
        std::optional<CBookHeader> copy;
        if (list_.IsChecked(row) && (copy = list_.HeaderCopy(row))) {
            CBookHeader& header = *copy;
            list_.SetStatus(row, MessageText(Msg::StatusProcessing));
            if (observer_)
                observer_->RowStatusChanged(row);
            const ImportStatus status = importer_.ImportOne(header, operation);
            list_.SetStatus(row, StatusText(status));
            if (status == ImportStatus::Failure) {
                ++summary.failed;
            } else {
                list_.SetChecked(row, false);
                ++(status == ImportStatus::Ok ? summary.ok : summary.alreadyAdded);
            }
            if (observer_)
                observer_->RowStatusChanged(row);
        }
        summary.visited = row + 1;
        if (observer_)
            observer_->Progress(summary.visited, summary.rows);
    }
    summary.removedRows = list_.RemoveUnchecked();
    list_.SetRunActive(false);
    summary.catalogChanged = CatalogGeneration() != generationBefore;
    if (observer_)
        observer_->RunFinished(summary);
    return summary;
}

} // namespace lbv
