#pragma once
// Where plug-in modules write their registration (DllRegisterServer, DllUnregisterServer).
// Registry-style keys "Software\<organisation>\<application>\<section>..." land in the settings
// store of that organisation and application: the user's own files when a module is really
// registered, memory when the host only wants to see what a module would register.
#include "plugins/libravon_plugin.h"
#include "settings/settings_backend.h"

#include <QString>
#include <functional>
#include <map>
#include <memory>

namespace lbv {

class RegistrySink {
public:
    using BackendFactory = std::function<std::unique_ptr<SettingsBackend>(
        const QString& organisation, const QString& application)>;

    explicit RegistrySink(BackendFactory makeBackend);
    // Kept in memory only.
    RegistrySink();
    ~RegistrySink();
    RegistrySink(const RegistrySink&) = delete;
    RegistrySink& operator=(const RegistrySink&) = delete;

    // The table handed to the module; valid while the sink lives.
    const LbvRegistry* Table() const { return &table_; }
    // The store written for an organisation and application, or null when nothing was.
    const SettingsBackend* Backend(const QString& organisation, const QString& application) const;
    // Makes the writes durable; false when a store could not be written.
    bool Flush();

private:
    struct Key {
        SettingsBackend* backend = nullptr;
        QString section;
    };
    // Null backend for a key outside "Software\<organisation>\<application>".
    Key Resolve(const char* key);
    static LbvResult SetString(void* context, const char* key, const char* name,
        const LbvChar* value);
    static LbvResult DeleteKey(void* context, const char* key);

    BackendFactory makeBackend_;
    std::map<QString, std::unique_ptr<SettingsBackend>> backends_; // by "organisation\application"
    LbvRegistry table_;
};

} // namespace lbv
