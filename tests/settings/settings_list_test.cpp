#include "settings/memory_settings_backend.h"
#include "settings/qt_settings_backend.h"
#include "settings/settings_list.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace lbv;

TEST(SettingsList, UserEntriesComeFirstAndOverrideTheMachinesOfTheSameName)
{
    MemorySettingsBackend user;
    MemorySettingsBackend system;
    const QString plugins = QStringLiteral("Plugins");
    system.WriteString(plugins + u"/{E43ABDAA-8F77}", QString(), QStringLiteral("LBVStatPlugin"));
    system.WriteString(
        plugins + u"/{E43ABDAA-8F77}", QStringLiteral("Type"), QStringLiteral("Index"));
    system.WriteString(plugins + u"/{0A}", QStringLiteral("Type"), QStringLiteral("Index"));
    system.WriteBinary(plugins + u"/{0A}", QStringLiteral("Blob"), QByteArray("x"));
    user.WriteString(plugins + u"/{e43abdaa-8f77}", QStringLiteral("Name"), QStringLiteral("Mine"));
    user.WriteInt(plugins + u"/{e43abdaa-8f77}", QStringLiteral("Order"), 3);
    user.WriteString(QStringLiteral("Other/{FF}"), QStringLiteral("Type"), QStringLiteral("Index"));

    const auto entries = ReadSettingsList(&user, &system, plugins);
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].name, QStringLiteral("{e43abdaa-8f77}"));
    EXPECT_EQ(entries[0].values.value(QStringLiteral("Name")), QStringLiteral("Mine"));
    EXPECT_EQ(entries[0].values.value(QStringLiteral("Order")), QStringLiteral("3"));
    EXPECT_FALSE(entries[0].values.contains(QStringLiteral("Type")));
    EXPECT_EQ(entries[1].name, QStringLiteral("{0A}"));
    EXPECT_EQ(entries[1].values.size(), 1); // the binary value has no text

    const auto machine = ReadSettingsList(nullptr, &system, plugins);
    ASSERT_EQ(machine.size(), 2);
    EXPECT_EQ(machine[1].values.value(QString()), QStringLiteral("LBVStatPlugin"));
    EXPECT_TRUE(ReadSettingsList(&user, nullptr, QStringLiteral("Missing")).isEmpty());
}

TEST(SettingsList, ReadsTheUsersAndTheMachinesSettingsFiles)
{
    const QString application = QStringLiteral("ListTest");
    const QString folder = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_DIRS")) + u"/Quillon";
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile file(folder + u'/' + application + u".conf");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Plugins]\n%7BAA%7D\\Menu=Export to HTML\n%7BAA%7D\\Type=export\n");
    file.close();
    {
        auto user = QtSettingsBackend::UserScope(QStringLiteral("Quillon"), application);
        user->WriteString(
            QStringLiteral("Plugins/{BB}"), QStringLiteral("Menu"), QStringLiteral("Mine"));
    }

    const auto entries
        = ReadSettingsList(QStringLiteral("Quillon"), application, QStringLiteral("Plugins"));
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].name, QStringLiteral("{BB}"));
    EXPECT_EQ(entries[1].name, QStringLiteral("{AA}"));
    EXPECT_EQ(entries[1].values.value(QStringLiteral("Menu")), QStringLiteral("Export to HTML"));
}
