// The plain text exporter shipped with the program: writes each book it is given as a UTF-8
// text file into a folder the user chooses once per export command (the last one is offered
// again next time).
#include "fb2_plain_text.h"
#include "plugins/export_plugin.h"
#include "plugins/plugin_class.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <cstddef>
#include <strings.h>

namespace lbv {
namespace {

constexpr char kClsid[] = "{0CDD5A75-4EC1-4DCB-8B44-2A0EC78212F1}";
constexpr char kRegistrationKey[]
    = "Software\\Quillon\\FBE\\Plugins\\{0CDD5A75-4EC1-4DCB-8B44-2A0EC78212F1}";
constexpr uint32_t kFolderCapacity = 4096;

// Where the folder chosen last time is kept.
QSettings RememberedSettings()
{
    return QSettings(QStringLiteral("Marrowfield"), QStringLiteral("LBVTxtExport"));
}

struct TxtExporter {
    static constexpr const char* kInterfaceId = LBV_IID_IFBEEXPORTPLUGIN;
    IFBEExportPlugin base; // first, so that the interface pointer is the object's address
    std::atomic<uint32_t> references {1};
    const LbvHostServices* host = nullptr;
    QString folder; // chosen for this export command
    QString lastError;
};
using Class = PluginClass<TxtExporter, IFBEExportPlugin>;

// Asks for the folder on the first book of a command; false when the user cancelled.
LbvResult ChooseFolder(TxtExporter* exporter, LbvWindow owner)
{
    if (!exporter->folder.isEmpty())
        return LBV_S_OK;
    const LbvHostServices* host = exporter->host;
    if (host->size < offsetof(LbvHostServices, ChooseFolder) + sizeof(void*)
        || !host->ChooseFolder) {
        exporter->lastError = QStringLiteral("The program can't ask for a folder.");
        return LBV_E_NOTIMPL;
    }
    QSettings settings = RememberedSettings();
    const QString remembered = settings.value(QStringLiteral("Folder")).toString();
    const QString title = QStringLiteral("Export to plain text: choose a folder");
    LbvChar chosen[kFolderCapacity];
    const LbvResult result = host->ChooseFolder(
        host->context, owner, LbvUnits(title), LbvUnits(remembered), chosen, kFolderCapacity);
    if (result == LBV_S_FALSE)
        return LBV_E_ABORT;
    if (LBV_FAILED(result)) {
        exporter->lastError = QStringLiteral("No folder was chosen for the text files.");
        return result;
    }
    exporter->folder = FromLbvChars(chosen);
    settings.setValue(QStringLiteral("Folder"), exporter->folder);
    return LBV_S_OK;
}

LbvResult Export(IFBEExportPlugin* self, int32_t hWnd, const LbvChar* path, xmlDocPtr document)
{
    TxtExporter* exporter = Class::Self(self);
    if (!path || !document)
        return LBV_E_POINTER;
    try {
        const LbvResult chosen = ChooseFolder(exporter, LbvWindow(hWnd));
        if (LBV_FAILED(chosen))
            return chosen;
        QDir().mkpath(exporter->folder); // a remembered folder may have gone meanwhile
        const QString target = QDir(exporter->folder)
                                   .filePath(QFileInfo(FromLbvChars(path)).completeBaseName()
                                       + QStringLiteral(".txt"));
        // Written whole or not at all: a half-written file never replaces an earlier export.
        QSaveFile file(target);
        if (!file.open(QIODevice::WriteOnly) || file.write(Fb2PlainText(document).toUtf8()) < 0
            || !file.commit()) {
            exporter->lastError
                = QStringLiteral("Can't write \"%1\": %2").arg(target, file.errorString());
            return LBV_E_FAIL;
        }
        return LBV_S_OK;
    } catch (const std::bad_alloc&) {
        return LBV_E_OUTOFMEMORY;
    } catch (...) {
        return LBV_E_FAIL;
    }
}

const IFBEExportPluginVtbl kMethods = {Class::QueryInterface, Class::AddRef, Class::Release, Export,
    Class::FreeString, Class::ErrorMessage};

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
    if (!host)
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
        return WriteRegistration(registry, kRegistrationKey,
            {{"", QStringLiteral("Libravon plain text export")}, {"Type", QStringLiteral("Export")},
                {"Menu", QStringLiteral("Export to plain text")},
                {"Module", QString::fromUtf8(modulePath)}});
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
