#include "gui/import/existing_book_asker.h"

#include "gui/import/import_dialogs.h"

#include <QThread>
#include <QWidget>

namespace lbv {

CExistingBookAsker::CExistingBookAsker(ImportDialogs& dialogs, QWidget* parent)
    : QObject(parent)
    , dialogs_(dialogs)
    , parent_(parent)
{
}

ExistingBookQuestion::Answer CExistingBookAsker::Ask(const QString& text)
{
    if (cancelled_)
        return Answer::No;
    // A run on the GUI thread itself (scripts) asks directly; a blocking call would wait for
    // itself.
    if (QThread::currentThread() == thread())
        return AskHere(text);
    Answer answer = Answer::No;
    QMetaObject::invokeMethod(
        this, [this, &text, &answer] { answer = AskHere(text); }, Qt::BlockingQueuedConnection);
    return answer;
}

ExistingBookQuestion::Answer CExistingBookAsker::AskHere(const QString& text)
{
    if (cancelled_)
        return Answer::No;
    pending_ = true;
    const Answer answer = dialogs_.AskExistingBook(parent_, text);
    pending_ = false;
    return cancelled_ ? Answer::No : answer;
}

void CExistingBookAsker::Cancel()
{
    cancelled_ = true;
    if (pending_)
        dialogs_.DismissQuestion();
}

} // namespace lbv
