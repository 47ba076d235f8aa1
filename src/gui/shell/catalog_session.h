#pragma once
// The one catalog of the program's run, with what its owner must provide beside it: the mutex an
// import worker takes for each change (the GUI takes it to read records while a run is active),
// whether an import runs (the worker is then the only writer, so editing commands are refused),
// and the notifications views rebuild on.
#include "catalog/libravon_doc.h"

#include <QObject>

#include <mutex>

namespace lbv {

class CatalogSession : public QObject {
    Q_OBJECT
public:
    explicit CatalogSession(QObject* parent = nullptr)
        : QObject(parent)
    {
    }

    CLibravonDoc& Catalog() { return catalog_; }
    // For the import worker, which locks it for each change.
    std::mutex& Mutex() { return mutex_; }

    // Held while the GUI thread reads records. Nested guards lock once, so a model can read
    // inside a rebuild that already holds it. GUI thread only.
    class ReadGuard {
    public:
        explicit ReadGuard(CatalogSession& session);
        ~ReadGuard();
        ReadGuard(const ReadGuard&) = delete;
        ReadGuard& operator=(const ReadGuard&) = delete;

    private:
        CatalogSession& session_;
    };
    ReadGuard ReadLock() { return ReadGuard(*this); }

    bool IsImportRunning() const { return importRunning_; }
    // The GUI may change the catalog only while no import runs.
    bool MayEdit() const { return !importRunning_; }
    // Set when an import run starts; clearing it announces the run's changes once.
    void SetImportRunning(bool running);

    // Tells the views to drop every row, then empties the catalog: the only way to call New()
    // so that nothing paints a freed record, even while a box of Open() is on screen.
    void Clear();
    // After the catalog holds another library (or none).
    void NotifyReplaced() { Q_EMIT replaced(); }
    // Before something outside the session may replace the catalog's records (a plug-in run):
    // the views let go of them, to be shown again after NotifyReplaced.
    void NotifyAboutToBeReplaced() { Q_EMIT aboutToBeReplaced(); }

Q_SIGNALS:
    // Sent before the catalog's records are freed: views reset their models now.
    void aboutToBeReplaced();
    void replaced();
    // An import run ended: what it added is shown in one rebuild.
    void changed();
    void importRunningChanged(bool running);

private:
    CLibravonDoc catalog_;
    std::mutex mutex_;
    int readDepth_ = 0;
    bool importRunning_ = false;
};

} // namespace lbv
