// "export": hands the books of an index that match a query to an export plug-in.
#include "catalog/libravon_doc.h"
#include "cli/command.h"
#include "plugins/console_host_services.h"
#include "plugins/export_bridge.h"
#include "plugins/plugin_module.h"
#include "text/case_fold.h"

namespace lbv::cli {
namespace {

// Books whose title or author ("first last") contains the query, ignoring case, in catalog order.
QList<const CBook*> MatchingBooks(const CLibravonDoc& catalog, const QString& query)
{
    const QString folded = query.toCaseFolded();
    QList<const CBook*> books;
    for (const auto& author : catalog.Authors()) {
        const bool authorMatches
            = QString(author->firstName + u' ' + author->lastName).toCaseFolded().contains(folded);
        for (const auto& group : author->Groups())
            for (const auto& book : group->Books())
                if (authorMatches || book->title.toCaseFolded().contains(folded))
                    books << book.get();
    }
    return books;
}

// By menu text ignoring case, CLSID or number from 1; -1 when none.
int FindExporter(const QList<ExporterEntry>& exporters, const QString& wanted)
{
    bool isNumber = false;
    const int number = wanted.toInt(&isNumber);
    if (isNumber)
        return number >= 1 && number <= exporters.size() ? number - 1 : -1;
    for (qsizetype i = 0; i < exporters.size(); ++i)
        if (EqualsNoCase(exporters[i].menu, wanted) || exporters[i].clsid == CanonicalClsid(wanted))
            return int(i);
    return -1;
}

int RunExport(Arguments& args)
{
    const Command& self = *FindCommand(QStringLiteral("export"));
    const QString folder = args.TakeOption(QStringLiteral("--folder"));
    const QStringList positional = args.Positional();
    if (!args.Error().isEmpty())
        return UsageError(self, args.Error());
    if (positional.size() != 3)
        return UsageError(self, QStringLiteral("expected INDEX QUERY EXPORTER"));

    ConsoleHostServices console(folder);
    CLibravonDoc catalog;
    if (!catalog.Open(positional[0], &console))
        return 1;
    const QList<const CBook*> books = MatchingBooks(catalog, positional[1]);
    if (books.isEmpty()) {
        Err(QStringLiteral("libravon-cli: no book matches \"%1\"").arg(positional[1]));
        return 1;
    }
    PluginModules modules;
    ExportBridge bridge(console, modules, LoadExporters(modules));
    const int index = FindExporter(bridge.Exporters(), positional[2]);
    if (index < 0) {
        Err(QStringLiteral("libravon-cli: no exporter \"%1\"; see libravon-cli plugins "
                           "--exporters")
                .arg(positional[2]));
        return 1;
    }
    const ExportSummary summary = bridge.Export(index, books, catalog, 0);
    Out(QStringLiteral("Exported %1 of %2 books.").arg(summary.exported).arg(books.size()));
    return summary.stopped || summary.skipped > 0 ? 1 : 0;
}

const CommandRegistrar registrar({QStringLiteral("export"),
    QStringLiteral("INDEX QUERY EXPORTER [--folder DIR]"),
    QStringLiteral("Export the books whose title or author contains QUERY with an export "
                   "plug-in (menu text, CLSID or number); --folder answers its folder question."),
    RunExport});

} // namespace
} // namespace lbv::cli
