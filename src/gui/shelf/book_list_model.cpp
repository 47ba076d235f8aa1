#include "gui/shelf/book_list_model.h"

#include "catalog/libravon_doc.h"
#include "gui/shell/catalog_session.h"
#include "shelf/genre_dictionary.h"
#include "shelf/search_result.h"
#include "text/messages.h"

#include <algorithm>

namespace lbv {
namespace {

QString ExtraValue(const CBook& book, const QString& name)
{
    for (const auto& [field, value] : book.extras)
        if (field == name)
            return value;
    return {};
}

} // namespace

BookListModel::BookListModel(
    CatalogSession& session, const GenreDictionary& genres, QObject* parent)
    : QAbstractItemModel(parent)
    , session_(session)
    , genres_(genres)
    , extras_(ExtraColumns())
{
}

void BookListModel::Show(CLibravonDoc* catalog, CCatalogItem* group)
{
    beginResetModel();
    catalog_ = catalog;
    group_ = catalog ? group : nullptr;
    rows_.clear();
    sortColumn_ = -1;
    sortOrder_ = Qt::AscendingOrder;
    if (group_ && group_->kind == KindGroup) {
        const auto lock = session_.ReadLock();
        std::vector<CBook*> books;
        if (auto* result = dynamic_cast<SearchGroup*>(group_))
            books = result->books;
        else
            for (const auto& book : static_cast<CGroup*>(group_)->Books())
                books.push_back(book.get());
        rows_.reserve(books.size());
        for (CBook* book : books)
            rows_.push_back({book, BookSizeOf(*book, *catalog_), int(rows_.size())});
    }
    endResetModel();
}

CGroup* BookListModel::CatalogGroup() const
{
    return group_ ? static_cast<CGroup*>(group_->Record()) : nullptr;
}

bool BookListModel::ShowsSearchResult() const
{
    return group_ && group_->Record() != group_;
}

CBook* BookListModel::BookAt(int row) const
{
    return row >= 0 && row < rowCount() ? rows_[std::size_t(row)].book : nullptr;
}

int BookListModel::RowOf(const CBook* book) const
{
    const auto it = std::find_if(
        rows_.begin(), rows_.end(), [book](const Row& row) { return row.book == book; });
    return it == rows_.end() ? -1 : int(it - rows_.begin());
}

void BookListModel::RemoveBookRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void BookListModel::sort(int column, Qt::SortOrder order)
{
    if (column >= columnCount())
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<CBook*> booksBefore;
    for (const QModelIndex& index : before)
        booksBefore.push_back(rows_[std::size_t(index.row())].book);

    sortColumn_ = column;
    sortOrder_ = order;
    if (column < 0) {
        std::sort(rows_.begin(), rows_.end(),
            [](const Row& a, const Row& b) { return a.groupOrder < b.groupOrder; });
    } else {
        const auto lock = session_.ReadLock();
        // Texts compare as the user reads them; years as numbers.
        const auto less = [this, column](const Row& a, const Row& b) {
            if (column == YearColumn)
                return a.book->year < b.book->year;
            return QString::compare(Text(a, column), Text(b, column), Qt::CaseInsensitive) < 0;
        };
        if (order == Qt::AscendingOrder)
            std::stable_sort(rows_.begin(), rows_.end(), less);
        else
            std::stable_sort(rows_.begin(), rows_.end(),
                [&less](const Row& a, const Row& b) { return less(b, a); });
    }

    QModelIndexList after;
    for (std::size_t i = 0; i < booksBefore.size(); ++i) {
        const auto it = std::find_if(rows_.begin(), rows_.end(),
            [book = booksBefore[i]](const Row& row) { return row.book == book; });
        after.append(createIndex(int(it - rows_.begin()), before[qsizetype(i)].column()));
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QModelIndex BookListModel::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex BookListModel::parent(const QModelIndex&) const
{
    return {};
}

int BookListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int BookListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : DetailsColumn() + 1;
}

QString BookListModel::Text(const Row& row, int column) const
{
    const CBook& book = *row.book;
    switch (column) {
    case TitleColumn:
        return book.title;
    case YearColumn:
        return BookYearText(book.year);
    case GenreColumn:
        return genres_.TitleOf(book.genre);
    default:
        break;
    }
    if (column == DetailsColumn())
        return BookDetailsLine(book, row.size.text);
    return ExtraValue(book, (*extras_)[column - FirstExtraColumn].name);
}

QVariant BookListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.model() != this)
        return {};
    const Row& row = rows_[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole: {
        const auto lock = session_.ReadLock();
        return Text(row, index.column());
    }
    case SizeClassRole:
        return int(row.size.sizeClass);
    default:
        return {};
    }
}

QVariant BookListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= columnCount())
        return {};
    switch (section) {
    case TitleColumn:
        return MessageText(Msg::BookColumnTitle);
    case YearColumn:
        return MessageText(Msg::BookColumnYear);
    case GenreColumn:
        return MessageText(Msg::BookColumnGenre);
    default:
        break;
    }
    if (section == DetailsColumn())
        return MessageText(Msg::BookColumnDetails);
    return (*extras_)[section - FirstExtraColumn].name;
}

Qt::ItemFlags BookListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
        | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

} // namespace lbv
