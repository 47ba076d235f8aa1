#pragma once
// The user interface of libravon-cli for plug-ins and the index file: message boxes are printed
// (errors and warnings to standard error, the rest to standard output), questions take their
// cautious answer, and the folder chooser answers with a folder given in advance.
#include "catalog/index_file.h"
#include "plugins/plugin_host_services.h"

namespace lbv {

class ConsoleHostServices final : public PluginHostServices, public IndexFileUi {
public:
    // `folder` answers every folder question; when empty, the question's own initial folder
    // does, and without one the question counts as cancelled.
    explicit ConsoleHostServices(QString folder = {}) : folder_(std::move(folder)) { }

    int MessageBox(
        LbvWindow owner, const QString& text, const QString& caption, quint32 flags) override;
    void BeginWaitCursor() override { }
    void EndWaitCursor() override { }
    std::optional<QString> ChooseFolder(
        LbvWindow owner, const QString& title, const QString& initialFolder) override;

    void ShowError(const QString& text) override;
    void ShowMessage(const QString& text) override;

private:
    QString folder_;
};

} // namespace lbv
