// "check": the books whose files are gone from the library.
#include "catalog/libravon_doc.h"
#include "cli/catalog_file.h"
#include "cli/command.h"
#include "import/book_placement.h"

namespace lbv::cli {
namespace {

int RunCheck(Arguments& args)
{
    const Command& self = *FindCommand(QStringLiteral("check"));
    const QStringList positional = args.Positional();
    if (!args.Error().isEmpty())
        return UsageError(self, args.Error());
    if (positional.size() != 1)
        return UsageError(self, QStringLiteral("expected one INDEX"));
    CLibravonDoc catalog;
    if (!OpenCatalog(catalog, positional[0]))
        return 1;
    int books = 0;
    int missing = 0;
    for (const auto& author : catalog.Authors()) {
        for (const auto& group : author->Groups()) {
            for (const auto& book : group->Books()) {
                ++books;
                if (!ActualBookPath(*book, catalog).isEmpty())
                    continue;
                ++missing;
                Out(QStringLiteral("%1 %2 \"%3\": %4")
                        .arg(author->firstName, author->lastName, book->title,
                            book->file.isEmpty() ? book->DefaultFileName(catalog) : book->file));
            }
        }
    }
    Out(QStringLiteral("%1 of %2 books missing").arg(missing).arg(books));
    return missing == 0 ? 0 : 1;
}

const CommandRegistrar registrar({QStringLiteral("check"), QStringLiteral("INDEX"),
    QStringLiteral("List the books whose files are missing; exit status 1 when there are any."),
    RunCheck});

} // namespace
} // namespace lbv::cli
