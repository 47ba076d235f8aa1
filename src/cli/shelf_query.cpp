#include "cli/shelf_query.h"

#include "catalog/libravon_doc.h"
#include "settings/program_folders.h"
#include "settings/settings_store.h"
#include "shelf/shelf_search.h"

namespace lbv::cli {
namespace {

class NoDisplay final : public ShelfDisplay {
public:
    void ShowAuthors(CLibravonDoc*, const SearchResult*) override { }
    void ClearCurrentAuthorAndGroup() override { }
    void Beep() override { }
};

} // namespace

const GenreDictionary& CliGenres()
{
    static const GenreDictionary genres = [] {
        GenreDictionary dictionary;
        const QString language
            = AppSettings().GetProfileString({}, QStringLiteral("GenreLang"), QStringLiteral("en"));
        QString error;
        dictionary.Load(ProgramFilePath(QStringLiteral("genre-dict.xml")), language, &error);
        return dictionary;
    }();
    return genres;
}

std::vector<CBook*> FindBooks(CLibravonDoc& catalog, const QString& text)
{
    NoDisplay display;
    ShelfSearch search(CliGenres(), AppSettings(), display);
    search.SetCatalog(&catalog);
    search.Search(text);
    std::vector<CBook*> books;
    if (const SearchResult* result = search.Result()) {
        for (const auto& author : result->authors)
            for (const auto& group : author->groups)
                books.insert(books.end(), group->books.begin(), group->books.end());
        return books;
    }
    if (!search.ShowsWholeCatalog())
        return books;
    for (const auto& author : catalog.Authors())
        for (const auto& group : author->Groups())
            for (const auto& book : group->Books())
                books.push_back(book.get());
    return books;
}

} // namespace lbv::cli
