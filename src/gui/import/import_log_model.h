#pragma once
// The import log as a table of time and text, with an icon and colours by level, and the sink
// that feeds it from any thread. The sink runs under the log's lock on the logging thread, so it
// only queues: lines gather in a batch that is handed to the GUI thread a few times a second.
#include "gui/import/coalesced_delivery.h"
#include "import/log_line.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>

#include <array>
#include <mutex>
#include <vector>

namespace lbv {

class CImportLogModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Text, ColumnCount };

    explicit CImportLogModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void Append(std::vector<LogEntry> entries);
    const LogEntry& Entry(int row) const { return entries_[std::size_t(row)]; }

    // Text and background colours of Info, Warning, Error and Debug lines.
    void SetColors(const std::array<QColor, 4>& foreground, const std::array<QColor, 4>& background);

private:
    std::vector<LogEntry> entries_;
    std::array<QColor, 4> foreground_;
    std::array<QColor, 4> background_;
    std::array<QIcon, 4> icons_;
};

// The position of a level in the model's colour arrays.
int LevelSlot(LogLevel level);

class CQueuedLogSink final : public QObject, public LogSink {
    Q_OBJECT
public:
    explicit CQueuedLogSink(QObject* parent = nullptr);

    // Any thread; never waits for the GUI.
    void LogAdded(const LogEntry& entry) override;

Q_SIGNALS:
    // GUI thread: the lines logged since the last batch, in order.
    void linesAdded(std::vector<LogEntry> entries);

private:
    void Deliver();

    std::mutex mutex_;
    std::vector<LogEntry> pending_;
    CCoalescedDelivery delivery_;
};

} // namespace lbv
