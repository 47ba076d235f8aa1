#include "catalog/libravon_doc.h"
#include "gui/maintenance/maintenance_page.h"
#include "gui/shell/catalog_session.h"
#include "plugins/plugin_module.h"
#include "recording_host_services.h"
#include "text/messages.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace lbv;
using namespace Qt::StringLiterals;

namespace {

// Classes of the C test module: 1 "Renamer" changes the index, 2 "Toucher" has a setup.
PluginRegistration Registered(int number, const QString& name)
{
    return {u"{11111111-0000-0000-0000-%1}"_s.arg(number, 12, 16, QLatin1Char('0')).toUpper(), name,
        QStringLiteral(LBV_TEST_PLUGIN_MODULE)};
}

class MaintenancePageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        session.Catalog().path = dir.filePath(u"index.lvf"_s);
        session.Catalog().AddBook({u"Ivar"_s, u"Kessel"_s, u"Foundation"_s, u"sf"_s}, false);
        session.Catalog().SetModified(false);
        page = std::make_unique<CMaintenancePage>(session, services, modules,
            QList {Registered(1, u"Renamer"_s), Registered(2, u"Toucher"_s)});
    }
    QPushButton* Button(const char* name) const
    {
        return page->findChild<QPushButton*>(QLatin1String(name));
    }
    QString Description() const { return page->findChild<QLabel*>(u"pluginDescription"_s)->text(); }
    void Choose(const QString& name)
    {
        const QList<QTreeWidgetItem*> found
            = page->Tree()->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1);
        page->Tree()->setCurrentItem(found.front());
    }

    QTemporaryDir dir;
    CatalogSession session;
    test::RecordingHostServices services;
    PluginModules modules {QStringList()};
    std::unique_ptr<CMaintenancePage> page;
};

} // namespace

TEST_F(MaintenancePageTest, SelectionShowsTheDescriptionAndEnablesTheButtons)
{
    ASSERT_EQ(page->Tree()->topLevelItemCount(), 1);
    EXPECT_EQ(page->Tree()->topLevelItem(0)->text(0), u"Test tools"_s);
    EXPECT_EQ(page->Tree()->topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(Description(), MessageText(Msg::MaintenanceDescription));
    EXPECT_FALSE(Button("pluginExecute")->isEnabled());
    EXPECT_FALSE(Button("pluginSetup")->isEnabled());

    Choose(u"Renamer"_s);
    EXPECT_EQ(Description(), u"Renamer does its test."_s);
    EXPECT_TRUE(Button("pluginExecute")->isEnabled());
    EXPECT_FALSE(Button("pluginSetup")->isEnabled());

    Choose(u"Toucher"_s);
    EXPECT_TRUE(Button("pluginSetup")->isEnabled());
    session.SetImportRunning(true);
    EXPECT_FALSE(Button("pluginExecute")->isEnabled());
    EXPECT_FALSE(Button("pluginSetup")->isEnabled());
    session.SetImportRunning(false);
    EXPECT_TRUE(Button("pluginSetup")->isEnabled());

    Choose(u"Test tools"_s);
    EXPECT_EQ(Description(), MessageText(Msg::MaintenanceSelectPlugin));
    EXPECT_FALSE(Button("pluginExecute")->isEnabled());
    EXPECT_FALSE(Button("pluginSetup")->isEnabled());
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(MaintenancePageTest, ExecuteThatChangesTheIndexAnnouncesReload)
{
    QSignalSpy relayed(page.get(), &CMaintenancePage::settingChanged);
    QSignalSpy dropped(&session, &CatalogSession::aboutToBeReplaced);
    QSignalSpy replaced(&session, &CatalogSession::replaced);
    Choose(u"Renamer"_s);
    Button("pluginExecute")->click();
    // The views let go of the records before the plug-in ran and show the new ones after.
    EXPECT_EQ(dropped.size(), 1);
    EXPECT_EQ(replaced.size(), 1);
    ASSERT_EQ(relayed.size(), 1);
    EXPECT_EQ(relayed[0][0].toString(), u"Reload"_s);
    EXPECT_TRUE(session.Catalog().IsModified());
    EXPECT_EQ(services.waitDepth, 0);
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(MaintenancePageTest, NothingRunsWhileAnImportRuns)
{
    QSignalSpy relayed(page.get(), &CMaintenancePage::settingChanged);
    Choose(u"Renamer"_s);
    session.SetImportRunning(true);
    page->ExecuteSelected();
    EXPECT_TRUE(relayed.isEmpty());
    EXPECT_FALSE(session.Catalog().IsModified());
}

TEST_F(MaintenancePageTest, StatisticsReportItsCountsInAMessageBox)
{
    page = std::make_unique<CMaintenancePage>(session, services, modules,
        QList {PluginRegistration {u"{E43ABDAA-8F77-4078-B6A0-65ACE6936E39}"_s, u"Statistics"_s,
            QStringLiteral(LBV_STAT_PLUGIN_MODULE)}});
    QSignalSpy relayed(page.get(), &CMaintenancePage::settingChanged);
    Choose(u"Statistics"_s);
    EXPECT_FALSE(Button("pluginSetup")->isEnabled());
    Button("pluginExecute")->click();
    ASSERT_EQ(services.messages.size(), 1u); // answered with OK by the recording services
    EXPECT_TRUE(services.messages[0].text.startsWith(u"Statistics:"_s));
    EXPECT_TRUE(services.messages[0].text.contains(u"Books in index: 1"_s));
    EXPECT_TRUE(relayed.isEmpty());
    EXPECT_FALSE(session.Catalog().IsModified());
}
