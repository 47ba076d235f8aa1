// "plugins": lists the catalog plug-ins as the Maintenance page groups them, or the exporters;
// registers and unregisters plug-in modules in the user's settings.
#include "cli/command.h"
#include "plugins/console_host_services.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_module.h"
#include "plugins/registry_sink.h"
#include "settings/qt_settings_backend.h"

namespace lbv::cli {
namespace {

int ChangeRegistration(const QString& modulePath, bool add)
{
    PluginModules modules;
    QString error;
    const PluginModule* module = modules.Module(modulePath, &error);
    if (!module) {
        Err(QStringLiteral("libravon-cli: ") + error);
        return 1;
    }
    RegistrySink sink([](const QString& organisation, const QString& application) {
        return std::unique_ptr<SettingsBackend>(
            QtSettingsBackend::UserScope(organisation, application));
    });
    const LbvResult result = add ? module->Register(sink.Table()) : module->Unregister(sink.Table());
    if (LBV_FAILED(result) || !sink.Flush()) {
        Err(QStringLiteral("libravon-cli: %1 failed for %2: %3")
                .arg(add ? QStringLiteral("registration") : QStringLiteral("unregistration"),
                    module->Path(), FailureDescription(result)));
        return 1;
    }
    Out(QStringLiteral("%1 %2").arg(add ? u"Registered" : u"Unregistered", module->Path()));
    return 0;
}

int RunPlugins(Arguments& args)
{
    const Command& self = *FindCommand(QStringLiteral("plugins"));
    const bool exporters = args.TakeFlag(QStringLiteral("--exporters"));
    const QString registerPath = args.TakeOption(QStringLiteral("--register"));
    const QString unregisterPath = args.TakeOption(QStringLiteral("--unregister"));
    const QStringList positional = args.Positional();
    if (!args.Error().isEmpty())
        return UsageError(self, args.Error());
    if (!positional.isEmpty())
        return UsageError(self, QStringLiteral("unexpected argument %1").arg(positional.first()));
    if (!registerPath.isEmpty() || !unregisterPath.isEmpty()) {
        if (!registerPath.isEmpty() && !unregisterPath.isEmpty())
            return UsageError(self, QStringLiteral("--register and --unregister exclude each other"));
        return ChangeRegistration(registerPath.isEmpty() ? unregisterPath : registerPath,
            !registerPath.isEmpty());
    }

    PluginModules modules;
    for (const QString& problem : modules.FolderProblems())
        Err(QStringLiteral("libravon-cli: warning: ") + problem);
    if (exporters) {
        const QList<ExporterEntry> entries = LoadExporters(modules);
        for (qsizetype i = 0; i < entries.size(); ++i)
            Out(QStringLiteral("%1\t%2\t%3").arg(i + 1).arg(entries[i].menu, entries[i].clsid));
        return 0;
    }
    ConsoleHostServices services;
    PluginHost host(services, modules);
    const QList<PluginRecord> records = host.List(LoadIndexPlugins(modules));
    for (const PluginCategory& category : GroupByCategory(records)) {
        Out(category.name);
        for (const PluginRecord* plugin : category.plugins)
            Out(QStringLiteral("    %1\t%2\t%3%4")
                    .arg(plugin->name, plugin->registration.clsid, plugin->description,
                        plugin->supportsSetup ? QStringLiteral("\t(setup)") : QString()));
    }
    return 0;
}

const CommandRegistrar registrar({QStringLiteral("plugins"),
    QStringLiteral("[--exporters | --register MODULE | --unregister MODULE]"),
    QStringLiteral("List the catalog plug-ins by category (or the exporters), or register a "
                   "plug-in module in the user's settings."),
    RunPlugins});

} // namespace
} // namespace lbv::cli
