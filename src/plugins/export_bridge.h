#pragma once
// The FB2 editor's export plug-ins as commands of the book list: each exporter is offered for
// the selected books and called once per FB2 book with the book's document. Books that cannot
// be exported are reported one by one and skipped. User-interface thread only.
#include "plugins/plugin_host_services.h"
#include "plugins/plugin_registration.h"

#include <QList>

namespace lbv {

class CBook;
class CLibravonDoc;
class PluginModules;

// Whether the export commands are enabled: several books selected, or one FB2 book whose
// stored file can be read.
bool CanExport(const QList<const CBook*>& selection, const CLibravonDoc& catalog);

struct ExportSummary {
    int exported = 0; // books handed to the exporter
    int skipped = 0; // books reported and passed over
    bool stopped = false; // the command ended early (creation failure, exporter failure, cancel)
};

class ExportBridge {
public:
    // The services and modules must outlive the bridge.
    ExportBridge(
        PluginHostServices& services, PluginModules& modules, QList<ExporterEntry> exporters);

    const QList<ExporterEntry>& Exporters() const { return exporters_; }

    // Runs exporter `index` over the books in order. An index outside the list or no books do
    // nothing. "Export done." follows when several books were given and the command ran through.
    ExportSummary Export(int index, const QList<const CBook*>& books,
        const CLibravonDoc& catalog, LbvWindow owner);

private:
    void Show(const QString& text, const QString& caption, quint32 flags);

    HostServicesTable table_;
    PluginModules& modules_;
    QList<ExporterEntry> exporters_;
};

} // namespace lbv
