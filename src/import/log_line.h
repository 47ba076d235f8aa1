#pragma once
// The import log: every step of an import is reported as lines with a level, shown on the
// Import page and, when a log folder is set, appended to one UTF-8 file per day in that folder
// ("Libravon" + "yyMMdd" + ".ucp").
#include <QDateTime>
#include <QFile>
#include <QString>
#include <functional>
#include <mutex>

namespace lbv {

enum class LogLevel : char { Info = 'I', Warning = 'W', Error = 'E', Debug = 'D' };

struct LogEntry {
    QChar letter; // as logged; Level() shows any letter but I, W and E as Debug
    QDateTime time;
    QString text; // one line

    LogLevel Level() const;
    QString TimeText() const { return time.toString(QStringLiteral("HH:mm:ss")); }
};

// Told about every line on the thread that logged it (the import worker during a run).
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void LogAdded(const LogEntry& entry) = 0;
};

// "Libravon" + the date as "yyMMdd" + ".ucp".
QString LogFileName(const QDate& date);

// Thread-safe: the worker and the GUI thread (warnings of a scan) may log at the same time.
class ImportLog {
public:
    explicit ImportLog(LogSink* sink = nullptr)
        : sink_(sink)
    {
    }

    void SetSink(LogSink* sink);
    // The folder of the daily files; empty writes none.
    void SetFolder(const QString& folder);
    QString Folder() const;
    // Whether the daily files are written at all (the user's "Write logs"); on until set.
    void SetWriteFiles(bool on);
    // Where the time of each line comes from (tests move it across midnight).
    void SetClock(std::function<QDateTime()> clock);

    // Carriage returns are dropped and the text is split at line feeds, one entry per piece
    // (other control characters become spaces; callers fold line breaks in the names they quote);
    // the last piece is trimmed and dropped when empty. Each entry takes the time anew, so a
    // run over midnight continues in the next day's file.
    void LogLine(QChar letter, const QString& text);
    void LogError(const QString& text) { LogLine(u'E', text); }
    void LogWarning(const QString& text) { LogLine(u'W', text); }
    void LogInfo(const QString& text) { LogLine(u'I', text); }
    void LogDebug(const QString& text) { LogLine(u'D', text); }
    // A text handed on from another step: an error when it starts with "E" (as "Error: ..."
    // does), a warning otherwise.
    void LogStepText(const QString& text);

private:
    void AppendToFile(const LogEntry& entry);

    mutable std::mutex mutex_;
    LogSink* sink_;
    QString folder_;
    bool writeFiles_ = true;
    std::function<QDateTime()> clock_;
    // The day's file stays open between lines; a new name (folder or date) opens another.
    QFile file_;
};

} // namespace lbv
