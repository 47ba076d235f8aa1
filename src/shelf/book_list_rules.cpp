#include "shelf/book_list_rules.h"

#include "text/messages.h"

namespace lbv {

BookMenuEnabling BookMenuEnablingFor(const BookListState& state)
{
    const bool selected = state.selectedCount > 0;
    const bool mayEdit = !state.autorun && !state.importRunning;
    BookMenuEnabling enabling;
    enabling.deleteBooks = selected && mayEdit;
    enabling.sort = state.hasGroup && mayEdit;
    enabling.read = selected;
    enabling.properties = selected;
    return enabling;
}

DragStart CheckDragStart(const BookListState& state, bool sortedByHeader)
{
    if (!state.hasGroup || state.selectedCount == 0)
        return DragStart::Refused;
    if (sortedByHeader)
        return DragStart::RefusedWhileSorted;
    if (state.autorun || state.importRunning)
        return DragStart::Refused;
    return DragStart::Allowed;
}

bool MoveBooksBefore(CLibravonDoc& catalog, const std::vector<CBook*>& books, CBook* target)
{
    if (!target || (books.size() == 1 && books.front() == target))
        return false;
    bool moved = false;
    for (CBook* book : books) {
        moved = catalog.MoveBookBefore(book, target) || moved;
        target = book;
    }
    return moved;
}

int MoveBooksToGroup(CLibravonDoc& catalog, const std::vector<CBook*>& books, CGroup* target)
{
    int moved = 0;
    for (CBook* book : books)
        moved += catalog.MoveBookToGroup(book, target) ? 1 : 0;
    return moved;
}

CGroup* DropTargetGroup(CLibravonDoc& catalog, CCatalogItem* row, const std::vector<CBook*>& books)
{
    CCatalogItem* record = row ? row->Record() : nullptr;
    if (!record)
        return nullptr;
    if (record->kind == KindGroup)
        return static_cast<CGroup*>(record);
    if (record->kind != KindAuthor)
        return nullptr;
    auto* author = static_cast<CAuthor*>(record);
    if (CGroup* group = author->FindGroup(kDefaultGroupName))
        return group;
    for (const CBook* book : books)
        if (book->Author() == author)
            return catalog.CreateGroup(author, kDefaultGroupName);
    return nullptr;
}

QString CantDropHereText(const CBook& firstBook)
{
    const CAuthor* author = firstBook.Author();
    QString text = MessageText(Msg::CantDropHere);
    if (author)
        text += author->lastName + u' ' + author->firstName;
    return text;
}

QString DeleteBooksQuestionText(const std::vector<CBook*>& books)
{
    if (books.size() == 1)
        return MessageText(Msg::DeleteBookQuestion) + books.front()->title + u"\"?";
    return MessageText(Msg::DeleteBooksQuestion).arg(books.size());
}

} // namespace lbv
