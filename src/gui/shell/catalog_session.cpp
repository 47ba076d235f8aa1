#include "gui/shell/catalog_session.h"

namespace lbv {

CatalogSession::ReadGuard::ReadGuard(CatalogSession& session)
    : session_(session)
{
    if (session_.readDepth_++ == 0)
        session_.mutex_.lock();
}

CatalogSession::ReadGuard::~ReadGuard()
{
    if (--session_.readDepth_ == 0)
        session_.mutex_.unlock();
}

void CatalogSession::SetImportRunning(bool running)
{
    if (running == importRunning_)
        return;
    importRunning_ = running;
    Q_EMIT importRunningChanged(running);
    if (!running)
        Q_EMIT changed();
}

void CatalogSession::Clear()
{
    Q_EMIT aboutToBeReplaced();
    const ReadGuard lock(*this);
    catalog_.New();
}

} // namespace lbv
