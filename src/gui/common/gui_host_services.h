#pragma once
// What plug-ins get from the program's window: message boxes owned by the window a token names,
// the application's wait cursor, and the folder chooser.
#include "plugins/plugin_host_services.h"

namespace lbv {

class GuiHostServices final : public PluginHostServices {
public:
    int MessageBox(
        LbvWindow owner, const QString& text, const QString& caption, quint32 flags) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    std::optional<QString> ChooseFolder(
        LbvWindow owner, const QString& title, const QString& initialFolder) override;
};

} // namespace lbv
