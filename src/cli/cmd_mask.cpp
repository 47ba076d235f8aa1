// "mask": shows where the library would file a book under a file-name mask.
#include "catalog/file_name_mask.h"
#include "cli/command.h"

namespace lbv::cli {
namespace {

int RunMask(Arguments& args)
{
    const Command& self = *FindCommand(QStringLiteral("mask"));
    if (args.TakeFlag(QStringLiteral("--presets"))) {
        for (const MaskPreset& preset : MaskPresets())
            Out(QStringLiteral("%1\t%2").arg(preset.mask, preset.example));
        return 0;
    }
    const bool zip = args.TakeFlag(QStringLiteral("--zip"));
    const bool gzip = args.TakeFlag(QStringLiteral("--gzip"));
    const QStringList positional = args.Positional();
    if (!args.Error().isEmpty())
        return UsageError(self, args.Error());
    if (positional.size() < 4 || positional.size() > 5)
        return UsageError(self, QStringLiteral("expected MASK FIRST LAST TITLE [GENRE]"));
    if (zip && gzip)
        return UsageError(self, QStringLiteral("--zip and --gzip exclude each other"));
    const QString problem = FileNameMaskProblem(positional[0]);
    if (!problem.isEmpty()) {
        Err(QStringLiteral("libravon-cli: ") + problem);
        return 1;
    }
    const int compression = zip ? CompressionZip : gzip ? CompressionGzip : CompressionNone;
    Out(ExpandMask(positional[0], positional[1], positional[2], positional[3],
        positional.value(4), compression));
    return 0;
}

const CommandRegistrar registrar({QStringLiteral("mask"),
    QStringLiteral("MASK FIRST LAST TITLE [GENRE] [--zip|--gzip] | --presets"),
    QStringLiteral("Expand a file-name mask (%f %l %t %g, %F %L %T %G transliterated) for a book."),
    RunMask});

} // namespace
} // namespace lbv::cli
