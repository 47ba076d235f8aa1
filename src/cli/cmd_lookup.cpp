// "lookup": looks a word up in a dictionary file and prints the article.
#include "cli/command.h"
#include "reader/dictionary.h"

namespace lbv::cli {
namespace {

int RunLookup(Arguments& args)
{
    const Command& self = *FindCommand(QStringLiteral("lookup"));
    const QStringList positional = args.Positional();
    if (!args.Error().isEmpty())
        return UsageError(self, args.Error());
    if (positional.size() != 2)
        return UsageError(self, QStringLiteral("expected DIC WORD"));
    QString message;
    const auto dictionary = Dictionary::Open(positional[0], &message);
    if (!dictionary) {
        Err(message);
        return 1;
    }
    const DictionaryLookup found = dictionary->Lookup(positional[1]);
    if (found.match == DictionaryMatch::NotFound) {
        Err(QStringLiteral("libravon-cli: \"%1\" was not found").arg(positional[1]));
        return 1;
    }
    if (found.match == DictionaryMatch::Nearest)
        Err(QStringLiteral("libravon-cli: \"%1\" was not found; the nearest article follows")
                .arg(positional[1]));
    Out(dictionary->ArticleText(found.article));
    return found.match == DictionaryMatch::Found ? 0 : 1;
}

const CommandRegistrar registrar({QStringLiteral("lookup"), QStringLiteral("DIC WORD"),
    QStringLiteral("Look a word up in a dictionary file (exit 0 found, 1 only the nearest "
                   "article or none)."),
    RunLookup});

} // namespace
} // namespace lbv::cli
