// LBVStatPlugin: the catalog plug-in that reports how many books of the index are present in
// the library folder. The module serves the one class below.
#include "library_statistics.h"
#include "plugins/libravon_plugin.h"
#include "plugins/plugin_class.h"

#include <QDir>
#include <cstddef>
#include <strings.h>

namespace lbv {
namespace {

constexpr char kClsid[] = "{E43ABDAA-8F77-4078-B6A0-65ACE6936E39}";
constexpr char kRegistrationKey[]
    = "Software\\Marrowfield\\Libravon\\Plugins\\{E43ABDAA-8F77-4078-B6A0-65ACE6936E39}";

struct StatPlugin {
    static constexpr const char* kInterfaceId = LBV_IID_ILIBRAVONPLUGIN;
    ILibravonPlugin base; // first, so that the interface pointer is the object's address
    std::atomic<uint32_t> references {1};
    const LbvHostServices* host = nullptr;
    QString lastError;
};
using Class = PluginClass<StatPlugin, ILibravonPlugin>;

LbvResult ReturnText(const QString& text, LbvChar** result)
{
    if (!result)
        return LBV_E_POINTER;
    *result = NewLbvString(text);
    return *result ? LBV_S_OK : LBV_E_OUTOFMEMORY;
}

LbvResult GetName(ILibravonPlugin*, LbvChar** name)
{
    return ReturnText(QStringLiteral("Statistics"), name);
}

LbvResult GetCathegory(ILibravonPlugin*, LbvChar** category)
{
    return ReturnText(QStringLiteral("Information"), category);
}

LbvResult GetDescription(ILibravonPlugin*, LbvChar** description)
{
    return ReturnText(QStringLiteral("Shows Libravon statistics."), description);
}

LbvResult GetSupportsSetup(ILibravonPlugin*, int32_t* isSetupSupported)
{
    if (!isSetupSupported)
        return LBV_E_POINTER;
    *isSetupSupported = 0;
    return LBV_S_OK;
}

LbvResult Execute(ILibravonPlugin* self, LbvWindow hWnd, xmlDocPtr index, int32_t* indexChanged)
{
    StatPlugin* plugin = Class::Self(self);
    if (!index || !indexChanged)
        return LBV_E_POINTER;
    try {
        const LbvHostServices* host = plugin->host;
        LibraryStatistics statistics;
        // The host makes the index file's folder current for the call.
        host->BeginWaitCursor(host->context);
        const bool counted
            = CollectStatistics(index, QDir::currentPath(), &statistics, &plugin->lastError);
        host->EndWaitCursor(host->context);
        if (!counted)
            return LBV_E_FAIL;
        const QString text = StatisticsText(statistics);
        host->MessageBox(host->context, hWnd, LbvUnits(text), nullptr, LBV_MB_OK);
        *indexChanged = 0;
        return LBV_S_OK;
    } catch (const std::bad_alloc&) {
        return LBV_E_OUTOFMEMORY;
    } catch (...) {
        return LBV_E_FAIL;
    }
}

LbvResult Setup(ILibravonPlugin*, LbvWindow, xmlDocPtr)
{
    return LBV_E_FAIL;
}

const ILibravonPluginVtbl kMethods = {Class::QueryInterface, Class::AddRef, Class::Release, nullptr,
    nullptr, nullptr, nullptr, GetName, GetCathegory, GetDescription, GetSupportsSetup, Execute,
    Setup, Class::FreeString, Class::ErrorMessage};

} // namespace
} // namespace lbv

using namespace lbv;

extern "C" {

LBV_PLUGIN_EXPORT uint32_t LbvPluginAbiVersion(void)
{
    return LBV_PLUGIN_ABI_VERSION;
}

LBV_PLUGIN_EXPORT const char* const* LbvPluginClasses(void)
{
    static const char* const classes[] = {kClsid, nullptr};
    return classes;
}

LBV_PLUGIN_EXPORT LbvResult DllGetClassObject(
    const char* clsid, const char* iid, const LbvHostServices* host, void** object)
{
    if (!object)
        return LBV_E_POINTER;
    *object = nullptr;
    if (!clsid || strcasecmp(clsid, kClsid) != 0)
        return LBV_CLASS_E_CLASSNOTAVAILABLE;
    // The message box and the wait cursor come from the host; without them nothing can be shown.
    if (!host || host->size < offsetof(LbvHostServices, EndWaitCursor) + sizeof(void*))
        return LBV_E_INVALIDARG;
    return Class::Create(&kMethods, host, iid, object);
}

LBV_PLUGIN_EXPORT LbvResult DllCanUnloadNow(void)
{
    return Class::CanUnloadNow();
}

LBV_PLUGIN_EXPORT LbvResult DllRegisterServer(const LbvRegistry* registry, const char* modulePath)
{
    if (!registry || !modulePath)
        return LBV_E_POINTER;
    try {
        const QString module = QString::fromUtf8(modulePath);
        return WriteRegistration(registry, kRegistrationKey,
            {{"", QStringLiteral("LBVStatPlugin")}, {"Type", QStringLiteral("Index")},
                {"Name", QStringLiteral("Statistics")}, {"Icon", module}, {"Module", module}});
    } catch (...) {
        return LBV_SELFREG_E_CLASS;
    }
}

LBV_PLUGIN_EXPORT LbvResult DllUnregisterServer(const LbvRegistry* registry)
{
    if (!registry)
        return LBV_E_POINTER;
    return registry->DeleteKey(registry->context, kRegistrationKey);
}

} // extern "C"
