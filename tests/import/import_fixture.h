#pragma once
// A library in a temporary folder, an import list and an importer wired to a recording log, for
// the import engine's tests.
#include "catalog/libravon_doc.h"
#include "fb2_samples.h"
#include "import/import_book.h"
#include "import/import_list.h"
#include "import/import_run.h"
#include "import/import_source.h"
#include "import/log_line.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>

namespace lbv::test {

class RecordingLog final : public LogSink {
public:
    void LogAdded(const LogEntry& entry) override
    {
        std::lock_guard lock(mutex_);
        entries_.push_back(entry);
    }
    std::vector<LogEntry> Entries() const
    {
        std::lock_guard lock(mutex_);
        return entries_;
    }
    // "<letter> <text>" of every line so far.
    QStringList Lines() const
    {
        QStringList lines;
        for (const LogEntry& entry : Entries())
            lines << QString(entry.letter) + u' ' + entry.text;
        return lines;
    }
    void Clear()
    {
        std::lock_guard lock(mutex_);
        entries_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<LogEntry> entries_;
};

// Answers from a script, in order; No once the script is used up.
class ScriptedQuestion final : public ExistingBookQuestion {
public:
    Answer Ask(const QString& text) override
    {
        questions.push_back(text);
        if (answers.empty())
            return Answer::No;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<Answer> answers;
    QStringList questions;
};

inline QString TitleInfo(const QString& first, const QString& last, const QString& title,
    const QString& genre = QStringLiteral("sf"))
{
    QString info;
    if (!genre.isEmpty())
        info += u"<genre>" + genre + u"</genre>";
    info += u"<author><first-name>" + first + u"</first-name><last-name>" + last
        + u"</last-name></author><book-title>" + title + u"</book-title>";
    return info;
}

inline void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(path);
    ASSERT_EQ(file.write(bytes), bytes.size());
}

inline QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ImportFixture : public ::testing::Test {
protected:
    ImportFixture()
        : settings_(std::make_unique<MemorySettingsBackend>(Qt::CaseInsensitive))
    {
        qputenv("TMPDIR", QFile::encodeName(Path(u"tmp")));
        QDir().mkpath(Path(u"tmp"));
        catalog_.New();
        catalog_.path = Path(u"library/index.lvf");
        catalog_.compressFiles = false;
        log_.SetSink(&sink_);
    }
    ~ImportFixture() override { qunsetenv("TMPDIR"); }

    QString Path(QStringView relative) const { return root_.filePath(relative.toString()); }

    // An FB2 book below the incoming folder; returns its path.
    QString WriteBook(const QString& name, const QString& titleInfo)
    {
        const QString path = Path(QString(u"incoming/" + name));
        WriteBytes(path, Fb2Utf8(titleInfo));
        return path;
    }
    QString WriteBook(const QString& first, const QString& last, const QString& title)
    {
        return WriteBook(title + u".fb2", TitleInfo(first, last, title));
    }

    // Scans a file or folder into the list; returns the rows it gave.
    int Add(const QString& path)
    {
        CImportSource source(path, 4096);
        QString error;
        source.Scan(&error);
        scanError_ = error;
        return list_.AddSource(source);
    }

    ImportContext Context()
    {
        ImportContext context;
        context.catalog = &catalog_;
        context.catalogMutex = &catalogMutex_;
        context.log = &log_;
        context.settings = &settings_;
        context.question = &question_;
        context.options = options_;
        return context;
    }

    // Imports every row on this thread with the current options.
    ImportRunSummary RunImport(ImportOperation operation, ImportObserver* observer = nullptr)
    {
        BookImporter importer(Context());
        ImportRun run(list_, importer, observer);
        return run.RunHere(operation);
    }

    int BookCount() const
    {
        int count = 0;
        for (const auto& author : catalog_.Authors())
            count += int(author->BookCount());
        return count;
    }

    QTemporaryDir root_;
    SettingsStore settings_;
    CLibravonDoc catalog_;
    std::mutex catalogMutex_;
    RecordingLog sink_;
    ImportLog log_;
    ImportList list_;
    ScriptedQuestion question_;
    ImportOptions options_;
    QString scanError_;
};

} // namespace lbv::test
