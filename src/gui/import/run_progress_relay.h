#pragma once
// Hands what a run's worker reports on to the GUI thread without waiting for it. A fast run
// reports thousands of rows a second, so the reports are gathered and delivered a few times a
// second: the rows whose status changed since the last delivery, and the progress.
#include "gui/import/coalesced_delivery.h"
#include "import/import_run.h"

#include <QObject>

#include <mutex>

namespace lbv {

struct RunProgress {
    qsizetype total = 0;
    qsizetype done = 0;
    qsizetype firstChanged = -1; // rows with a new status since the last delivery; -1 for none
    qsizetype lastChanged = -1;
};

class CRunProgressRelay final : public QObject, public ImportObserver {
    Q_OBJECT
public:
    explicit CRunProgressRelay(QObject* parent = nullptr);

    void RunStarted(qsizetype rowCount) override;
    void RowStatusChanged(qsizetype row) override;
    void Progress(qsizetype done, qsizetype total) override;

Q_SIGNALS:
    // GUI thread.
    void progressed(const lbv::RunProgress& progress);

private:
    void Deliver();

    std::mutex mutex_;
    RunProgress state_;
    CCoalescedDelivery delivery_;
};

} // namespace lbv
