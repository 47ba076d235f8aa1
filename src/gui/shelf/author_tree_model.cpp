#include "gui/shelf/author_tree_model.h"

#include "catalog/libravon_doc.h"
#include "gui/shell/catalog_session.h"
#include "shelf/author_tree_rows.h"
#include "shelf/search_result.h"
#include "text/messages.h"

#include <algorithm>

namespace lbv {

namespace {

bool IsDefaultGroup(const CCatalogItem* group)
{
    if (auto* catalogGroup = dynamic_cast<const CGroup*>(group))
        return catalogGroup->name == kDefaultGroupName;
    if (auto* found = dynamic_cast<const SearchGroup*>(group))
        return found->name == kDefaultGroupName;
    return false;
}

} // namespace

CAuthorTreeModel::CAuthorTreeModel(CatalogSession& session, QObject* parent)
    : QAbstractItemModel(parent)
    , session_(session)
{
}

CAuthorTreeModel::~CAuthorTreeModel() = default;

void CAuthorTreeModel::Reset(CLibravonDoc* catalog, const SearchResult* result)
{
    beginResetModel();
    rows_.clear();
    {
        const auto lock = session_.ReadLock();
        auto add = [this](CCatalogItem* author, auto& groups) {
            auto row = std::make_unique<AuthorRow>();
            row->item = author;
            for (const auto& group : groups)
                if (!IsDefaultGroup(group.get()))
                    row->groups.push_back(group.get());
            row->catalogOrder = int(rows_.size());
            rows_.push_back(std::move(row));
        };
        if (result) {
            rows_.reserve(result->authors.size());
            for (const auto& author : result->authors)
                add(author.get(), author->groups);
        } else if (catalog) {
            rows_.reserve(catalog->Authors().size());
            for (const auto& author : catalog->Authors())
                add(author.get(), author->Groups());
        }
        if (sortColumn_ >= 0)
            SortRows();
    }
    Renumber();
    endResetModel();
}

void CAuthorTreeModel::Clear()
{
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void CAuthorTreeModel::SetCountsShown(bool shown)
{
    if (shown == countsShown_)
        return;
    countsShown_ = shown;
    CountsChanged();
}

void CAuthorTreeModel::SetColors(const QColor& author, const QColor& group)
{
    authorColor_ = author;
    groupColor_ = group;
    if (!rows_.empty())
        Q_EMIT dataChanged(
            index(0, 0), index(rowCount() - 1, ColumnCount - 1), {Qt::ForegroundRole});
}

CAuthorTreeModel::AuthorRow* CAuthorTreeModel::RowOf(const QModelIndex& index) const
{
    if (!index.isValid())
        return nullptr;
    if (auto* parentRow = static_cast<AuthorRow*>(index.internalPointer()))
        return parentRow;
    return rows_[std::size_t(index.row())].get();
}

CCatalogItem* CAuthorTreeModel::Item(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    AuthorRow* row = RowOf(index);
    return index.internalPointer() ? row->groups[std::size_t(index.row())] : row->item;
}

bool CAuthorTreeModel::IsAuthorRow(const QModelIndex& index) const
{
    return index.isValid() && !index.internalPointer();
}

QModelIndex CAuthorTreeModel::IndexOfItem(const CCatalogItem* item) const
{
    for (const auto& row : rows_) {
        if (row->item == item)
            return createIndex(row->position, 0);
        const auto found = std::find(row->groups.begin(), row->groups.end(), item);
        if (found != row->groups.end())
            return createIndex(int(found - row->groups.begin()), 0, row.get());
    }
    return {};
}

void CAuthorTreeModel::RemoveRow(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    if (AuthorRow* parentRow = static_cast<AuthorRow*>(index.internalPointer())) {
        beginRemoveRows(index.parent(), index.row(), index.row());
        parentRow->groups.erase(parentRow->groups.begin() + index.row());
        endRemoveRows();
        return;
    }
    beginRemoveRows({}, index.row(), index.row());
    rows_.erase(rows_.begin() + index.row());
    Renumber();
    endRemoveRows();
}

QModelIndex CAuthorTreeModel::AppendGroupRow(const QModelIndex& authorIndex, CCatalogItem* group)
{
    if (!IsAuthorRow(authorIndex))
        return {};
    AuthorRow* row = rows_[std::size_t(authorIndex.row())].get();
    const int position = int(row->groups.size());
    beginInsertRows(authorIndex.siblingAtColumn(0), position, position);
    row->groups.push_back(group);
    endInsertRows();
    return createIndex(position, 0, row);
}

void CAuthorTreeModel::RowChanged(const QModelIndex& index)
{
    if (index.isValid())
        Q_EMIT dataChanged(index.siblingAtColumn(0), index.siblingAtColumn(ColumnCount - 1));
}

void CAuthorTreeModel::CountsChanged()
{
    // Counts are read from the records when painted: announcing the change is enough.
    for (const auto& row : rows_) {
        const QModelIndex author = createIndex(row->position, BooksColumn);
        Q_EMIT dataChanged(author, author, {Qt::DisplayRole});
        if (!row->groups.empty())
            Q_EMIT dataChanged(createIndex(0, BooksColumn, row.get()),
                createIndex(int(row->groups.size()) - 1, BooksColumn, row.get()),
                {Qt::DisplayRole});
    }
}

QModelIndex CAuthorTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column < 0 || column >= ColumnCount)
        return {};
    if (!parent.isValid())
        return row < int(rows_.size()) ? createIndex(row, column) : QModelIndex();
    if (parent.internalPointer() || parent.row() >= int(rows_.size()))
        return {};
    AuthorRow* authorRow = rows_[std::size_t(parent.row())].get();
    return row < int(authorRow->groups.size()) ? createIndex(row, column, authorRow)
                                               : QModelIndex();
}

QModelIndex CAuthorTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    auto* parentRow = static_cast<AuthorRow*>(child.internalPointer());
    return parentRow ? createIndex(parentRow->position, 0) : QModelIndex();
}

int CAuthorTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(rows_.size());
    if (parent.column() != 0 || parent.internalPointer())
        return 0;
    return int(rows_[std::size_t(parent.row())]->groups.size());
}

int CAuthorTreeModel::columnCount(const QModelIndex&) const
{
    return ColumnCount;
}

QVariant CAuthorTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const bool groupRow = index.internalPointer() != nullptr;
    switch (role) {
    case Qt::DisplayRole: {
        const auto lock = session_.ReadLock();
        const TreeRowText text = RowText(Item(index));
        switch (index.column()) {
        case FirstNameColumn:
            return text.first;
        case LastNameColumn:
            return text.last;
        case BooksColumn:
            return countsShown_ ? QVariant(QString::number(text.books)) : QVariant();
        }
        return {};
    }
    case Qt::ForegroundRole: {
        const QColor& color = groupRow ? groupColor_ : authorColor_;
        return color.isValid() ? QVariant(color) : QVariant();
    }
    case ItemRole:
        return QVariant::fromValue(static_cast<void*>(Item(index)));
    }
    return {};
}

QVariant CAuthorTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static constexpr Msg kHeaders[]
        = {Msg::TreeColumnFirstName, Msg::TreeColumnLastName, Msg::TreeColumnBooks};
    return section >= 0 && section < ColumnCount ? MessageText(kHeaders[section]) : QString();
}

void CAuthorTreeModel::sort(int column, Qt::SortOrder order)
{
    if (column >= ColumnCount)
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Remember what every persistent index shows, by row identity, to find it again afterwards.
    const QModelIndexList before = persistentIndexList();
    struct Place {
        AuthorRow* author;
        CCatalogItem* group;
        int column;
    };
    std::vector<Place> places;
    places.reserve(std::size_t(before.size()));
    for (const QModelIndex& index : before)
        places.push_back(
            {RowOf(index), index.internalPointer() ? Item(index) : nullptr, index.column()});

    sortColumn_ = column;
    sortOrder_ = order;
    {
        const auto lock = session_.ReadLock();
        SortRows();
    }
    Renumber();

    QModelIndexList after;
    after.reserve(before.size());
    for (const Place& place : places) {
        if (!place.group) {
            after.append(createIndex(place.author->position, place.column));
            continue;
        }
        const auto& groups = place.author->groups;
        const int row = int(std::find(groups.begin(), groups.end(), place.group) - groups.begin());
        after.append(createIndex(row, place.column, place.author));
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CAuthorTreeModel::SortRows()
{
    if (sortColumn_ < 0) {
        std::sort(rows_.begin(), rows_.end(),
            [](const auto& a, const auto& b) { return a->catalogOrder < b->catalogOrder; });
        return;
    }
    const int column = sortColumn_;
    const bool descending = sortOrder_ == Qt::DescendingOrder;
    const bool counts = countsShown_;
    auto sortItems = [&](auto& items, auto itemOf) {
        std::vector<std::pair<TreeRowText, std::size_t>> keys;
        keys.reserve(items.size());
        for (std::size_t i = 0; i < items.size(); ++i)
            keys.emplace_back(RowText(itemOf(items[i])), i);
        std::stable_sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
            const int order = CompareTreeRows(column, a.first, b.first, counts);
            return descending ? order > 0 : order < 0;
        });
        std::remove_reference_t<decltype(items)> sorted;
        sorted.reserve(items.size());
        for (const auto& key : keys)
            sorted.push_back(std::move(items[key.second]));
        items = std::move(sorted);
    };
    sortItems(rows_, [](const std::unique_ptr<AuthorRow>& row) { return row->item; });
    for (auto& row : rows_)
        sortItems(row->groups, [](CCatalogItem* group) { return group; });
}

void CAuthorTreeModel::Renumber()
{
    for (std::size_t i = 0; i < rows_.size(); ++i)
        rows_[i]->position = int(i);
}

} // namespace lbv
