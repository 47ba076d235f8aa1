#include "plugins/plugin_module.h"

#include "catalog/com_result.h"
#include "plugins/registry_sink.h"
#include "text/utf.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUuid>

namespace lbv {
namespace {

constexpr LbvResult kClassNotRegistered = LbvResult(0x80040154u);

QString CanonicalPath(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QDir::current().absoluteFilePath(path))
                               : canonical;
}

bool SameClsid(const SettingsListEntry& entry, const QString& clsid)
{
    return CanonicalClsid(entry.name) == clsid;
}

} // namespace

QString CanonicalClsid(QStringView text)
{
    if (text.size() != 38 || !text.startsWith(u'{') || !text.endsWith(u'}'))
        return {};
    const QUuid id = QUuid::fromString(text);
    return id.isNull() ? QString() : id.toString(QUuid::WithBraces).toUpper();
}

QString FailureDescription(LbvResult result)
{
    switch (result) {
    case kClassNotRegistered:
        return QStringLiteral("Class not registered");
    case LBV_CLASS_E_CLASSNOTAVAILABLE:
        return QStringLiteral("ClassFactory cannot supply requested class");
    default:
        QString text;
        ComResultText(result, &text);
        return text;
    }
}

PluginModule::PluginModule(const QString& path)
    : path_(path)
    , library_(path)
{
    // Missing symbols show when the module is loaded, not in the middle of a call.
    library_.setLoadHints(QLibrary::ResolveAllSymbolsHint);
}

std::unique_ptr<PluginModule> PluginModule::Load(const QString& path, QString* error)
{
    std::unique_ptr<PluginModule> module(new PluginModule(path));
    QLibrary& library = module->library_;
    if (!library.load()) {
        if (error)
            *error = library.errorString();
        return nullptr;
    }
    const auto version
        = reinterpret_cast<LbvPluginAbiVersionFn>(library.resolve(LBV_ENTRY_ABI_VERSION));
    const auto classes = reinterpret_cast<LbvPluginClassesFn>(library.resolve(LBV_ENTRY_CLASSES));
    module->getClassObject_
        = reinterpret_cast<DllGetClassObjectFn>(library.resolve(LBV_ENTRY_GET_CLASS_OBJECT));
    module->registerServer_
        = reinterpret_cast<DllRegisterServerFn>(library.resolve(LBV_ENTRY_REGISTER_SERVER));
    module->unregisterServer_
        = reinterpret_cast<DllUnregisterServerFn>(library.resolve(LBV_ENTRY_UNREGISTER_SERVER));
    if (!version || !classes || !module->getClassObject_) {
        if (error)
            *error = QStringLiteral("%1 is not a Libravon plug-in module.").arg(path);
        library.unload();
        return nullptr;
    }
    if (version() != LBV_PLUGIN_ABI_VERSION) {
        if (error)
            *error = QStringLiteral("%1 was built for plug-in interface version %2; this program "
                                    "has version %3.")
                         .arg(path)
                         .arg(version())
                         .arg(LBV_PLUGIN_ABI_VERSION);
        library.unload();
        return nullptr;
    }
    if (const char* const* names = classes()) {
        for (; *names; ++names) {
            const QString clsid = CanonicalClsid(FromUtf8(*names));
            if (!clsid.isEmpty())
                module->classes_ << clsid;
        }
    }
    return module;
}

LbvResult PluginModule::CreateObject(
    const QString& clsid, const char* iid, const LbvHostServices* host, void** object) const
{
    *object = nullptr;
    const LbvResult result = getClassObject_(clsid.toLatin1().constData(), iid, host, object);
    if (LBV_SUCCEEDED(result) && !*object)
        return LBV_E_POINTER;
    return result;
}

LbvResult PluginModule::Register(const LbvRegistry* registry) const
{
    if (!registerServer_)
        return LBV_E_NOTIMPL;
    return registerServer_(registry, ToUtf8(path_).constData());
}

LbvResult PluginModule::Unregister(const LbvRegistry* registry) const
{
    return unregisterServer_ ? unregisterServer_(registry) : LBV_E_NOTIMPL;
}

QStringList PluginModules::DefaultFolders()
{
    QStringList folders;
    const QString fromEnvironment = qEnvironmentVariable("LIBRAVON_PLUGIN_PATH");
    folders << fromEnvironment.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (!programFolder.isEmpty()) {
        folders << programFolder + QStringLiteral("/plugins")
                << QDir::cleanPath(programFolder + QStringLiteral("/../lib/libravon/plugins"));
    }
#ifdef LBV_BUILD_DIR
    // The modules built beside the programs, so that the build tree runs without installing; an
    // installed copy never reaches back into the tree it was built in.
    const QString buildFolder = QDir(QStringLiteral(LBV_BUILD_DIR)).canonicalPath();
    if (!buildFolder.isEmpty() && !programFolder.isEmpty()
        && QDir(programFolder).canonicalPath().startsWith(buildFolder + QLatin1Char('/')))
        folders << buildFolder + QStringLiteral("/plugins");
#endif
    folders.removeDuplicates();
    return folders;
}

PluginModules::PluginModules(QStringList folders)
    : folders_(std::move(folders))
{
}

PluginModules::~PluginModules() = default;

const PluginModule* PluginModules::Module(const QString& path, QString* error)
{
    const QString key = CanonicalPath(path);
    const auto found = modules_.find(key);
    if (found != modules_.end())
        return found->second.get();
    std::unique_ptr<PluginModule> module = PluginModule::Load(key, error);
    if (!module)
        return nullptr;
    return modules_.emplace(key, std::move(module)).first->second.get();
}

void PluginModules::ScanFolders()
{
    if (scanned_)
        return;
    scanned_ = true;
    for (const QString& folder : std::as_const(folders_)) {
        const QFileInfoList files = QDir(folder).entryInfoList(
            {QStringLiteral("*.so")}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QFileInfo& file : files) {
            QString error;
            if (const PluginModule* module = Module(file.filePath(), &error)) {
                if (!folderModules_.contains(module))
                    folderModules_ << module;
            } else {
                folderProblems_ << error;
            }
        }
    }
}

const PluginModule* PluginModules::FolderModuleServing(const QString& clsid)
{
    ScanFolders();
    for (const PluginModule* module : std::as_const(folderModules_))
        if (module->Classes().contains(clsid))
            return module;
    return nullptr;
}

LbvResult PluginModules::Create(const QString& clsid, const QString& modulePath, const char* iid,
    const LbvHostServices* host, void** object, QString* detail)
{
    *object = nullptr;
    QString error;
    const PluginModule* module
        = modulePath.isEmpty() ? FolderModuleServing(clsid) : Module(modulePath, &error);
    if (!module) {
        if (detail)
            *detail = error.isEmpty() ? FailureDescription(kClassNotRegistered) : error;
        return kClassNotRegistered;
    }
    const LbvResult result = module->CreateObject(clsid, iid, host, object);
    if (LBV_FAILED(result) && detail)
        *detail = FailureDescription(result);
    return result;
}

QList<SettingsListEntry> PluginModules::FolderRegistrations(
    const QString& organisation, const QString& application, const QString& section)
{
    ScanFolders();
    QList<SettingsListEntry> result;
    for (const PluginModule* module : std::as_const(folderModules_)) {
        RegistrySink sink; // in memory: nothing is really registered
        if (LBV_FAILED(module->Register(sink.Table())))
            continue;
        const QList<SettingsListEntry> entries
            = ReadSettingsList(sink.Backend(organisation, application), nullptr, section);
        for (const QString& clsid : module->Classes()) {
            const auto entry = std::find_if(entries.begin(), entries.end(),
                [&](const SettingsListEntry& e) { return SameClsid(e, clsid); });
            const bool listed = std::any_of(result.begin(), result.end(),
                [&](const SettingsListEntry& e) { return SameClsid(e, clsid); });
            if (entry == entries.end() || listed)
                continue;
            SettingsListEntry found = *entry;
            if (found.values.value(QStringLiteral("Module")).isEmpty())
                found.values.insert(QStringLiteral("Module"), module->Path());
            result << found;
        }
    }
    return result;
}

QStringList PluginModules::FolderProblems()
{
    ScanFolders();
    return folderProblems_;
}

} // namespace lbv
