// "new": creates an empty library index.
#include "catalog/libravon_doc.h"
#include "cli/catalog_file.h"
#include "cli/command.h"

#include <QFileInfo>

namespace lbv::cli {
namespace {

int RunNew(Arguments& args)
{
    const Command& self = *FindCommand(QStringLiteral("new"));
    CLibravonDoc catalog;
    const QString mask = args.TakeOption(QStringLiteral("--mask"), catalog.fileNameMask);
    const bool zip = args.TakeFlag(QStringLiteral("--zip"));
    const bool noZip = args.TakeFlag(QStringLiteral("--no-zip"));
    const QStringList positional = args.Positional();
    if (!args.Error().isEmpty())
        return UsageError(self, args.Error());
    if (positional.size() != 1)
        return UsageError(self, QStringLiteral("expected one INDEX"));
    if (zip && noZip)
        return UsageError(self, QStringLiteral("--zip and --no-zip exclude each other"));
    if (mask.trimmed().isEmpty())
        return UsageError(self, QStringLiteral("the mask is empty"));
    const QString problem = FileNameMaskProblem(mask);
    if (!problem.isEmpty()) {
        Err(QStringLiteral("libravon-cli: ") + problem);
        return 1;
    }

    const QFileInfo index(positional[0]);
    if (index.exists()) {
        Err(QStringLiteral("libravon-cli: %1 already exists; not replaced").arg(positional[0]));
        return 1;
    }
    catalog.New();
    catalog.path = index.absoluteFilePath();
    catalog.fileNameMask = mask;
    catalog.compressFiles = !noZip;
    if (!SaveCatalog(catalog))
        return 1;
    Out(QStringLiteral("New library %1: mask \"%2\", %3")
            .arg(catalog.path, catalog.fileNameMask,
                catalog.compressFiles ? QStringLiteral("books packed in ZIP archives")
                                      : QStringLiteral("books stored as plain files")));
    return 0;
}

const CommandRegistrar registrar({QStringLiteral("new"),
    QStringLiteral("INDEX [--mask MASK] [--zip|--no-zip]"),
    QStringLiteral("Create an empty library whose books are filed beside INDEX by MASK."), RunNew});

} // namespace
} // namespace lbv::cli
