#include "gui/import/run_progress_relay.h"

namespace lbv {

void CRunProgressRelay::RunStarted(qsizetype rowCount)
{
    std::lock_guard lock(mutex_);
    state_ = {rowCount, 0, -1, -1};
    PostLocked();
}

void CRunProgressRelay::RowStatusChanged(qsizetype row)
{
    std::lock_guard lock(mutex_);
    state_.firstChanged = state_.firstChanged < 0 ? row : std::min(state_.firstChanged, row);
    state_.lastChanged = std::max(state_.lastChanged, row);
    PostLocked();
}

void CRunProgressRelay::Progress(qsizetype done, qsizetype total)
{
    std::lock_guard lock(mutex_);
    state_.done = done;
    state_.total = total;
    PostLocked();
}

void CRunProgressRelay::PostLocked()
{
    if (deliveryPosted_)
        return;
    deliveryPosted_ = true;
    QMetaObject::invokeMethod(this, &CRunProgressRelay::Deliver, Qt::QueuedConnection);
}

void CRunProgressRelay::Deliver()
{
    RunProgress progress;
    {
        std::lock_guard lock(mutex_);
        progress = state_;
        state_.firstChanged = state_.lastChanged = -1;
        deliveryPosted_ = false;
    }
    Q_EMIT progressed(progress);
}

} // namespace lbv
