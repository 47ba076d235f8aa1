#include "catalog/libravon_doc.h"
#include "gui/shelf/book_list_ctrl.h"
#include "gui/shelf/book_list_model.h"
#include "gui/shell/catalog_session.h"
#include "plugins/export_bridge.h"
#include "plugins/plugin_module.h"
#include "recording_host_services.h"
#include "scripted_shelf_dialogs.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "shelf/genre_dictionary.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lbv;
using namespace Qt::StringLiterals;

namespace {

QByteArray Fb2(const QString& title)
{
    return (u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<FictionBook "
            u"xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\"><description><title-info>"
            u"<author><first-name>Ivar</first-name><last-name>Kessel</last-name></author>"
            u"<book-title>"
        + title + u"</book-title></title-info></description><body><section><p>Text of " + title
        + u".</p></section></body></FictionBook>")
        .toUtf8();
}

TEST(BookExport, MenuItemsExportTheSelectedBooksInRowOrder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CatalogSession session;
    CLibravonDoc& doc = session.Catalog();
    doc.path = dir.filePath(u"index.lvf"_s);
    for (const QString& title : {u"Alpha"_s, u"Beta"_s, u"Gone"_s}) {
        const QString path = dir.filePath(title + u".fb2"_s);
        if (title != u"Gone"_s) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(Fb2(title));
        }
        doc.AddBook({u"Ivar"_s, u"Kessel"_s, title, QString(), path, 0, FormatFb2}, false);
    }
    SettingsStore settings(std::make_unique<MemorySettingsBackend>(), true);
    ScriptedShelfDialogs dialogs;
    dialogs.yes = false;
    GenreDictionary genres;
    CBookListCtrl list(session, settings, dialogs, genres);
    list.ShowGroup(&doc, doc.FindBook({u"Ivar"_s, u"Kessel"_s, u"Alpha"_s})->group);

    test::RecordingHostServices services;
    const QString output = dir.filePath(u"out"_s);
    ASSERT_TRUE(QDir().mkpath(output));
    services.folderAnswer = output;
    PluginModules modules {QStringList()};
    ExportBridge bridge(services, modules,
        {ExporterEntry {u"Export to plain text"_s, u"{0CDD5A75-4EC1-4DCB-8B44-2A0EC78212F1}"_s,
            QStringLiteral(LBV_TXT_EXPORT_MODULE)}});
    list.SetExportBridge(&bridge);
    auto* exportText = list.findChild<QAction*>(u"bookExportAction0"_s);
    ASSERT_NE(exportText, nullptr);
    EXPECT_EQ(exportText->text(), u"Export to plain text"_s);

    const auto select = [&list](const QString& title) {
        list.clearSelection();
        for (int row = 0; row < list.Model().rowCount(); ++row)
            if (title.isEmpty() || list.Model().BookAt(row)->title == title)
                list.selectionModel()->select(list.Model().index(row, 0),
                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };
    // One book whose file is missing: nothing to export, nothing asked.
    select(u"Gone"_s);
    exportText->trigger();
    EXPECT_TRUE(services.folderQuestions.isEmpty());

    // Allowed in autorun mode; the missing book is reported and the others exported.
    select(QString());
    exportText->trigger();
    EXPECT_EQ(services.folderQuestions.size(), 1);
    EXPECT_TRUE(QFile::exists(output + u"/Alpha.txt"_s));
    EXPECT_TRUE(QFile::exists(output + u"/Beta.txt"_s));
    ASSERT_FALSE(services.messages.empty());
    EXPECT_EQ(services.messages.back().text, u"Export done."_s);
}

} // namespace
