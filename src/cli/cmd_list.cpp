// "list": the library's authors, groups and books, or those a search finds.
#include "catalog/libravon_doc.h"
#include "cli/catalog_file.h"
#include "cli/command.h"
#include "cli/shelf_query.h"

namespace lbv::cli {
namespace {

QString BookLine(const CBook& book)
{
    QStringList details;
    if (book.year != 0)
        details << QString::number(book.year);
    if (!book.genre.isEmpty())
        details << CliGenres().TitleOf(book.genre);
    return details.isEmpty() ? book.title : book.title + u" (" + details.join(u", ") + u')';
}

int RunList(Arguments& args)
{
    const Command& self = *FindCommand(QStringLiteral("list"));
    const QString search = args.TakeOption(QStringLiteral("--search"));
    const QStringList positional = args.Positional();
    if (!args.Error().isEmpty())
        return UsageError(self, args.Error());
    if (positional.size() != 1)
        return UsageError(self, QStringLiteral("expected one INDEX"));
    CLibravonDoc catalog;
    if (!OpenCatalog(catalog, positional[0]))
        return 1;

    const std::vector<CBook*> books = FindBooks(catalog, search);
    const CAuthor* author = nullptr;
    const CGroup* group = nullptr;
    int authors = 0;
    for (const CBook* book : books) {
        if (book->Author() != author) {
            author = book->Author();
            group = nullptr;
            ++authors;
            Out(author->firstName + u' ' + author->lastName);
        }
        const bool inDefault = book->group->name == kDefaultGroupName;
        if (book->group != group) {
            group = book->group;
            if (!inDefault)
                Out(u"  " + group->name + u'/');
        }
        Out((inDefault ? u"  " : u"    ") + BookLine(*book));
    }
    Out(QStringLiteral("%1 books by %2 authors").arg(books.size()).arg(authors));
    return 0;
}

const CommandRegistrar registrar({QStringLiteral("list"), QStringLiteral("INDEX [--search TEXT]"),
    QStringLiteral("List the library's books by author, or those whose author, title or genre "
                   "holds TEXT."),
    RunList});

} // namespace
} // namespace lbv::cli
