#include "plugins/plugin_module.h"
#include "plugins/plugin_registration.h"
#include "plugins/registry_sink.h"
#include "settings/memory_settings_backend.h"
#include "settings/qt_settings_backend.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

const QString kStatClsid = QStringLiteral("{E43ABDAA-8F77-4078-B6A0-65ACE6936E39}");

SettingsListEntry Entry(const QString& name, std::initializer_list<std::pair<const char*, const char*>> values)
{
    SettingsListEntry entry {name, {}};
    for (const auto& [key, value] : values)
        entry.values.insert(QLatin1String(key), QLatin1String(value));
    return entry;
}

QString TestClsid(int number)
{
    return QStringLiteral("{11111111-0000-0000-0000-%1}").arg(number, 12, 16, QLatin1Char('0')).toUpper();
}

} // namespace

TEST(PluginRegistration, ClassIdentifiersNeedBracesAndComeOutInUpperCase)
{
    EXPECT_EQ(CanonicalClsid(u"{e43abdaa-8f77-4078-b6a0-65ace6936e39}"), kStatClsid);
    EXPECT_TRUE(CanonicalClsid(u"e43abdaa-8f77-4078-b6a0-65ace6936e39").isEmpty());
    EXPECT_TRUE(CanonicalClsid(u"{E43ABDAA-8F77-4078-B6A0-65ACE6936E3}").isEmpty());
    EXPECT_TRUE(CanonicalClsid(u"{G43ABDAA-8F77-4078-B6A0-65ACE6936E39}").isEmpty());
    EXPECT_TRUE(CanonicalClsid(u"Statistics").isEmpty());
}

TEST(PluginRegistration, IndexPluginsAreTheEntriesOfTypeIndexNamedByAClassIdentifier)
{
    const QList<SettingsListEntry> entries {
        Entry(QStringLiteral("{e43abdaa-8f77-4078-b6a0-65ace6936e39}"),
            {{"Type", "index"}, {"Name", "Statistics"}, {"Module", "/opt/stat.so"}}),
        Entry(TestClsid(1), {{"Type", "Book"}, {"Name", "Reader"}}),
        Entry(QStringLiteral("Statistics"), {{"Type", "Index"}, {"Name", "Not a class"}}),
        Entry(TestClsid(2), {{"Name", "No type"}}),
        Entry(TestClsid(3), {{"Type", "INDEX"}}),
    };
    const QList<PluginRegistration> plugins = IndexPluginRegistrations(entries);
    ASSERT_EQ(plugins.size(), 2);
    EXPECT_EQ(plugins[0].clsid, kStatClsid);
    EXPECT_EQ(plugins[0].name, QStringLiteral("Statistics"));
    EXPECT_EQ(plugins[0].modulePath, QStringLiteral("/opt/stat.so"));
    EXPECT_EQ(plugins[1].clsid, TestClsid(3));
    EXPECT_TRUE(plugins[1].name.isEmpty());
    EXPECT_TRUE(plugins[1].modulePath.isEmpty());
}

TEST(PluginRegistration, ExportersNeedTypeExportAMenuAndAClassAndStopAtFifty)
{
    QList<SettingsListEntry> entries {
        Entry(TestClsid(1), {{"Type", "export"}, {"Menu", "To HTML"}}),
        Entry(TestClsid(2), {{"Type", "Export"}}),
        Entry(QStringLiteral("{not-a-class}"), {{"Type", "Export"}, {"Menu", "Broken"}}),
        Entry(TestClsid(3), {{"Type", "Import"}, {"Menu", "From HTML"}}),
        Entry(TestClsid(4), {{"Type", "EXPORT"}, {"Menu", ""}}),
    };
    QList<ExporterEntry> exporters = ExporterRegistrations(entries);
    ASSERT_EQ(exporters.size(), 2);
    EXPECT_EQ(exporters[0].menu, QStringLiteral("To HTML"));
    EXPECT_EQ(exporters[0].clsid, TestClsid(1));
    EXPECT_EQ(exporters[1].clsid, TestClsid(4)); // an empty menu text is still a menu text

    entries.clear();
    for (int i = 1; i <= 60; ++i)
        entries << Entry(TestClsid(i), {{"Type", "Export"}, {"Menu", "Item"}});
    exporters = ExporterRegistrations(entries);
    ASSERT_EQ(exporters.size(), kMaxExporters);
    EXPECT_EQ(exporters.last().clsid, TestClsid(50));
}

TEST(PluginRegistration, StoredEntriesComeFirstAndHideTheFolderEntryOfTheSameClass)
{
    const QList<SettingsListEntry> stored {
        Entry(TestClsid(2), {{"Type", "Index"}, {"Name", "Stored"}}),
    };
    const QList<SettingsListEntry> folder {
        Entry(TestClsid(1), {{"Type", "Index"}, {"Name", "Folder one"}}),
        Entry(TestClsid(2).toLower(), {{"Type", "Index"}, {"Name", "Folder two"}}),
    };
    const QList<SettingsListEntry> combined = CombinedEntries(stored, folder);
    ASSERT_EQ(combined.size(), 2);
    EXPECT_EQ(combined[0].values.value(QStringLiteral("Name")), QStringLiteral("Stored"));
    EXPECT_EQ(combined[1].values.value(QStringLiteral("Name")), QStringLiteral("Folder one"));
}

TEST(PluginRegistration, ModulesOfThePluginFolderListThemselvesWithoutRegistration)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString copy = folder.filePath(QStringLiteral("libtest-plugins.so"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(LBV_TEST_PLUGIN_MODULE), copy));
    QFile junk(folder.filePath(QStringLiteral("libjunk.so")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a shared library");
    junk.close();

    PluginModules modules({folder.path()});
    const QList<PluginRegistration> plugins = LoadIndexPlugins(modules);
    ASSERT_EQ(plugins.size(), 6);
    EXPECT_EQ(plugins[0].clsid, TestClsid(1));
    EXPECT_EQ(plugins[0].name, QStringLiteral("Renamer"));
    EXPECT_EQ(plugins[0].modulePath, copy);
    const QList<ExporterEntry> exporters = LoadExporters(modules);
    ASSERT_EQ(exporters.size(), 1);
    EXPECT_EQ(exporters[0].menu, QStringLiteral("Test export"));
    EXPECT_EQ(modules.FolderModuleServing(TestClsid(0xE1)), modules.Module(copy, nullptr));

    const QStringList problems = modules.FolderProblems();
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains(QStringLiteral("libjunk.so"))) << problems[0].toStdString();
}

TEST(PluginRegistration, RegisteringWritesTheUsersSettingsAndUnregisteringRemovesTheKeys)
{
    PluginModules modules {QStringList()};
    QString error;
    const PluginModule* module = modules.Module(QStringLiteral(LBV_TEST_PLUGIN_MODULE), &error);
    ASSERT_NE(module, nullptr) << error.toStdString();
    {
        RegistrySink sink([](const QString& organisation, const QString& application) {
            return std::unique_ptr<SettingsBackend>(
                QtSettingsBackend::UserScope(organisation, application));
        });
        ASSERT_EQ(module->Register(sink.Table()), LBV_S_OK);
        ASSERT_TRUE(sink.Flush());
    }
    const QList<PluginRegistration> plugins = IndexPluginRegistrations(ReadSettingsList(
        QStringLiteral("Marrowfield"), QStringLiteral("Libravon"), QStringLiteral("Plugins")));
    ASSERT_EQ(plugins.size(), 6);
    EXPECT_EQ(plugins[3].name, QStringLiteral("Failer"));
    EXPECT_EQ(plugins[3].modulePath, module->Path());
    EXPECT_EQ(ExporterRegistrations(ReadSettingsList(QStringLiteral("Quillon"),
                                        QStringLiteral("FBE"), QStringLiteral("Plugins")))
                  .size(),
        1);
    {
        RegistrySink sink([](const QString& organisation, const QString& application) {
            return std::unique_ptr<SettingsBackend>(
                QtSettingsBackend::UserScope(organisation, application));
        });
        ASSERT_EQ(module->Unregister(sink.Table()), LBV_S_OK);
        ASSERT_TRUE(sink.Flush());
    }
    EXPECT_TRUE(ReadSettingsList(QStringLiteral("Marrowfield"), QStringLiteral("Libravon"),
        QStringLiteral("Plugins"))
                    .isEmpty());
}

TEST(PluginRegistration, TheSinkRefusesKeysOutsideAnApplicationAndKeepsItsSharedKeys)
{
    RegistrySink sink;
    const LbvRegistry* table = sink.Table();
    const char16_t value[] = u"x";
    const auto* text = reinterpret_cast<const LbvChar*>(value);
    EXPECT_EQ(table->SetString(table->context, "CLSID\\{X}", "", text), LBV_E_INVALIDARG);
    EXPECT_EQ(table->SetString(table->context, "Software\\Marrowfield", "", text), LBV_E_INVALIDARG);
    EXPECT_EQ(table->SetString(table->context, "Software\\Marrowfield\\Libravon\\Plugins\\{A}",
                  "Type", text),
        LBV_S_OK);
    EXPECT_EQ(table->DeleteKey(table->context, "Software\\Marrowfield\\Libravon"), LBV_E_INVALIDARG);
    EXPECT_EQ(table->DeleteKey(table->context, "Software\\Marrowfield\\Libravon\\Plugins\\{B}"),
        LBV_S_OK);
    const SettingsBackend* backend
        = sink.Backend(QStringLiteral("Marrowfield"), QStringLiteral("Libravon"));
    ASSERT_NE(backend, nullptr);
    EXPECT_EQ(backend->ReadString(QStringLiteral("Plugins/{A}"), QStringLiteral("Type")),
        QStringLiteral("x"));
}
