#pragma once
// Puts the existing-book question of a run's worker to the user on the GUI thread. The worker
// waits for the answer (a blocking queued call); the GUI thread never waits for the worker, and
// Cancel answers a pending or later question "No" so that a run can end while the window closes.
#include "import/import_book.h"

#include <QObject>

#include <atomic>

class QWidget;

namespace lbv {

class ImportDialogs;

class CExistingBookAsker final : public QObject, public ExistingBookQuestion {
    Q_OBJECT
public:
    CExistingBookAsker(ImportDialogs& dialogs, QWidget* parent);

    Answer Ask(const QString& text) override;

    // GUI thread: a new run asks again; a cancelled asker answers "No" at once.
    void Reset() { cancelled_ = false; }
    void Cancel();
    bool IsPending() const { return pending_; }

private:
    Answer AskHere(const QString& text);

    ImportDialogs& dialogs_;
    QWidget* parent_;
    std::atomic<bool> cancelled_ {false};
    bool pending_ = false;
};

} // namespace lbv
