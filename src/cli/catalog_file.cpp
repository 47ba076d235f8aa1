#include "cli/catalog_file.h"

#include "catalog/libravon_doc.h"
#include "cli/command.h"

#include <QFileInfo>

namespace lbv::cli {
namespace {

// Scripts must never hang on a question: the import-date migration is answered No.
class TerminalIndexUi final : public IndexFileUi {
public:
    void ShowError(const QString& text) override { Err(QStringLiteral("libravon-cli: ") + text); }
    void ShowMessage(const QString& text) override { ShowError(text); }
};

} // namespace

bool OpenCatalog(CLibravonDoc& catalog, const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        Err(QStringLiteral("libravon-cli: no index file at %1").arg(path));
        return false;
    }
    TerminalIndexUi ui;
    if (!catalog.Open(info.absoluteFilePath(), &ui))
        return false;
    // A plain XML index comes back "untitled"; the command still works on (and saves to) the
    // file it was given.
    catalog.path = info.absoluteFilePath();
    return true;
}

bool SaveCatalog(CLibravonDoc& catalog)
{
    TerminalIndexUi ui;
    return catalog.Save(catalog.path, &ui);
}

} // namespace lbv::cli
