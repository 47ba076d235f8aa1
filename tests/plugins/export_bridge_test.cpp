#include "catalog/libravon_doc.h"
#include "import/zip_file.h"
#include "plugins/export_bridge.h"
#include "plugins/plugin_module.h"
#include "support/recording_host_services.h"
#include "text/messages.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lbv;
using lbv::test::RecordingHostServices;

namespace {

const QString kTestModule = QStringLiteral(LBV_TEST_PLUGIN_MODULE);
const QString kTestExporter = QStringLiteral("{11111111-0000-0000-0000-0000000000E1}");

QByteArray BookXml(const QString& title)
{
    return QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\"><description>"
        "<title-info><genre>sf</genre><author><first-name>Ivar</first-name>"
        "<last-name>Kessel</last-name></author><book-title>%1</book-title></title-info>"
        "</description><body><title><p>%1</p></title><section><title><p>Part One</p></title>"
        "<p>First   paragraph.</p><empty-line/><poem><stanza><v>Line one</v><v>Line two</v>"
        "</stanza></poem></section></body><body name=\"notes\"><section><title><p>1</p>"
        "</title><p>A note.</p></section></body></FictionBook>")
        .arg(title)
        .toUtf8();
}

class ExportBridgeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        catalog.path = folder.filePath(QStringLiteral("index.lvf"));
        log.setFileName(kTestModule);
        ASSERT_TRUE(log.load());
        reinterpret_cast<void (*)()>(log.resolve("TestModuleClearLog"))();
    }

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    const CBook* Book(const QString& title, const QString& file, int format = FormatFb2,
        int compression = CompressionNone)
    {
        catalog.AddBook({QStringLiteral("Ivar"), QStringLiteral("Kessel"), title, QString(), file,
                            0, format, compression},
            false);
        return catalog.FindBook({QStringLiteral("Ivar"), QStringLiteral("Kessel"), title});
    }

    QStringList ExportLog() const
    {
        const auto read = reinterpret_cast<const char* (*)()>(log.resolve("TestModuleLog"));
        return QString::fromUtf8(read()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    ExportBridge Bridge(const QString& clsid = kTestExporter, const QString& module = kTestModule)
    {
        return ExportBridge(
            services, modules, {ExporterEntry {QStringLiteral("Test export"), clsid, module}});
    }

    QTemporaryDir folder;
    CLibravonDoc catalog;
    RecordingHostServices services;
    PluginModules modules {QStringList()};
    mutable QLibrary log;
};

} // namespace

TEST_F(ExportBridgeTest, CommandsAreEnabledForSeveralBooksOrOnePresentFb2Book)
{
    const CBook* present = Book(QStringLiteral("Present"), Write(QStringLiteral("p.fb2"), "x"));
    const CBook* missing
        = Book(QStringLiteral("Missing"), folder.filePath(QStringLiteral("m.fb2")));
    const CBook* text
        = Book(QStringLiteral("Text"), Write(QStringLiteral("t.txt"), "x"), FormatTxt);
    const QString archive = folder.filePath(QStringLiteral("a.zip"));
    CZipFile zip;
    zip.Open(archive, 'w');
    zip.Write(QStringLiteral("Packed.fb2"), "x");
    zip.Close();
    const CBook* packed = Book(QStringLiteral("Packed"), archive + QStringLiteral("@Packed.fb2"),
        FormatFb2, CompressionZip);
    // An archive that no longer holds the member is no book to export.
    const CBook* emptied = Book(QStringLiteral("Emptied"), archive + QStringLiteral("@Gone.fb2"),
        FormatFb2, CompressionZip);
    EXPECT_TRUE(CanExport({present}, catalog));
    EXPECT_TRUE(CanExport({packed}, catalog));
    EXPECT_FALSE(CanExport({emptied}, catalog));
    EXPECT_FALSE(CanExport({missing}, catalog));
    EXPECT_FALSE(CanExport({text}, catalog));
    EXPECT_FALSE(CanExport({}, catalog));
    EXPECT_TRUE(CanExport({missing, text}, catalog));
}

TEST_F(ExportBridgeTest, NonFb2BooksAreSkippedWithAWarningAndSeveralBooksEndWithExportDone)
{
    const QString first = Write(QStringLiteral("first.fb2"), BookXml(QStringLiteral("First")));
    const QString archive = folder.filePath(QStringLiteral("packed.zip"));
    {
        CZipFile zip;
        zip.Open(archive, 'w');
        zip.Write(QStringLiteral("Packed book.fb2"), BookXml(QStringLiteral("Packed")));
        zip.Close();
    }
    const QList<const CBook*> books {Book(QStringLiteral("First"), first),
        Book(QStringLiteral("Notes"), Write(QStringLiteral("notes.txt"), "plain"), FormatTxt),
        Book(QStringLiteral("Packed"), archive + QStringLiteral("@Packed book.fb2"), FormatFb2,
            CompressionZip)};

    const ExportSummary summary = Bridge().Export(0, books, catalog, 5);
    EXPECT_EQ(summary.exported, 2);
    EXPECT_EQ(summary.skipped, 1);
    EXPECT_FALSE(summary.stopped);

    ASSERT_EQ(services.messages.size(), 2u);
    EXPECT_EQ(services.messages[0].text,
        QStringLiteral("The book \"Notes\" is not in FB2 format.\r\nExport can not be performed."));
    EXPECT_EQ(services.messages[0].caption, QStringLiteral("Export book"));
    EXPECT_EQ(services.messages[0].flags, LBV_MB_OK | LBV_MB_ICONWARNING);
    EXPECT_EQ(services.messages[1].text, QStringLiteral("Export done."));

    const QStringList calls = ExportLog();
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0], QStringLiteral("export %1 root=FictionBook").arg(first));
    // The packed book went through a temporary copy, which is gone afterwards.
    ASSERT_TRUE(calls[1].startsWith(QStringLiteral("export ")));
    const QString copy = calls[1].mid(7).section(QStringLiteral(" root="), 0, 0);
    EXPECT_NE(copy, archive);
    EXPECT_TRUE(copy.endsWith(QStringLiteral("Packed book.fb2"))) << copy.toStdString();
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_TRUE(QFile::exists(archive));
    EXPECT_TRUE(QFile::exists(first));
}

TEST_F(ExportBridgeTest, OneBookGetsNoCompletionMessageAndKeepsItsFile)
{
    const QString path = Write(QStringLiteral("one.fb2"), BookXml(QStringLiteral("One")));
    const ExportSummary summary
        = Bridge().Export(0, {Book(QStringLiteral("One"), path)}, catalog, 0);
    EXPECT_EQ(summary.exported, 1);
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(ExportLog(), QStringList {QStringLiteral("export %1 root=FictionBook").arg(path)});
    EXPECT_TRUE(QFile::exists(path));
}

TEST_F(ExportBridgeTest, UnreadableBooksAreReportedAndAFailingExporterEndsTheCommand)
{
    const QList<const CBook*> books {
        Book(QStringLiteral("Broken"), Write(QStringLiteral("broken.fb2"), "<FictionBook>")),
        Book(QStringLiteral("Bad zip"), folder.filePath(QStringLiteral("none.zip@x.fb2")),
            FormatFb2, CompressionZip),
        Book(QStringLiteral("Doomed"),
            Write(QStringLiteral("fail-me.fb2"), BookXml(QStringLiteral("Doomed")))),
        Book(QStringLiteral("Never"),
            Write(QStringLiteral("never.fb2"), BookXml(QStringLiteral("Never")))),
    };
    const ExportSummary summary = Bridge().Export(0, books, catalog, 0);
    EXPECT_EQ(summary.exported, 0);
    EXPECT_EQ(summary.skipped, 2);
    EXPECT_TRUE(summary.stopped);
    ASSERT_EQ(services.messages.size(), 3u);
    EXPECT_TRUE(services.messages[0].text.startsWith(QStringLiteral("Loading ")))
        << services.messages[0].text.toStdString();
    EXPECT_EQ(services.messages[0].flags, LBV_MB_OK | LBV_MB_ICONSTOP);
    EXPECT_TRUE(services.messages[1].text.startsWith(
        QStringLiteral("Error creating temp file for book \"Bad zip\".\r\n")))
        << services.messages[1].text.toStdString();
    EXPECT_TRUE(
        services.messages[1].text.endsWith(QStringLiteral("\r\nExport can not be performed.")));
    EXPECT_EQ(services.messages[1].caption, QStringLiteral("Export book"));
    EXPECT_EQ(services.messages[2].text, QStringLiteral("The test exporter failed on purpose."));
    EXPECT_EQ(services.messages[2].flags, LBV_MB_OK | LBV_MB_ICONSTOP);
    EXPECT_EQ(ExportLog().size(), 1);
}

TEST_F(ExportBridgeTest, AnExporterThatCannotBeCreatedStopsBeforeAnyBook)
{
    const QString path = Write(QStringLiteral("one.fb2"), BookXml(QStringLiteral("One")));
    const QList<const CBook*> books {
        Book(QStringLiteral("One"), path), Book(QStringLiteral("Two"), path)};
    const ExportSummary summary = Bridge(QStringLiteral("{11111111-0000-0000-0000-0000000000E9}"))
                                      .Export(0, books, catalog, 0);
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(services.Texts(),
        QStringList {QStringLiteral("Can't create instance of Test export exporter.\r\n"
                                    "ClassFactory cannot supply requested class")});
    EXPECT_TRUE(ExportLog().isEmpty());

    services.messages.clear();
    EXPECT_EQ(Bridge().Export(1, books, catalog, 0).exported, 0);
    EXPECT_EQ(Bridge().Export(0, {}, catalog, 0).exported, 0);
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(ExportBridgeTest, ThePlainTextExporterWritesUtf8TextIntoTheFolderItIsGiven)
{
    const ExporterEntry text {QStringLiteral("Export to plain text"),
        QStringLiteral("{0CDD5A75-4EC1-4DCB-8B44-2A0EC78212F1}"),
        QStringLiteral(LBV_TXT_EXPORT_MODULE)};
    const QString output = folder.filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(output));
    const QList<const CBook*> books {
        Book(QStringLiteral("Foundation"),
            Write(QStringLiteral("Foundation.fb2"), BookXml(QStringLiteral("Foundation")))),
        Book(QStringLiteral("Сад"),
            Write(QStringLiteral("Сад.fb2"), BookXml(QStringLiteral("Сад")))),
    };

    services.folderAnswer = output;
    ExportBridge bridge(services, modules, {text});
    EXPECT_EQ(bridge.Export(0, books, catalog, 0).exported, 2);
    EXPECT_EQ(services.folderQuestions.size(), 1); // once per command, not per book
    EXPECT_EQ(services.Texts(), QStringList {QStringLiteral("Export done.")});

    QFile written(output + QStringLiteral("/Foundation.txt"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(written.readAll()),
        QStringLiteral("Ivar Kessel\nFoundation\n\nFoundation\n\nPart One\n\nFirst paragraph.\n\n"
                       "Line one\nLine two\n\n1\n\nA note.\n"));
    QFile cyrillic(output + QStringLiteral("/Сад.txt"));
    ASSERT_TRUE(cyrillic.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        QString::fromUtf8(cyrillic.readAll()).startsWith(QStringLiteral("Ivar Kessel\nСад\n")));

    // The next command offers the folder chosen last; cancelling ends it quietly.
    services.messages.clear();
    services.folderAnswer.reset();
    const ExportSummary cancelled = bridge.Export(0, books, catalog, 0);
    EXPECT_TRUE(cancelled.stopped);
    EXPECT_EQ(cancelled.exported, 0);
    EXPECT_EQ(services.folderQuestions.last(), output);
    EXPECT_TRUE(services.messages.empty());
}
