// "run-plugin": runs a catalog plug-in against an index, printing what it shows.
#include "catalog/libravon_doc.h"
#include "cli/command.h"
#include "plugins/console_host_services.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_module.h"
#include "text/case_fold.h"

#include <QDir>
#include <QFileInfo>

namespace lbv::cli {
namespace {

int RunPlugin(Arguments& args)
{
    const Command& self = *FindCommand(QStringLiteral("run-plugin"));
    const bool save = args.TakeFlag(QStringLiteral("--save"));
    const bool setup = args.TakeFlag(QStringLiteral("--setup"));
    const QStringList positional = args.Positional();
    if (!args.Error().isEmpty())
        return UsageError(self, args.Error());
    if (positional.size() != 2)
        return UsageError(self, QStringLiteral("expected INDEX NAME"));

    ConsoleHostServices console;
    CLibravonDoc catalog;
    if (!catalog.Open(positional[0], &console))
        return 1;
    PluginModules modules;
    PluginHost host(console, modules);
    const QList<PluginRecord> records = host.List(LoadIndexPlugins(modules));
    const QString wanted = positional[1];
    const auto plugin = std::find_if(records.begin(), records.end(), [&](const PluginRecord& r) {
        return EqualsNoCase(r.name, wanted) || r.registration.clsid == CanonicalClsid(wanted);
    });
    if (plugin == records.end()) {
        Err(QStringLiteral("libravon-cli: no plug-in named \"%1\"; see libravon-cli plugins")
                .arg(wanted));
        return 1;
    }
    if (setup)
        return host.Setup(*plugin, catalog, 0) ? 0 : 1;

    const PluginHost::Outcome outcome = host.Execute(*plugin, catalog, 0);
    if (outcome == PluginHost::Outcome::Failed)
        return 1;
    if (outcome == PluginHost::Outcome::Reloaded) {
        if (!save) {
            Err(QStringLiteral("libravon-cli: the plug-in changed the index; run with --save "
                               "to keep the change"));
            return 0;
        }
        // A plain XML index is never overwritten with the compressed form: it goes beside it.
        QString target = catalog.path;
        if (target == u"untitled") {
            const QFileInfo plain(positional[0]);
            target = plain.dir().filePath(plain.completeBaseName() + QStringLiteral(".lvf"));
        }
        if (!catalog.Save(target, &console))
            return 1;
        Out(QStringLiteral("Saved %1").arg(target));
    }
    return 0;
}

const CommandRegistrar registrar({QStringLiteral("run-plugin"),
    QStringLiteral("INDEX NAME [--save] [--setup]"),
    QStringLiteral("Run a catalog plug-in (by name or CLSID) on an index; a changed index is "
                   "saved only with --save."),
    RunPlugin});

} // namespace
} // namespace lbv::cli
