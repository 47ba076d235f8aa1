#include "catalog/libravon_doc.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_module.h"
#include "support/recording_host_services.h"

#include <QDir>
#include <QLibrary>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lbv;
using lbv::test::RecordingHostServices;

namespace {

const QString kModule = QStringLiteral(LBV_TEST_PLUGIN_MODULE);

QString TestClsid(int number)
{
    return QStringLiteral("{11111111-0000-0000-0000-%1}")
        .arg(number, 12, 16, QLatin1Char('0'))
        .toUpper();
}

PluginRegistration Registered(int number, const QString& name, const QString& module = kModule)
{
    return {TestClsid(number), name, module};
}

// The log the C module keeps of what its objects saw.
class ModuleLog {
public:
    ModuleLog() : library_(kModule)
    {
        clear_ = reinterpret_cast<void (*)()>(library_.resolve("TestModuleClearLog"));
        read_ = reinterpret_cast<const char* (*)()>(library_.resolve("TestModuleLog"));
        canUnload_ = reinterpret_cast<LbvResult (*)()>(library_.resolve("DllCanUnloadNow"));
        clear_();
    }
    QStringList Lines() const
    {
        return QString::fromUtf8(read_()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    bool AllObjectsReleased() const { return canUnload_() == LBV_S_OK; }

private:
    QLibrary library_;
    void (*clear_)() = nullptr;
    const char* (*read_)() = nullptr;
    LbvResult (*canUnload_)() = nullptr;
};

class PluginHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(library.isValid());
        catalog.path = library.filePath(QStringLiteral("index.lvf"));
        catalog.AddBook({QStringLiteral("Ivar"), QStringLiteral("Kessel"),
                            QStringLiteral("Foundation"), QStringLiteral("sf"), {}, 1951},
            false);
        catalog.AddBook({QStringLiteral("Anna"), QStringLiteral("Berg"),
                            QStringLiteral("Winter"), QStringLiteral("prose")},
            false);
        catalog.SetModified(false);
        host.SetSettingChangedHandler([this](const QString& name) { notifications << name; });
    }

    PluginRecord Listed(int number, const QString& name)
    {
        const QList<PluginRecord> records = host.List({Registered(number, name)});
        EXPECT_EQ(records.size(), 1);
        return records.value(0);
    }

    QStringList Titles() const
    {
        QStringList titles;
        for (const auto& author : catalog.Authors())
            for (const auto& group : author->Groups())
                for (const auto& book : group->Books())
                    titles << book->title;
        return titles;
    }

    QTemporaryDir library;
    CLibravonDoc catalog;
    RecordingHostServices services;
    PluginModules modules {QStringList()};
    PluginHost host {services, modules};
    ModuleLog log;
    QStringList notifications;
};

} // namespace

TEST_F(PluginHostTest, ListingReadsEachPluginsTextsAndGroupsThemByCategoryInOrder)
{
    const QList<PluginRecord> records = host.List({Registered(3, QStringLiteral("Breaker")),
        Registered(1, QStringLiteral("Renamer")), Registered(4, QStringLiteral("Failer")),
        Registered(2, QStringLiteral("Toucher"))});
    ASSERT_EQ(records.size(), 4);
    EXPECT_EQ(records[1].name, QStringLiteral("Renamer"));
    EXPECT_EQ(records[1].category, QStringLiteral("Test tools"));
    EXPECT_EQ(records[1].description, QStringLiteral("Renamer does its test."));
    EXPECT_FALSE(records[1].supportsSetup);
    EXPECT_TRUE(records[3].supportsSetup);
    EXPECT_TRUE(services.messages.empty());

    const QList<PluginCategory> tree = GroupByCategory(records);
    ASSERT_EQ(tree.size(), 2);
    EXPECT_EQ(tree[0].name, QStringLiteral("Faults"));
    ASSERT_EQ(tree[0].plugins.size(), 2);
    EXPECT_EQ(tree[0].plugins[0]->name, QStringLiteral("Breaker"));
    EXPECT_EQ(tree[0].plugins[1]->name, QStringLiteral("Failer"));
    EXPECT_EQ(tree[1].name, QStringLiteral("Test tools"));
    ASSERT_EQ(tree[1].plugins.size(), 2);
    EXPECT_EQ(tree[1].plugins[0]->name, QStringLiteral("Renamer"));
    EXPECT_EQ(tree[1].plugins[1]->name, QStringLiteral("Toucher"));
    EXPECT_TRUE(log.AllObjectsReleased());
}

TEST_F(PluginHostTest, PluginsThatCannotBeCreatedOrAnswerAreReportedAndLeftOut)
{
    const QList<PluginRecord> records = host.List({
        Registered(5, QStringLiteral("Mute plug-in")),
        Registered(9, QStringLiteral("Unknown class")),
        Registered(1, QStringLiteral("Gone"), library.filePath(QStringLiteral("missing.so"))),
        Registered(1, QStringLiteral("From the folders"), QString()),
        Registered(2, QStringLiteral("Toucher")),
    });
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].name, QStringLiteral("Toucher"));
    const QStringList texts = services.Texts();
    ASSERT_EQ(texts.size(), 4);
    EXPECT_EQ(texts[0],
        QStringLiteral("Error creating instance of \"Mute plug-in\" plugin.\r\n"
                       "The category is a secret."));
    EXPECT_EQ(texts[1],
        QStringLiteral("Can't create instance of \"Unknown class\" plugin.\r\n"
                       "ClassFactory cannot supply requested class"));
    EXPECT_TRUE(texts[2].startsWith(QStringLiteral("Can't create instance of \"Gone\" plugin.\r\n")))
        << texts[2].toStdString();
    EXPECT_TRUE(texts[2].contains(QStringLiteral("missing.so")));
    EXPECT_EQ(texts[3],
        QStringLiteral("Can't create instance of \"From the folders\" plugin.\r\n"
                       "Class not registered"));
    for (const auto& message : services.messages)
        EXPECT_EQ(message.flags, LBV_MB_OK | LBV_MB_ICONSTOP);
    EXPECT_TRUE(log.AllObjectsReleased());
}

TEST_F(PluginHostTest, AChangedIndexIsReadBackMarkedModifiedAndAnnounced)
{
    const PluginRecord renamer = Listed(1, QStringLiteral("Renamer"));
    const QString before = QDir::currentPath();
    EXPECT_EQ(host.Execute(renamer, catalog, 7), PluginHost::Outcome::Reloaded);

    // Authors are ordered by last name: Berg's "Winter" is the first book of the document.
    EXPECT_EQ(Titles(), (QStringList {QStringLiteral("Changed by plug-in"),
                            QStringLiteral("Foundation")}));
    EXPECT_TRUE(catalog.IsModified());
    EXPECT_EQ(catalog.path, library.filePath(QStringLiteral("index.lvf")));
    EXPECT_EQ(notifications, QStringList {QStringLiteral("Reload")});
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(services.waitDepth, 0);
    EXPECT_GT(services.waitCount, 0);
    // The plug-in ran in the index folder; the previous folder is back.
    EXPECT_EQ(log.Lines(),
        QStringList {QStringLiteral("execute Renamer cwd=") + QDir(library.path()).canonicalPath()});
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_TRUE(log.AllObjectsReleased());
}

TEST_F(PluginHostTest, ASaidChangeReloadsTheCatalogEvenWhenNothingChanged)
{
    const PluginRecord toucher = Listed(2, QStringLiteral("Toucher"));
    const CBook* before = catalog.Authors().front()->Groups().front()->Books().front().get();
    EXPECT_EQ(host.Execute(toucher, catalog, 0), PluginHost::Outcome::Reloaded);
    EXPECT_EQ(Titles(), (QStringList {QStringLiteral("Winter"), QStringLiteral("Foundation")}));
    EXPECT_NE(catalog.Authors().front()->Groups().front()->Books().front().get(), before);
    EXPECT_EQ(catalog.Authors().back()->Groups().front()->Books().front()->year, 1951);
    EXPECT_EQ(notifications, QStringList {QStringLiteral("Reload")});
}

TEST_F(PluginHostTest, AFailingPluginIsReportedAndLeavesCatalogAndFolderAsTheyWere)
{
    const PluginRecord failer = Listed(4, QStringLiteral("Failer"));
    const QString before = QDir::currentPath();
    EXPECT_EQ(host.Execute(failer, catalog, 0), PluginHost::Outcome::Failed);
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(services.Texts(),
        QStringList {QStringLiteral("Error while executing plugin \"Failer\".\r\n"
                                    "The test plug-in failed on purpose.")});
    EXPECT_FALSE(catalog.IsModified());
    EXPECT_TRUE(notifications.isEmpty());

    services.messages.clear();
    EXPECT_FALSE(host.Setup(failer, catalog, 0));
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(services.Texts(),
        QStringList {QStringLiteral("Error while calling setup for plugin \"Failer\".\r\n"
                                    "The test plug-in failed on purpose.")});
    EXPECT_EQ(log.Lines().size(), 2);
    EXPECT_TRUE(log.Lines().last().startsWith(QStringLiteral("setup Failer cwd=")));
    EXPECT_TRUE(log.AllObjectsReleased());
}

TEST_F(PluginHostTest, SetupRunsInTheIndexFolderAndReadsNothingBack)
{
    const PluginRecord toucher = Listed(2, QStringLiteral("Toucher"));
    EXPECT_TRUE(host.Setup(toucher, catalog, 0));
    EXPECT_EQ(log.Lines(),
        QStringList {QStringLiteral("setup Toucher cwd=") + QDir(library.path()).canonicalPath()});
    EXPECT_TRUE(notifications.isEmpty());
    EXPECT_FALSE(catalog.IsModified());
}

TEST_F(PluginHostTest, ABrokenOrEmptiedIndexFromAPluginKeepsTheOldCatalog)
{
    for (const auto& [number, name] : {std::pair {3, QStringLiteral("Breaker")},
             std::pair {6, QStringLiteral("Uprooter")}}) {
        services.messages.clear();
        const PluginRecord plugin = Listed(number, name);
        EXPECT_EQ(host.Execute(plugin, catalog, 0), PluginHost::Outcome::Failed) << name.toStdString();
        EXPECT_EQ(Titles(), (QStringList {QStringLiteral("Winter"), QStringLiteral("Foundation")}));
        EXPECT_FALSE(catalog.IsModified());
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_TRUE(services.messages[0].text.startsWith(
            QStringLiteral("Plugin \"%1\" changed the index into one that can't be read; the "
                           "catalog is left unchanged.\r\n")
                .arg(name)))
            << services.messages[0].text.toStdString();
        EXPECT_EQ(services.messages[0].flags, LBV_MB_OK | LBV_MB_ICONSTOP);
    }
    EXPECT_TRUE(notifications.isEmpty());
    EXPECT_EQ(services.waitDepth, 0);
}

TEST_F(PluginHostTest, AnUntitledCatalogRunsInTheCurrentFolder)
{
    const PluginRecord toucher = Listed(2, QStringLiteral("Toucher"));
    catalog.path = QStringLiteral("untitled");
    const QString before = QDir::currentPath();
    EXPECT_TRUE(host.Setup(toucher, catalog, 0));
    EXPECT_EQ(log.Lines(),
        QStringList {QStringLiteral("setup Toucher cwd=") + QDir(before).canonicalPath()});
}
