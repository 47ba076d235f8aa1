#include "plugins/export_bridge.h"

#include "catalog/libravon_doc.h"
#include "catalog/xml_document.h"
#include "import/book_placement.h"
#include "import/temp_files.h"
#include "plugins/export_plugin.h"
#include "plugins/plugin_module.h"
#include "plugins/plugin_object.h"
#include "text/messages.h"

#include <QFile>

namespace lbv {
namespace {

using Exporter = PluginObject<IFBEExportPlugin>;

} // namespace

bool CanExport(const QList<const CBook*>& selection, const CLibravonDoc& catalog)
{
    if (selection.size() > 1)
        return true;
    return selection.size() == 1 && selection.first()->format == FormatFb2
        && !ActualBookPath(*selection.first(), catalog).isEmpty();
}

ExportBridge::ExportBridge(
    PluginHostServices& services, PluginModules& modules, QList<ExporterEntry> exporters)
    : table_(services)
    , modules_(modules)
    , exporters_(std::move(exporters))
{
}

void ExportBridge::Show(LbvWindow owner, const QString& text, const QString& caption, quint32 flags)
{
    table_.Services().MessageBox(owner, text, caption, flags);
}

ExportSummary ExportBridge::Export(
    int index, const QList<const CBook*>& books, const CLibravonDoc& catalog, LbvWindow owner)
{
    ExportSummary summary;
    if (index < 0 || index >= exporters_.size() || books.isEmpty())
        return summary;
    const ExporterEntry& entry = exporters_[index];
    const QString exportCaption = MessageText(Msg::ExportBookCaption);

    QString error;
    const XmlDocumentPtr document = CreateFreeThreadedDocument(false, &error);
    if (!document) {
        Show(owner, error, QString(), LBV_MB_OK | LBV_MB_ICONSTOP);
        summary.stopped = true;
        return summary;
    }
    Exporter exporter;
    if (LBV_FAILED(modules_.Create(entry.clsid, entry.modulePath, LBV_IID_IFBEEXPORTPLUGIN,
            table_.Table(), exporter.Out(), &error))) {
        Show(owner, MessageText(Msg::CantCreateExporter).arg(entry.menu) + error, QString(),
            LBV_MB_OK | LBV_MB_ICONSTOP);
        summary.stopped = true;
        return summary;
    }
    for (const CBook* book : books) {
        if (book->format != FormatFb2) {
            Show(owner, MessageText(Msg::BookNotFb2).arg(book->title), exportCaption,
                LBV_MB_OK | LBV_MB_ICONWARNING);
            ++summary.skipped;
            continue;
        }
        QString path = book->file.isEmpty() ? book->DefaultFileName(catalog) : book->file;
        QString temporaryPath;
        if (book->compression != CompressionNone) {
            temporaryPath = ExtractToTempFile(path, book->compression, &error);
            if (temporaryPath.isEmpty()) {
                Show(owner, MessageText(Msg::CantCreateExportTempFile).arg(book->title, error),
                    exportCaption, LBV_MB_OK | LBV_MB_ICONWARNING);
                ++summary.skipped;
                continue;
            }
            path = temporaryPath;
        }
        const TemporaryCopy copy(temporaryPath);
        if (!LoadInto(*document, path, &error)) {
            Show(owner, error, QString(), LBV_MB_OK | LBV_MB_ICONSTOP);
            ++summary.skipped;
            continue;
        }
        document->SetSelectionNamespaces(FictionBookSelectionNamespaces(document->Doc()));
        const LbvResult result = exporter.Methods()->Export(
            exporter.Get(), int32_t(owner), LbvUnits(path), document->Doc());
        if (LBV_FAILED(result)) {
            // A cancelled export needs no message; any other failure ends the command too.
            if (result != LBV_E_ABORT) {
                const QString message = exporter.ErrorMessage();
                Show(owner, message.isEmpty() ? FailureDescription(result) : message, entry.menu,
                    LBV_MB_OK | LBV_MB_ICONSTOP);
            }
            summary.stopped = true;
            return summary;
        }
        ++summary.exported;
    }
    if (books.size() > 1)
        Show(owner, MessageText(Msg::ExportDone), QString(), LBV_MB_OK);
    return summary;
}

} // namespace lbv
