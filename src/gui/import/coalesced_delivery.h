#pragma once
// Turns reports that may come thousands of times a second from any thread into at most one
// call on the GUI thread per interval: the first request posts a timer start, the timer calls
// back, and requests until then ride along. The reporter never waits for the GUI.
#include <QObject>
#include <QTimer>

#include <atomic>
#include <functional>

namespace lbv {

class CCoalescedDelivery final : public QObject {
    Q_OBJECT
public:
    CCoalescedDelivery(int intervalMs, std::function<void()> deliver, QObject* parent = nullptr);

    // Any thread.
    void Request();

private:
    std::function<void()> deliver_;
    QTimer timer_;
    std::atomic<bool> requested_ {false};
};

} // namespace lbv
