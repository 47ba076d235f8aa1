#pragma once
// The rows of the book list: one per book of the group on show (a catalog group or a search
// result's group), holding pointers into the catalog taken when the group is shown. Columns:
// Title, Year, Genre, one per extra column definition, Details.
#include "import/extra_columns.h"
#include "shelf/book_row_text.h"

#include <QAbstractItemModel>
#include <memory>
#include <vector>

namespace lbv {

class CBook;
class CCatalogItem;
class CGroup;
class CLibravonDoc;
class CatalogSession;
class GenreDictionary;

class BookListModel final : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Role { SizeClassRole = Qt::UserRole + 1 };
    enum Column { TitleColumn = 0, YearColumn = 1, GenreColumn = 2, FirstExtraColumn = 3 };

    // Reads records under the session's lock, as an import run may change them meanwhile.
    BookListModel(CatalogSession& session, const GenreDictionary& genres, QObject* parent = nullptr);

    // Shows the books of `group` (a CGroup or a SearchGroup) in their order; nothing unless both
    // are given. The pointers must stay valid until the next Show or Clear.
    void Show(CLibravonDoc* catalog, CCatalogItem* group);
    void Clear() { Show(nullptr, nullptr); }

    CLibravonDoc* Catalog() const { return catalog_; }
    CCatalogItem* Group() const { return group_; }
    // The catalog group on show (the record behind a search result's group), or null.
    CGroup* CatalogGroup() const;
    bool ShowsSearchResult() const;

    CBook* BookAt(int row) const;
    int RowOf(const CBook* book) const; // -1 when not on show
    const BookSizeInfo& SizeAt(int row) const { return rows_[std::size_t(row)].size; }
    int DetailsColumn() const { return FirstExtraColumn + int(extras_->size()); }
    // Drops a row whose book the catalog no longer holds.
    void RemoveBookRow(int row);

    // Orders the rows by a column's text (the group's order again for a column below 0).
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    bool IsSorted() const { return sortColumn_ >= 0; }
    int SortColumn() const { return sortColumn_; }
    Qt::SortOrder SortOrder() const { return sortOrder_; }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Row {
        CBook* book;
        BookSizeInfo size;
        int groupOrder;
    };
    QString Text(const Row& row, int column) const;

    CatalogSession& session_;
    const GenreDictionary& genres_;
    const std::shared_ptr<const ExtraColumnList> extras_;
    CLibravonDoc* catalog_ = nullptr;
    CCatalogItem* group_ = nullptr;
    std::vector<Row> rows_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

} // namespace lbv
