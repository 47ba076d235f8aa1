#include "gui/import/import_scanner.h"

#include "import/import_list.h"
#include "import/import_source.h"

#include <QFileInfo>
#include <atomic>

namespace lbv {

// Lives on the scan thread; each queued call scans one path.
class ScanWorker final : public QObject {
    Q_OBJECT
public:
    std::atomic<bool> closing {false};

    void ScanPath(const QString& path, int prefetchSize)
    {
        if (closing)
            return;
        CImportSource source(QFileInfo(path).absoluteFilePath(), prefetchSize);
        source.SetCancel(&closing);
        ScannedSource result;
        source.Scan(&result.error);
        result.rows = std::make_shared<ImportList>();
        result.rows->AddSource(source);
        Q_EMIT scanned(result);
    }

Q_SIGNALS:
    void scanned(const lbv::ScannedSource& result);
};

CImportScanner::CImportScanner(int prefetchSize, QObject* parent)
    : QObject(parent)
    , worker_(new ScanWorker)
    , prefetchSize_(prefetchSize)
{
    qRegisterMetaType<ScannedSource>();
    thread_.setObjectName(QStringLiteral("importScan"));
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(worker_, &ScanWorker::scanned, this, &CImportScanner::Delivered, Qt::QueuedConnection);
    thread_.start();
}

CImportScanner::~CImportScanner()
{
    worker_->closing = true;
    thread_.quit();
    thread_.wait();
}

void CImportScanner::Scan(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    const bool wasIdle = queued_ == 0;
    ScanWorker* worker = worker_;
    for (const QString& path : paths) {
        ++queued_;
        QMetaObject::invokeMethod(
            worker, [worker, path, size = prefetchSize_] { worker->ScanPath(path, size); },
            Qt::QueuedConnection);
    }
    if (wasIdle)
        Q_EMIT busyChanged(true);
}

void CImportScanner::Delivered(const ScannedSource& result)
{
    --queued_;
    Q_EMIT scanned(result);
    if (queued_ == 0)
        Q_EMIT busyChanged(false);
}

} // namespace lbv

#include "import_scanner.moc"
