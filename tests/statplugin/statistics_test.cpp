#include "catalog/libravon_doc.h"
#include "catalog/xml_document.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_module.h"
#include "plugins/plugin_object.h"
#include "plugins/registry_sink.h"
#include "support/recording_host_services.h"
#include "synthetic_library.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lbv;
using lbv::test::RecordingHostServices;

namespace {

const QString kStatClsid = QStringLiteral("{E43ABDAA-8F77-4078-B6A0-65ACE6936E39}");
const QString kModule = QStringLiteral(LBV_STAT_PLUGIN_MODULE);

QString Report(quint32 authors, quint32 books, quint32 online, quint32 offline, qint64 bytes)
{
    return QStringLiteral("Statistics:\r\n_____________________________________\r\n\r\n"
                          "Authors: %1\r\nBooks in index: %2\r\nBooks online: %3\r\n"
                          "Books offline: %4\r\nOnline books size: %5M")
        .arg(authors)
        .arg(books)
        .arg(online)
        .arg(offline)
        .arg(bytes / 1048576);
}

qint64 SizeOf(const QString& path)
{
    return QFileInfo(path).size();
}

class StatisticsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(library.isValid());
        catalog.path = library.filePath(QStringLiteral("index.lvf"));
    }

    // Runs the plug-in through the host; the text of its message box, or the host's error.
    QString Run()
    {
        const QList<PluginRecord> records
            = host.List({PluginRegistration {kStatClsid, QStringLiteral("Statistics"), kModule}});
        if (records.size() != 1)
            return services.Texts().join(u'|');
        services.messages.clear();
        EXPECT_EQ(host.Execute(records[0], catalog, 3), PluginHost::Outcome::Done);
        EXPECT_EQ(services.waitDepth, 0);
        return services.Texts().join(u'|');
    }

    // Runs the plug-in's Execute directly on a hand-made index document.
    LbvResult ExecuteOn(const QString& xml, QString* error)
    {
        const XmlDocumentPtr document = LoadXmlText(xml, error);
        EXPECT_TRUE(document) << error->toStdString();
        PluginObject<ILibravonPlugin> plugin;
        EXPECT_EQ(modules.Create(kStatClsid, kModule, LBV_IID_ILIBRAVONPLUGIN, table.Table(),
                      plugin.Out(), error),
            LBV_S_OK);
        int32_t changed = 5;
        const LbvResult result
            = plugin.Methods()->Execute(plugin.Get(), 0, document->Doc(), &changed);
        *error = plugin.ErrorMessage();
        if (LBV_SUCCEEDED(result)) {
            EXPECT_EQ(changed, 0);
        }
        return result;
    }

    void AddBook(const QString& first, const QString& last, const QString& title,
        const QString& file, int format = FormatFb2, int compression = CompressionNone)
    {
        catalog.AddBook({first, last, title, QStringLiteral("sf"), file, 0, format, compression},
            false);
    }

    QTemporaryDir library;
    CLibravonDoc catalog;
    RecordingHostServices services;
    PluginModules modules {QStringList()};
    PluginHost host {services, modules};
    HostServicesTable table {services};
};

} // namespace

TEST_F(StatisticsTest, ThePluginNamesItselfAndRefusesSetup)
{
    const QList<PluginRecord> records
        = host.List({PluginRegistration {kStatClsid, QStringLiteral("Stats"), kModule}});
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].name, QStringLiteral("Statistics"));
    EXPECT_EQ(records[0].category, QStringLiteral("Information"));
    EXPECT_EQ(records[0].description, QStringLiteral("Shows Libravon statistics."));
    EXPECT_FALSE(records[0].supportsSetup);
    EXPECT_FALSE(host.Setup(records[0], catalog, 0));
    EXPECT_EQ(services.Texts(),
        QStringList {QStringLiteral("Error while calling setup for plugin \"Statistics\".")});
}

TEST_F(StatisticsTest, AnEmptyIndexReportsZeros)
{
    EXPECT_EQ(Run(), Report(0, 0, 0, 0, 0));
    EXPECT_TRUE(services.messages.front().caption.isEmpty());
    EXPECT_EQ(services.messages.front().flags, LBV_MB_OK);
}

TEST_F(StatisticsTest, CountsAGeneratedLibraryWithArchivesCountedWholeForEachBook)
{
    SyntheticOptions options;
    options.minBytes = options.maxBytes = 400 * 1024;
    QString error;
    SyntheticTotals totals;
    const QString generated = library.filePath(QStringLiteral("generated"));
    ASSERT_TRUE(WriteSyntheticFolder(options, 3, generated, &totals, &error)) << error.toStdString();
    const QString archive = library.filePath(QStringLiteral("two.zip"));
    ASSERT_TRUE(WriteSyntheticArchive(options, 2, archive, &totals, &error)) << error.toStdString();
    qint64 expected = 0;
    for (int i = 0; i < 3; ++i) {
        const QString book = generated + QStringLiteral("/book-%1.fb2").arg(i, 6, 10, QLatin1Char('0'));
        AddBook(QStringLiteral("Ivar"), QStringLiteral("Kessel"), QStringLiteral("Book %1").arg(i), book);
        expected += SizeOf(book);
    }
    // Both books of the archive add its whole size, even the one it does not hold.
    AddBook(QStringLiteral("Anna"), QStringLiteral("Berg"), QStringLiteral("Packed"),
        archive + QStringLiteral("@book-000000.fb2"), FormatFb2, CompressionZip);
    AddBook(QStringLiteral("Anna"), QStringLiteral("Berg"), QStringLiteral("Not packed"),
        archive + QStringLiteral("@no-such-member.fb2"), FormatFb2, CompressionZip);
    expected += 2 * SizeOf(archive);
    AddBook(QStringLiteral("Otto"), QStringLiteral("Lind"), QStringLiteral("Lost"),
        library.filePath(QStringLiteral("lost.fb2")));
    AddBook(QStringLiteral("Otto"), QStringLiteral("Lind"), QStringLiteral("Lost too"),
        library.filePath(QStringLiteral("lost.zip")) + QStringLiteral("@Lost too.fb2"), FormatFb2,
        CompressionZip);

    EXPECT_EQ(Run(), Report(3, 7, 5, 2, expected));
    EXPECT_GT(expected / 1048576, 0);
}

TEST_F(StatisticsTest, BooksAtTheirStandardPlaceAreLookedForUnderTheMaskInTheIndexFolder)
{
    // The default mask "%f %l\%f %l. %t" with ZIP compression as the library's default.
    const QString folder = library.filePath(QStringLiteral("Anna Berg"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto write = [](const QString& path, qint64 size) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(size));
    };
    write(folder + QStringLiteral("/Anna Berg. Winter.zip"), 3 * 1048576);
    write(folder + QStringLiteral("/Anna Berg. Spring.fb2"), 2 * 1048576);
    write(folder + QStringLiteral("/Anna Berg. Notes.txt"), 1048576);
    for (const auto& [title, format, compression] :
        {std::tuple {QStringLiteral("Winter"), FormatFb2, CompressionZip},
            std::tuple {QStringLiteral("Spring"), FormatFb2, CompressionNone},
            std::tuple {QStringLiteral("Notes"), FormatTxt, CompressionNone},
            std::tuple {QStringLiteral("Summer"), FormatFb2, CompressionZip}}) {
        AddBook(QStringLiteral("Anna"), QStringLiteral("Berg"), title,
            catalog.StandardFileName(QStringLiteral("Anna"), QStringLiteral("Berg"), title,
                QStringLiteral("sf"), format, compression),
            format, compression);
    }
    // The host makes the index folder current, wherever the program runs from.
    EXPECT_EQ(Run(), Report(1, 4, 3, 1, 6 * 1048576));
}

TEST_F(StatisticsTest, TotalsAboveFourGigabytesAreNotWrappedAround)
{
    const QString archive = library.filePath(QStringLiteral("huge.zip"));
    QFile file(archive);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(qint64(3) * 1024 * 1048576)); // sparse: takes no room on disk
    file.close();
    for (int i = 0; i < 2; ++i)
        AddBook(QStringLiteral("Big"), QStringLiteral("Author"), QStringLiteral("Part %1").arg(i),
            archive + QStringLiteral("@part%1.fb2").arg(i), FormatFb2, CompressionZip);
    EXPECT_EQ(Run(), Report(1, 2, 2, 0, qint64(6) * 1024 * 1048576));
}

TEST_F(StatisticsTest, AuthorsWithoutBooksCountAndAnIndexWithoutOptionsFails)
{
    QString error;
    EXPECT_EQ(ExecuteOn(QStringLiteral("<books><options><file-name-mask>%f</file-name-mask>"
                                       "<file-compression>None</file-compression></options>"
                                       "<author firstName=\"A\" lastName=\"B\"/>"
                                       "<author firstName=\"C\" lastName=\"D\"><group name=\"g\"/>"
                                       "</author></books>"),
                  &error),
        LBV_S_OK);
    EXPECT_EQ(services.Texts(), QStringList {Report(2, 0, 0, 0, 0)});

    services.messages.clear();
    EXPECT_EQ(ExecuteOn(QStringLiteral("<books><author firstName=\"A\" lastName=\"B\"/></books>"),
                  &error),
        LBV_E_FAIL);
    EXPECT_EQ(error, QStringLiteral("The index has no /books/options/file-name-mask element."));
    EXPECT_EQ(ExecuteOn(QStringLiteral("<books><options><file-name-mask>%f</file-name-mask>"
                                       "<file-compression>ZIP</file-compression></options>"
                                       "<author firstName=\"A\" lastName=\"B\"><group name=\"g\">"
                                       "<book><book-title>T</book-title></book></group></author>"
                                       "</books>"),
                  &error),
        LBV_E_FAIL);
    EXPECT_EQ(error, QStringLiteral("Book 1 of A B has no <genre> element."));
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(services.waitDepth, 0);
}

TEST_F(StatisticsTest, RegistersItselfInThePluginList)
{
    PluginModules folderless {QStringList()};
    QString error;
    const PluginModule* module = folderless.Module(kModule, &error);
    ASSERT_NE(module, nullptr) << error.toStdString();
    EXPECT_EQ(module->Classes(), QStringList {kStatClsid});
    RegistrySink sink;
    ASSERT_EQ(module->Register(sink.Table()), LBV_S_OK);
    const SettingsBackend* store
        = sink.Backend(QStringLiteral("Marrowfield"), QStringLiteral("Libravon"));
    ASSERT_NE(store, nullptr);
    const QString key = QStringLiteral("Plugins/") + kStatClsid;
    EXPECT_EQ(store->ReadString(key, QString()), QStringLiteral("LBVStatPlugin"));
    EXPECT_EQ(store->ReadString(key, QStringLiteral("Type")), QStringLiteral("Index"));
    EXPECT_EQ(store->ReadString(key, QStringLiteral("Name")), QStringLiteral("Statistics"));
    EXPECT_EQ(store->ReadString(key, QStringLiteral("Icon")), module->Path());
    EXPECT_EQ(store->ReadString(key, QStringLiteral("Module")), module->Path());
    ASSERT_EQ(module->Unregister(sink.Table()), LBV_S_OK);
    EXPECT_TRUE(store->ChildSections(QStringLiteral("Plugins")).isEmpty());
}
