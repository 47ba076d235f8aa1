#include "import_fixture.h"

#include <QRegularExpression>

using namespace lbv;
using namespace lbv::test;
using namespace Qt::StringLiterals;

namespace {

class ImportLogTest : public ::testing::Test {
protected:
    ImportLogTest() { log_.SetSink(&sink_); }

    QTemporaryDir folder_;
    RecordingLog sink_;
    ImportLog log_;
};

} // namespace

TEST_F(ImportLogTest, MultiLineTextsGiveOneLineEachWithItsOwnTime)
{
    int tick = 0;
    log_.SetClock([&] { return QDateTime(QDate(2026, 12, 8), QTime(10, 0, tick++)); });
    log_.LogError(u"Error: first\r\nsecond\n\n  third  \r\n"_s);
    const std::vector<LogEntry> entries = sink_.Entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].text, u"Error: first");
    EXPECT_EQ(entries[1].text, u"second");
    EXPECT_EQ(entries[2].text, u""); // only the last piece is dropped when empty
    EXPECT_EQ(entries[3].text, u"  third  ");
    EXPECT_EQ(entries[0].TimeText(), u"10:00:00");
    EXPECT_EQ(entries[3].TimeText(), u"10:00:03");
    for (const LogEntry& entry : entries)
        EXPECT_EQ(entry.Level(), LogLevel::Error);

    sink_.Clear();
    log_.LogInfo(u"trailing blanks  "_s);
    log_.LogInfo(u"   "_s);
    EXPECT_EQ(sink_.Lines(), QStringList {u"I trailing blanks"_s});
}

TEST_F(ImportLogTest, ControlCharactersInALineBecomeSpaces)
{
    log_.LogInfo(u"Book \x1b[2Jname\twith\u2028tab"_s);
    EXPECT_EQ(sink_.Lines(), QStringList {u"I Book  [2Jname with tab"_s});
}

TEST_F(ImportLogTest, StepTextsStartingWithEAreErrorsOthersWarningsUnknownLettersDebug)
{
    log_.LogStepText(u"Error: Can't create file \"x\"."_s);
    log_.LogStepText(u"Warning: File \"x\" already exists. Importing as is."_s);
    log_.LogLine(u'X', u"odd"_s);
    log_.LogDebug(u"converter said"_s);
    const std::vector<LogEntry> entries = sink_.Entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].Level(), LogLevel::Error);
    EXPECT_EQ(entries[1].Level(), LogLevel::Warning);
    EXPECT_EQ(entries[2].Level(), LogLevel::Debug);
    EXPECT_EQ(entries[2].letter, u'X');
    EXPECT_EQ(entries[3].Level(), LogLevel::Debug);
}

TEST_F(ImportLogTest, DailyFilesChangeNameAtMidnightAndHoldOneLinePerEntry)
{
    EXPECT_EQ(LogFileName(QDate(2026, 1, 5)), u"Libravon260105.ucp");
    QDateTime now(QDate(2026, 12, 8), QTime(23, 59, 59));
    log_.SetClock([&] { return now; });
    log_.SetFolder(folder_.path());
    log_.LogWarning(u"Книга before midnight"_s);
    now = QDateTime(QDate(2026, 12, 9), QTime(0, 0, 1));
    log_.LogError(u"after\nmidnight"_s);

    const QByteArray before = ReadBytes(folder_.filePath(u"Libravon261208.ucp"_s));
    const QByteArray after = ReadBytes(folder_.filePath(u"Libravon261209.ucp"_s));
    const QRegularExpression line(u"^W 23:59:59 [0-9A-F]{4} Книга before midnight\n$"_s);
    EXPECT_TRUE(line.match(QString::fromUtf8(before)).hasMatch()) << before.constData();
    const QStringList lines = QString::fromUtf8(after).split(u'\n');
    ASSERT_EQ(lines.size(), 3) << after.constData();
    EXPECT_TRUE(QRegularExpression(u"^E 00:00:01 [0-9A-F]{4} after$"_s).match(lines[0]).hasMatch());
    EXPECT_TRUE(lines[1].endsWith(u" midnight"));
    // The same thread writes the same id.
    EXPECT_EQ(lines[0].mid(12, 4), lines[1].mid(12, 4));

    // Appended to, never replaced.
    log_.LogInfo(u"more"_s);
    EXPECT_TRUE(ReadBytes(folder_.filePath(u"Libravon261209.ucp"_s)).startsWith(after));
}

TEST_F(ImportLogTest, WithFilesSwitchedOffOnlyTheSinkHearsTheLines)
{
    log_.SetFolder(folder_.path());
    log_.SetWriteFiles(false);
    log_.LogInfo(u"shown only"_s);
    EXPECT_EQ(sink_.Lines(), QStringList {u"I shown only"_s});
    EXPECT_TRUE(QDir(folder_.path()).entryList(QDir::Files).isEmpty());

    log_.SetWriteFiles(true);
    log_.LogInfo(u"written"_s);
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(ImportLogTest, AFolderThatCannotBeWrittenIsSkippedSilently)
{
    log_.SetFolder(folder_.filePath(u"missing/deeper"_s));
    log_.LogInfo(u"still shown"_s);
    EXPECT_EQ(sink_.Lines(), QStringList {u"I still shown"_s});
    EXPECT_FALSE(QFileInfo::exists(folder_.filePath(u"missing"_s)));
}
