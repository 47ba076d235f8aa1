#pragma once
// What the program offers plug-ins and its own plug-in host: message boxes, the wait cursor and
// a folder chooser. The GUI implements it with dialogs, libravon-cli on the console.
#include "plugins/libravon_plugin.h"

#include <QString>
#include <optional>

namespace lbv {

class PluginHostServices {
public:
    virtual ~PluginHostServices() = default;
    // A modal message box owned by `owner`; `flags` combine LBV_MB_* buttons and icons. Returns
    // the answer (LBV_IDOK, LBV_IDYES, ...). An empty caption means the program's own.
    virtual int MessageBox(
        LbvWindow owner, const QString& text, const QString& caption, quint32 flags)
        = 0;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    // The folder the user chose, or nothing when cancelled.
    virtual std::optional<QString> ChooseFolder(
        LbvWindow owner, const QString& title, const QString& initialFolder)
        = 0;
};

// Shows the wait cursor for its lifetime.
class WaitCursor {
public:
    explicit WaitCursor(PluginHostServices& services) : services_(services)
    {
        services_.BeginWaitCursor();
    }
    ~WaitCursor() { services_.EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    PluginHostServices& services_;
};

// The services as the C table handed to plug-ins. Must outlive every object created with it.
class HostServicesTable {
public:
    explicit HostServicesTable(PluginHostServices& services);
    HostServicesTable(const HostServicesTable&) = delete;
    HostServicesTable& operator=(const HostServicesTable&) = delete;

    const LbvHostServices* Table() const { return &table_; }
    PluginHostServices& Services() const { return services_; }

private:
    PluginHostServices& services_;
    LbvHostServices table_;
};

} // namespace lbv
