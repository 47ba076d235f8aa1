#include "gui/import/run_progress_relay.h"

namespace lbv {
namespace {

// Often enough to look live, seldom enough to leave the worker the processor.
constexpr int kDeliveryMs = 40;

} // namespace

CRunProgressRelay::CRunProgressRelay(QObject* parent)
    : QObject(parent)
    , delivery_(kDeliveryMs, [this] { Deliver(); }, this)
{
}

void CRunProgressRelay::RunStarted(qsizetype rowCount)
{
    std::lock_guard lock(mutex_);
    state_ = {rowCount, 0, -1, -1};
    delivery_.Request();
}

void CRunProgressRelay::RowStatusChanged(qsizetype row)
{
    std::lock_guard lock(mutex_);
    state_.firstChanged = state_.firstChanged < 0 ? row : std::min(state_.firstChanged, row);
    state_.lastChanged = std::max(state_.lastChanged, row);
    delivery_.Request();
}

void CRunProgressRelay::Progress(qsizetype done, qsizetype total)
{
    std::lock_guard lock(mutex_);
    state_.done = done;
    state_.total = total;
    delivery_.Request();
}

void CRunProgressRelay::Deliver()
{
    RunProgress progress;
    {
        std::lock_guard lock(mutex_);
        progress = state_;
        state_.firstChanged = state_.lastChanged = -1;
    }
    Q_EMIT progressed(progress);
}

} // namespace lbv
