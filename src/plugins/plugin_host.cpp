#include "plugins/plugin_host.h"

#include "catalog/libravon_doc.h"
#include "catalog/xml_document.h"
#include "plugins/catalog_exchange.h"
#include "plugins/plugin_module.h"
#include "plugins/plugin_object.h"

#include <QDir>

namespace lbv {
namespace {

using Plugin = PluginObject<ILibravonPlugin>;

QString CantCreateText(const QString& registryName, const QString& detail)
{
    return QStringLiteral("Can't create instance of \"%1\" plugin.").arg(registryName)
        + QStringLiteral("\r\n") + detail;
}

// Makes a folder current for its lifetime. Plug-ins resolve relative paths against the index
// folder; whatever happens in between, the previous folder comes back.
class CurrentFolderSwitch {
public:
    explicit CurrentFolderSwitch(const QString& folder) : previous_(QDir::currentPath())
    {
        if (!folder.isEmpty())
            QDir::setCurrent(folder);
    }
    ~CurrentFolderSwitch() { QDir::setCurrent(previous_); }
    CurrentFolderSwitch(const CurrentFolderSwitch&) = delete;
    CurrentFolderSwitch& operator=(const CurrentFolderSwitch&) = delete;

private:
    const QString previous_;
};

// Reads one text property.
LbvResult ReadText(
    const Plugin& plugin, LbvResult (*getter)(ILibravonPlugin*, LbvChar**), QString* text)
{
    LbvChar* value = nullptr;
    const LbvResult result = getter(plugin.Get(), &value);
    *text = TakePluginString(plugin.Get(), value);
    return result;
}

// The plug-in's own words for its last failure, or the system's for the code.
QString FailureText(const Plugin& plugin, LbvResult result)
{
    const QString message = plugin.ErrorMessage();
    return message.isEmpty() ? FailureDescription(result) : message;
}

} // namespace

QList<PluginCategory> GroupByCategory(const QList<PluginRecord>& records)
{
    QList<PluginCategory> categories;
    for (const PluginRecord& record : records) {
        auto category = std::find_if(categories.begin(), categories.end(),
            [&](const PluginCategory& c) { return c.name == record.category; });
        if (category == categories.end())
            category = categories.insert(categories.end(), PluginCategory {record.category, {}});
        category->plugins << &record;
    }
    return categories;
}

PluginHost::PluginHost(PluginHostServices& services, PluginModules& modules)
    : table_(services), modules_(modules)
{
}

void PluginHost::ShowError(const QString& text)
{
    table_.Services().MessageBox(0, text, QString(), LBV_MB_OK | LBV_MB_ICONSTOP);
}

QList<PluginRecord> PluginHost::List(const QList<PluginRegistration>& registrations)
{
    QList<PluginRecord> records;
    for (const PluginRegistration& registration : registrations) {
        Plugin plugin;
        QString detail;
        const LbvResult created = modules_.Create(registration.clsid, registration.modulePath,
            LBV_IID_ILIBRAVONPLUGIN, table_.Table(), plugin.Out(), &detail);
        if (LBV_FAILED(created)) {
            ShowError(CantCreateText(registration.name, detail));
            continue;
        }
        PluginRecord record {registration, {}, {}, {}, false};
        const auto* methods = plugin.Methods();
        int32_t supportsSetup = 0;
        LbvResult result = LBV_S_OK;
        if (LBV_FAILED(result = ReadText(plugin, methods->get_Name, &record.name))
            || LBV_FAILED(result = ReadText(plugin, methods->get_Cathegory, &record.category))
            || LBV_FAILED(result = ReadText(plugin, methods->get_Description, &record.description))
            || LBV_FAILED(result = methods->get_SupportsSetup(plugin.Get(), &supportsSetup))) {
            ShowError(QStringLiteral("Error creating instance of \"%1\" plugin.")
                          .arg(registration.name)
                + QStringLiteral("\r\n") + FailureText(plugin, result));
            continue;
        }
        record.supportsSetup = supportsSetup != 0;
        records << record;
    }
    return records;
}

PluginHost::Outcome PluginHost::Execute(
    const PluginRecord& plugin, CLibravonDoc& catalog, LbvWindow owner)
{
    return Run(Call::Execute, plugin, &catalog, catalog, owner);
}

bool PluginHost::Setup(const PluginRecord& plugin, const CLibravonDoc& catalog, LbvWindow owner)
{
    return Run(Call::Setup, plugin, nullptr, catalog, owner) != Outcome::Failed;
}

PluginHost::Outcome PluginHost::Run(Call call, const PluginRecord& plugin,
    CLibravonDoc* catalog, const CLibravonDoc& source, LbvWindow owner)
{
    const CurrentFolderSwitch folder(source.IndexFolder());
    Plugin object;
    QString detail;
    const PluginRegistration& registration = plugin.registration;
    if (LBV_FAILED(modules_.Create(registration.clsid, registration.modulePath,
            LBV_IID_ILIBRAVONPLUGIN, table_.Table(), object.Out(), &detail))) {
        ShowError(CantCreateText(registration.name, detail));
        return Outcome::Failed;
    }

    XmlDocumentPtr document;
    {
        WaitCursor wait(table_.Services());
        document = CreateDocument(false, &detail);
        if (!document) {
            ShowError(QStringLiteral("CreateDOMDocument: ") + detail);
            return Outcome::Failed;
        }
        if (!StoreCatalog(source, *document, &detail)) {
            ShowError(detail);
            return Outcome::Failed;
        }
    }

    int32_t indexChanged = 0;
    const LbvResult result = call == Call::Execute
        ? object.Methods()->Execute(object.Get(), owner, document->Doc(), &indexChanged)
        : object.Methods()->Setup(object.Get(), owner, document->Doc());
    if (LBV_FAILED(result)) {
        const QString message = object.ErrorMessage();
        ShowError((call == Call::Execute
                          ? QStringLiteral("Error while executing plugin \"%1\".")
                          : QStringLiteral("Error while calling setup for plugin \"%1\"."))
                      .arg(plugin.name)
            + (message.isEmpty() ? QString() : QStringLiteral("\r\n") + message));
        return Outcome::Failed;
    }
    if (!catalog || indexChanged == 0)
        return Outcome::Done;

    {
        WaitCursor wait(table_.Services());
        if (!ReloadCatalog(*catalog, *document, &detail)) {
            ShowError(QStringLiteral("Plugin \"%1\" changed the index into one that can't be "
                                     "read; the catalog is left unchanged.")
                          .arg(plugin.name)
                + QStringLiteral("\r\n") + detail);
            return Outcome::Failed;
        }
    }
    if (settingChanged_)
        settingChanged_(QStringLiteral("Reload"));
    return Outcome::Reloaded;
}

} // namespace lbv
