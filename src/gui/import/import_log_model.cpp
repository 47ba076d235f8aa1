#include "gui/import/import_log_model.h"

#include "text/messages.h"

#include <QApplication>
#include <QStyle>

namespace lbv {
namespace {

// New lines show a few times a second, however fast they come.
constexpr int kDeliveryMs = 40;

} // namespace

int LevelSlot(LogLevel level)
{
    switch (level) {
    case LogLevel::Info:
        return 0;
    case LogLevel::Warning:
        return 1;
    case LogLevel::Error:
        return 2;
    case LogLevel::Debug:
        break;
    }
    return 3;
}

CImportLogModel::CImportLogModel(QObject* parent)
    : QAbstractTableModel(parent)
{
    QStyle* style = QApplication::style();
    icons_ = {style->standardIcon(QStyle::SP_MessageBoxInformation),
        style->standardIcon(QStyle::SP_MessageBoxWarning),
        style->standardIcon(QStyle::SP_MessageBoxCritical),
        style->standardIcon(QStyle::SP_FileDialogDetailedView)};
}

int CImportLogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(entries_.size());
}

int CImportLogModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CImportLogModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || std::size_t(index.row()) >= entries_.size())
        return {};
    const LogEntry& entry = entries_[std::size_t(index.row())];
    const auto slot = std::size_t(LevelSlot(entry.Level()));
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == Time ? entry.TimeText() : entry.text;
    case Qt::DecorationRole:
        return index.column() == Time ? QVariant(icons_[slot]) : QVariant();
    case Qt::ForegroundRole:
        return foreground_[slot].isValid() ? QVariant(foreground_[slot]) : QVariant();
    case Qt::BackgroundRole:
        return background_[slot].isValid() ? QVariant(background_[slot]) : QVariant();
    default:
        return {};
    }
}

QVariant CImportLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == Time)
        return MessageText(Msg::ImportColumnTime);
    if (section == Text)
        return MessageText(Msg::ImportLogColumnText);
    return {};
}

void CImportLogModel::Append(std::vector<LogEntry> entries)
{
    if (entries.empty())
        return;
    const int first = int(entries_.size());
    beginInsertRows({}, first, first + int(entries.size()) - 1);
    entries_.insert(entries_.end(), std::make_move_iterator(entries.begin()),
        std::make_move_iterator(entries.end()));
    endInsertRows();
}

void CImportLogModel::SetColors(
    const std::array<QColor, 4>& foreground, const std::array<QColor, 4>& background)
{
    foreground_ = foreground;
    background_ = background;
    if (!entries_.empty())
        Q_EMIT dataChanged(index(0, 0), index(int(entries_.size()) - 1, ColumnCount - 1),
            {Qt::ForegroundRole, Qt::BackgroundRole});
}

CQueuedLogSink::CQueuedLogSink(QObject* parent)
    : QObject(parent)
    , delivery_(kDeliveryMs, [this] { Deliver(); }, this)
{
}

void CQueuedLogSink::LogAdded(const LogEntry& entry)
{
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(entry);
    }
    delivery_.Request();
}

void CQueuedLogSink::Deliver()
{
    std::vector<LogEntry> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(pending_);
    }
    if (!batch.empty())
        Q_EMIT linesAdded(std::move(batch));
}

} // namespace lbv
