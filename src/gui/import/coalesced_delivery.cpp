#include "gui/import/coalesced_delivery.h"

namespace lbv {

CCoalescedDelivery::CCoalescedDelivery(
    int intervalMs, std::function<void()> deliver, QObject* parent)
    : QObject(parent)
    , deliver_(std::move(deliver))
{
    timer_.setSingleShot(true);
    timer_.setInterval(intervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        // Cleared first: a request made while delivering is delivered next time.
        requested_ = false;
        deliver_();
    });
}

void CCoalescedDelivery::Request()
{
    if (requested_.exchange(true))
        return;
    QMetaObject::invokeMethod(&timer_, qOverload<>(&QTimer::start), Qt::QueuedConnection);
}

} // namespace lbv
