#pragma once
// Scans dropped or added paths on a thread of its own, one path after the other in the order
// given, into rows ready to be taken over by the import list, so that a folder of 100,000 files
// leaves the window working.
#include <QObject>
#include <QStringList>
#include <QThread>

#include <memory>

namespace lbv {

class ImportList;
class ScanWorker;

struct ScannedSource {
    std::shared_ptr<ImportList> rows; // the path's books, depth first
    QString error; // for the log, as a warning; empty when there was nothing to say
};

class CImportScanner final : public QObject {
    Q_OBJECT
public:
    explicit CImportScanner(int prefetchSize, QObject* parent = nullptr);
    // Waits for the path being scanned; the paths queued after it are dropped.
    ~CImportScanner() override;

    void Scan(const QStringList& paths);
    bool IsBusy() const { return queued_ > 0; }

Q_SIGNALS:
    // GUI thread, once per path.
    void scanned(const lbv::ScannedSource& result);
    void busyChanged(bool busy);

private:
    void Delivered(const ScannedSource& result);

    QThread thread_;
    ScanWorker* worker_; // deleted by the thread as it ends
    const int prefetchSize_;
    int queued_ = 0;
};

} // namespace lbv

Q_DECLARE_METATYPE(lbv::ScannedSource)
