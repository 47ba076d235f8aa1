#include "gui/shell/command_line.h"
#include "gui/shell/single_instance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <future>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

using Outcome = SingleInstance::Outcome;

// A later start runs in a program of its own; here a thread stands in for it, while this thread
// keeps the first one's event loop turning.
Outcome StartElsewhere(const QString& serverPath, const QStringList& arguments)
{
    auto later = std::async(std::launch::async,
        [serverPath, arguments] { return SingleInstance(serverPath).Start(arguments); });
    while (later.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return later.get();
}

} // namespace

// A first program serving in a runtime folder of its own.
class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(first.Start({}), Outcome::Serving); }

    QTemporaryDir runtime;
    const QString path = runtime.filePath(QStringLiteral("libravon.socket"));
    SingleInstance first {path};
};

TEST_F(SingleInstanceTest, LaterStartsHandTheirArgumentsOverEvenBeforeAnyoneListens)
{
    const QStringList arguments {
        QStringLiteral("--open-library"), QStringLiteral("/книги/Salt and Iron.fb2")};
    // Start-up may still be busy (a message box) when the first hand-over comes.
    EXPECT_EQ(StartElsewhere(path, arguments), Outcome::HandedOver);
    QSignalSpy received(&first, &SingleInstance::argumentsReceived);
    EXPECT_TRUE(received.wait(2000));
    EXPECT_EQ(StartElsewhere(path, {}), Outcome::HandedOver);
    ASSERT_EQ(received.size(), 2);
    EXPECT_EQ(received[0][0].toStringList(), arguments);
    EXPECT_EQ(received[1][0].toStringList(), QStringList());
}

TEST(SingleInstance, ASocketLeftByAProgramThatDiedIsTakenOverAndNoRuntimeFolderRunsAlone)
{
    QTemporaryDir runtime;
    const QString path = runtime.filePath(QStringLiteral("libravon.socket"));
    QFile leftover(path);
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    {
        SingleInstance first(path);
        EXPECT_EQ(first.Start({}), Outcome::Serving);
    }
    // Ending cleanly frees the name for the next start.
    SingleInstance next(path);
    EXPECT_EQ(next.Start({}), Outcome::Serving);

    EXPECT_EQ(SingleInstance(QString()).Start({}), Outcome::Alone);
}

TEST_F(SingleInstanceTest, ARequestThatNeverEndsIsCutOffWithoutReachingTheProgram)
{
    QSignalSpy received(&first, &SingleInstance::argumentsReceived);
    QLocalSocket intruder;
    intruder.connectToServer(path);
    ASSERT_TRUE(intruder.waitForConnected(1000));
    intruder.write(QByteArray(100 * 1024, 'x'));
    intruder.flush();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return intruder.state() == QLocalSocket::UnconnectedState; }, 5000));
    EXPECT_TRUE(received.isEmpty());
    EXPECT_EQ(StartElsewhere(path, {QStringLiteral("/a.fb2")}), Outcome::HandedOver);
}

TEST(SingleInstance, TheArgumentHandedOverIsAbsoluteAndKeepsTheActionButNotAutorun)
{
    CommandLine line = ParseCommandLine({QStringLiteral("-autorun"),
        QStringLiteral("--new-library"), QStringLiteral("books/../a.fb2")});
    EXPECT_EQ(line.action, StartAction::NewLibrary);
    const QStringList handed = HandOverArguments(line, QStringLiteral("/home/reader"));
    EXPECT_EQ(handed,
        (QStringList {QStringLiteral("--new-library"), QStringLiteral("/home/reader/a.fb2")}));
    const CommandLine received = ParseCommandLine(handed);
    EXPECT_FALSE(received.autorun);
    EXPECT_EQ(received.action, StartAction::NewLibrary);
    EXPECT_EQ(received.file, QStringLiteral("/home/reader/a.fb2"));
    EXPECT_TRUE(HandOverArguments(ParseCommandLine({}), QStringLiteral("/")).isEmpty());

    const CommandLine help
        = ParseCommandLine({QStringLiteral("--help"), QStringLiteral("--version")});
    EXPECT_TRUE(help.help && help.version && help.file.isEmpty());
    EXPECT_TRUE(ParseCommandLine({QStringLiteral("-h")}).help);
}

// The program itself, as a file manager starts it twice.
class SingleInstanceProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(home.filePath(QStringLiteral("run")));
        QFile::setPermissions(home.filePath(QStringLiteral("run")),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        environment.insert(
            QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("run")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    void TearDown() override
    {
        for (QProcess* program : {&first, &second}) {
            program->kill();
            program->waitForFinished();
        }
    }

    void StartProgram(QProcess& program, const QString& file)
    {
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(home.path());
        program.start(QStringLiteral(LBV_GUI_PROGRAM), {file});
        ASSERT_TRUE(program.waitForStarted());
    }

    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QProcess first;
    QProcess second;
};

TEST_F(SingleInstanceProgram, ASecondStartHandsItsFileOverAndExitsUnlessTurnedOff)
{
    StartProgram(first, QStringLiteral("first.fb2"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return QFile::exists(home.filePath(QStringLiteral("run/libravon.socket"))); },
        30000));
    StartProgram(second, QStringLiteral("second.fb2"));
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    // Turned off, the second start opens a window of its own and keeps running.
    QDir().mkpath(home.filePath(QStringLiteral("config/Marrowfield")));
    QFile settings(home.filePath(QStringLiteral("config/Marrowfield/Libravon.conf")));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[Parameters]\nAllowOnlyOneInstance=0\n");
    settings.close();
    StartProgram(second, QStringLiteral("second.fb2"));
    EXPECT_FALSE(second.waitForFinished(3000));
}
