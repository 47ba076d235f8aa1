#include "settings/memory_settings_backend.h"
#include "settings/qt_settings_backend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

// Each test gets its own file, so tests stay independent in the shared sandbox.
QString FreshApplicationName()
{
    static int counter = 0;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return QStringLiteral("Test-%1-%2").arg(QString::fromUtf8(test->name())).arg(++counter);
}

struct MemoryFactory {
    static std::unique_ptr<SettingsBackend> Make()
    {
        return std::make_unique<MemorySettingsBackend>();
    }
};

struct QSettingsFactory {
    static std::unique_ptr<SettingsBackend> Make()
    {
        return QtSettingsBackend::UserScope(QStringLiteral("Marrowfield"), FreshApplicationName());
    }
};

template<typename Factory> class SettingsBackendContract : public ::testing::Test {
protected:
    std::unique_ptr<SettingsBackend> store = Factory::Make();
};

using Backends = ::testing::Types<MemoryFactory, QSettingsFactory>;
TYPED_TEST_SUITE(SettingsBackendContract, Backends);

} // namespace

TEST(ParseSettingsInt, AcceptsDecimalAndHexWithin32BitsOnly)
{
    EXPECT_EQ(ParseSettingsInt(u"255"), 255);
    EXPECT_EQ(ParseSettingsInt(u" -7 "), -7);
    EXPECT_EQ(ParseSettingsInt(u"0xFF"), 255);
    EXPECT_EQ(ParseSettingsInt(u"0xDEADFACE"), qint32(0xDEADFACE));
    EXPECT_EQ(ParseSettingsInt(u"4294967295"), -1); // a registry number read as int
    EXPECT_EQ(ParseSettingsInt(u"4294967296"), std::nullopt);
    EXPECT_EQ(ParseSettingsInt(u"-2147483649"), std::nullopt);
    EXPECT_EQ(ParseSettingsInt(u"12abc"), std::nullopt);
    EXPECT_EQ(ParseSettingsInt(u""), std::nullopt);
    EXPECT_EQ(ParseSettingsInt(u"0x"), std::nullopt);
}

TEST(NormalizedSection, TreatsBothSeparatorsAlikeAndDropsEmptySegments)
{
    EXPECT_EQ(NormalizedSection(u"Bookmarks\\book.fb2"), QStringLiteral("Bookmarks/book.fb2"));
    EXPECT_EQ(NormalizedSection(u"/a//b\\"), QStringLiteral("a/b"));
    EXPECT_EQ(NormalizedSection(u""), QString());
}

TYPED_TEST(SettingsBackendContract, KeepsTypedValuesInNestedSections)
{
    auto& s = *this->store;
    const QByteArray binary("\x00\x01\xFF@ByteArray(", 14);
    ASSERT_TRUE(s.WriteInt(QStringLiteral("Settings"), QStringLiteral("ColorBookFG"), -5));
    ASSERT_TRUE(
        s.WriteString(QString(), QStringLiteral("LastIndex"), QStringLiteral("/l/a,b.lvf")));
    ASSERT_TRUE(s.WriteString(QStringLiteral("Keys"), QStringLiteral("At"), QStringLiteral("@x")));
    ASSERT_TRUE(s.WriteBinary(QStringLiteral("MainWindow"), QStringLiteral("Placement"), binary));
    ASSERT_TRUE(
        s.WriteString(QStringLiteral("Bookmarks/a%002Fb.fb2"), QString(), QStringLiteral("3,4,0")));

    EXPECT_EQ(s.ReadInt(QStringLiteral("Settings"), QStringLiteral("ColorBookFG")), -5);
    EXPECT_EQ(s.ReadString(QString(), QStringLiteral("LastIndex")), QStringLiteral("/l/a,b.lvf"));
    EXPECT_EQ(s.ReadString(QStringLiteral("Keys"), QStringLiteral("At")), QStringLiteral("@x"));
    EXPECT_EQ(s.ReadBinary(QStringLiteral("MainWindow"), QStringLiteral("Placement")), binary);
    EXPECT_EQ(
        s.ReadString(QStringLiteral("Bookmarks\\a%002Fb.fb2"), QString()), QStringLiteral("3,4,0"));

    // A value of another kind is absent for the typed read.
    EXPECT_EQ(s.ReadBinary(QString(), QStringLiteral("LastIndex")), std::nullopt);
    EXPECT_EQ(s.ReadInt(QString(), QStringLiteral("LastIndex")), std::nullopt);
    EXPECT_EQ(
        s.ReadString(QStringLiteral("MainWindow"), QStringLiteral("Placement")), std::nullopt);
    EXPECT_EQ(s.ReadInt(QStringLiteral("Nowhere"), QStringLiteral("x")), std::nullopt);

    EXPECT_EQ(s.ChildSections(QString()),
        (QStringList {QStringLiteral("Bookmarks"), QStringLiteral("Keys"),
            QStringLiteral("MainWindow"), QStringLiteral("Settings")}));
    EXPECT_EQ(s.ValueNames(QStringLiteral("Bookmarks/a%002Fb.fb2")), QStringList {QString()});
    EXPECT_EQ(s.ValueNames(QString()), QStringList {QStringLiteral("LastIndex")});
}

TYPED_TEST(SettingsBackendContract, ValueAndSubsectionOfTheSameNameAreRemovedSeparately)
{
    // The reader keeps a book's value and its subsection under the same name.
    auto& s = *this->store;
    const QString bookmarks = QStringLiteral("Bookmarks");
    const QString book = QStringLiteral("b.fb2");
    s.WriteString(bookmarks, book, QStringLiteral("-1,-1,1,2,/b.fb2"));
    s.WriteString(bookmarks + u'/' + book, QString(), QStringLiteral("1,2,0"));
    s.WriteString(bookmarks + u'/' + book, QStringLiteral("0"), QStringLiteral("1,2,0,mark"));
    s.WriteString(bookmarks + u'/' + book + u"/deeper", QStringLiteral("x"), QStringLiteral("y"));

    EXPECT_EQ(s.ValueNames(bookmarks), QStringList {book});
    EXPECT_EQ(s.ChildSections(bookmarks), QStringList {book});

    ASSERT_TRUE(s.RemoveSection(bookmarks + u'\\' + book));
    EXPECT_EQ(s.ReadString(bookmarks, book), QStringLiteral("-1,-1,1,2,/b.fb2"));
    EXPECT_TRUE(s.ChildSections(bookmarks).isEmpty());
    EXPECT_EQ(s.ReadString(bookmarks + u'/' + book, QString()), std::nullopt);

    s.WriteString(bookmarks + u'/' + book, QStringLiteral("0"), QStringLiteral("1,2,0,mark"));
    ASSERT_TRUE(s.RemoveValue(bookmarks, book));
    EXPECT_EQ(s.ReadString(bookmarks, book), std::nullopt);
    EXPECT_EQ(
        s.ReadString(bookmarks + u'/' + book, QStringLiteral("0")), QStringLiteral("1,2,0,mark"));

    EXPECT_TRUE(s.RemoveValue(bookmarks, QStringLiteral("never-there")));
    EXPECT_FALSE(s.RemoveSection(QString()));
}

TYPED_TEST(SettingsBackendContract, RejectsValueNamesThatWouldReachAnotherSection)
{
    auto& s = *this->store;
    EXPECT_FALSE(
        s.WriteString(QStringLiteral("Settings"), QStringLiteral("a/b"), QStringLiteral("x")));
    EXPECT_FALSE(s.WriteInt(QStringLiteral("Settings"), QStringLiteral("a\\b"), 1));
    EXPECT_TRUE(s.ChildSections(QStringLiteral("Settings")).isEmpty());
    EXPECT_EQ(s.ReadString(QStringLiteral("Settings/a"), QStringLiteral("b")), std::nullopt);
}

TEST(QtSettingsBackend, PersistsToTheUsersConfigFolder)
{
    const QString application = FreshApplicationName();
    // The user's config folder, which the test main moves into its sandbox.
    const QString expected = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + u"/Marrowfield/" + application + u".conf";
    ASSERT_TRUE(expected.startsWith(QString::fromLocal8Bit(qgetenv("HOME")) + u'/'));
    {
        auto store = QtSettingsBackend::UserScope(QStringLiteral("Marrowfield"), application);
        EXPECT_EQ(store->FileName(), expected);
        store->WriteInt(QStringLiteral("Settings"), QStringLiteral("UseClearType"), 1);
        store->WriteString(QStringLiteral("Bookmarks/x.fb2"), QStringLiteral("0"),
            QStringLiteral("1,2,3,Глава \"1\", конец"));
        ASSERT_TRUE(store->Flush());
    }
    ASSERT_TRUE(QFile::exists(expected));
    auto reopened = QtSettingsBackend::UserScope(QStringLiteral("Marrowfield"), application);
    EXPECT_EQ(reopened->ReadInt(QStringLiteral("Settings"), QStringLiteral("UseClearType")), 1);
    EXPECT_EQ(reopened->ReadString(QStringLiteral("Bookmarks/x.fb2"), QStringLiteral("0")),
        QStringLiteral("1,2,3,Глава \"1\", конец"));
}

TEST(QtSettingsBackend, SystemScopeIsReadFromTheConfigDirsAndNeverWritten)
{
    const QString application = FreshApplicationName();
    const QString folder = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_DIRS")) + u"/Marrowfield";
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile file(folder + u'/' + application + u".conf");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "[Plugins]\n%7BE43ABDAA%7D\\%28Default%29=LBVStatPlugin\n%7BE43ABDAA%7D\\Type=Index\n");
    file.close();

    auto system = QtSettingsBackend::SystemScope(QStringLiteral("Marrowfield"), application);
    EXPECT_TRUE(system->IsReadOnly());
    EXPECT_EQ(system->ChildSections(QStringLiteral("Plugins")),
        QStringList {QStringLiteral("{E43ABDAA}")});
    EXPECT_EQ(system->ReadString(QStringLiteral("Plugins/{E43ABDAA}"), QString()),
        QStringLiteral("LBVStatPlugin"));
    EXPECT_FALSE(system->WriteString(
        QStringLiteral("Plugins/{E43ABDAA}"), QStringLiteral("Type"), QStringLiteral("Other")));
    EXPECT_FALSE(system->RemoveSection(QStringLiteral("Plugins")));
    EXPECT_EQ(system->ReadString(QStringLiteral("Plugins/{E43ABDAA}"), QStringLiteral("Type")),
        QStringLiteral("Index"));
}

TEST(MemorySettingsBackend, CaseInsensitiveNamesKeepTheirFirstSpelling)
{
    MemorySettingsBackend store(Qt::CaseInsensitive);
    store.WriteInt(QStringLiteral("Settings"), QStringLiteral("ColorBookFG"), 1);
    store.WriteInt(QStringLiteral("SETTINGS"), QStringLiteral("colorbookfg"), 2);
    EXPECT_EQ(store.ReadInt(QStringLiteral("settings"), QStringLiteral("COLORBOOKFG")), 2);
    EXPECT_EQ(store.ChildSections(QString()), QStringList {QStringLiteral("Settings")});
    EXPECT_EQ(
        store.ValueNames(QStringLiteral("Settings")), QStringList {QStringLiteral("ColorBookFG")});
}

TEST(QtSettingsBackend, KeepsACopyOfAFileItCannotFullyParse)
{
    const QString application = FreshApplicationName();
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + u"/Marrowfield/" + application + u".conf";
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    const QByteArray original("[Settings]\nUseClearType=1\n\x01\x02 hand edit [[\nShowHGrid=0\n");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(original);
    file.close();

    auto store = QtSettingsBackend::UserScope(QStringLiteral("Marrowfield"), application);
    EXPECT_EQ(store->ReadInt(QStringLiteral("Settings"), QStringLiteral("UseClearType")), 1);
    EXPECT_EQ(store->ReadInt(QStringLiteral("Settings"), QStringLiteral("ShowHGrid")), 0);
    store->WriteInt(QStringLiteral("Settings"), QStringLiteral("LogViewFont"), 2);
    store->Flush();

    QFile copy(path + u".bad");
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), original);
}
