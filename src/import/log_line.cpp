#include "import/log_line.h"

#include "catalog/file_name_mask.h"

#include <QDir>
#include <unistd.h>

namespace lbv {

LogLevel LogEntry::Level() const
{
    switch (letter.unicode()) {
    case u'I':
        return LogLevel::Info;
    case u'W':
        return LogLevel::Warning;
    case u'E':
        return LogLevel::Error;
    default:
        return LogLevel::Debug;
    }
}

QString LogFileName(const QDate& date)
{
    return u"Libravon" + date.toString(QStringLiteral("yyMMdd")) + u".ucp";
}

void ImportLog::SetSink(LogSink* sink)
{
    std::lock_guard lock(mutex_);
    sink_ = sink;
}

void ImportLog::SetFolder(const QString& folder)
{
    std::lock_guard lock(mutex_);
    folder_ = folder;
}

void ImportLog::SetWriteFiles(bool on)
{
    std::lock_guard lock(mutex_);
    writeFiles_ = on;
    if (!on)
        file_.close();
}

QString ImportLog::Folder() const
{
    std::lock_guard lock(mutex_);
    return folder_;
}

void ImportLog::SetClock(std::function<QDateTime()> clock)
{
    std::lock_guard lock(mutex_);
    clock_ = std::move(clock);
}

void ImportLog::LogLine(QChar letter, const QString& text)
{
    QString plain = text;
    plain.remove(u'\r');
    QStringList pieces = plain.split(u'\n');
    // Tabs, escapes and other controls would let a name rewrite the terminal or the log file.
    for (QString& piece : pieces)
        piece = OneLineText(piece);
    pieces.last() = pieces.last().trimmed();
    if (pieces.last().isEmpty())
        pieces.removeLast();

    std::lock_guard lock(mutex_);
    for (const QString& piece : std::as_const(pieces)) {
        const LogEntry entry {letter, clock_ ? clock_() : QDateTime::currentDateTime(), piece};
        if (sink_)
            sink_->LogAdded(entry);
        if (writeFiles_ && !folder_.isEmpty())
            AppendToFile(entry);
    }
}

void ImportLog::LogStepText(const QString& text)
{
    LogLine(text.startsWith(u'E') ? u'E' : u'W', text);
}

void ImportLog::AppendToFile(const LogEntry& entry)
{
    const QString path = QDir(folder_).filePath(LogFileName(entry.time.date()));
    if (file_.fileName() != path || !file_.isOpen()) {
        file_.close();
        file_.setFileName(path);
        // A log that can't be opened is skipped; the next line tries again.
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Append))
            return;
    }
    // The low 16 bits of the thread id tell the lines of a run from those of the GUI thread.
    const QString thread
        = QStringLiteral("%1").arg(unsigned(gettid()) & 0xFFFFu, 4, 16, QLatin1Char('0')).toUpper();
    const QString line = QString(entry.letter) + u' ' + entry.TimeText() + u' ' + thread + u' '
        + entry.text + u'\n';
    file_.write(line.toUtf8());
    file_.flush();
}

} // namespace lbv
