#pragma once
// Plug-in modules: shared libraries exporting the entry points of libravon_plugin.h, loaded with
// dlopen and kept loaded for the life of the module set (objects are released after each call,
// but a module may keep state of its own between calls).
#include "plugins/libravon_plugin.h"
#include "settings/settings_list.h"

#include <QLibrary>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>

namespace lbv {

// A class identifier in registry string form ("{E43ABDAA-8F77-4078-B6A0-65ACE6936E39}",
// braces required, any letter case) in upper case; empty when the text is not one.
QString CanonicalClsid(QStringView text);

// The description of a failure code, as the system words it.
QString FailureDescription(LbvResult result);

class PluginModule {
public:
    // Null with `error` set when the file cannot be loaded or is no plug-in module of this
    // interface version.
    static std::unique_ptr<PluginModule> Load(const QString& path, QString* error);

    const QString& Path() const { return path_; }
    // The classes the module serves, in canonical form.
    const QStringList& Classes() const { return classes_; }

    // Creates an object of a class and returns its interface `iid` with one reference.
    LbvResult CreateObject(const QString& clsid, const char* iid, const LbvHostServices* host,
        void** object) const;
    // The module's own registration calls; LBV_E_NOTIMPL when it exports none.
    LbvResult Register(const LbvRegistry* registry) const;
    LbvResult Unregister(const LbvRegistry* registry) const;

private:
    explicit PluginModule(const QString& path);

    QString path_;
    QLibrary library_;
    QStringList classes_;
    DllGetClassObjectFn getClassObject_ = nullptr;
    DllRegisterServerFn registerServer_ = nullptr;
    DllUnregisterServerFn unregisterServer_ = nullptr;
};

// The modules the program has loaded, by path, and the ones found in its plug-in folders.
class PluginModules {
public:
    // Folders searched for modules, in order: $LIBRAVON_PLUGIN_PATH (':'-separated), "plugins"
    // beside the executable, lib/libravon/plugins of the installation, and the build tree's.
    static QStringList DefaultFolders();

    explicit PluginModules(QStringList folders = DefaultFolders());
    ~PluginModules();
    PluginModules(const PluginModules&) = delete;
    PluginModules& operator=(const PluginModules&) = delete;

    // The module at `path`, loaded on first use; null with `error` set on failure.
    const PluginModule* Module(const QString& path, QString* error);
    // The first module of the plug-in folders serving `clsid`, or null.
    const PluginModule* FolderModuleServing(const QString& clsid);
    // Creates an object of `clsid` with the module at `modulePath`, or with the folders' module
    // serving the class when the path is empty. On failure `detail` describes it.
    LbvResult Create(const QString& clsid, const QString& modulePath, const char* iid,
        const LbvHostServices* host, void** object, QString* detail);

    // What the folders' modules would register in `section` of the organisation's and
    // application's settings, one entry per class a module serves, with "Module" naming the
    // module when it did not say itself. Folder order, then file name order; a class only once.
    QList<SettingsListEntry> FolderRegistrations(
        const QString& organisation, const QString& application, const QString& section);
    // Files of the plug-in folders that could not be loaded as modules, with the reason.
    QStringList FolderProblems();

private:
    void ScanFolders();

    QStringList folders_;
    bool scanned_ = false;
    std::map<QString, std::unique_ptr<PluginModule>> modules_; // by canonical path
    QList<const PluginModule*> folderModules_;
    QStringList folderProblems_;
};

} // namespace lbv
